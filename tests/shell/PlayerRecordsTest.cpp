#include <gtest/gtest.h>

#include "support/ByteBuilder.h"
#include "support/TempDir.h"
#include "shell/BootData.h"
#include "shell/WindowData.h"

namespace {

class PlayerRecords : public ::testing::Test {
protected:
    void SetUp() override {
        nSavedVer = nDataVer;
        nDataVer = DATA_VERSION;
        SetUsableDisplayProvider([] { return DISPLAYAREA{0, 0, 1280, 1024}; });
    }
    void TearDown() override {
        nDataVer = nSavedVer;
        SetUsableDisplayProvider(nullptr);
    }
    uint32_t nSavedVer = 0;
    cTempDir dir;
};

TEST_F(PlayerRecords, BootDataGoldenBytes) {
    cBootData boot;
    EXPECT_EQ(boot.m_nDrawMode, 1);
    EXPECT_EQ(boot.m_bNoAsk, 0);
    dir.MakeDir("user_data");
    boot.m_nDrawMode = 0;
    boot.m_bNoAsk = 1;
    ASSERT_EQ(boot.Save("user_data\\Boot.dat"), 1);
    cByteBuilder want;
    want.U32(854).I32(2).I32(0).I32(1).I32(0);
    EXPECT_EQ(ReadHostFile(dir.File("user_data/Boot.dat")), want.Bytes());
    cBootData back;
    ASSERT_EQ(back.Load("user_data\\Boot.dat"), 1);
    EXPECT_EQ(back.m_nDrawMode, 0);
    EXPECT_EQ(back.m_bNoAsk, 1);
}

TEST_F(PlayerRecords, WindowDataGoldenBytes) {
    cWindowData w;
    w.Set(120, 80, 640, 480, 1);
    dir.MakeDir("user_data");
    ASSERT_EQ(w.Save("user_data\\Window.dat"), 1);
    cByteBuilder want;
    want.U32(854).I32(5).I32(120).I32(80).I32(640).I32(480).I32(1).I32(0);
    EXPECT_EQ(ReadHostFile(dir.File("user_data/Window.dat")), want.Bytes());
}

struct CLAMPCASE {
    int x, y, w, h, max;
    int ex, ey, ew, eh, emax;
};

TEST_F(PlayerRecords, WindowPlacementIsClampedOnRead) {
    const CLAMPCASE cases[] = {
        {100, 100, 640, 480, 0, 100, 100, 640, 480, 0},          // inside: unchanged
        {-300, 50, 640, 480, 0, 0, 50, 640, 480, 0},             // second monitor on the left
        {5000, 5000, 640, 480, 1, 640, 544, 640, 480, 1},        // beyond the right and bottom edges
        {10, 10, 20, 30, 7, 10, 10, 100, 100, 1},                // too small; flag normalised
        {10, 10, 99999, 99999, 0, 0, 0, 1280, 1024, 0},          // larger than the display
        {INT32_MIN, INT32_MAX, INT32_MIN, INT32_MAX, 0, 0, 0, 100, 1024, 0},
    };
    dir.MakeDir("user_data");
    for (const auto& c : cases) {
        cByteBuilder b;
        b.U32(854).I32(5).I32(c.x).I32(c.y).I32(c.w).I32(c.h).I32(c.max).I32(0);
        ASSERT_TRUE(b.WriteFile(dir.File("user_data/Window.dat")));
        cWindowData w;
        ASSERT_EQ(w.Load("user_data\\Window.dat"), 1);
        EXPECT_EQ(w.m_nX, c.ex) << c.x;
        EXPECT_EQ(w.m_nY, c.ey) << c.y;
        EXPECT_EQ(w.m_nWidth, c.ew) << c.w;
        EXPECT_EQ(w.m_nHeight, c.eh) << c.h;
        EXPECT_EQ(w.m_bMaximized, c.emax);
    }
}

TEST_F(PlayerRecords, MissingOrTruncatedFilesKeepValues) {
    cWindowData w;
    w.Set(1, 2, 300, 200, 0);
    EXPECT_EQ(w.Load("user_data\\Window.dat"), 0);
    EXPECT_EQ(w.m_nWidth, 300);
    cByteBuilder b;
    b.U32(854).I32(5).I32(7);
    dir.MakeDir("user_data");
    ASSERT_TRUE(b.WriteFile(dir.File("user_data/Window.dat")));
    EXPECT_EQ(w.Load("user_data\\Window.dat"), 0);
}

}  // namespace
