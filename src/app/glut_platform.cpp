// glut_platform.cpp -- freeglut behind the platform interface.
#include "app/glut_platform.h"

#include <GL/freeglut.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <string>

// Last: Xlib defines macros (None, Bool, Status) that other headers use as names.
#include <GL/glx.h>
#include <X11/Xlib.h>

namespace {
// How often, and how far apart, the display check tries to connect: about
// half a second in all before the display counts as missing.
constexpr int connectAttempts = 4;
constexpr useconds_t connectRetryMicroseconds = 150000;
}  // namespace

void GlutPlatform::postRedisplay() { glutPostRedisplay(); }

void GlutPlatform::swapBuffers() { glutSwapBuffers(); }

int GlutPlatform::modifiers() { return glutGetModifiers(); }

void GlutPlatform::fullScreen() {
    if (!windowed) glutFullScreen();
}

void GlutPlatform::showPointer(bool shown) { glutSetCursor(shown ? GLUT_CURSOR_INHERIT : GLUT_CURSOR_NONE); }

void GlutPlatform::nameWindowClass(const char* name, const char* className) {
    Display* display = glXGetCurrentDisplay();
    const GLXDrawable window = glXGetCurrentDrawable();
    if (!display || window == 0) return;
    XClassHint hint;
    std::string n(name), c(className);  // Xlib takes them as char*
    hint.res_name = n.data();
    hint.res_class = c.data();
    XSetClassHint(display, window, &hint);
    XFlush(display);
}

void GlutPlatform::quit(int status) {
    // main() closes down once GLUT's loop returns; the callbacks it
    // registered check leaving() so that none acts after this.
    exitStatus = status;
    leavingLoop = true;
    glutLeaveMainLoop();
}

std::int64_t GlutPlatform::clockMicroseconds() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1000000 + ts.tv_nsec / 1000;
}

void GlutPlatform::sleepUntil(std::int64_t microseconds) {
    timespec until{};
    until.tv_sec = static_cast<time_t>(microseconds / 1000000);
    until.tv_nsec = static_cast<long>(microseconds % 1000000) * 1000;
    // An absolute deadline: a signal that cuts the sleep short only resumes it.
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
    }
}

namespace {
bool hasExtension(const char* extensions, const char* name) {
    if (!extensions) return false;
    const size_t length = std::strlen(name);
    for (const char* p = extensions; (p = std::strstr(p, name)) != nullptr; p += length) {
        const bool startsWord = p == extensions || p[-1] == ' ';
        if (startsWord && (p[length] == ' ' || p[length] == '\0')) return true;
    }
    return false;
}
}  // namespace

bool GlutPlatform::syncSwapsToRefresh() {
    Display* display = glXGetCurrentDisplay();
    const GLXDrawable drawable = glXGetCurrentDrawable();
    if (!display || !drawable) return false;
    const char* extensions = glXQueryExtensionsString(display, DefaultScreen(display));
    const auto address = [](const char* name) {
        return glXGetProcAddressARB(reinterpret_cast<const GLubyte*>(name));
    };
    if (hasExtension(extensions, "GLX_EXT_swap_control")) {
        using SwapIntervalEXT = void (*)(Display*, GLXDrawable, int);
        if (auto f = reinterpret_cast<SwapIntervalEXT>(address("glXSwapIntervalEXT"))) {
            f(display, drawable, 1);
            return true;
        }
    }
    if (hasExtension(extensions, "GLX_MESA_swap_control")) {
        using SwapIntervalMESA = int (*)(unsigned int);
        if (auto f = reinterpret_cast<SwapIntervalMESA>(address("glXSwapIntervalMESA"))) return f(1) == 0;
    }
    if (hasExtension(extensions, "GLX_SGI_swap_control")) {
        using SwapIntervalSGI = int (*)(int);
        if (auto f = reinterpret_cast<SwapIntervalSGI>(address("glXSwapIntervalSGI"))) return f(1) == 0;
    }
    return false;
}

namespace {
bool xErrorSeen = false;
int noteXError(Display*, XErrorEvent*) {
    xErrorSeen = true;
    return 0;
}
}  // namespace

void GlutPlatform::watchKeyboardFocus(DisplayCheck& check) {
    Display* display = static_cast<Display*>(check.release());
    const GLXDrawable window = glXGetCurrentDrawable();
    Display* glutDisplay = glXGetCurrentDisplay();
    if (!display || window == 0 || !glutDisplay || focusConnection) {
        if (display) XCloseDisplay(display);
        return;
    }
    // GLUT created the window on its own connection; once that connection
    // has been answered the server knows the window, and this one can name it.
    XSync(glutDisplay, False);
    // Each client chooses its own events on a window: GLUT's are untouched.
    // An error here (the window gone already) costs the focus watch, not the
    // game, which Xlib's default handler would end.
    xErrorSeen = false;
    const auto previousHandler = XSetErrorHandler(noteXError);
    XSelectInput(display, window, FocusChangeMask);
    XSync(display, False);
    XSetErrorHandler(previousHandler);
    if (xErrorSeen) {
        XCloseDisplay(display);
        return;
    }
    focusConnection = display;
}

void GlutPlatform::closeFocusWatch() {
    if (focusConnection) XCloseDisplay(static_cast<Display*>(focusConnection));
    focusConnection = nullptr;
}

bool GlutPlatform::keyboardFocusLost() {
    Display* display = static_cast<Display*>(focusConnection);
    if (!display) return false;
    bool lost = false;
    while (XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        // Focus moving into a child of the window stays with the game.
        if (event.type == FocusOut && event.xfocus.detail != NotifyInferior) lost = true;
    }
    return lost;
}

bool DisplayCheck::open(int argc, char** argv) {
    close();
    const char* requested = nullptr;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "-display") == 0) requested = argv[i + 1];
    }
    displayName = XDisplayName(requested);
    // A busy server can turn a connection away now and then (seen with
    // Xvfb under load); only a display that stays unreachable is missing.
    for (int attempt = 0; attempt < connectAttempts && !connection; ++attempt) {
        if (attempt > 0) usleep(connectRetryMicroseconds);
        connection = XOpenDisplay(requested);
    }
    return connection != nullptr;
}

void* DisplayCheck::release() {
    void* handed = connection;
    connection = nullptr;
    return handed;
}

void DisplayCheck::close() {
    if (connection) XCloseDisplay(static_cast<Display*>(connection));
    connection = nullptr;
}
