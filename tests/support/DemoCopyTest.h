#pragma once
// Base of the end-to-end fixtures that run the real program on their own
// copy of the built demo and read or write the player's files there with
// the project's own records.
#include <gtest/gtest.h>

#include <unistd.h>

#include <functional>
#include <string>

#include "foundation/Record.h"
#include "support/TempDir.h"

class cDemoCopyTest : public ::testing::Test {
protected:
    // Runs fn with the demo copy as the current folder, where the records'
    // relative paths lead.
    void InDemo(const std::function<void()>& fn) {
        char szOld[4096];
        ASSERT_NE(getcwd(szOld, sizeof szOld), nullptr);
        ASSERT_EQ(chdir(dir.Path().c_str()), 0);
        nDataVer = DATA_VERSION;
        fn();
        ASSERT_EQ(chdir(szOld), 0);
    }

    cTempDir dir;
    std::string m_strExe;
};
