// Linked into every test program: the environment every test runs in, unless
// the caller's environment already says otherwise. Tests run headless (SDL's
// dummy video and audio drivers) and can find the source and build folders.
#include <cstdlib>

namespace {

struct cTestEnvironment {
    cTestEnvironment() {
        setenv("SDL_VIDEODRIVER", "dummy", 0);
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        setenv("MOSSGROVE_SOURCE_DIR", MOSSGROVE_SOURCE_DIR, 0);
        setenv("MOSSGROVE_BINARY_DIR", MOSSGROVE_BINARY_DIR, 0);
    }
};

const cTestEnvironment envTests;

}  // namespace
