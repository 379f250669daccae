// offscreen_context.h -- a real OpenGL compatibility context with no window:
// Mesa's surfaceless EGL platform with an RGBA8, 24-bit depth pbuffer.
// Used by the headless tool, the benchmarks and the GL tests.
#pragma once

#include <string>

class OffscreenContext {
public:
    OffscreenContext() = default;
    ~OffscreenContext();
    OffscreenContext(const OffscreenContext&) = delete;
    OffscreenContext& operator=(const OffscreenContext&) = delete;

    // Creates the context and makes it current. On failure returns false and
    // says why in error.
    bool create(int width, int height, std::string& error);
    void destroy();
    bool valid() const { return context != nullptr; }
    int width() const { return surfaceWidth; }
    int height() const { return surfaceHeight; }

private:
    void* display = nullptr;
    void* surface = nullptr;
    void* context = nullptr;
    int surfaceWidth = 0;
    int surfaceHeight = 0;
};
