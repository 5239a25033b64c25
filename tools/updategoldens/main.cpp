// Rewrites the reference pictures of the play tests (tests/play/golden) and
// the state hashes of the demo's golden replays (demo_*_hashes.txt) on
// purpose: runs the golden-frame and golden-replay tests of a build with the
// update switch set, so they write what they see instead of comparing it.
// Look at the new pictures and hashes before committing them.
//
//   updategoldens <build folder>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <build folder>\n", argv[0]);
        return 2;
    }
    const std::string strTest = std::string(argv[1]) + "/tests/test_play";
    if (access(strTest.c_str(), X_OK) != 0) {
        std::fprintf(stderr, "%s: no test program %s (build test_play first)\n", argv[0], strTest.c_str());
        return 1;
    }
    setenv("MOSSGROVE_UPDATE_GOLDEN", "1", 1);
    const pid_t pid = fork();
    if (pid < 0) {
        std::perror("fork");
        return 1;
    }
    if (pid == 0) {
        execl(strTest.c_str(), strTest.c_str(), "--gtest_filter=GoldenFrames.*:GoldenReplay.*", static_cast<char*>(nullptr));
        std::perror("exec");
        _exit(127);
    }
    int nStatus = 0;
    if (waitpid(pid, &nStatus, 0) < 0 || !WIFEXITED(nStatus) || WEXITSTATUS(nStatus) != 0) {
        std::fprintf(stderr, "%s: the golden-frame tests failed; the pictures may be incomplete\n", argv[0]);
        return 1;
    }
    std::printf("reference pictures written to tests/play/golden; check them before committing\n");
    return 0;
}
