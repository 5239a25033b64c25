// What the player's files keep when the real program is played on scripted
// keys without a display: the challenge's worlds and their total, the story
// slot's auto-save switch, leftovers of saves cut short, and files a newer
// program wrote. Every case runs in its own copy of the demo and reads the
// files back with the project's own records.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "foundation/Record.h"
#include "frontend/Option.h"
#include "platform/FileSystem.h"
#include "project/Progress.h"
#include "project/Ranking.h"
#include "support/ByteBuilder.h"
#include "support/DemoCopyTest.h"
#include "support/GameProcess.h"
#include "support/XServer.h"

namespace {

namespace fs = std::filesystem;

// A UTF-8 text as this file's literals compile to Shift-JIS.
std::string Utf8(const char8_t* psz) { return reinterpret_cast<const char*>(psz); }

class PlayerFiles : public cDemoCopyTest {
protected:
    void SetUp() override {
        if (!CopyBuiltDemo(dir.Path(), &m_strExe)) GTEST_SKIP() << "the program or the demo project is not built";
        fs::remove_all(dir.Path() + "/user_data");
    }
    // Runs the program on a key script; the exit status.
    int Play(const std::string& strKeys, int nFrames) {
        EXPECT_TRUE(dir.WriteFile("keys.txt", strKeys));
        return RunGameProcess(m_strExe, {"--close-after-frames", std::to_string(nFrames)},
                              {"SDL_VIDEODRIVER=dummy", "MOSSGROVE_SEED=4242",
                               "MOSSGROVE_INPUT_SCRIPT=" + dir.File("keys.txt")},
                              300);
    }
    // The report as written (UTF-8).
    std::string Report() const {
        const auto v = ReadHostFile(dir.File("Report_Game.txt"));
        return std::string(v.begin(), v.end());
    }
    std::vector<uint8_t> Bytes(const std::string& strFile) const { return ReadHostFile(dir.File(strFile)); }
};

// The forest from the decide key that starts it (at frame nDecide): right
// held with a jump every 50 frames reaches the flag; with bShoot a shot
// every 30 frames also beats the forest's three creatures on the way. The
// clear display is confirmed 790 frames after the decide.
std::string ForestRun(int nDecide, bool bShoot) {
    std::string s = std::to_string(nDecide + 170) + " right 560\n";
    for (int f = nDecide + 190; f < nDecide + 720; f += 50) s += std::to_string(f) + " z 10\n";
    if (bShoot)
        for (int f = nDecide + 200; f < nDecide + 720; f += 30) s += std::to_string(f) + " x 8\n";
    return s + std::to_string(nDecide + 790) + " z\n";
}

// ---------------------------------------------------------------------------
// Challenge

// Worlds 2 and 3 of the copy are the forest alone (world 1's first stage
// copied over theirs; no second stage follows, so each chain is that one
// stage). Each run: "チャレンジ", world nWorld, the forest, back at the stage
// select. Worked out by hand from the demo: a coin scores 10 and a beaten
// creature 100; the forest's five coins on the way give 50, the three
// creatures shot down 300 more.
class ChallengeTotals : public PlayerFiles {
protected:
    void SetUp() override {
        PlayerFiles::SetUp();
        if (IsSkipped()) return;
        for (const char* pszTo : {"c02-1.stg4_000", "c03-1.stg4_000"})
            fs::copy_file(dir.File("data/stg4/c01-1.stg4_000"), dir.File(std::string("data/stg4/") + pszTo),
                          fs::copy_options::overwrite_existing);
    }
    void PlayWorld(int nWorld, bool bShoot) {
        std::string s = "60 down\n80 down\n100 z\n";
        for (int i = 1; i < nWorld; i++) s += std::to_string(130 + 10 * i) + " down\n";
        s += "160 z\n" + ForestRun(160, bShoot);
        EXPECT_EQ(Play(s, 1100), 0);
        const std::string strReport = Report();
        // Title, stage select, the forest, the stage select again.
        EXPECT_EQ(ReportSceneSwitches(strReport), (std::vector<int>{0, 3, 4, 3})) << strReport;
    }
    cProgress Challenge() {
        cProgress prog;
        InDemo([&] { EXPECT_EQ(prog.Load("user_data\\challenge\\Challenge.dat"), 1); });
        return prog;
    }
};

TEST_F(ChallengeTotals, EachWorldKeepsItsBestAndTheTotalIsTheirSum) {
    struct RUN {
        int nWorld;
        bool bShoot;
        int nBest2, nBest3, nTotal;   // afterwards
    } const runs[] = {
        {2, true, 350, 0, 350},    // world 2: coins and creatures
        {3, false, 350, 50, 400},  // world 3: the coins only
        {2, false, 350, 50, 400},  // world 2 again, worse: its best and the total stay
    };
    for (const RUN& r : runs) {
        SCOPED_TRACE(r.nWorld * 10 + (r.bShoot ? 1 : 0));
        PlayWorld(r.nWorld, r.bShoot);
        const cProgress prog = Challenge();
        ASSERT_GE(prog.m_vWorldResult.size(), 3u);
        EXPECT_EQ(prog.m_vWorldResult[0].m_nFirst, 0);   // world 1 never played
        EXPECT_EQ(prog.m_vWorldResult[0].m_nSecond, 0);
        EXPECT_EQ(prog.m_vWorldResult[1].m_nFirst, 1);
        EXPECT_EQ(prog.m_vWorldResult[1].m_nSecond, r.nBest2);
        EXPECT_EQ(prog.m_vWorldResult[2].m_nFirst, r.nBest3 > 0 ? 1 : 0);
        EXPECT_EQ(prog.m_vWorldResult[2].m_nSecond, r.nBest3);
        // The total the stage select shows.
        EXPECT_EQ(prog.m_nTotalScore, r.nTotal);
    }
}

// ---------------------------------------------------------------------------
// Story auto-save

// "はじめから" and slot 1 (the story starts with auto-save on, the slot not
// yet written); on the map the cancel key opens the save scene.
const std::string NEW_STORY_TO_SAVE_SCENE = "60 z\n90 z\n150 x\n";
// From the save scene's menu with the cursor on "オートセーブ" (row 1):
// "タイトルへ" (row 3) and "タイトルへ戻る", starting at frame f.
std::string ToTitle(int f) {
    return std::to_string(f) + " down\n" + std::to_string(f + 20) + " down\n" + std::to_string(f + 50) + " z\n" +
           std::to_string(f + 70) + " up\n" + std::to_string(f + 90) + " z\n";
}
// A new story in slot 1, the save scene's keys from frame 230 on and back
// to the title; the slot as the run left it.
class StoryAutoSave : public PlayerFiles {
protected:
    cProgress NewStoryInTheSaveScene(const std::string& strSaveKeys, int nFrames) {
        cProgress slot;
        EXPECT_EQ(Play(NEW_STORY_TO_SAVE_SCENE + strSaveKeys, nFrames), 0);
        EXPECT_EQ(ReportSceneSwitches(Report()), (std::vector<int>{0, 1, 2, 0})) << Report();
        InDemo([&] { EXPECT_EQ(slot.Load("user_data\\story\\Story01.dat"), 1); });
        return slot;
    }
};

// "つづきから", slot 1, the forest entry's "ステージに挑む" at 250, the
// forest to its flag, the clear display passed; back on the map, where a
// story with auto-save on writes its slot.
std::string ContinueAndClearTheForest() {
    return "60 down\n90 z\n130 z\n190 z\n220 up\n250 z\n" + ForestRun(250, false) + "1100 z\n1160 z\n";
}

TEST_F(StoryAutoSave, OnIsKeptInTheSlotAndAContinuedStorySavesAfterAClear) {
    // "オートセーブ" and "オートセーブＯＦＦ", then "オートセーブ" again and
    // "オートセーブＯＮ": the slot is written at once; then back to the
    // title and the program ends.
    const cProgress saved = NewStoryInTheSaveScene("230 down\n260 z\n280 down\n300 z\n330 z\n350 up\n370 z\n" +
                                                   ToTitle(400), 600);
    EXPECT_EQ(saved.m_bAutoSave, 1);
    EXPECT_TRUE(saved.m_vBestResult.empty());
    EXPECT_EQ(Play(ContinueAndClearTheForest(), 1300), 0);
    EXPECT_EQ(ReportSceneSwitches(Report()), (std::vector<int>{0, 1, 4, 1})) << Report();
    InDemo([&] {
        cProgress slot;
        ASSERT_EQ(slot.Load("user_data\\story\\Story01.dat"), 1);
        ASSERT_EQ(slot.m_vBestResult.size(), 1u) << "the clear was not saved";
        EXPECT_EQ(slot.m_vBestResult[0].m_nBest, 50);
        EXPECT_EQ(slot.m_nTotalScore, 50);
        EXPECT_EQ(slot.m_bAutoSave, 1);
    });
}

TEST_F(StoryAutoSave, OffIsKeptInTheSlotAndAContinuedStoryLeavesItAsItWas) {
    // "セーブ" into slot 1 (written with auto-save on), back to the menu,
    // "オートセーブ" and "オートセーブＯＦＦ"; then back to the title.
    const cProgress saved =
        NewStoryInTheSaveScene("230 z\n270 z\n300 up\n330 z\n370 x\n400 down\n430 z\n450 down\n470 z\n" + ToTitle(500), 700);
    EXPECT_EQ(saved.m_bAutoSave, 0);
    const std::vector<uint8_t> before = Bytes("user_data/story/Story01.dat");
    EXPECT_EQ(Play(ContinueAndClearTheForest(), 1300), 0);
    EXPECT_EQ(ReportSceneSwitches(Report()), (std::vector<int>{0, 1, 4, 1})) << Report();
    EXPECT_EQ(Bytes("user_data/story/Story01.dat"), before) << "the slot was written with auto-save off";
}

// ---------------------------------------------------------------------------
// Leftovers of saves cut short

TEST_F(PlayerFiles, TemporariesLeftByCutShortSavesAreGoneAfterAStart) {
    const std::vector<std::string> vGone = {"user_data/rpl4/m01__2026.rpl4_854.tmp", "user_data/story/Story02.dat.tmp",
                                            "user_data/challenge/Challenge.dat.tmp", "user_data/Option.dat.tmp"};
    const std::vector<std::string> vKept = {"user_data/rpl4/readme.txt.tmp", "user_data/story/Story02.dat"};
    for (const std::string& s : vGone) ASSERT_TRUE(dir.WriteFile(s, "cut short"));
    for (const std::string& s : vKept) ASSERT_TRUE(dir.WriteFile(s, "mine"));
    EXPECT_EQ(Play("", 30), 0);
    for (const std::string& s : vGone) EXPECT_FALSE(fs::exists(dir.File(s))) << s;
    for (const std::string& s : vKept) EXPECT_TRUE(fs::exists(dir.File(s))) << s;
    EXPECT_NE(Report().find("Story02.dat.tmp"), std::string::npos) << Report();
}

// ---------------------------------------------------------------------------
// Files a newer program wrote

// The version word of a file made one newer than this program's.
std::vector<uint8_t> MadeNewer(std::vector<uint8_t> v) {
    const uint32_t nVer = DATA_VERSION + 1;
    for (size_t i = 0; i < 4 && i < v.size(); i++) v[i] = static_cast<uint8_t>(nVer >> (8 * i));
    return v;
}

// Without a display a box cannot be put to the player: it is answered with
// its default, and the question's default keeps the file. The options (left
// with the cancel key), the challenge and a new story on slot 1 each ask
// once; each file stays byte for byte and the title stays.
TEST_F(PlayerFiles, AStartWithoutADisplayKeepsANewerSlotChallengeFileAndOptions) {
    InDemo([&] {
        ASSERT_TRUE(FsMakeDirectory("user_data"));
        ASSERT_TRUE(FsMakeDirectory("user_data\\story"));
        ASSERT_TRUE(FsMakeDirectory("user_data\\challenge"));
        cProgress prog;
        prog.NewStory();
        ASSERT_EQ(prog.Save("user_data\\story\\Story01.dat"), 1);
        ASSERT_EQ(prog.Save("user_data\\challenge\\Challenge.dat"), 1);
        cOption opt;
        opt.m_nVolume = 2;
        ASSERT_EQ(opt.Save("user_data\\Option.dat"), 1);
    });
    const std::vector<std::string> vFiles = {"user_data/story/Story01.dat", "user_data/challenge/Challenge.dat",
                                             "user_data/Option.dat"};
    std::vector<std::vector<uint8_t>> vBefore;
    for (const std::string& f : vFiles) {
        vBefore.push_back(MadeNewer(Bytes(f)));
        ASSERT_TRUE(dir.WriteFile(f, vBefore.back()));
    }
    // "オプション" (sixth entry) and straight back; "チャレンジ" (the cursor
    // comes back on "オプション"); "はじめから" and slot 1.
    const std::string strKeys = "60 down\n75 down\n90 down\n105 down\n120 down\n150 z\n240 x\n"
                                "360 up\n375 up\n390 up\n420 z\n450 up\n465 up\n490 z\n530 z\n";
    EXPECT_EQ(Play(strKeys, 600), 0);
    const std::string strReport = Report();
    EXPECT_EQ(ReportSceneSwitches(strReport), (std::vector<int>{0, 5, 0})) << strReport;
    for (size_t i = 0; i < vFiles.size(); i++) {
        EXPECT_EQ(Bytes(vFiles[i]), vBefore[i]) << vFiles[i];
        const std::string strName = vFiles[i].substr(vFiles[i].rfind('/') + 1);
        EXPECT_NE(Report().find(strName + Utf8(u8" : 上書きせずに残します")), std::string::npos) << strName << "\n" << strReport;
    }
}

// A free play of the forest registered with F3 under the fixed name, over a
// ranking file a newer program wrote: the box is answered "no" without a
// display, the file stays byte for byte, and the ranking table that follows
// is shown all the same (the close comes during it).
TEST_F(PlayerFiles, ARegistrationWithoutADisplayKeepsANewerRankingFile) {
    InDemo([&] {
        ASSERT_TRUE(FsMakeDirectory("user_data"));
        ASSERT_TRUE(FsMakeDirectory("user_data\\free"));
        cOption opt;
        opt.m_nRankingMode = 1;
        opt.m_strName = "grove";
        ASSERT_EQ(opt.Save("user_data\\Option.dat"), 1);
        cRanking rk;
        rk.m_vTable[0].Insert("later", 9999);
        ASSERT_EQ(rk.Save("user_data\\free\\m01.rkg"), 1);
    });
    const std::vector<uint8_t> before = MadeNewer(Bytes("user_data/free/m01.rkg"));
    ASSERT_TRUE(dir.WriteFile("user_data/free/m01.rkg", before));
    // "フリー" (fourth entry), the forest chosen in the stage dialog, set up
    // at 131; its goal; F3 on the clear display.
    std::string s = "60 down\n75 down\n90 down\n120 z\n290 right 560\n";
    for (int f = 310; f < 840; f += 50) s += std::to_string(f) + " z 10\n";
    s += "896 f3\n";
    EXPECT_TRUE(dir.WriteFile("keys.txt", s));
    const int nStatus = RunGameProcess(m_strExe, {"--close-after-frames", "1000"},
                                       {"SDL_VIDEODRIVER=dummy", "MOSSGROVE_INPUT_SCRIPT=" + dir.File("keys.txt"),
                                        "MOSSGROVE_FILE_ANSWERS=m01.stg4_000"},
                                       300);
    EXPECT_EQ(nStatus, 0);
    const std::string strReport = Report();
    EXPECT_EQ(ReportSceneSwitches(strReport), (std::vector<int>{0, 4})) << strReport;
    EXPECT_NE(Report().find(Utf8(u8"m01.rkg : 上書きせずに残します")), std::string::npos) << strReport;
    EXPECT_EQ(Report().find(Utf8(u8"の保存に失敗")), std::string::npos) << strReport;
    EXPECT_EQ(Bytes("user_data/free/m01.rkg"), before);
}

// On a display the question is the player's: shown in the game window and
// answered with the keys. The options are edited (the volume raised from
// its default 7) and left over an option file a newer program wrote; Enter
// at once takes the default and keeps the file byte for byte, Left to "はい"
// and Enter writes the player's options over it.
TEST_F(PlayerFiles, OnADisplayThePlayerDecidesWhetherANewerOptionFileIsReplaced) {
    cXServer x(false);
    if (!x.Missing().empty()) GTEST_SKIP() << x.Missing();
    InDemo([&] {
        ASSERT_TRUE(FsMakeDirectory("user_data"));
        cOption opt;
        opt.m_nVolume = 2;
        ASSERT_EQ(opt.Save("user_data\\Option.dat"), 1);
    });
    const std::vector<uint8_t> newer = MadeNewer(Bytes("user_data/Option.dat"));
    // "オプション", the volume row raised by one and kept, the cancel key.
    ASSERT_TRUE(dir.WriteFile("keys.txt", "60 down\n75 down\n90 down\n105 down\n120 down\n150 z\n220 down\n235 down\n"
                                          "250 z\n265 up\n280 z\n300 x\n"));
    struct CASE {
        const char* pszWay;
        std::vector<std::string> vKeys;
        bool bReplaced;
    } const acase[] = {{"Enter: the default, no", {"Return"}, false}, {"Left to yes, Enter", {"Left", "Return"}, true}};
    for (const CASE& c : acase) {
        SCOPED_TRACE(c.pszWay);
        ASSERT_TRUE(dir.WriteFile("user_data/Option.dat", newer));
        std::remove(dir.File("Report_Game.txt").c_str());
        cGameProcess run(m_strExe, {}, {"SDL_VIDEODRIVER=x11", x.DisplayEnv(), "MOSSGROVE_INPUT_SCRIPT=" + dir.File("keys.txt")},
                         "run");
        const unsigned long nWindow = x.FindWindow(run.Pid(), 640, 480, 30000);
        ASSERT_NE(nWindow, 0u) << "no game window";
        const std::string strAsked = Utf8(u8"Option.dat : 新しいバージョンのファイルです。上書きの確認");
        for (int i = 0; i < 600 && run.Running() && Report().find(strAsked) == std::string::npos; i++) usleep(50 * 1000);
        ASSERT_NE(Report().find(strAsked), std::string::npos) << Report();
        usleep(1000 * 1000);   // the box drawn and taking keys
        EXPECT_EQ(Bytes("user_data/Option.dat"), newer) << "written before the answer";
        ASSERT_TRUE(x.PressKeys(nWindow, c.vKeys));
        const std::string strAnswered = Utf8(c.bReplaced ? u8"Option.dat : 上書きの許可を得ました" : u8"Option.dat : 上書きせずに残します");
        for (int i = 0; i < 200 && run.Running() && Report().find(strAnswered) == std::string::npos; i++) usleep(50 * 1000);
        EXPECT_NE(Report().find(strAnswered), std::string::npos) << Report();
        // Back at the title; then the program is ended.
        for (int i = 0; i < 200 && run.Running() && ReportSceneSwitches(Report()).size() < 3; i++) usleep(50 * 1000);
        EXPECT_EQ(ReportSceneSwitches(Report()), (std::vector<int>{0, 5, 0})) << Report();
        run.Terminate();
        EXPECT_EQ(run.Wait(30), 0) << run.Err();
        if (!c.bReplaced) {
            EXPECT_EQ(Bytes("user_data/Option.dat"), newer);
            continue;
        }
        InDemo([&] {
            cOption back;
            ASSERT_EQ(back.Load("user_data\\Option.dat"), 1);
            EXPECT_EQ(back.m_nVolume, 8);
        });
    }
}

}  // namespace
