// Golden replays: scripted plays of the demo's stages (as mkdemo writes them,
// read through the stage loader), each from a key script checked in beside
// its state hashes (tests/play/golden/demo_*.keys and demo_*_hashes.txt):
//   forest  the first challenge stage, walked and jumped to the goal: it clears;
//   miss    the hills, walked into the spike pit: one miss, then the retry;
//   turret  the shooting range, stood in while the turret fires its
//           formations and trajectories and the enemies draw random numbers.
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
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "foundation/Path.h"
#include "foundation/Record.h"
#include "platform/FileSystem.h"
#include "play/Hero.h"
#include "play/PlayHarness.h"
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

}  // namespace
