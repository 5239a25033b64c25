// Golden replays: scripted plays of the demo's stages (as mkdemo writes them,
// read through the stage loader), each from a key script checked in beside
// its state hashes (tests/play/golden/demo_*.keys and demo_*_hashes.txt):
//   forest  the first challenge stage, walked and jumped to the goal: it clears;
//   miss    the hills, walked into the spike pit: one miss, then the retry;
//   turret  the shooting range, stood in while the turret fires its
//           formations and trajectories and the enemies draw random numbers;
//   devices the valley of devices, the stage of the settings the others
//           leave at their defaults, played under a project file of an
//           older version (the gravity-jump rule on); played once more with
//           hits kept to the screen, the other way of its switch.
// Every frame's state hash, group by group, must match the checked-in one;
// the first differing frame and group are named. The attempt is saved as a
// replay file and played back with the host offering another seed (the
// replay must use its own) and once more slowed at random points between
// frames: the hashes must be the recorded ones. Each play also asserts what
// the player sees: the clear, the miss and retry, the turret's shots.
// With MOSSGROVE_UPDATE_GOLDEN set the hashes are written instead
// (tools/updategoldens).
#include <gtest/gtest.h>

#include <sched.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "GoldenPng.h"
#include "foundation/Path.h"
#include "foundation/Record.h"
#include "graphics/DDPixel.h"
#include "graphics/DDSurface.h"
#include "platform/FileSystem.h"
#include "play/Chara.h"
#include "play/Conditions.h"
#include "play/Hero.h"
#include "play/Item.h"
#include "play/MapCell.h"
#include "play/PlayHarness.h"
#include "play/PlayMap.h"
#include "play/PlayScene.h"
#include "play/Shot.h"
#include "project/Database.h"
#include "project/Paths.h"
#include "project/ProjectContext.h"
#include "project/ReplayLog.h"
#include "project/SystemData.h"
#include "stage/CommonPalette.h"
#include "stage/Stage.h"
#include "support/DDTestSupport.h"
#include "support/TempDir.h"

namespace {

using GROUPHASHES = std::array<uint64_t, STATEHASH_GROUPS>;

const char* const REPLAY_FILE = "user_data\\rpl4\\golden.rpl4_854";
constexpr uint32_t RECORD_SEED = 12345;
constexpr uint32_t PLAYBACK_HOST_SEED = 777;

std::string GoldenDir() { return std::string(MOSSGROVE_SOURCE_DIR) + "/tests/play/golden/"; }

// A key script: "stage <file>", "frames <n>", then "<frame> <keys>" lines,
// each holding its keys from that frame until the next line. Keys: L R U D
// for the directions, j (jump), s (shot), w (sword), f (fly); "-" for none.
struct KEYSCRIPT {
    std::string strStage;
    int nFrames = 0;
    std::vector<std::pair<int, std::string>> vecKeys;

    void Input(int f, int16_t& wDir, int16_t& wButton) const {
        wDir = 0;
        wButton = 0;
        const std::string* p = nullptr;
        for (const auto& k : vecKeys)
            if (k.first <= f) p = &k.second;
        if (!p) return;
        for (char c : *p) {
            switch (c) {
            case 'L': wDir |= HARNESS_DIR_LEFT; break;
            case 'R': wDir |= HARNESS_DIR_RIGHT; break;
            case 'U': wDir |= HARNESS_DIR_UP; break;
            case 'D': wDir |= HARNESS_DIR_DOWN; break;
            case 'j': wButton |= 1; break;
            case 's': wButton |= 2; break;
            case 'w': wButton |= 4; break;
            case 'f': wButton |= 8; break;
            default: break;
            }
        }
    }
};

bool ReadKeyScript(const std::string& strPath, KEYSCRIPT& ks, std::string& strError) {
    std::ifstream in(strPath);
    if (!in) {
        strError = "cannot read " + strPath;
        return false;
    }
    std::string line;
    int nLine = 0, nPrev = -1;
    while (std::getline(in, line)) {
        nLine++;
        if (line.empty() || line[0] == '#') continue;
        std::istringstream ss(line);
        std::string a, b;
        ss >> a >> b;
        if (a == "stage") ks.strStage = b;
        else if (a == "frames") ks.nFrames = std::atoi(b.c_str());
        else {
            char* pEnd = nullptr;
            const long n = std::strtol(a.c_str(), &pEnd, 10);
            if (a.empty() || *pEnd || n <= nPrev || b.empty()) {
                strError = strPath + ":" + std::to_string(nLine) + ": bad line";
                return false;
            }
            nPrev = static_cast<int>(n);
            ks.vecKeys.push_back({nPrev, b == "-" ? std::string() : b});
        }
    }
    if (ks.strStage.empty() || ks.nFrames <= 0) {
        strError = strPath + ": no stage or frame count";
        return false;
    }
    return true;
}

// What a play showed, besides its hashes.
struct PLAYLOG {
    std::vector<GROUPHASHES> vecHash;
    int nFirstClear = -1;        // first frame in the clear state
    int nMissFrame = -1;         // the frame that played the first miss sound
    int nFirstRetry = -1;        // first frame of the attempt after the miss
    int nPlayAfterRetry = -1;    // first frame back in play after the retry
    int nMissSounds = 0;
    int nLifeStart = 0, nLifeEnd = 0;
    int nMostShots = 0;          // the most shots alive at once
    std::set<int> setShotAngles;   // directions of the shots' speeds, in whole degrees
    int nRandomFrames = 0;       // frames of play that drew random numbers
};

// Extra work between frames on the same thread: sleeps, yields and some
// allocation churn at random points, so a dependence on time shows up.
class cSlowDown {
public:
    cSlowDown() : m_Gen(static_cast<uint32_t>(std::time(nullptr)) ^ static_cast<uint32_t>(getpid())) {}
    void Maybe() {
        const int n = static_cast<int>(m_Gen() % 10);
        if (n == 0) usleep(200 + m_Gen() % 2000);
        else if (n == 1) sched_yield();
        else if (n == 2) {
            std::vector<std::string> v(200 + m_Gen() % 500, std::string(64, 'x'));
            m_nSink += v.size();
        }
    }
    size_t m_nSink = 0;

private:
    std::mt19937 m_Gen;
};

// The play's frame as the log sees it.
void Observe(cPlayHarness& h, int f, PLAYLOG& log, size_t& nSounds) {
    log.vecHash.push_back(h.Ctx().StateHashGroups());
    const int nState = h.Scene().m_nState;
    if (nState == PLAYSTATE_CLEAR && log.nFirstClear < 0) log.nFirstClear = f;
    for (; nSounds < h.Host().vecSound.size(); nSounds++) {
        if (h.Host().vecSound[nSounds] != 8) continue;
        log.nMissSounds++;
        if (log.nMissFrame < 0) log.nMissFrame = f;
    }
    // The miss's frame waits for its sound and sets the stage up again, so
    // the retry shows as the start (or fade) of a new attempt after it.
    if (log.nMissFrame >= 0 && log.nFirstRetry < 0 &&
        (nState == PLAYSTATE_RETRY || nState == PLAYSTATE_FADEIN || nState == PLAYSTATE_START))
        log.nFirstRetry = f;
    if (nState == PLAYSTATE_PLAY && log.nFirstRetry >= 0 && log.nPlayAfterRetry < 0) log.nPlayAfterRetry = f;
    const int nShots = static_cast<int>(h.Scene().m_lstShot.size());
    log.nMostShots = std::max(log.nMostShots, nShots);
    for (const auto& p : h.Scene().m_lstShot)
        if (p->m_dVx != 0 || p->m_dVy != 0)
            log.setShotAngles.insert(static_cast<int>(std::lround(std::atan2(p->m_dVy, p->m_dVx) * 180 / 3.14159265358979)));
    const size_t n = log.vecHash.size();
    if (nState == PLAYSTATE_PLAY && n >= 2 && log.vecHash[n - 1][STATEHASH_RANDOM] != log.vecHash[n - 2][STATEHASH_RANDOM])
        log.nRandomFrames++;
    log.nLifeEnd = h.Progress().m_nLife;
}

// The first frame and group where two plays differ; frame -1 when alike.
struct DIFFERENCE {
    int nFrame = -1;
    int nGroup = -1;
};
DIFFERENCE FirstDifference(const std::vector<GROUPHASHES>& a, const std::vector<GROUPHASHES>& b, size_t nFrames) {
    DIFFERENCE d;
    for (size_t i = 0; i < nFrames; i++) {
        if (i >= a.size() || i >= b.size()) {
            d.nFrame = static_cast<int>(i);
            return d;
        }
        for (int g = 0; g < STATEHASH_GROUPS; g++)
            if (a[i][static_cast<size_t>(g)] != b[i][static_cast<size_t>(g)]) {
                d.nFrame = static_cast<int>(i);
                d.nGroup = g;
                return d;
            }
    }
    return d;
}
std::string Describe(const DIFFERENCE& d) {
    if (d.nFrame < 0) return "no difference";
    return "first difference at frame " + std::to_string(d.nFrame) + ", group " +
           (d.nGroup >= 0 ? STATEHASH_GROUP_NAMES[d.nGroup] : "(missing frame)");
}

bool ReadGolden(const std::string& strPath, std::vector<GROUPHASHES>& v) {
    std::ifstream in(strPath);
    if (!in) return false;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream ss(line);
        int nFrame = -1;
        ss >> nFrame;
        if (nFrame != static_cast<int>(v.size())) return false;
        GROUPHASHES a{};
        for (uint64_t& x : a) {
            std::string s;
            if (!(ss >> s)) return false;
            x = std::strtoull(s.c_str(), nullptr, 16);
        }
        v.push_back(a);
    }
    return true;
}

bool WriteGolden(const std::string& strPath, const std::string& strName, const std::vector<GROUPHASHES>& v) {
    std::ofstream out(strPath);
    out << "# State hashes of the play context after each frame of the golden replay \"" << strName
        << "\"\n# (tests/play/GoldenReplayTest.cpp), by group:";
    for (int g = 0; g < STATEHASH_GROUPS; g++) out << ' ' << STATEHASH_GROUP_NAMES[g];
    out << "\n# Rewritten by tools/updategoldens.\n";
    for (size_t i = 0; i < v.size(); i++) {
        out << i;
        for (uint64_t x : v[i]) {
            char sz[24];
            std::snprintf(sz, sizeof sz, " %016" PRIx64, x);
            out << sz;
        }
        out << '\n';
    }
    return static_cast<bool>(out);
}

// What the valley of devices showed while it was recorded, besides its
// hashes: each setting's own mark on the play.
struct DEVICEWATCH {
    double dCam0 = 0, dCam100 = 0, dCamEnd = 0;
    int bHeldEnd = 0;
    double dStandY = 0, dJumpTop = 1e9;
    // Giants: where each stood after its first warp and after growing.
    struct GIANT {
        double dLastX = -1;
        int nWarps = 0;
        double dWarpX = 0, dWarpY = 0, dWarpBottom = 0;
        bool bGrown = false;
        double dGrownX = 0, dGrownY = 0, dGrownBottom = 0;
    };
    std::map<std::string, GIANT> mapGiant;
    bool bFruitCarried = false, bHiddenCarried = false;
    int nLanternAwakeOffScreen = 0;   // frames the far lantern acted through its partner alone
    // Its count when its partner was last on the screen and when it came on
    // the screen itself, and the frames between.
    int nLanternCountPartnerGone = -1, nLanternCountOwnArrival = -1;
    int nLanternPartnerGone = -1, nLanternOwnArrival = -1;
    bool abBlockOn[8] = {}, abBlockOff[8] = {};
    bool abStarOn[8] = {}, abStarOff[8] = {};
    bool bFarSlimeGone = false, bFarSlimeOnScreenAtHit = true;
    double dBirdMinX = 1e9, dBirdMaxX = -1e9, dBirdMinY = 1e9, dBirdMaxY = -1e9;
    std::map<int, std::pair<double, double>> mapWaveY;   // shot id -> lowest, highest y
    std::map<int, int> mapWaveFrames;
    std::map<int, double> mapWaveFirstY;   // shot id -> y when first seen
    uint32_t nMaskRGB = 0, nInsideRGB = 0, nOutsideUpRGB = 0, nInsideUpRGB = 0, nOutsideRightRGB = 0;
    int nStageVar[11] = {};
    int nSubStep = 0;
};

uint32_t BackBufferRGB(int x, int y) {
    DDSURFACEDATA* sd = (lpDTCon && lpDTCon->bVirBackBuffer) ? &VirBackBuffer : &BackBuffer;
    DDPIXELS* p = DDGetPixels(sd);
    if (!p || x < 0 || y < 0 || x >= 640 || y >= 480) return 0xFFFFFFFFu;
    const uint32_t raw = DDGetRaw(*p, x, y);
    return (lpDTCon ? DDUnpackARGB(p->nFormat, raw) : raw) & 0xFFFFFFu;
}

// With MOSSGROVE_GOLDEN_PNG set to a folder, the frame is written there.
void DumpFrame(const char* pszName, int f) {
    const char* pszDir = std::getenv("MOSSGROVE_GOLDEN_PNG");
    if (!pszDir) return;
    GOLDENIMAGE img;
    img.nWidth = 640;
    img.nHeight = 480;
    for (int y = 0; y < 480; y++)
        for (int x = 0; x < 640; x++) img.vRGB.push_back(BackBufferRGB(x, y));
    WriteGoldenPng(std::string(pszDir) + "/" + pszName + "_" + std::to_string(f) + ".png", img);
}

cChara* FindNamed(cPlayHarness& h, const char* pszName, bool bWithFlows = false) {
    for (auto& p : h.Ctx().lstChara)
        if (p->m_Data.m_strName == pszName && (!bWithFlows || !p->m_Data.m_vFlow.empty())) return p.get();
    return nullptr;
}

void WatchDevices(cPlayHarness& h, int f, DEVICEWATCH& w) {
    if (h.Scene().m_nState != PLAYSTATE_PLAY || h.Ctx().vecPlayer.empty()) return;
    cHero& hero = h.Hero();
    const cScroll& sx = h.Scene().m_ScrollX;
    w.nSubStep = h.Stage().m_nSubStep;
    if (f == 0) w.dCam0 = sx.m_dCam;
    if (f == 100) w.dCam100 = sx.m_dCam;
    w.dCamEnd = sx.m_dCam;
    w.bHeldEnd = sx.m_bHeld;
    // The first jump, from standing, keys held from frame 10 on.
    if (f == 9) w.dStandY = hero.m_dY;
    if (f >= 10 && f < 90) w.dJumpTop = std::min(w.dJumpTop, hero.m_dY);
    for (const char* pszGiant : {"巨人", "石の巨人"}) {
        cChara* g = FindNamed(h, pszGiant);
        if (!g) continue;
        DEVICEWATCH::GIANT& s = w.mapGiant[pszGiant];
        if (s.dLastX >= 0 && std::fabs(g->m_dX - s.dLastX) > 64 && s.nWarps++ == 0) {
            s.dWarpX = g->m_dX;
            s.dWarpY = g->m_dY;
            s.dWarpBottom = g->m_dBottom;
        }
        if (!s.bGrown && g->m_Data.m_nGiant == 3) {
            s.bGrown = true;
            s.dGrownX = g->m_dX;
            s.dGrownY = g->m_dY;
            s.dGrownBottom = g->m_dBottom;
        }
        s.dLastX = g->m_dX;
    }
    if (f == 0)
        for (auto& p : h.Ctx().lstChara)
            if (cItem* pItem = p->GetDropItem(); pItem && pItem->m_bCarried) {
                if (pItem->m_Item.m_bNoDraw) w.bHiddenCarried = true;
                else w.bFruitCarried = true;
            }
    const std::vector<int32_t>& vVar = h.Scene().m_vecStageVar;
    int nPrevLantern = w.nStageVar[9];
    for (int i = 0; i < 11 && static_cast<size_t>(i) < vVar.size(); i++) w.nStageVar[i] = vVar[static_cast<size_t>(i)];
    cChara* pFar = FindNamed(h, "ちょうちん", true);
    cChara* pNear = nullptr;
    for (auto& p : h.Ctx().lstChara)
        if (p->m_Data.m_strName == "ちょうちん" && p.get() != pFar) pNear = p.get();
    if (pFar && pNear && !pFar->m_bOnScreen) {
        if (pNear->m_bOnScreen) {
            if (w.nStageVar[9] > nPrevLantern) w.nLanternAwakeOffScreen++;
            w.nLanternCountPartnerGone = w.nStageVar[9];
            w.nLanternPartnerGone = f;
        }
    }
    if (pFar && pFar->m_bOnScreen && w.nLanternOwnArrival < 0) {
        w.nLanternCountOwnArrival = nPrevLantern;
        w.nLanternOwnArrival = f;
    }
    // The bricks of columns 6 to 10 hold conditions of kinds 3 to 7 on the
    // hero; the stars above them too.
    for (int col = 6; col <= 10; col++) {
        cMapCell* pCell = MapCellAt(MapCellIndex(col + 10, 8 + 10));
        if (!pCell || pCell->m_vCond.empty()) continue;
        const int k = pCell->m_vCond[0].m_nKind;
        if (k < 0 || k > 7) continue;
        // As the play asks for the cell, on a copy (its latch stays as it was).
        cMapCell cell = *pCell;
        (CheckBlockCond(cell) ? w.abBlockOn : w.abBlockOff)[k] = true;
    }
    for (auto& p : h.Ctx().lstItem)
        if (p->m_Item.m_nTakeRule == 2 && !p->m_Item.m_vCond.empty()) {
            const int k = p->m_Item.m_vCond[0].m_nKind;
            if (k >= 0 && k <= 7) (p->m_bActive ? w.abStarOn : w.abStarOff)[k] = true;
        }
    if (cChara* pSlime = FindNamed(h, "遠くのスライム")) {
        if (!w.bFarSlimeGone && w.nStageVar[10] == 1) {
            w.bFarSlimeGone = true;
            w.bFarSlimeOnScreenAtHit = pSlime->m_bOnScreen != 0;
        }
    }
    if (f < 120)
        if (cChara* pBird = FindNamed(h, "回る鳥")) {
            w.dBirdMinX = std::min(w.dBirdMinX, pBird->m_dX);
            w.dBirdMaxX = std::max(w.dBirdMaxX, pBird->m_dX);
            w.dBirdMinY = std::min(w.dBirdMinY, pBird->m_dY);
            w.dBirdMaxY = std::max(w.dBirdMaxY, pBird->m_dY);
        }
    for (const auto& q : h.Scene().m_lstShot)
        if (q->m_Shot.m_nType == 8) {
            auto it = w.mapWaveY.find(q->m_nId);
            if (it == w.mapWaveY.end()) {
                w.mapWaveY[q->m_nId] = {q->m_dY, q->m_dY};
                w.mapWaveFirstY[q->m_nId] = q->m_dY;
            }
            else it->second = {std::min(it->second.first, q->m_dY), std::max(it->second.second, q->m_dY)};
            w.mapWaveFrames[q->m_nId]++;

        }
    // The sight: a circle of 7 hbl (112 dots) around the hero's frame
    // centre, the rest of the screen covered in the mask's colour.
    if (f == 5) {
        const int cx = hero.m_rcScreen.left + 16, cy = hero.m_rcScreen.top + 16;
        w.nMaskRGB = BackBufferRGB(620, 240);
        w.nInsideRGB = BackBufferRGB(cx, cy - 20);
        w.nInsideUpRGB = BackBufferRGB(cx, cy - 100);
        w.nOutsideUpRGB = BackBufferRGB(cx, cy - 124);
        w.nOutsideRightRGB = BackBufferRGB(cx + 124, cy);
    }
    if (f % 150 == 5) DumpFrame("devices", f);
}

class GoldenReplay : public ::testing::Test {
protected:
    void SetUp() override {
        nDataVer = DATA_VERSION;
        bDelCR = 1;
        // A headless screen, so messages and pictures get their surfaces.
        ASSERT_TRUE(DDStartProfile({0, 32, 0, "DD32"}, 640, 480));
        m_bDisplay = true;
        const std::string strTool = std::string(MOSSGROVE_BINARY_DIR) + "/tools/mkdemo";
        ASSERT_TRUE(FsIsFile(strTool.c_str())) << "mkdemo is not built";
        const std::string strCmd = "\"" + strTool + "\" \"" + m_dir.Path() + "/demo\" >/dev/null";
        ASSERT_EQ(std::system(strCmd.c_str()), 0);
        ASSERT_EQ(chdir((m_dir.Path() + "/demo").c_str()), 0);
        m_pProject = std::make_unique<cProjectContext>(&m_Db, &m_Sys);
        m_pScope = std::make_unique<cStageContextScope>(*m_pProject);
        ASSERT_EQ(m_Db.LoadFiles(), 1);
        ASSERT_EQ(m_Sys.Load(aPath[PATH_SYSTEM]), 1);
        m_pProject->SetCommonPalette(&m_Palette);
        ASSERT_EQ(m_Palette.Load(aPath[PATH_COMMONPALETTE]), 1);
        // Play and the stage records look the common palette up in the
        // process-wide record, as the game loads it at its start.
        m_SavedPalette = recCommonPalette;
        recCommonPalette = m_Palette;
        m_bPaletteSet = true;
        FsMakeDirectory("user_data");
        FsMakeDirectory("user_data\\rpl4");
    }

    void TearDown() override {
        if (m_bPaletteSet) recCommonPalette = m_SavedPalette;
        if (m_bDisplay) DDEnd();
    }

    void LoadScript(const char* pszName) {
        std::string strError;
        ASSERT_TRUE(ReadKeyScript(GoldenDir() + pszName + ".keys", m_Keys, strError)) << strError;
        std::string strFile;
        ASSERT_EQ(FindLatestNumberedFile(strFile, m_Keys.strStage.c_str(), strStageExt), 1) << m_Keys.strStage;
        ASSERT_EQ(m_Stage.Load(strFile.c_str()), 1);
        ASSERT_GE(m_Stage.FindHero(), 0);
    }

    // Plays the key script with replays recorded; the attempt that was
    // under way when play stopped (nWhich 0) or the one before it (1) is
    // saved to REPLAY_FILE.
    PLAYLOG Record(int nWhich) {
        PLAYLOG log;
        cPlayHarness h({"."});
        h.Ctx().lpDatabase = &m_Db;
        h.Host().nSeed = RECORD_SEED;
        if (m_pProjectSystem) h.System() = *m_pProjectSystem;
        h.System().m_bReplay = 1;
        h.UseStage(m_Stage);
        h.SetUp();
        if (::testing::Test::HasFatalFailure()) return log;
        log.nLifeStart = h.Progress().m_nLife;
        const bool bTrace = std::getenv("MOSSGROVE_GOLDEN_TRACE") != nullptr;
        size_t nSounds = h.Host().vecSound.size();
        for (int f = 0; f < m_Keys.nFrames; f++) {
            int16_t wDir, wButton;
            m_Keys.Input(f, wDir, wButton);
            h.Hold(wDir, wButton);
            h.Frame();
            Observe(h, f, log, nSounds);
            if (m_fnWatch) m_fnWatch(h, f);
            if (bTrace && (f % 10 == 0 || h.Scene().m_nState != PLAYSTATE_PLAY) && !h.Ctx().vecPlayer.empty())
                std::printf("%4d state %d hero %.1f %.1f hp %d life %d shots %zu\n", f, h.Scene().m_nState, h.Hero().m_dX / 32 - 10,
                            h.Hero().m_dY / 32 - 10, h.Hero().m_nHp, h.Progress().m_nLife, h.Scene().m_lstShot.size());
            // A cleared stage's replay is saved on its clear, as the
            // player's replay keys can; the stage's end empties the logs.
            if (f == log.nFirstClear) SaveReplay(h, nWhich);
        }
        EXPECT_EQ(h.Host().nCloseRequests, 0);
        EXPECT_TRUE(h.Host().vecError.empty()) << h.Host().vecError.front();
        if (log.nFirstClear < 0) SaveReplay(h, nWhich);
        return log;
    }

    void SaveReplay(cPlayHarness& h, int nWhich) {
        cReplayLog& rpl = nWhich ? recReplayB : recReplayA;
        EXPECT_FALSE(rpl.IsEmpty());
        EXPECT_EQ(rpl.m_nSeed, static_cast<int32_t>(RECORD_SEED));
        // The progress saved is the one the attempt started from, as the
        // player saves it.
        EXPECT_EQ(rpl.SaveReplayFile(REPLAY_FILE, h.Stage(), h.Header(), nWhich ? recProgressB : recProgressA), 1);
    }

    // Loads REPLAY_FILE and plays nFrames of it back as the title's replay
    // does, the host offering a seed of its own.
    PLAYLOG PlayBack(int nFrames, cSlowDown* pSlow) {
        PLAYLOG log;
        cPlayHarness h({"."});
        h.Ctx().lpDatabase = &m_Db;
        h.Host().nSeed = PLAYBACK_HOST_SEED;
        if (m_pProjectSystem) h.System() = *m_pProjectSystem;
        cStage snapshot, header;
        cProgress progress;
        recReplayA.Clear();
        if (LoadReplayFile(recReplayA, REPLAY_FILE, snapshot, header, progress) != 1) {
            ADD_FAILURE() << "the replay file does not load";
            return log;
        }
        h.Progress() = progress;
        h.Game().m_nPlayType = PLAYTYPE_REPLAY;
        h.Game().m_nGameMode = GAMEMODE_REPLAY;
        h.UseStage(snapshot);
        h.SetUp();
        if (::testing::Test::HasFatalFailure()) return log;
        size_t nSounds = h.Host().vecSound.size();
        for (int f = 0; f < nFrames; f++) {
            if (pSlow) pSlow->Maybe();
            h.Release();   // the playback feeds the recorded words itself
            h.Frame();
            Observe(h, f, log, nSounds);
        }
        return log;
    }

    // The recorded play against the checked-in hashes (or written to them).
    void CheckGolden(const char* pszName, const PLAYLOG& log) {
        const std::string strPath = GoldenDir() + pszName + "_hashes.txt";
        if (std::getenv("MOSSGROVE_UPDATE_GOLDEN")) {
            ASSERT_TRUE(WriteGolden(strPath, pszName, log.vecHash));
            return;
        }
        std::vector<GROUPHASHES> vGolden;
        ASSERT_TRUE(ReadGolden(strPath, vGolden)) << "cannot read " << strPath << " (run tools/updategoldens)";
        const DIFFERENCE d = FirstDifference(vGolden, log.vecHash, std::max(vGolden.size(), log.vecHash.size()));
        EXPECT_EQ(d.nFrame, -1) << "play behaviour changed: " << Describe(d)
                                << " (if the change is meant, run tools/updategoldens and check the new hashes in)";
    }

    // The saved attempt played back, plain and slowed, against the first
    // nFrames frames of the recording.
    void CheckPlayback(const PLAYLOG& rec, int nFrames) {
        const PLAYLOG plain = PlayBack(nFrames, nullptr);
        DIFFERENCE d = FirstDifference(rec.vecHash, plain.vecHash, static_cast<size_t>(nFrames));
        EXPECT_EQ(d.nFrame, -1) << "the playback departs from the recorded run: " << Describe(d);
        cSlowDown slow;
        const PLAYLOG slowed = PlayBack(nFrames, &slow);
        d = FirstDifference(rec.vecHash, slowed.vecHash, static_cast<size_t>(nFrames));
        EXPECT_EQ(d.nFrame, -1) << "the playback slowed at random points departs from the recorded run: " << Describe(d);
    }

    cTempDir m_dir;
    bool m_bDisplay = false;
    cDatabase m_Db;
    cSystemData m_Sys;
    cCommonPalette m_Palette;
    cCommonPalette m_SavedPalette;
    bool m_bPaletteSet = false;
    cStage m_Stage;
    KEYSCRIPT m_Keys;
    std::unique_ptr<cProjectContext> m_pProject;
    std::unique_ptr<cStageContextScope> m_pScope;
    // The project's system settings the plays use (the harness's defaults
    // when null), and what the recording looks at after each frame.
    std::unique_ptr<cSystemData> m_pProjectSystem;
    std::function<void(cPlayHarness&, int)> m_fnWatch;
};

// The forest walked and jumped to the goal: the stage clears, with no miss.
TEST_F(GoldenReplay, ForestReachesTheGoalAndClears) {
    LoadScript("demo_forest");
    ASSERT_FALSE(HasFatalFailure());
    const PLAYLOG rec = Record(0);
    ASSERT_EQ(rec.vecHash.size(), static_cast<size_t>(m_Keys.nFrames));
    EXPECT_GE(rec.nFirstClear, 0) << "the forest did not clear";
    EXPECT_EQ(rec.nFirstRetry, -1);
    EXPECT_EQ(rec.nMissSounds, 0);
    CheckGolden("demo_forest", rec);
    // Played back up to the clear (the replay's own end follows it).
    CheckPlayback(rec, rec.nFirstClear >= 0 ? rec.nFirstClear + 1 : m_Keys.nFrames);
}

// The hills walked into the spike pit: one miss (its sound, a life gone),
// then the retry puts the hero back in play.
TEST_F(GoldenReplay, HillsMissOnceThenRetry) {
    LoadScript("demo_miss");
    ASSERT_FALSE(HasFatalFailure());
    const PLAYLOG rec = Record(1);
    ASSERT_EQ(rec.vecHash.size(), static_cast<size_t>(m_Keys.nFrames));
    EXPECT_EQ(rec.nMissSounds, 1);
    EXPECT_GE(rec.nFirstRetry, 0) << "no retry";
    EXPECT_GT(rec.nPlayAfterRetry, rec.nFirstRetry) << "play did not start again after the retry";
    EXPECT_EQ(rec.nLifeEnd, rec.nLifeStart - 1);
    EXPECT_EQ(rec.nFirstClear, -1);
    CheckGolden("demo_miss", rec);
    // The attempt that missed, played back up to its miss.
    if (rec.nMissFrame > 0) CheckPlayback(rec, rec.nMissFrame);
}

// The shooting range: the turret's formations fill the air with shots in
// many directions, and the enemies draw random numbers on many frames.
TEST_F(GoldenReplay, TurretFiresItsFormationsAmongRandomEnemies) {
    LoadScript("demo_turret");
    ASSERT_FALSE(HasFatalFailure());
    const PLAYLOG rec = Record(0);
    ASSERT_EQ(rec.vecHash.size(), static_cast<size_t>(m_Keys.nFrames));
    EXPECT_EQ(rec.nMissSounds, 0);
    EXPECT_GE(rec.nMostShots, 5);
    EXPECT_GE(rec.setShotAngles.size(), 8u);
    EXPECT_GE(rec.nRandomFrames, 4);
    CheckGolden("demo_turret", rec);
    CheckPlayback(rec, rec.nMissFrame >= 0 ? rec.nMissFrame : m_Keys.nFrames);
}

// The valley of devices under a project file of version 844: the view
// scrolls by itself, four logic steps a frame, giants that warp and grow,
// carried fruit (one unseen), lanterns that wake together, conditions on the
// hero, hits past the screen, a circling bird, weaving shots, the hero's
// sight and the old jump.
TEST_F(GoldenReplay, DevicesStageUnderAnOldProjectFile) {
    // The demo's own settings written as a file of version 844 and read
    // back: the rules of older projects come on.
    const uint32_t nSavedVer = nDataVer;
    nDataVer = 844;
    const int bSaved = m_Sys.Save("data\\System844.dat");
    nDataVer = nSavedVer;
    ASSERT_EQ(bSaved, 1);
    m_pProjectSystem = std::make_unique<cSystemData>();
    ASSERT_EQ(m_pProjectSystem->Load("data\\System844.dat"), 1);
    ASSERT_EQ(nFileVer, 844u);
    ASSERT_EQ(m_Sys.m_bRuleGravityJump, 0);
    ASSERT_EQ(m_pProjectSystem->m_bRuleGravityJump, 1);
    ASSERT_EQ(m_pProjectSystem->m_bScrollAddsToMoves, 0);
    ASSERT_EQ(m_pProjectSystem->m_bRuleScaleFootBox, 0);
    ASSERT_EQ(m_pProjectSystem->m_bRuleScaleFootCollision, 0);

    LoadScript("demo_devices");
    ASSERT_FALSE(HasFatalFailure());
    DEVICEWATCH w;
    m_fnWatch = [&w](cPlayHarness& h, int f) { WatchDevices(h, f, w); };
    const PLAYLOG rec = Record(0);
    m_fnWatch = nullptr;
    ASSERT_EQ(rec.vecHash.size(), static_cast<size_t>(m_Keys.nFrames));
    EXPECT_EQ(rec.nMissSounds, 0);
    EXPECT_EQ(w.nSubStep, 4);

    // Auto-scroll: 10 tenths of a dot a frame, 1 dot; the stage's last
    // column holds it at (40 + 10) x 32 - 640.
    EXPECT_EQ(w.dCam100 - w.dCam0, 100.0);
    EXPECT_EQ(w.dCamEnd, 960.0);
    EXPECT_EQ(w.bHeldEnd, 1);

    // The old jump: 6 hbl (96 dots) with gravity g = 0.4 / 4^2 = 0.025 a
    // step gives v = (-g - sqrt(g (g + 8 x 96))) / 2 = -2.20343 a step,
    // times 0.99 - 0.025 x 0.4 = 0.98: -2.15936. The rise is about
    // v^2 / 2g = 93.25 dots (97.10 without the rule), give or take half a
    // step's speed.
    const double dRise = w.dStandY - w.dJumpTop;
    EXPECT_GT(dRise, 92.0);
    EXPECT_LT(dRise, 94.6);

    // Giants placed on row 12 (its floor at map dot (12 + 10) x 32 + 32 =
    // 736). The giant: a 16 x 24 box standing in its cell (offsets 8, 8);
    // warped to column 24 it stands at x = (24 + 10) x 32 + 8 + 0.5 - (2 - 1)
    // x 16 / 2 = 1088.5, y = (12 + 10) x 32 + 8 - (2 - 1) x 24 = 688, its
    // bottom 688 + 48 - 1 = 735; grown to 3 there: x 1088.5 - 8 = 1080.5,
    // y 688 - 24 = 664, bottom 735. The solid giant (32 x 32, offsets 0)
    // warped to column 37: x = 47 x 32 + 0.5 - 16 = 1488.5, y = 704 - 32 =
    // 672; grown: x 1472.5, y 640; its bottom 735 both times. (Gravity
    // works on them in the steps of the frame after the warp and the growth,
    // sinking them less than a dot into the floor.)
    struct GIANTCASE {
        const char* pszName;
        double dWarpX, dWarpY, dGrownX, dGrownY;
    };
    const GIANTCASE giants[] = {{"巨人", 1088.5, 688, 1080.5, 664}, {"石の巨人", 1488.5, 672, 1472.5, 640}};
    for (const GIANTCASE& g : giants) {
        SCOPED_TRACE(g.pszName);
        const DEVICEWATCH::GIANT& s = w.mapGiant[g.pszName];
        ASSERT_GE(s.nWarps, 2);
        EXPECT_EQ(s.dWarpX, g.dWarpX);
        EXPECT_EQ(std::floor(s.dWarpY), g.dWarpY);
        EXPECT_EQ(std::floor(s.dWarpBottom), 735.0);
        ASSERT_TRUE(s.bGrown);
        EXPECT_EQ(s.dGrownX, g.dGrownX);
        EXPECT_EQ(std::floor(s.dGrownY), g.dGrownY);
        EXPECT_EQ(std::floor(s.dGrownBottom), 735.0);
    }

    // The two slimes carried their fruit, one unseen; shot down, each gave
    // it to the hero.
    EXPECT_TRUE(w.bFruitCarried);
    EXPECT_TRUE(w.bHiddenCarried);
    EXPECT_EQ(w.nStageVar[7], 1);
    EXPECT_EQ(w.nStageVar[8], 1);

    // The far lantern, first in the list, acted while only its partner
    // (later in the list) was on the screen, and rested while neither was
    // (its count before it came on the screen is the one it had when its
    // partner left, hundreds of frames earlier).
    EXPECT_GT(w.nLanternAwakeOffScreen, 10);
    EXPECT_GT(w.nLanternOwnArrival - w.nLanternPartnerGone, 300);
    EXPECT_GT(w.nLanternCountPartnerGone, 0);
    EXPECT_EQ(w.nLanternCountOwnArrival, w.nLanternCountPartnerGone);

    // Every brick and star came and went with the hero, but the one of kind
    // 7 (the hero near itself), which was always there.
    for (int k = 3; k <= 7; k++) {
        SCOPED_TRACE(k);
        EXPECT_TRUE(w.abBlockOn[k]);
        EXPECT_EQ(w.abBlockOff[k], k != 7);
        EXPECT_TRUE(w.abStarOn[k]);
        EXPECT_EQ(w.abStarOff[k], k != 7);
    }

    // With the on-screen-only switch off, the hero's shot brought down the
    // slime beyond the screen's right edge.
    EXPECT_TRUE(w.bFarSlimeGone);
    EXPECT_FALSE(w.bFarSlimeOnScreenAtHit);

    // The bird circles 3 hbl: 96 dots across, at four steps a frame.
    EXPECT_NEAR(w.dBirdMaxX - w.dBirdMinX, 96.0, 4.0);
    EXPECT_NEAR(w.dBirdMaxY - w.dBirdMinY, 96.0, 4.0);
    // The turret's shots weave 2 hbl (32 dots) to each side of their line:
    // 64 dots. Fired to the left, a shot starts at the wave's angle 180
    // degrees (the angle counter at 4 x 180 / 8 = 90 steps, 22.5 frames of
    // 8 degrees), so it weaves evenly about the height it was fired at,
    // rising first: when first seen, after the steps left of the frame it
    // was fired in, it is a few dots (at most 1.12 a step) above the middle
    // of its weave. (Started at 22.5 steps instead, 45 degrees, it would
    // sink first and weave about a line 23 dots above its start.)
    int nWholeWaves = 0;
    for (const auto& [nId, yy] : w.mapWaveY) {
        if (w.mapWaveFrames[nId] < 60) continue;   // a whole period is 45 frames
        nWholeWaves++;
        EXPECT_NEAR(yy.second - yy.first, 64.0, 4.0) << "shot " << nId;
        const double dAboveMiddle = (yy.first + yy.second) / 2 - w.mapWaveFirstY[nId];
        EXPECT_GT(dAboveMiddle, 0.0) << "shot " << nId;
        EXPECT_LT(dAboveMiddle, 8.0) << "shot " << nId;
    }
    EXPECT_GE(nWholeWaves, 2);

    // The sight mask: its colour (16) all over the screen but for the circle
    // of 112 dots around the hero, where the stage's backdrop colour shows
    // (no picture is loaded here).
    EXPECT_NE(w.nInsideRGB, w.nMaskRGB);
    EXPECT_NE(w.nInsideUpRGB, w.nMaskRGB);
    EXPECT_EQ(w.nOutsideUpRGB, w.nMaskRGB);
    EXPECT_EQ(w.nOutsideRightRGB, w.nMaskRGB);

    CheckGolden("demo_devices", rec);
    CheckPlayback(rec, m_Keys.nFrames);

    // The switch the other way: the same keys with hits kept to the screen.
    // The slimes on the screen still fall and hand over their fruit; the
    // hero's shot flies through the far one beyond the screen's edge.
    m_Stage.m_bOnScreenOnly = 1;
    DEVICEWATCH on;
    m_fnWatch = [&on](cPlayHarness& h, int f) { WatchDevices(h, f, on); };
    const PLAYLOG recOn = Record(0);
    m_fnWatch = nullptr;
    EXPECT_EQ(recOn.nMissSounds, 0);
    EXPECT_EQ(on.nStageVar[7], 1);
    EXPECT_EQ(on.nStageVar[8], 1);
    EXPECT_FALSE(on.bFarSlimeGone);
}

}  // namespace
