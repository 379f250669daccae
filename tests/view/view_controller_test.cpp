// Mouse manipulators: which press arms which manipulator, drag steps, the
// trackball's console line, the handler list, and the GL transforms.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "app/platform.h"
#include "support/gl_context.h"
#include "view/view_controller.h"

namespace {

constexpr int left = 0, middle = 1, right = 2;
constexpr int down = 0, up = 1;
constexpr int shift = 1, ctrl = 2;

class ManipulatorTest : public ::testing::Test {
protected:
    void SetUp() override { installPlatform(&platform); }
    void press(int button, int mods, int x = 100, int y = 100) {
        platform.heldModifiers = mods;
        controller.onMouse(button, down, x, y);
    }
    OffscreenPlatform platform;
    ViewController controller{2};
};

// Which manipulator a press arms, per layout; the modifier mask must match
// exactly, so in layout 2 Shift-left arms nothing at all.
TEST_F(ManipulatorTest, PressArmsOnlyTheMatchingManipulator) {
    struct Case {
        int layout, button, mods;
        bool trackball, pan, dolly;
    };
    const Case cases[] = {
        {2, left, 0, true, false, false},     {2, left, ctrl, false, false, true},
        {2, middle, 0, false, true, false},   {2, left, shift, false, false, false},
        {1, left, shift, false, true, false}, {1, left, ctrl, false, false, true},
        {7, middle, 0, false, true, false},   {7, right, 0, false, false, true},
    };
    for (const Case& c : cases) {
        ViewController v(c.layout);
        platform.heldModifiers = c.mods;
        v.onMouse(c.button, down, 0, 0);
        EXPECT_EQ(v.trackball.active, c.trackball) << "layout " << c.layout << " button " << c.button;
        EXPECT_EQ(v.pan.active, c.pan) << "layout " << c.layout << " button " << c.button;
        EXPECT_EQ(v.dolly.active, c.dolly) << "layout " << c.layout << " button " << c.button;
    }
}

// Only a release of its own button disarms a manipulator, whatever the
// modifiers held at the release.
TEST_F(ManipulatorTest, OnlyItsOwnReleaseDisarms) {
    press(left, 0);
    controller.onMouse(middle, up, 0, 0);
    controller.onMouse(right, up, 0, 0);
    EXPECT_TRUE(controller.trackball.active);
    platform.heldModifiers = shift;
    controller.onMouse(left, up, 0, 0);
    EXPECT_FALSE(controller.trackball.active);
}

// Moving the pointer 10 px down the window: pan y -0.1, dolly z +0.1.
TEST_F(ManipulatorTest, TenPixelDragOnPanAndDolly) {
    press(middle, 0, 50, 100);
    controller.onMotion(50, 110);
    EXPECT_NEAR(controller.pan.translation.y, -0.1f, 1e-6f);
    EXPECT_EQ(controller.pan.translation.x, 0.0f);
    EXPECT_TRUE(platform.redisplayPosted);
    controller.onMouse(middle, up, 50, 110);

    press(left, ctrl, 50, 100);
    controller.onMotion(50, 110);
    EXPECT_NEAR(controller.dolly.translation.z, 0.1f, 1e-6f);
    EXPECT_EQ(controller.dolly.translation.y, 0.0f);
    // The pan was released: it did not move again.
    EXPECT_NEAR(controller.pan.translation.y, -0.1f, 1e-6f);
}

// Steps are measured from the previous event, and invert reverses them.
TEST_F(ManipulatorTest, DragStepsAccumulateAndInvertReverses) {
    controller.pan.invert = true;
    press(middle, 0, 0, 0);
    controller.onMotion(-5, 0);
    controller.onMotion(-15, 0);
    EXPECT_EQ(controller.pan.dx, 10);
    EXPECT_NEAR(controller.pan.translation.x, -0.15f, 1e-6f);
}

// A zero step neither turns the trackball nor prints.
TEST_F(ManipulatorTest, ZeroDragPrintsNothing) {
    press(left, 0, 40, 40);
    testing::internal::CaptureStdout();
    controller.onMotion(40, 40);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, "");
    EXPECT_EQ(controller.trackball.orientation.w, 1.0f);
    EXPECT_FALSE(platform.redisplayPosted);
}

// 10 px to the right: axis (0, 1, 0), angle 10 x -0.01 = -0.1 rad, so the
// orientation becomes (0, sin -0.05, 0, cos -0.05).
TEST_F(ManipulatorTest, TrackballDragTurnsAndPrints) {
    press(left, 0, 40, 40);
    testing::internal::CaptureStdout();
    controller.onMotion(50, 40);
    const std::string out = testing::internal::GetCapturedStdout();
    const Quaternion& q = controller.trackball.orientation;
    EXPECT_NEAR(q.x, 0, 1e-6);
    EXPECT_NEAR(q.y, std::sin(-0.05), 1e-6);
    EXPECT_NEAR(q.z, 0, 1e-6);
    EXPECT_NEAR(q.w, std::cos(-0.05), 1e-6);
    char expected[128];
    std::snprintf(expected, sizeof expected, "rotation: %f, %f, %f, %f\n", 0.0, std::sin(-0.05), 0.0,
                  std::cos(-0.05));
    EXPECT_EQ(out, expected);
}

// The increment multiplies from the left: a second drag about x after one
// about y composes as Rx * Ry, not Ry * Rx.
TEST_F(ManipulatorTest, TrackballIncrementComposesOnTheLeft) {
    press(left, 0, 0, 0);
    testing::internal::CaptureStdout();
    controller.onMotion(10, 0);   // about y by -0.1
    controller.onMotion(10, -10); // pointer up: dy = 10, about x by -0.1
    testing::internal::GetCapturedStdout();
    Quaternion expected = Quaternion::fromAxisAngle(Vector3(1, 0, 0), -0.1f);
    expected *= Quaternion::fromAxisAngle(Vector3(0, 1, 0), -0.1f);
    const Quaternion& q = controller.trackball.orientation;
    EXPECT_NEAR(q.x, expected.x, 1e-6);
    EXPECT_NEAR(q.y, expected.y, 1e-6);
    EXPECT_NEAR(q.z, expected.z, 1e-6);
    EXPECT_NEAR(q.w, expected.w, 1e-6);
}

// The handler list: never twice, order kept, dispatch sees late additions.
class HandlerListTest : public ::testing::Test {
protected:
    void SetUp() override { inputHandlers.clear(); }
    void TearDown() override { inputHandlers.clear(); }
};

struct CountingHandler : InputHandler {
    void onMouse(int, int, int, int) override { ++mouseEvents; }
    int mouseEvents = 0;
};

TEST_F(HandlerListTest, AddingTwiceMovesToTheEnd) {
    CountingHandler a, b;
    addInputHandler(&a);
    addInputHandler(&b);
    addInputHandler(&a);
    ASSERT_EQ(inputHandlers.size(), 2u);
    EXPECT_EQ(inputHandlers[0], &b);
    EXPECT_EQ(inputHandlers[1], &a);
    dispatchMouse(0, 0, 0, 0);
    EXPECT_EQ(a.mouseEvents, 1);
    EXPECT_EQ(b.mouseEvents, 1);
}

TEST_F(HandlerListTest, RemovingAnAbsentHandlerKeepsTheList) {
    CountingHandler a, b, c;
    addInputHandler(&a);
    addInputHandler(&b);
    removeInputHandler(&c);
    removeInputHandler(&a);
    ASSERT_EQ(inputHandlers.size(), 1u);
    EXPECT_EQ(inputHandlers[0], &b);
}

// A handler that registers another during a dispatch: the walk reads the
// length again, so the newcomer receives the same event.
struct RecruitingHandler : CountingHandler {
    void onMouse(int b, int s, int x, int y) override {
        CountingHandler::onMouse(b, s, x, y);
        if (recruit) addInputHandler(recruit);
    }
    InputHandler* recruit = nullptr;
};

TEST_F(HandlerListTest, DispatchSeesHandlersAddedDuringTheWalk) {
    RecruitingHandler first;
    CountingHandler late;
    first.recruit = &late;
    addInputHandler(&first);
    dispatchMouse(0, 0, 0, 0);
    EXPECT_EQ(late.mouseEvents, 1);
    EXPECT_EQ(inputHandlers.size(), 2u);
}

// The GL side: what apply() leaves on the matrix stack.
class ViewTransformTest : public GLTest {};

static Matrix4 modelviewAfter(void (*emit)(ViewController&), ViewController& c) {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    emit(c);
    return readGLMatrix(GL_MODELVIEW_MATRIX);
}

static void expectMatrixNear(const Matrix4& a, const Matrix4& b, float tolerance) {
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(a.m[i], b.m[i], tolerance) << "element " << i;
}

// Identity orientation: a rotation by exactly 0 about (0, 0, 1), never
// about the zero-length vector part (normalising it is where NaN would come
// from), and apply leaves exactly the identity. A w of exactly 1 beside a
// vector part too small to normalise is a turn by 0 about (0, 0, 1) too.
TEST_F(ViewTransformTest, IdentityTurnsByZeroAboutZ) {
    ViewController c(3);
    for (const Quaternion& q : {c.trackball.orientation, Quaternion(1e-30f, 0, 0, 1)}) {
        const AxisRotation r = axisRotation(q);
        EXPECT_EQ(r.degrees, 0.0f);
        EXPECT_EQ(r.axis, Vector3(0, 0, 1)) << r.axis.x << ", " << r.axis.y << ", " << r.axis.z;
    }
    const Matrix4 m = modelviewAfter([](ViewController& v) { v.trackball.apply(); }, c);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(m.m[i], Matrix4().m[i]) << "element " << i;
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// apply() = pan, then dolly, then the trackball about its pivot; it agrees
// with the manipulators' own matrices, and applyInverse() undoes it.
TEST_F(ViewTransformTest, ApplyMatchesMatricesAndInverseUndoes) {
    ViewController c(3);
    c.pan.translation = Vector3(1.5f, -2, 0.25f);
    c.dolly.translation = Vector3(0, 0, 7);
    c.trackball.pivot = Vector3(0.5f, 1, -1);
    c.trackball.orientation = Quaternion::fromAxisAngle(Vector3(1, 2, 3), 0.8f);

    const Matrix4 applied = modelviewAfter([](ViewController& v) { v.apply(); }, c);
    const Matrix4 expected = c.pan.matrix() * c.dolly.matrix() * c.trackball.matrix();
    expectMatrixNear(applied, expected, 1e-5f);

    // A point moved by apply comes back through applyInverse.
    glLoadIdentity();
    c.apply();
    c.applyInverse();
    expectMatrixNear(readGLMatrix(GL_MODELVIEW_MATRIX), Matrix4(), 1e-5f);

    const Matrix4 inverse = modelviewAfter([](ViewController& v) { v.applyInverse(); }, c);
    const Matrix4 expectedInverse = c.trackball.inverseMatrix() * c.dolly.inverseMatrix() * c.pan.inverseMatrix();
    expectMatrixNear(inverse, expectedInverse, 1e-5f);
}

// Rounding can leave w a hair above 1; the rotation must stay finite.
TEST_F(ViewTransformTest, NearlyIdentityOrientationStaysFinite) {
    ViewController c(3);
    c.trackball.orientation = Quaternion(1e-4f, 0, 0, 1.0000001f);
    const Matrix4 m = modelviewAfter([](ViewController& v) { v.trackball.apply(); }, c);
    for (int i = 0; i < 16; ++i) EXPECT_TRUE(std::isfinite(m.m[i])) << "element " << i;
}

}  // namespace
