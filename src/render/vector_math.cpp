// vector_math.cpp -- vectors, quaternions and row-major matrices.
#include "render/vector_math.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

void vectorIndexOutOfRange(int i) {
    std::fprintf(stderr, "Vector3 index %d is outside 0..2\n", i);
    std::abort();
}

float Vector3::length() const {
    return static_cast<float>(std::sqrt(x * x + y * y + z * z));
}

float Vector3::normalize() {
    const float sum = x * x + y * y + z * z;
    const float len = static_cast<float>(std::sqrt(sum));
    if (len == 0.0f) return 0.0f;  // a zero vector has no direction: leave it
    x /= len;
    y /= len;
    z /= len;
    return len;
}

Vector3 divide(float x, float y, float z, float s) { return {x / s, y / s, z / s}; }

float dot(float ax, float ay, float az, float bx, float by, float bz) {
    return ax * bx + ay * by + az * bz;
}

Vector3 cross(float ax, float ay, float az, float bx, float by, float bz) {
    return Vector3(ax, ay, az).cross(Vector3(bx, by, bz));
}

Vector3 normalized(float x, float y, float z) {
    Vector3 v(x, y, z);
    v.normalize();
    return v;
}

float distance(float ax, float ay, float az, float bx, float by, float bz) {
    const float dx = ax - bx;
    const float dy = ay - by;
    const float dz = az - bz;
    return static_cast<float>(std::sqrt(dx * dx + dy * dy + dz * dz));
}

float distance(const Vector3& a, const Vector3& b) { return distance(a.x, a.y, a.z, b.x, b.y, b.z); }

Quaternion Quaternion::fromAxisAngle(const Vector3& axis, float angle) {
    const float s = std::sin(angle / 2);
    Vector3 a = axis;
    a.normalize();
    return {a.x * s, a.y * s, a.z * s, std::cos(angle / 2)};
}

Quaternion& Quaternion::operator*=(const Quaternion& q) {
    const Vector3 p(x, y, z), r(q.x, q.y, q.z);
    const Vector3 v = p.cross(r) + r * w + p * q.w;
    const float s = w * q.w - p.dot(r);
    x = v.x;
    y = v.y;
    z = v.z;
    w = s;
    const float n = x * x + y * y + z * z + w * w;
    x /= n;
    y /= n;
    z /= n;
    w /= n;
    return *this;
}

void Quaternion::toMatrix(Matrix4& m) const {
    const float n = x * x + y * y + z * z + w * w;
    const float s = 2 / n;
    m.setIdentity();
    m.at(0, 0) = 1 - s * (y * y + z * z);
    m.at(0, 1) = s * (x * y - w * z);
    m.at(0, 2) = s * (x * z + w * y);
    m.at(1, 0) = s * (x * y + w * z);
    m.at(1, 1) = 1 - s * (x * x + z * z);
    m.at(1, 2) = s * (y * z - w * x);
    m.at(2, 0) = s * (x * z - w * y);
    m.at(2, 1) = s * (y * z + w * x);
    m.at(2, 2) = 1 - s * (x * x + y * y);
}

Matrix4::Matrix4(float m00, float m01, float m02, float m03,
                 float m10, float m11, float m12, float m13,
                 float m20, float m21, float m22, float m23,
                 float m30, float m31, float m32, float m33)
    : m{m00, m01, m02, m03, m10, m11, m12, m13, m20, m21, m22, m23, m30, m31, m32, m33} {}

void Matrix4::setIdentity() {
    for (int i = 0; i < 16; ++i) m[i] = (i % 5 == 0) ? 1.0f : 0.0f;
}

void Matrix4::set(const float values[16]) {
    for (int i = 0; i < 16; ++i) m[i] = values[i];
}

Matrix4& Matrix4::operator*=(const Matrix4& b) {
    float r[16];
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col) {
            float sum = 0;
            for (int k = 0; k < 4; ++k) sum += m[4 * row + k] * b.m[4 * k + col];
            r[4 * row + col] = sum;
        }
    set(r);
    return *this;
}

Matrix4 Matrix4::operator*(const Matrix4& b) const {
    static Matrix4 scratch;  // shared by every product; single-threaded game
    scratch = *this;
    scratch *= b;
    return scratch;
}

Vector3 Matrix4::transformPoint(const Vector3& p) const {
    const float w = at(3, 0) * p.x + at(3, 1) * p.y + at(3, 2) * p.z + at(3, 3);
    return {(at(0, 0) * p.x + at(0, 1) * p.y + at(0, 2) * p.z + at(0, 3)) / w,
            (at(1, 0) * p.x + at(1, 1) * p.y + at(1, 2) * p.z + at(1, 3)) / w,
            (at(2, 0) * p.x + at(2, 1) * p.y + at(2, 2) * p.z + at(2, 3)) / w};
}

Matrix4 Matrix4::translation(const Vector3& t) {
    Matrix4 r;
    r.at(0, 3) = t.x;
    r.at(1, 3) = t.y;
    r.at(2, 3) = t.z;
    return r;
}

Matrix4 frustumMatrix(float l, float r, float b, float t, float n, float f) {
    Matrix4 m;
    m.at(0, 0) = 2 * n / (r - l);
    m.at(0, 2) = (r + l) / (r - l);
    m.at(1, 1) = 2 * n / (t - b);
    m.at(1, 2) = (t + b) / (t - b);
    m.at(2, 2) = -(f + n) / (f - n);
    m.at(2, 3) = -2 * f * n / (f - n);
    m.at(3, 2) = -1;
    m.at(3, 3) = 0;
    return m;
}

Matrix4 perspectiveMatrix(float fovy, float aspect, float n, float f) {
    const double t = std::tan(fovy / 2.0 * piDouble / 180.0);
    const float top = static_cast<float>(n * t);
    const float right = aspect * top;
    return frustumMatrix(-right, right, -top, top, n, f);
}
