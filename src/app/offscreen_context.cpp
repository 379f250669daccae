// offscreen_context.cpp -- EGL surfaceless + pbuffer, desktop GL API.
#include "app/offscreen_context.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>

#include <cstring>

OffscreenContext::~OffscreenContext() { destroy(); }

bool OffscreenContext::create(int width, int height, std::string& error) {
    auto getPlatformDisplay =
        reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (!getPlatformDisplay) {
        error = "eglGetPlatformDisplayEXT is not available";
        return false;
    }
    EGLDisplay dpy = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (dpy == EGL_NO_DISPLAY) {
        error = "no surfaceless EGL display";
        return false;
    }
    EGLint major = 0, minor = 0;
    if (!eglInitialize(dpy, &major, &minor)) {
        error = "eglInitialize failed";
        return false;
    }
    if (!eglBindAPI(EGL_OPENGL_API)) {
        error = "eglBindAPI(EGL_OPENGL_API) failed";
        return false;
    }
    const EGLint configAttributes[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT,
                                       EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8, EGL_ALPHA_SIZE, 8,
                                       EGL_DEPTH_SIZE, 24,
                                       EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                                       EGL_NONE};
    EGLConfig config = nullptr;
    EGLint configCount = 0;
    if (!eglChooseConfig(dpy, configAttributes, &config, 1, &configCount) || configCount < 1) {
        error = "no RGBA8 / depth 24 pbuffer config";
        return false;
    }
    const EGLint surfaceAttributes[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    EGLSurface surf = eglCreatePbufferSurface(dpy, config, surfaceAttributes);
    if (surf == EGL_NO_SURFACE) {
        error = "eglCreatePbufferSurface failed";
        return false;
    }
    // A compatibility profile: the game is fixed-function GL.
    const EGLint contextAttributes[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                        EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
    EGLContext ctx = eglCreateContext(dpy, config, EGL_NO_CONTEXT, contextAttributes);
    if (ctx == EGL_NO_CONTEXT) ctx = eglCreateContext(dpy, config, EGL_NO_CONTEXT, nullptr);
    if (ctx == EGL_NO_CONTEXT) {
        eglDestroySurface(dpy, surf);
        error = "eglCreateContext failed";
        return false;
    }
    if (!eglMakeCurrent(dpy, surf, surf, ctx)) {
        eglDestroyContext(dpy, ctx);
        eglDestroySurface(dpy, surf);
        error = "eglMakeCurrent failed";
        return false;
    }
    display = dpy;
    surface = surf;
    context = ctx;
    surfaceWidth = width;
    surfaceHeight = height;
    return true;
}

void OffscreenContext::destroy() {
    if (!context) return;
    eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroyContext(display, context);
    eglDestroySurface(display, surface);
    context = nullptr;
    surface = nullptr;
}
