#pragma once
// The program's entry: logs, single instance, the main window, start-up,
// the game thread, the main loop and the shutdown. Runs in the current
// directory, the game folder.
//
// Arguments: an optional stage file to start on; "--test-play" for a test
// play started by the editor; "--close-after-frames N" asks for a close once
// N frames have run (unattended runs); "--help" prints the usage. An
// unknown option prints the usage to standard error.
//
// The exit status: GAME_EXIT_OK after a clean run (and for --help),
// GAME_EXIT_FAILED when the game could not start, another copy kept running
// or the run ended on an error, GAME_EXIT_USAGE for a command-line error.
#include <string>

constexpr int GAME_EXIT_OK = 0;
constexpr int GAME_EXIT_FAILED = 1;
constexpr int GAME_EXIT_USAGE = 2;

int GameEntry(int argc, char** argv);

extern const char* const GAME_USAGE;

struct COMMANDLINE {
    int bTestPlay = 0;
    int bHelp = 0;
    unsigned nCloseAfterFrames = 0;
    char szStage[260] = {};   // Shift-JIS, bounded
    std::string strError;     // the first command-line error, empty when none
};
COMMANDLINE ParseCommandLine(int argc, char** argv);
