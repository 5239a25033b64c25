#pragma once
// Runs the real program as a child process in the current directory, with
// SDL's dummy audio driver and extra environment entries.
#include <string>
#include <vector>

// The build folder: from the environment, else the folder above this test
// program's own.
std::string GameBinaryDir();
// The exit status, or -1 when the program had to be stopped after
// nSeconds, -2 when it could not be started.
int RunGameProcess(const std::string& strExe, const std::vector<std::string>& vArgs,
                   const std::vector<std::string>& vEnv, int nSeconds);
