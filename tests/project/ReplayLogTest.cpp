#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "ProjectTestUtil.h"
#include "project/GameState.h"
#include "project/LocalTime.h"
#include "project/Progress.h"
#include "project/ProgressRequests.h"
#include "project/ProjectContext.h"
#include "project/ReplayLog.h"
#include "project/SystemData.h"
#include "project/WorldMap.h"
#include "stage/Stage.h"

namespace {

class ReplayTest : public cProjectTest {
protected:
    ReplayTest() : m_savedSystem(recSystem), m_savedMap(recWorldMap) {
        recSystem.SetDefault();
        recWorldMap.SetDefault();
        EXPECT_TRUE(m_dir.MakeDir("user_data/rpl4"));
    }
    ~ReplayTest() override {
        recSystem = m_savedSystem;
        recWorldMap = m_savedMap;
        SetLocalTimeSource(nullptr);
    }
    static std::unique_ptr<cStage> PlayableStage(bool bHero = true) {
        auto st = std::make_unique<cStage>();
        st->m_nWidth = 30;
        st->m_nHeight = 20;
        st->m_strText = "stage";
        cCharaData hero;
        hero.m_nOperator = bHero ? 0 : 1;
        hero.m_nGraphic = 3;
        hero.m_nX = 4;
        st->m_vCharaPlace.push_back(hero);
        return st;
    }
    cSystemData m_savedSystem;
    cWorldMap m_savedMap;
};

struct FRAME {
    int16_t nDir, nButton;
    int nCount;
};

cReplayLog Recorded(const std::vector<FRAME>& v) {
    cReplayLog log;
    for (const FRAME& f : v)
        for (int i = 0; i < f.nCount; i++) log.RecordFrame(f.nDir, f.nButton);
    return log;
}

TEST_F(ReplayTest, RunLengthTable) {
    struct CASE {
        std::vector<FRAME> frames;
        std::vector<int16_t> vDir;
        std::vector<int32_t> vDirRun;
        std::vector<int16_t> vButton;
        std::vector<int32_t> vButtonRun;
    };
    const CASE cases[] = {
        {{{4, 16, 600}}, {4}, {600}, {16}, {600}},   // held for 600 frames: one run
        {{{1, 0, 2}, {2, 1, 1}, {2, 1, 2}, {2, 0, 1}}, {1, 2}, {2, 4}, {0, 1, 0}, {2, 3, 1}},
        {{{0, 0, 1}, {-1, -32768, 1}, {0, 0, 1}}, {0, -1, 0}, {1, 1, 1}, {0, -32768, 0}, {1, 1, 1}},
        {{}, {}, {}, {}, {}},
    };
    for (const CASE& c : cases) {
        cReplayLog log = Recorded(c.frames);
        EXPECT_EQ(std::vector<int16_t>(log.m_vDirLog.begin(), log.m_vDirLog.end()), c.vDir);
        EXPECT_EQ(std::vector<int32_t>(log.m_vDirRunLen.begin(), log.m_vDirRunLen.end()), c.vDirRun);
        EXPECT_EQ(std::vector<int16_t>(log.m_vButtonLog.begin(), log.m_vButtonLog.end()), c.vButton);
        EXPECT_EQ(std::vector<int32_t>(log.m_vButtonRunLen.begin(), log.m_vButtonRunLen.end()), c.vButtonRun);
    }
}

TEST_F(ReplayTest, ARunThatReachesTheLargestLengthStartsANewRun) {
    // A direction held for INT32_MAX - 1 frames so far (the log as the
    // record stores it), buttons likewise.
    cReplayLog log;
    log.m_vDirLog.assign({3, 4});
    log.m_vDirRunLen.assign({5, INT32_MAX - 1});
    log.m_vButtonLog.assign({16});
    log.m_vButtonRunLen.assign({INT32_MAX - 1});
    // Frame INT32_MAX of the run still fits it.
    log.RecordFrame(4, 16);
    EXPECT_EQ(std::vector<int32_t>(log.m_vDirRunLen.begin(), log.m_vDirRunLen.end()),
              (std::vector<int32_t>{5, INT32_MAX}));
    EXPECT_EQ(std::vector<int32_t>(log.m_vButtonRunLen.begin(), log.m_vButtonRunLen.end()),
              (std::vector<int32_t>{INT32_MAX}));
    // The next equal frame opens a run of 1 with the same value.
    log.RecordFrame(4, 16);
    EXPECT_EQ(std::vector<int16_t>(log.m_vDirLog.begin(), log.m_vDirLog.end()), (std::vector<int16_t>{3, 4, 4}));
    EXPECT_EQ(std::vector<int32_t>(log.m_vDirRunLen.begin(), log.m_vDirRunLen.end()),
              (std::vector<int32_t>{5, INT32_MAX, 1}));
    EXPECT_EQ(std::vector<int16_t>(log.m_vButtonLog.begin(), log.m_vButtonLog.end()), (std::vector<int16_t>{16, 16}));
    EXPECT_EQ(std::vector<int32_t>(log.m_vButtonRunLen.begin(), log.m_vButtonRunLen.end()),
              (std::vector<int32_t>{INT32_MAX, 1}));
    EXPECT_TRUE(log.IsConsistent());
    // Playback from the last frame of the long runs: that frame, the frame
    // of the new runs, then the end.
    log.m_nPlayDir = 1;
    log.m_nRunDir = INT32_MAX - 1;
    log.m_nPlayButton = 0;
    log.m_nRunButton = INT32_MAX - 1;
    for (int i = 0; i < 2; i++) {
        int16_t w[2] = {-9, -9};
        ASSERT_EQ(log.PlayFrame(w), 0) << i;
        EXPECT_EQ(w[0], 4) << i;
        EXPECT_EQ(w[1], 16) << i;
    }
    int16_t w[2] = {-9, -9};
    EXPECT_EQ(log.PlayFrame(w), 1);
}

TEST_F(ReplayTest, PlaybackGivesTheRecordedFrames) {
    // A long pseudo-random input, recorded and played back frame by frame.
    std::vector<std::pair<int16_t, int16_t>> vIn;
    uint32_t r = 12345;
    int16_t nDir = 0, nButton = 0;
    for (int i = 0; i < 5000; i++) {
        r = r * 1103515245u + 12345u;
        if ((r >> 16) % 7 == 0) nDir = static_cast<int16_t>((r >> 8) % 9);
        if ((r >> 20) % 5 == 0) nButton = static_cast<int16_t>((r >> 4) & 0xFF);
        vIn.emplace_back(nDir, nButton);
    }
    cReplayLog log;
    for (auto& f : vIn) log.RecordFrame(f.first, f.second);
    cReplayLog copy;
    copy.Copy(log);
    for (int nPass = 0; nPass < 2; nPass++) {
        copy.RewindPlayback();
        for (size_t i = 0; i < vIn.size(); i++) {
            int16_t w[2] = {-9, -9};
            ASSERT_EQ(copy.PlayFrame(w), 0) << i;
            ASSERT_EQ(w[0], vIn[i].first) << i;
            ASSERT_EQ(w[1], vIn[i].second) << i;
        }
        int16_t w[2] = {-9, -9};
        EXPECT_EQ(copy.PlayFrame(w), 1);
        EXPECT_EQ(w[0], -9);
    }

    // Streams of different lengths: playback stops with the shorter.
    cReplayLog uneven;
    uneven.m_vDirLog = {1, 2};
    uneven.m_vDirRunLen = {2, 1};
    uneven.m_vButtonLog = {5};
    uneven.m_vButtonRunLen = {5};
    int nFrames = 0;
    int16_t w[2];
    while (uneven.PlayFrame(w) == 0) nFrames++;
    EXPECT_EQ(nFrames, 3);
    cReplayLog empty;
    EXPECT_EQ(empty.PlayFrame(w), 1);
    EXPECT_TRUE(empty.IsEmpty());
}

// The log's part of a replay file, by hand.
cByteBuilder LogBytes(int32_t nSeed, std::vector<int16_t> vDir, std::vector<int16_t> vButton,
                      std::vector<int32_t> vDirRun, std::vector<int32_t> vButtonRun) {
    cByteBuilder b;
    b.I32(1).I32(nSeed).I32(0);
    b.Count(static_cast<int32_t>(vDir.size()));
    for (int16_t v : vDir) b.I16(v);
    b.Count(static_cast<int32_t>(vButton.size()));
    for (int16_t v : vButton) b.I16(v);
    b.Count(static_cast<int32_t>(vDirRun.size()));
    for (int32_t v : vDirRun) b.I32(v);
    b.Count(static_cast<int32_t>(vButtonRun.size()));
    for (int32_t v : vButtonRun) b.I32(v);
    return b;
}

class ReplayFiles : public ReplayTest {
protected:
    ReplayFiles() {
        m_pStage = PlayableStage();
        m_pStage->Normalize();   // as a loaded stage is, with its derived values
        m_pHeader = std::make_unique<cStage>(*m_pStage);
        m_pHeader->m_vCharaPlace.clear();
        m_pStage->m_nScrollModeX = 1;   // changed by play; the header keeps the loaded value
        m_pHeader->m_nScrollModeX = 0;
        m_log = Recorded({{4, 1, 3}, {0, 1, 2}, {8, 0, 600}});
        m_log.m_nSeed = -123456;
        m_progress.m_strName = "rep";
        m_progress.m_vCommonVar[1000] = 42;

        // Snapshot, log and progress, each written on its own.
        cDataFile* fp = CreateDataFile("snap.bin");
        m_pStage->SaveReplaySnapshot(fp, *m_pHeader);
        EXPECT_EQ(CloseDataFile(fp), 1);
        m_vSnapshot = ReadHostFile(m_dir.File("snap.bin"));
        cProgress p = m_progress;
        EXPECT_EQ(p.Save("prog.bin"), 1);
        std::vector<uint8_t> vProgress = ReadHostFile(m_dir.File("prog.bin"));
        m_file.Raw(m_vSnapshot.data(), m_vSnapshot.size());
        m_nLogAt = m_file.Size();
        m_file.Append(LogBytes(-123456, {4, 0, 8}, {1, 0}, {3, 2, 600}, {5, 600}));
        m_nProgressAt = m_file.Size();
        m_file.Raw(vProgress.data() + 4, vProgress.size() - 4);
    }
    std::unique_ptr<cStage> m_pStage, m_pHeader;
    cReplayLog m_log;
    cProgress m_progress;
    std::vector<uint8_t> m_vSnapshot;
    cByteBuilder m_file;
    size_t m_nLogAt = 0, m_nProgressAt = 0;
};

TEST_F(ReplayFiles, ByteExactRoundTrip) {
    const char* pszPath = "user_data\\rpl4\\r.rpl4_854";
    ASSERT_EQ(m_log.SaveReplayFile(pszPath, *m_pStage, *m_pHeader, m_progress), 1);
    std::vector<uint8_t> first = ReadHostFile(Host(pszPath));
    EXPECT_EQ(first, m_file.Bytes());

    cReplayLog log;
    auto pStage = std::make_unique<cStage>();
    auto pHeader = std::make_unique<cStage>();
    cProgress prog;
    cCharaData hero;
    ASSERT_EQ(LoadReplayFile(log, pszPath, *pStage, *pHeader, prog, &hero), 1);
    EXPECT_EQ(log.m_nSeed, -123456);
    EXPECT_EQ(log.m_vDirRunLen.back(), 600);
    EXPECT_EQ(log.m_nFileVersion, 854u);
    EXPECT_EQ(pStage->m_nScrollModeX, 0);   // the settings as loaded
    EXPECT_EQ(pStage->m_vCharaPlace.size(), 1u);
    EXPECT_EQ(pStage->m_strPath, pszPath);
    EXPECT_EQ(pHeader->m_nWidth, 30);
    EXPECT_TRUE(pHeader->m_vCharaPlace.empty());
    EXPECT_TRUE(pHeader->m_vBlockPalette.empty());
    EXPECT_EQ(hero.m_nX, 4);
    EXPECT_EQ(prog.m_strName, "rep");
    EXPECT_EQ(prog.m_vCommonVar[1000], 42);

    ASSERT_EQ(log.SaveReplayFile("user_data\\rpl4\\s.rpl4_854", *pStage, *pHeader, prog), 1);
    EXPECT_EQ(ReadHostFile(Host("user_data\\rpl4\\s.rpl4_854")), first);
}

TEST_F(ReplayFiles, DamagedFilesChangeNothing) {
    auto noHero = PlayableStage(false);
    cDataFile* fp = CreateDataFile("nohero.bin");
    noHero->SaveReplaySnapshot(fp, *noHero);
    ASSERT_EQ(CloseDataFile(fp), 1);
    std::vector<uint8_t> vNoHero = ReadHostFile(m_dir.File("nohero.bin"));

    auto withLog = [&](const cByteBuilder& log) {
        cByteBuilder b;
        b.Raw(m_vSnapshot.data(), m_vSnapshot.size()).Append(log);
        return b;
    };
    struct CASE {
        const char* pszWhat;
        cByteBuilder b;
    };
    std::vector<CASE> cases;
    cases.push_back({"cut in the stage", cByteBuilder().Raw(m_file.Bytes().data(), m_nLogAt / 2)});
    cases.push_back({"cut in the log", cByteBuilder().Raw(m_file.Bytes().data(), m_nLogAt + 14)});
    cases.push_back({"cut in the progress", cByteBuilder(m_file).Cut(10)});
    cases.push_back({"value and run lists of different lengths", withLog(LogBytes(1, {4, 0}, {1}, {3}, {5}))});
    cases.push_back({"a run of 0 frames", withLog(LogBytes(1, {4}, {1}, {0}, {5}))});
    cases.push_back({"a negative run", withLog(LogBytes(1, {4}, {1}, {3}, {-5}))});
    cases.push_back({"a count past the end", withLog(cByteBuilder().I32(1).I32(0).I32(0).Count(0x7FFFFFFF))});
    cases.push_back({"a negative count", withLog(cByteBuilder().I32(1).I32(0).I32(0).Count(-2))});
    cases.push_back({"newer version", cByteBuilder().U32(855).Raw(m_file.Bytes().data() + 4, m_file.Size() - 4)});
    cases.push_back({"three bytes", cByteBuilder().U8(0x56).U8(3).U8(0)});
    {
        cByteBuilder b;
        b.Raw(vNoHero.data(), vNoHero.size()).Raw(m_file.Bytes().data() + m_nLogAt, m_file.Size() - m_nLogAt);
        cases.push_back({"a stage without a hero", b});
    }
    for (CASE& c : cases) {
        ASSERT_TRUE(Write("user_data\\rpl4\\bad.rpl4_854", c.b));
        cReplayLog log = Recorded({{1, 1, 1}});
        log.m_nSeed = 777;
        auto pStage = PlayableStage();
        pStage->m_strText = "live";
        auto pHeader = std::make_unique<cStage>();
        pHeader->m_strText = "header";
        cProgress prog;
        prog.m_strName = "live";
        cCharaData hero;
        hero.m_nX = 99;
        EXPECT_EQ(LoadReplayFile(log, "user_data\\rpl4\\bad.rpl4_854", *pStage, *pHeader, prog, &hero), 0)
            << c.pszWhat;
        EXPECT_EQ(log.m_nSeed, 777) << c.pszWhat;
        EXPECT_EQ(log.m_vDirLog.size(), 1u) << c.pszWhat;
        EXPECT_EQ(pStage->m_strText, "live") << c.pszWhat;
        EXPECT_EQ(pHeader->m_strText, "header") << c.pszWhat;
        EXPECT_EQ(prog.m_strName, "live") << c.pszWhat;
        EXPECT_EQ(hero.m_nX, 99) << c.pszWhat;
    }
    cReplayLog log;
    auto pStage = std::make_unique<cStage>();
    cProgress prog;
    EXPECT_EQ(LoadReplayFile(log, "user_data\\rpl4\\missing.rpl4_854", *pStage, *pStage, prog), 0);
}

SYSTEMTIME ReplayTime() { return SYSTEMTIME{2024, 3, 6, 2, 14, 5, 30, 0}; }

bool EndsWith(const std::string& s, const std::string& t) {
    return s.size() >= t.size() && s.compare(s.size() - t.size(), t.size(), t) == 0;
}

TEST_F(ReplayTest, FileNames) {
    SetLocalTimeSource(&ReplayTime);
    EXPECT_EQ(MakeReplayFileName("", 0, 0, 0), "");
    std::string s = MakeReplayFileName("data\\stg4\\c03.", 0, 0, 0);
    EXPECT_TRUE(EndsWith(s, "user_data\\rpl4\\c03__2024__03_02__14_05.rpl4_854")) << s;
    EXPECT_NE(s.rfind("user_data", 0), 0u);   // made absolute
    // Taken names get a number.
    ASSERT_TRUE(m_dir.WriteFile("user_data/rpl4/c03__2024__03_02__14_05.rpl4_854", std::string("x")));
    s = MakeReplayFileName("data\\stg4\\c03.", 0, 0, 0);
    EXPECT_TRUE(EndsWith(s, "user_data\\rpl4\\c03__2024__03_02__14_05 (2).rpl4_854")) << s;
    ASSERT_TRUE(m_dir.WriteFile("user_data/rpl4/c03__2024__03_02__14_05 (2).rpl4_854", std::string("x")));
    s = MakeReplayFileName("data\\stg4\\c03.", 0, 0, 0);
    EXPECT_TRUE(EndsWith(s, "c03__2024__03_02__14_05 (3).rpl4_854")) << s;
    // The decoration comes before the time.
    s = MakeReplayFileName("data\\stg4\\c03.", 1, 5, 2);
    EXPECT_TRUE(EndsWith(s, "user_data\\rpl4\\c03_c005_2__2024__03_02__14_05.rpl4_854")) << s;
    recProgress.m_nDecorate = 1;
    recProgress.m_nDecorateA = 7;
    recProgress.m_nDecorateB = 0;
    s = MakeReplayFileName("x.");
    recProgress.m_nDecorate = 0;
    EXPECT_TRUE(EndsWith(s, "x_c007_0__2024__03_02__14_05.rpl4_854")) << s;
}

TEST_F(ReplayTest, PlaybackVersionOfTheStageContext) {
    cGameState state;
    SetGameState(&state);
    uint32_t nSaved = recReplayA.m_nFileVersion;
    recReplayA.m_nFileVersion = 777;   // an old replay: its input rules apply in its playback only
    cProjectContext ctx;
    EXPECT_EQ(ctx.ReplayPlaybackVersion(), 0);
    state.m_nPlayType = PLAYTYPE_REPLAY;
    EXPECT_EQ(ctx.ReplayPlaybackVersion(), 777);
    recReplayA.m_nFileVersion = nSaved;
    SetGameState(nullptr);
}

class cFakeHost : public IProgressHost {
public:
    int RequestNameEntry(std::string& s) override {
        s = "new";
        return 1;
    }
    int RequestSaveReplay(int nWhich) override {
        vCalls.push_back("save " + std::to_string(nWhich));
        return 1;
    }
    bool IsKeyHeld(int nVk) override { return nVk == nHeld; }
    void PlaySystemSound(int n) override { vCalls.push_back("se " + std::to_string(n)); }
    int nHeld = 0;
    std::vector<std::string> vCalls;
};

TEST_F(ReplayTest, ReplayKeys) {
    cFakeHost host;
    SetProgressHost(&host);
    cGameState state;
    SetGameState(&state);
    recSystem.m_bReplay = 1;
    ResetReplayKeys();
    cReplayLog savedA, savedB;
    savedA.Copy(recReplayA);
    savedB.Copy(recReplayB);
    recReplayA.Clear();
    recReplayB = Recorded({{1, 1, 1}});
    using V = std::vector<std::string>;

    // F1 with nothing recorded: the refusal sound, at most once in 60 frames.
    host.nHeld = VK_F1_KEY;
    int nSaves = 0;
    for (int i = 0; i < 61; i++) nSaves += CheckReplayKeys();
    EXPECT_EQ(nSaves, 0);
    EXPECT_EQ(host.vCalls, (V{"se 3", "se 3"}));
    // F2 saves the previous attempt once while held.
    host.vCalls.clear();
    host.nHeld = VK_F2_KEY;
    EXPECT_EQ(CheckReplayKeys(), 1);
    EXPECT_EQ(CheckReplayKeys(), 0);
    host.nHeld = 0;
    EXPECT_EQ(CheckReplayKeys(), 0);
    host.nHeld = VK_F2_KEY;
    EXPECT_EQ(CheckReplayKeys(), 1);
    EXPECT_EQ(host.vCalls, (V{"se 1", "save 1", "se 1", "save 1"}));
    // Nothing in a playback or with the replay function off.
    host.vCalls.clear();
    host.nHeld = 0;
    CheckReplayKeys();
    host.nHeld = VK_F2_KEY;
    state.m_nPlayType = PLAYTYPE_REPLAY;
    EXPECT_EQ(CheckReplayKeys(), 0);
    state.m_nPlayType = PLAYTYPE_NEWGAME;
    recSystem.m_bReplay = 0;
    EXPECT_EQ(CheckReplayKeys(), 0);
    EXPECT_TRUE(host.vCalls.empty());

    std::string strName = "old";
    EXPECT_EQ(RequestRankingName(strName), 1);
    EXPECT_EQ(strName, "new");
    SetProgressHost(nullptr);
    EXPECT_EQ(RequestRankingName(strName), 0);

    SetGameState(nullptr);
    recReplayA.Copy(savedA);
    recReplayB.Copy(savedB);
    ResetReplayKeys();
}

}  // namespace
