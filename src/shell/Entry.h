#pragma once
// The program's entry: logs, single instance, the main window, start-up,
// the game thread, the main loop and the shutdown. Runs in the current
// directory, the game folder.
//
// Arguments: an optional stage file to start on; "--test-play" for a test
// play started by the editor; "--close-after-frames N" asks for a close once
// N frames have run (unattended runs).
int GameEntry(int argc, char** argv);

struct COMMANDLINE {
    int bTestPlay = 0;
    unsigned nCloseAfterFrames = 0;
    char szStage[260] = {};   // Shift-JIS, bounded
};
COMMANDLINE ParseCommandLine(int argc, char** argv);
