// The real program plays a demo stage in every drawing mode and depth, and
// the text of the stage's message shows inside its window; at 8 bits a
// missing or damaged blend table stops the start with a message and a reason.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "graphics/DDImage.h"
#include "platform/TextCodec.h"
#include "support/ByteBuilder.h"
#include "support/GameProcess.h"
#include "support/TempDir.h"

namespace {

struct RGB {
    int r, g, b;
};

// System.ini with the drawing mode, window switch and depth replaced.
std::string WithMode(const std::string& strIni, int nDirect3D, int nWindowMode, int nBpp)
{
    std::istringstream in(strIni);
    std::string strLine, strOut;
    while (std::getline(in, strLine)) {
        if (!strLine.empty() && strLine.back() == '\r') strLine.pop_back();
        if (strLine.rfind("Direct3D=", 0) == 0) strLine = "Direct3D=" + std::to_string(nDirect3D);
        else if (strLine.rfind("WindowMode=", 0) == 0) strLine = "WindowMode=" + std::to_string(nWindowMode);
        else if (strLine.rfind("Bpp=", 0) == 0) strLine = "Bpp=" + std::to_string(nBpp);
        strOut += strLine + "\r\n";
    }
    return strOut;
}

class DrawModes : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!CopyBuiltDemo(dir.Path(), &strExe)) GTEST_SKIP() << "the program or the demo project is not built";
        auto v = ReadHostFile(dir.File("System.ini"));
        strIni.assign(v.begin(), v.end());
    }
    std::string Report()
    {
        auto v = ReadHostFile(dir.File("Report_Game.txt"));
        return std::string(v.begin(), v.end());
    }
    cTempDir dir;
    std::string strExe, strIni;
};

// The snapshot's pixels, row by row, 640 x 480.
std::vector<RGB> ReadSnapshot(const std::string& strFile)
{
    auto v = ReadHostFile(strFile);
    const std::string strHead = "P6\n640 480\n255\n";
    std::vector<RGB> px;
    if (v.size() != strHead.size() + 640u * 480u * 3u) return px;
    if (std::string(v.begin(), v.begin() + static_cast<long>(strHead.size())) != strHead) return px;
    for (size_t i = strHead.size(); i + 2 < v.size(); i += 3) px.push_back({v[i], v[i + 1], v[i + 2]});
    return px;
}

// A pixel shows colour c when every channel is within 10 of it and it is
// nearer to c than to the other colour (the frame and the text colours are
// close greys in the demo); a 16-bit screen moves a channel by at most 8.
bool Shows(const RGB& p, const RGB& c, const RGB& other)
{
    auto d = [](const RGB& a, const RGB& b) {
        return (a.r - b.r) * (a.r - b.r) + (a.g - b.g) * (a.g - b.g) + (a.b - b.b) * (a.b - b.b);
    };
    return std::abs(p.r - c.r) <= 10 && std::abs(p.g - c.g) <= 10 && std::abs(p.b - c.b) <= 10 && d(p, c) < d(p, other);
}

// Each drawing mode plays into the first stage; at frame 300 the greeting
// stands in its window. The window is found by its frame (palette colour
// 240, one dot wide, a top edge at least 64 dots long); inside it the text
// colour (palette colour 241) must show. Both colours come from the demo's
// palette picture, so the test follows the demo's choice of colours.
TEST_F(DrawModes, EveryModeShowsTheMessageTextInItsWindow)
{
    DDBITMAP bmp;
    ASSERT_TRUE(DDReadBitmap("bmp\\plt\\Palette.bmp", &bmp));
    ASSERT_EQ(bmp.vColors.size(), 256u);
    const RGB frame = {bmp.vColors[240].peRed, bmp.vColors[240].peGreen, bmp.vColors[240].peBlue};
    const RGB text = {bmp.vColors[241].peRed, bmp.vColors[241].peGreen, bmp.vColors[241].peBlue};
    struct MODE {
        const char* pszName;
        int nDirect3D, nWindowMode, nBpp;
    } aMode[] = {
        {"Direct3D 32", 1, 0, 32}, {"Direct3D 16", 1, 0, 16}, {"DirectDraw 32", 0, 0, 32},
        {"DirectDraw 16", 0, 0, 16}, {"DirectDraw 8", 0, 0, 8},
    };
    // Frame 60: "はじめから"; 90: the first slot; 150: the stage entry; 180:
    // up to "ステージに挑む"; 210: decide.
    ASSERT_TRUE(dir.WriteFile("keys.txt", std::string("60 z\n90 z\n150 z\n180 up\n210 z\n")));
    for (const MODE& m : aMode) {
        SCOPED_TRACE(m.pszName);
        ASSERT_TRUE(dir.WriteFile("System.ini", WithMode(strIni, m.nDirect3D, m.nWindowMode, m.nBpp)));
        int r = RunGameProcess(strExe, {"--close-after-frames", "300"},
                               {"SDL_VIDEODRIVER=dummy", "MOSSGROVE_INPUT_SCRIPT=" + dir.File("keys.txt"),
                                "MOSSGROVE_SNAPSHOT=" + dir.File("shot.ppm")},
                               90);
        EXPECT_EQ(r, 0);
        std::string s = Report();
        EXPECT_NE(s.find("Bpp : " + std::to_string(m.nBpp)), std::string::npos) << s;
        EXPECT_NE(s.find("Scene : 4"), std::string::npos) << s;
        std::vector<RGB> px = ReadSnapshot(dir.File("shot.ppm"));
        ASSERT_EQ(px.size(), 640u * 480u);
        auto at = [&](int x, int y) -> const RGB& { return px[static_cast<size_t>(y) * 640 + x]; };

        // The window: a run of frame dots, the same run lower down, and the
        // frame's left and right sides between them.
        int nWindows = 0, nTextDots = 0;
        for (int y = 0; y < 480 && nWindows == 0; y++) {
            for (int x = 0; x < 640; x++) {
                if (!Shows(at(x, y), frame, text)) continue;
                int x1 = x;
                while (x1 + 1 < 640 && Shows(at(x1 + 1, y), frame, text)) x1++;
                if (x1 - x + 1 >= 64) {
                    int y1 = y + 1;
                    while (y1 < 480 && Shows(at(x, y1), frame, text) && !Shows(at(x + 8, y1), frame, text)) y1++;
                    if (y1 < 480 && y1 - y >= 8 && Shows(at(x + 8, y1), frame, text) && Shows(at(x1, y1), frame, text)) {
                        nWindows++;
                        for (int yy = y + 1; yy < y1; yy++)
                            for (int xx = x + 1; xx < x1; xx++) nTextDots += Shows(at(xx, yy), text, frame);
                    }
                }
                x = x1;
            }
        }
        EXPECT_EQ(nWindows, 1);
        // The greeting has more than thirty characters of at least ten dots each.
        EXPECT_GT(nTextDots, 300);
    }
}

// At 8 bits under DirectDraw the blend table of the palette variant is
// needed: without it the start ends with the message box and the report
// says why.
TEST_F(DrawModes, EightBitsWithoutAUsableBlendTableSaysWhy)
{
    struct CASE {
        const char* pszWhat;
        int nBytes;   // -1: the file is removed
        const char* pszReason;
    } aCase[] = {
        {"missing", -1, "Blend table : bmp\\hbt\\hbt00.dat is missing"},
        {"short", 100, "Blend table : bmp\\hbt\\hbt00.dat has 100 bytes, not 65536"},
    };
    for (const CASE& c : aCase) {
        SCOPED_TRACE(c.pszWhat);
        ASSERT_TRUE(dir.WriteFile("System.ini", WithMode(strIni, 0, 0, 8)));
        std::remove(dir.File("bmp/hbt/hbt00.dat").c_str());
        if (c.nBytes >= 0) {
            ASSERT_TRUE(dir.WriteFile("bmp/hbt/hbt00.dat", std::vector<uint8_t>(static_cast<size_t>(c.nBytes), 0)));
        }
        cGameProcess run(strExe, {"--close-after-frames", "60"}, {"SDL_VIDEODRIVER=dummy"}, "hbt");
        EXPECT_EQ(run.Wait(90), 1);
        EXPECT_NE(run.Err().find(SjisToUtf8("bmp\\hbt\\hbt00.dat の読み込みに失敗！")), std::string::npos) << run.Err();
        std::string s = Report();
        EXPECT_NE(s.find(c.pszReason), std::string::npos) << s;
        EXPECT_EQ(s.find("Scene : 0"), std::string::npos) << s;
    }
}

}  // namespace
