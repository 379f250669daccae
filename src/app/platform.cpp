// platform.cpp -- the installed platform and the performance counter.
#include "app/platform.h"

namespace {
OffscreenPlatform defaultPlatform;
Platform* installed = &defaultPlatform;
}  // namespace

Platform& platform() { return *installed; }

void installPlatform(Platform* p) { installed = p ? p : &defaultPlatform; }

std::int64_t queryPerformanceFrequency() { return 1000000; }

std::int64_t queryPerformanceCounter() { return platform().clockMicroseconds(); }
