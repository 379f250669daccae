// Defaults every sanitized executable carries, so that the game, the tools
// and the tests behave the same whether ctest, a script or a developer starts
// them. Settings in the environment still take precedence.
//
// Leaks are reported, but the known ones inside the system's GL stack (listed
// in lsan.supp, by library) are not ours to mend.
#include <dlfcn.h>

extern "C" {

const char* __asan_default_options() {
    return "detect_leaks=1:strict_init_order=1:check_initialization_order=1:"
           "detect_stack_use_after_return=1:abort_on_error=0";
}

const char* __lsan_default_options() {
    return "suppressions=" SEARCHLIGHT_LSAN_SUPPRESSIONS ":print_suppressions=0";
}

const char* __ubsan_default_options() {
    return "print_stacktrace=1:halt_on_error=1";
}

}  // extern "C"

namespace {

// The GL driver libraries are loaded on demand and unloaded again when the
// display closes, which happens before the leak check at exit. Their leaks
// would then come from "<unknown module>" and no suppression could name
// them, so keep them loaded for the life of the process. A library that is
// not installed is simply skipped.
struct KeepGLDriversLoaded {
    KeepGLDriversLoaded() {
        const char* const libraries[] = {
            "libGLX_mesa.so.0",
            "libEGL_mesa.so.0",
            "libglapi.so.0",
            "/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so",
        };
        for (const char* library : libraries) dlopen(library, RTLD_LAZY | RTLD_NODELETE);
    }
};
const KeepGLDriversLoaded keepGLDriversLoaded;

}  // namespace
