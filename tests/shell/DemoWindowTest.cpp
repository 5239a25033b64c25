// The README's play command under an X server (scripts/test.sh runs the
// tests under a virtual one when there is no display): the player started
// in the demo folder opens its window and reaches the title screen, whose
// last frame, shrunk to 80 x 60, is close to the checked-in picture
// tests/shell/golden/demo_title_80x60.ppm. With MOSSGROVE_UPDATE_GOLDEN set
// the picture is written instead.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/ByteBuilder.h"
#include "support/GameProcess.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;

constexpr int SMALL_W = 80, SMALL_H = 60;

struct IMAGE {
    int w = 0, h = 0;
    std::vector<uint8_t> rgb;
};

// A binary PPM (P6, maxval 255).
bool ReadPpm(const std::string& strPath, IMAGE& img) {
    std::ifstream in(strPath, std::ios::binary);
    std::string strMagic;
    int nMax = 0;
    if (!(in >> strMagic >> img.w >> img.h >> nMax) || strMagic != "P6" || nMax != 255 || img.w <= 0 || img.h <= 0 ||
        img.w > 4096 || img.h > 4096)
        return false;
    in.get();
    img.rgb.resize(static_cast<size_t>(img.w) * img.h * 3);
    return static_cast<bool>(in.read(reinterpret_cast<char*>(img.rgb.data()), static_cast<std::streamsize>(img.rgb.size())));
}

bool WritePpm(const std::string& strPath, const IMAGE& img) {
    std::ofstream out(strPath, std::ios::binary);
    out << "P6\n" << img.w << " " << img.h << "\n255\n";
    out.write(reinterpret_cast<const char*>(img.rgb.data()), static_cast<std::streamsize>(img.rgb.size()));
    return static_cast<bool>(out);
}

// Box average down to SMALL_W x SMALL_H.
IMAGE Shrink(const IMAGE& src) {
    IMAGE dst;
    dst.w = SMALL_W;
    dst.h = SMALL_H;
    dst.rgb.assign(static_cast<size_t>(SMALL_W) * SMALL_H * 3, 0);
    for (int y = 0; y < SMALL_H; y++)
        for (int x = 0; x < SMALL_W; x++) {
            const int x0 = x * src.w / SMALL_W, x1 = std::max(x0 + 1, (x + 1) * src.w / SMALL_W);
            const int y0 = y * src.h / SMALL_H, y1 = std::max(y0 + 1, (y + 1) * src.h / SMALL_H);
            for (int c = 0; c < 3; c++) {
                long nSum = 0;
                for (int sy = y0; sy < y1; sy++)
                    for (int sx = x0; sx < x1; sx++) nSum += src.rgb[(static_cast<size_t>(sy) * src.w + sx) * 3 + c];
                dst.rgb[(static_cast<size_t>(y) * SMALL_W + x) * 3 + c] =
                    static_cast<uint8_t>(nSum / ((x1 - x0) * (y1 - y0)));
            }
        }
    return dst;
}

std::string ReferencePath() { return std::string(MOSSGROVE_SOURCE_DIR) + "/tests/shell/golden/demo_title_80x60.ppm"; }

TEST(DemoWindow, ThePlayCommandReachesTheTitleInAnXWindow) {
    // On an X server of its own (xvfb-run): on a shared one another test's
    // window may take the input focus, and an inactive game counts no frames.
    if (!fs::exists("/usr/bin/xvfb-run")) GTEST_SKIP() << "no xvfb-run for an X server of its own";
    const std::string strExe = GameBinaryDir() + "/mossgrove";
    const std::string strDemo = GameBinaryDir() + "/demo";
    if (GameBinaryDir().empty() || !fs::exists(strExe) || !fs::exists(strDemo + "/data"))
        GTEST_SKIP() << "the program or the demo project is not built";
    cTempDir dir;
    fs::copy(strDemo, dir.Path(), fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    // As the play script does: the player in the demo folder, SDL choosing the
    // X video driver itself.
    const std::string strShot = dir.File("title.ppm");
    const int r = RunGameProcess("/usr/bin/xvfb-run",
                                 {"-a", "-s", "-screen 0 1024x768x24", strExe, "--close-after-frames", "150"},
                                 {"SDL_VIDEODRIVER=x11", "MOSSGROVE_SNAPSHOT=" + strShot}, 120);
    EXPECT_EQ(r, 0);
    const auto vReport = ReadHostFile(dir.File("Report_Game.txt"));
    const std::string strReport(vReport.begin(), vReport.end());
    EXPECT_NE(strReport.find("Scene : 0"), std::string::npos) << strReport;

    IMAGE shot;
    ASSERT_TRUE(ReadPpm(strShot, shot)) << "no snapshot of the last frame";
    EXPECT_EQ(shot.w, 640);
    EXPECT_EQ(shot.h, 480);
    const IMAGE small = Shrink(shot);
    if (std::getenv("MOSSGROVE_UPDATE_GOLDEN")) {
        ASSERT_TRUE(WritePpm(ReferencePath(), small));
        return;
    }
    IMAGE ref;
    ASSERT_TRUE(ReadPpm(ReferencePath(), ref)) << "cannot read " << ReferencePath();
    ASSERT_EQ(ref.w, SMALL_W);
    ASSERT_EQ(ref.h, SMALL_H);
    // Loose: the average channel difference stays small and at most a tenth
    // of the cells differ clearly (fonts and fades may shift a little).
    long nTotal = 0;
    int nFar = 0;
    for (size_t i = 0; i < ref.rgb.size(); i += 3) {
        int d = 0;
        for (int c = 0; c < 3; c++) d = std::max(d, std::abs(ref.rgb[i + c] - small.rgb[i + c]));
        nTotal += d;
        if (d > 48) nFar++;
    }
    const double dMean = static_cast<double>(nTotal) / (SMALL_W * SMALL_H);
    EXPECT_LT(dMean, 12.0);
    EXPECT_LT(nFar, SMALL_W * SMALL_H / 10);
    // And it is not an empty screen: the title's colours are there.
    long nBright = 0;
    for (uint8_t v : small.rgb) nBright += v;
    EXPECT_GT(nBright / static_cast<long>(small.rgb.size()), 40);
}

}  // namespace
