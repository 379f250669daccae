// Vector, quaternion and matrix arithmetic the whole game leans on.
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "render/vector_math.h"
#include "support/gl_context.h"

namespace {

void expectMatrixNear(const Matrix4& a, const Matrix4& b, float eps = 1e-5f) {
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(a.m[i], b.m[i], eps) << "element " << i;
}

void expectPointNear(const Vector3& p, const Vector3& expected, float eps = 1e-6f) {
    EXPECT_NEAR(p.x, expected.x, eps);
    EXPECT_NEAR(p.y, expected.y, eps);
    EXPECT_NEAR(p.z, expected.z, eps);
}

TEST(Vector3Test, CrossAndDotFollowTheRightHand) {
    EXPECT_EQ(Vector3(0, 1, 0).cross(Vector3(0, 0, 1)), Vector3(1, 0, 0));
    EXPECT_EQ(cross(1, 0, 0, 0, 1, 0), Vector3(0, 0, 1));
    EXPECT_FLOAT_EQ(dot(1, 2, 3, 4, 5, 6), 32.0f);
}

TEST(Vector3Test, NormalizeReturnsTheFormerLength) {
    Vector3 v(3, 0, 4);
    EXPECT_FLOAT_EQ(v.normalize(), 5.0f);
    EXPECT_FLOAT_EQ(v.x, 0.6f);
    EXPECT_FLOAT_EQ(v.y, 0.0f);
    EXPECT_FLOAT_EQ(v.z, 0.8f);
}

// Looking straight down the up vector makes a zero cross product: that must
// not turn into NaNs that spread through the camera basis.
TEST(Vector3Test, ZeroVectorNormalizesToItselfWithoutNaN) {
    Vector3 v(0, 0, 0);
    EXPECT_EQ(v.normalize(), 0.0f);
    EXPECT_EQ(v, Vector3(0, 0, 0));
    const Vector3 n = normalized(0, 0, 0);
    EXPECT_FALSE(std::isnan(n.x) || std::isnan(n.y) || std::isnan(n.z));
    EXPECT_EQ(n, Vector3(0, 0, 0));
}

// Indices 0..2 address x, y, z; any other index, read or written, stops
// the program with a message rather than reaching z.
TEST(Vector3Test, IndexAddressesComponentsInOrder) {
    Vector3 v(1, 2, 3);
    v[1] = 7;
    EXPECT_EQ(v[0], 1);
    EXPECT_EQ(v.y, 7);
    EXPECT_EQ(v[2], 3);

    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const Vector3 c(1, 2, 3);
    EXPECT_DEATH(v[3] = 9, "Vector3 index 3 is outside 0..2");
    EXPECT_DEATH(std::printf("%f", c[-1]), "Vector3 index -1 is outside 0..2");
}

TEST(Vector3Test, DistanceIsEuclidean) {
    EXPECT_FLOAT_EQ(distance(0, 0, 0, 3, 4, 12), 13.0f);
    EXPECT_FLOAT_EQ(distance(Vector3(1, 1, 1), Vector3(1, 1, 1)), 0.0f);
    EXPECT_EQ(divide(2, 4, 6, 2), Vector3(1, 2, 3));
}

TEST(QuaternionTest, ZeroAngleIsTheIdentity) {
    const Quaternion q = Quaternion::fromAxisAngle(Vector3(0, 1, 0), 0);
    EXPECT_FLOAT_EQ(q.x, 0);
    EXPECT_FLOAT_EQ(q.y, 0);
    EXPECT_FLOAT_EQ(q.z, 0);
    EXPECT_FLOAT_EQ(q.w, 1);
    Matrix4 m;
    m.at(0, 1) = 5;  // toMatrix must overwrite everything
    q.toMatrix(m);
    expectMatrixNear(m, Matrix4());
}

TEST(QuaternionTest, RotatesAboutTheAxisRightHanded) {
    // 90 degrees about y carries +z to +x; the axis is normalised on a copy.
    const Quaternion q = Quaternion::fromAxisAngle(Vector3(0, 5, 0), pi / 2);
    Matrix4 m;
    q.toMatrix(m);
    expectPointNear(m.transformPoint(Vector3(0, 0, 1)), Vector3(1, 0, 0));
}

TEST(QuaternionTest, ProductComposesRotationsRightToLeft) {
    // q = yaw about y, then *= pitch about x: the pitch applies first.
    Quaternion q = Quaternion::fromAxisAngle(Vector3(0, 1, 0), pi / 2);
    q *= Quaternion::fromAxisAngle(Vector3(1, 0, 0), pi / 2);
    Matrix4 m;
    q.toMatrix(m);
    // +y pitched about x becomes +z, then yawed about y becomes +x.
    expectPointNear(m.transformPoint(Vector3(0, 1, 0)), Vector3(1, 0, 0));
    EXPECT_NEAR(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w, 1, 1e-6);
}

TEST(QuaternionTest, ProductRescalesByTheSquaredNorm) {
    Quaternion q(0, 0, 0, 2);
    q *= Quaternion(0, 0, 0, 1);  // product (0,0,0,2), n = 4, result w = 0.5
    EXPECT_FLOAT_EQ(q.w, 0.5f);
}

TEST(Matrix4Test, ProductIsRowByColumnAndStoredRowMajor) {
    const Matrix4 a(1, 2, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
    const Matrix4 b(1, 0, 0, 0, 3, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
    const Matrix4 ab = a * b;
    EXPECT_FLOAT_EQ(ab.at(0, 0), 7);
    EXPECT_FLOAT_EQ(ab.at(0, 1), 2);
    EXPECT_FLOAT_EQ(ab.at(1, 0), 3);
    EXPECT_FLOAT_EQ(ab.m[1], 2);  // index 4r + c
    // The shared scratch matrix must not leak one product into the next.
    const Matrix4 ba = b * a;
    EXPECT_FLOAT_EQ(ba.at(1, 1), 7);
    EXPECT_FLOAT_EQ(ab.at(1, 1), 1);
    Matrix4 c = a;
    c *= b;
    expectMatrixNear(c, ab);
}

TEST(Matrix4Test, TransformPointTranslatesAndDividesByW) {
    const Matrix4 t = Matrix4::translation(Vector3(1, 2, 3));
    EXPECT_EQ(t.transformPoint(Vector3(1, 1, 1)), Vector3(2, 3, 4));
    Matrix4 h;
    h.at(3, 3) = 2;
    EXPECT_EQ(h.transformPoint(Vector3(2, 4, 6)), Vector3(1, 2, 3));
}

TEST(Matrix4Test, PointOnTheViewAxisLandsInTheMiddleOfNdc) {
    const Matrix4 p = perspectiveMatrix(18, 1, 0.1f, 50);
    Matrix4 view = Matrix4::translation(Vector3(0, 0, -10));  // camera 10 units back
    const Vector3 c = (p * view).transformPoint(Vector3(0, 0, 0));
    EXPECT_NEAR(c.x, 0, 1e-6);
    EXPECT_NEAR(c.y, 0, 1e-6);
    EXPECT_GT(c.z, -1);
    EXPECT_LT(c.z, 1);
    // Just inside the 9-degree half angle at distance 10 stays inside, just
    // outside leaves the unit cube.
    const float edge = 10 * std::tan(9 * pi / 180);
    EXPECT_LT((p * view).transformPoint(Vector3(0, edge * 0.99f, 0)).y, 1);
    EXPECT_GT((p * view).transformPoint(Vector3(0, edge * 1.01f, 0)).y, 1);
}

class GLMatrixTest : public GLTest {};

TEST_F(GLMatrixTest, ReadBackAfterLoadIdentityIsTheIdentity) {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    expectMatrixNear(readGLMatrix(GL_MODELVIEW_MATRIX), Matrix4());
}

TEST_F(GLMatrixTest, ReadBackIsRowMajorAndMatchesOurFrustumAndPerspective) {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(1, 2, 3);
    const Matrix4 t = readGLMatrix(GL_MODELVIEW_MATRIX);
    EXPECT_FLOAT_EQ(t.at(0, 3), 1);
    EXPECT_FLOAT_EQ(t.at(1, 3), 2);
    EXPECT_FLOAT_EQ(t.at(2, 3), 3);

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(-1, 1, -1, 1, 1.5, 400);
    expectMatrixNear(readGLMatrix(GL_PROJECTION_MATRIX), frustumMatrix(-1, 1, -1, 1, 1.5f, 400));
    glLoadIdentity();
    gluPerspective(18, 1, 0.1, 50);
    expectMatrixNear(readGLMatrix(GL_PROJECTION_MATRIX), perspectiveMatrix(18, 1, 0.1f, 50), 1e-4f);
    glMatrixMode(GL_MODELVIEW);
}

TEST_F(GLMatrixTest, HandingDataToGLGivesItTheTranspose) {
    Matrix4 m = Matrix4::translation(Vector3(4, 5, 6));
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glMultMatrixf(m.data());
    const Matrix4 back = readGLMatrix(GL_MODELVIEW_MATRIX);
    // GL read our row-major translation column-major: it sits in row 3.
    EXPECT_FLOAT_EQ(back.at(3, 0), 4);
    EXPECT_FLOAT_EQ(back.at(3, 2), 6);
    EXPECT_FLOAT_EQ(back.at(0, 3), 0);
}

}  // namespace
