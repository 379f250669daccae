// vector_math.h -- the small value types every part of the game computes with.
//
// All components are single-precision floats. Angles handed to these
// functions are radians unless a name says degrees.
// Matrix4 is row-major: element (row r, column c) sits at index 4r + c, and
// points are column vectors multiplied from the right, so the translation is
// in column 3. Handing data() to glMultMatrixf gives OpenGL the transpose;
// readGLMatrix transposes on the way in, so it holds GL's matrix row-major.
#pragma once

// pi, once for the whole game: in double, and rounded to float (3.1415927)
// for the float angle math.
constexpr double piDouble = 3.141592653589793;
constexpr float pi = static_cast<float>(piDouble);
// The searchlight's aim and the mini-map's turn convert degrees with the
// five-place 3.14159, a hair short of pi; their angles keep that value.
constexpr float shortPi = 3.14159f;

// Stops the program with a message naming the index: a Vector3 has only
// components 0..2. Checked in every build, since a wrong index would
// otherwise quietly read or write z.
[[noreturn]] void vectorIndexOutOfRange(int i);

struct Vector3 {
    float x, y, z;

    Vector3() : x(0), y(0), z(0) {}
    explicit Vector3(float s) : x(s), y(s), z(s) {}
    Vector3(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}

    // Component i of 0..2 (x, y, z); any other index stops the program.
    float& operator[](int i) {
        if (i < 0 || i > 2) vectorIndexOutOfRange(i);
        return i == 0 ? x : (i == 1 ? y : z);
    }
    float operator[](int i) const {
        if (i < 0 || i > 2) vectorIndexOutOfRange(i);
        return i == 0 ? x : (i == 1 ? y : z);
    }

    Vector3 operator+(const Vector3& b) const { return {x + b.x, y + b.y, z + b.z}; }
    Vector3 operator-(const Vector3& b) const { return {x - b.x, y - b.y, z - b.z}; }
    Vector3 operator-() const { return {-x, -y, -z}; }
    Vector3 operator*(float s) const { return {x * s, y * s, z * s}; }
    Vector3& operator+=(const Vector3& b) { x += b.x; y += b.y; z += b.z; return *this; }
    Vector3& operator-=(const Vector3& b) { x -= b.x; y -= b.y; z -= b.z; return *this; }
    Vector3& operator*=(float s) { x *= s; y *= s; z *= s; return *this; }

    // Exact component comparison, no epsilon.
    bool operator==(const Vector3& b) const { return x == b.x && y == b.y && z == b.z; }
    bool operator!=(const Vector3& b) const { return !(*this == b); }

    float dot(const Vector3& b) const { return x * b.x + y * b.y + z * b.z; }
    Vector3 cross(const Vector3& b) const {
        return {y * b.z - z * b.y, z * b.x - x * b.z, x * b.y - y * b.x};
    }
    float length() const;
    // Scales to unit length in place; returns the former length. A zero
    // vector is left unchanged and 0 is returned (no division by zero).
    float normalize();
};

// Free functions on loose components, as the camera, helicopter and car code use them.
Vector3 divide(float x, float y, float z, float s);
float dot(float ax, float ay, float az, float bx, float by, float bz);
Vector3 cross(float ax, float ay, float az, float bx, float by, float bz);
// Unit vector of (x, y, z); the zero vector comes back as zero.
Vector3 normalized(float x, float y, float z);
// Each difference is rounded to float before it is squared.
float distance(float ax, float ay, float az, float bx, float by, float bz);
float distance(const Vector3& a, const Vector3& b);

struct Vector4 {
    float x, y, z, w;
    Vector4(float x_, float y_, float z_, float w_) : x(x_), y(y_), z(z_), w(w_) {}
    const float* data() const { return &x; }  // for glLightfv
};

struct Matrix4;

// Rotation quaternion: vector part (x, y, z) first, scalar w last.
struct Quaternion {
    float x = 0, y = 0, z = 0, w = 1;

    Quaternion() = default;
    Quaternion(float x_, float y_, float z_, float w_) : x(x_), y(y_), z(z_), w(w_) {}

    // Rotation by angle radians about axis (normalised on a copy).
    static Quaternion fromAxisAngle(const Vector3& axis, float angle);
    // this = this x q (Hamilton product), then every component divided by the
    // squared norm of the result (a no-op for unit inputs).
    Quaternion& operator*=(const Quaternion& q);
    Quaternion conjugate() const { return {-x, -y, -z, w}; }
    void toMatrix(Matrix4& m) const;
};

struct Matrix4 {
    float m[16];

    Matrix4() { setIdentity(); }
    Matrix4(float m00, float m01, float m02, float m03,
            float m10, float m11, float m12, float m13,
            float m20, float m21, float m22, float m23,
            float m30, float m31, float m32, float m33);

    void setIdentity();
    void set(const float values[16]);  // row by row
    float* data() { return m; }
    const float* data() const { return m; }
    float* row(int r) { return m + 4 * r; }
    const float* row(int r) const { return m + 4 * r; }
    float& at(int r, int c) { return m[4 * r + c]; }
    float at(int r, int c) const { return m[4 * r + c]; }

    // Ordinary row-by-column product. Computed in one static scratch matrix,
    // so it is not reentrant (the game is single-threaded).
    Matrix4 operator*(const Matrix4& b) const;
    Matrix4& operator*=(const Matrix4& b);

    // p as a column vector with w = 1, followed by the perspective divide.
    Vector3 transformPoint(const Vector3& p) const;

    static Matrix4 translation(const Vector3& t);
};

// The matrix of glFrustum / gluPerspective (fovy in degrees).
Matrix4 frustumMatrix(float left, float right, float bottom, float top, float near, float far);
Matrix4 perspectiveMatrix(float fovyDegrees, float aspect, float near, float far);

// glGetFloatv(name) transposed into a row-major Matrix4 (needs a current context).
Matrix4 readGLMatrix(unsigned int name);
