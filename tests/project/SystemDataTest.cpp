// System settings: defaults round trip, older files and their upgrade
// steps, the repairs of damaged values.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "ProjectTestUtil.h"
#include "project/Database.h"
#include "project/ProjectContext.h"
#include "project/SystemData.h"

namespace {

// The registered plain fields with the first version that stores each, from
// the layout table; the three colour bytes follow m_bFixedTransColor.
struct FIELD {
    const char* pszName;
    uint32_t nFrom;
    int nSize;
};
const FIELD atblField[] = {
    {"ExtendByScore", 185, 4}, {"ExtendScore", 0, 4}, {"SpacePause", 838, 4}, {"PauseHideStage", 0, 4},
    {"SymbolLetters", 0, 4}, {"Font", 205, 4}, {"NoBracketShift", 170, 4}, {"KeepTestFlows", 113, 4},
    {"Replay", 184, 4}, {"TitleMenuPicture", 157, 4}, {"UseSaveSlots", 821, 4}, {"StoryLifeCarry", 0, 4},
    {"StoryMissToMap", 191, 4}, {"MapShowLife", 191, 4}, {"WorldCount", 0, 4}, {"AllWorldsOpen", 0, 4},
    {"StoryMapScore", 167, 4}, {"StoryTotalScore", 167, 4}, {"StoryRetryRestore", 188, 4},
    {"StoryPauseRetry", 224, 4}, {"ChallengeHighScore", 167, 4}, {"ChallengeTotalScore", 167, 4},
    {"ChallengeRetryRestore", 188, 4}, {"ChallengePauseRetry", 224, 4}, {"FreeRetryRestore", 188, 4},
    {"DirectRetryRestore", 192, 4}, {"FixedTransColor", 187, 4}, {"TransR", 187, 1}, {"TransG", 187, 1},
    {"TransB", 187, 1}, {"ScrollAddsToMoves", 214, 4}, {"Extra221", 221, 4}, {"ScaleFootCollision", 261, 4},
    {"Rule272", 272, 4}, {"D3DCharaTint", 287, 4}, {"SysColorStep", 515, 4}, {"FixedRangeColor", 289, 4},
    {"StoryPauseToMap", 757, 4}, {"FireUnlimited", 525, 4}, {"Rule555", 555, 4}, {"Rule617", 637, 4},
    {"KeySeqOverlap", 669, 4}, {"BppD3D", 670, 4}, {"BppDD", 670, 4}, {"LandWhileRising", 677, 4},
    {"Rule695", 695, 4}, {"Reserved696", 696, 4}, {"Rule697", 697, 4}, {"Rule721", 721, 4}, {"Rule728", 728, 4},
    {"TrimTargetSpan", 733, 4}, {"FireMarkEarly", 744, 4}, {"CharaJumpGroundOnly", 749, 4}, {"Rule752", 752, 4},
    {"KnockbackAtOnce", 763, 4}, {"HarmlessShots", 763, 4}, {"Rule768", 768, 4}, {"Rule773", 773, 4},
    {"CeilingKeepsKnock", 781, 4}, {"DistanceNoRefresh", 782, 4}, {"Rule783", 783, 4}, {"Rule793", 793, 4},
    {"Rule805", 805, 4}, {"Rule808", 808, 4}, {"Rule818A", 818, 4}, {"Rule818B", 818, 4},
    {"InfiniteLifeZero", 819, 4}, {"Rule822", 822, 4}, {"Rule827", 827, 4}, {"ScaleFootBox", 831, 4},
    {"Rule833", 833, 4}, {"Rule837", 837, 4}, {"Rule839", 839, 4}, {"KnockYAlways", 841, 4},
    {"HeroJumpOnRide", 845, 4}, {"CharaJumpAirSteps", 845, 4}, {"GravityJump", 845, 4}, {"Rule845", 845, 4},
};

struct SYSFILE {
    std::map<std::string, int> mValue;
    std::vector<uint8_t> vCarryOver = std::vector<uint8_t>(25, 0);
    std::vector<std::string> vSysText = std::vector<std::string>(29, "t");
    std::vector<int> vSceneBgm = {0, 0, 0, 0};
    int nTitleMenu = 7;
};

bool Stored(const FIELD& f, uint32_t v) {
    if (std::string(f.pszName) == "Extra221") return v >= 221 && v < 260;
    return v >= f.nFrom;
}

cByteBuilder BuildSystemDat(uint32_t v, const SYSFILE& s) {
    cByteBuilder b;
    b.U32(v);
    int n = 0;
    for (const FIELD& f : atblField) n += Stored(f, v) ? 1 : 0;
    b.I32(n);
    for (const FIELD& f : atblField) {
        if (!Stored(f, v)) continue;
        auto it = s.mValue.find(f.pszName);
        int x = it == s.mValue.end() ? 0 : it->second;
        if (f.nSize == 1) b.U8(static_cast<uint8_t>(x));
        else b.I32(x);
    }
    b.I32(1).Str("Title");
    b.Count(static_cast<int>(s.vCarryOver.size()));
    for (uint8_t x : s.vCarryOver) b.U8(x);
    if (v >= 501) b.Count(25).Fill(0, 25);
    b.Count(5);
    for (int i = 0; i < 5; i++) {
        int nFields = 3 + (v >= 204 ? 1 : 0) + (v >= 587 ? 2 : 0);
        b.I32(nFields);
        for (int k = 0; k < nFields; k++) b.I32(k == 0 ? 1 : 0);
        b.I32(1).Str("L");
    }
    b.Count(4).I32(3).I32(3).I32(3).I32(9);
    if (v >= 191) b.Count(4).I32(0).I32(0).I32(0).I32(1);
    if (v >= 186) {
        b.Count(4);
        for (int m = 0; m < 4; m++) b.I32(1).I32(1).I32(0).Count(3).U8(1).U8(1).U8(1);
    }
    b.Count(static_cast<int>(s.vSysText.size()));
    for (auto& t : s.vSysText) b.Str(t);
    b.Count(17);
    for (int i = 0; i < 17; i++) b.Str("wave\\s.wav");
    b.Count(static_cast<int>(s.vSceneBgm.size()));
    for (int x : s.vSceneBgm) b.I32(x);
    if (v >= 202) b.Count(4).Fill(1, 4);
    for (int nMenu : {s.nTitleMenu, 4, 6}) {
        b.Count(nMenu);
        for (int i = 0; i < nMenu; i++) b.I32(1).I32(1).I32(1).Str("m");
    }
    if (v >= 674) b.Count(4).Str("a").Str("b").Str("c").Str("d");
    b.Count(11);
    for (int i = 0; i < 11; i++) b.I32(2).I32(0).I32(i).I32(2).Str("K").Str("");
    return b;
}

class SystemDataTest : public cProjectTest {
protected:
    SystemDataTest() : m_ctx(&m_db), m_scope(m_ctx) { m_db.m_vBgm.resize(3); }

    // Loads a built file into a fresh record.
    bool Load(uint32_t v, const SYSFILE& s, cSystemData& sys) {
        if (!Write("System.dat", BuildSystemDat(v, s))) return false;
        return sys.Load("System.dat") == 1;
    }
    cDatabase m_db;
    cProjectContext m_ctx;
    cStageContextScope m_scope;
};

}  // namespace

TEST_F(SystemDataTest, DefaultsWrittenAndLoadedBackAreEqual) {
    cSystemData sys;
    sys.m_vSceneBgm[2] = 2;
    sys.m_bRule833 = 1;
    sys.m_byTransG = 200;
    std::vector<uint8_t> bytes = RecordBytes(sys);
    ASSERT_FALSE(bytes.empty());

    cSystemData back;
    back.Clear();
    back.m_vTitleMenu.clear();
    back.m_vSysText.clear();
    back.m_vIniItem.clear();
    ASSERT_EQ(back.Load("rec.tmp.dat"), 1);
    EXPECT_EQ(RecordBytes(back, "b.dat"), bytes);
    EXPECT_EQ(back.m_vSysText[16], "保存先が不明です！一度は「セーブ」して下さい！");
    EXPECT_EQ(back.m_vIniItem[INI_FREESTAGE].m_nKind, 1);
    EXPECT_EQ(back.m_vSceneBgm[2], 2);
    EXPECT_EQ(back.m_byTransG, 200);
    // 77 plain fields are written for this version.
    EXPECT_EQ(bytes[4], 77);
}

TEST_F(SystemDataTest, TheHandBuiltCurrentFileReadsField) {
    SYSFILE s;
    s.mValue = {{"Font", 12}, {"Rule845", 1}, {"TransB", 9}, {"WorldCount", 3}};
    cSystemData sys;
    ASSERT_TRUE(Load(854, s, sys));
    EXPECT_EQ(sys.m_nFont, 12);
    EXPECT_EQ(sys.m_bRule845, 1);
    EXPECT_EQ(sys.m_byTransB, 9);
    EXPECT_EQ(sys.m_nWorldCount, 3);
    EXPECT_EQ(sys.m_vRankingModeText[3], "d");
    EXPECT_EQ(sys.m_vIniItem[10].m_nValue, 10);
}

TEST_F(SystemDataTest, NewerFileIsRefused) {
    cSystemData sys;
    EXPECT_FALSE(Load(855, SYSFILE(), sys));
    EXPECT_EQ(bFileVerErr, 1);
}

TEST_F(SystemDataTest, OlderVersions) {
    struct CASE {
        uint32_t nVer;
        std::function<void(const cSystemData&)> fnCheck;
    };
    const CASE cases[] = {
        {185, [](const cSystemData& s) {
             EXPECT_EQ(s.m_bExtendByScore, 0);   // stored value
             EXPECT_EQ(s.m_nFont, 60);
             EXPECT_EQ(s.m_bSpacePause, 1);
             EXPECT_EQ(s.m_bStoryMissToMap, 0);
             EXPECT_EQ(s.m_bUseSaveSlots, 0);
             EXPECT_EQ(s.CountRankingKinds(0), 5);   // no ranking list in the file: defaults
             EXPECT_EQ(s.CountRankingKinds(3), 0);
         }},
        {184, [](const cSystemData& s) { EXPECT_EQ(s.m_bExtendByScore, 1); }},
        {190, [](const cSystemData& s) {
             EXPECT_EQ(s.m_vLifeInfinite, (cChkVector<int32_t>{0, 0, 0, 1}));
             EXPECT_EQ(s.m_bMapShowLife, 0);
         }},
        {168, [](const cSystemData& s) {
             EXPECT_EQ(s.m_vSysText[14], "オートセーブＯＮ");
             EXPECT_EQ(s.m_vSysText[15], "オートセーブＯＦＦ");
             EXPECT_EQ(s.m_vSysText[16], "保存先が不明です！一度は「セーブ」して下さい！");
             EXPECT_EQ(s.m_vSysText[8], "残りHP");
             EXPECT_EQ(s.m_vSysText[9], "残りSP");
             EXPECT_EQ(s.m_vSaveMenu[1].m_strText, "オートセーブ");
             EXPECT_EQ(s.m_vSaveMenu[2].m_strText, "m");
             EXPECT_EQ(s.m_byTransG, 177);
         }},
        {250, [](const cSystemData& s) {
             EXPECT_EQ(s.m_bScrollAddsToMoves, 5);   // the extra word after it is dropped
             EXPECT_EQ(s.m_bRuleScaleFootCollision, 1);
             EXPECT_EQ(s.m_vTitleMenu[6].m_strText, "m");
         }},
        {260, [](const cSystemData& s) { EXPECT_EQ(s.m_bScrollAddsToMoves, 5); }},
        {285, [](const cSystemData& s) {
             EXPECT_EQ(s.m_vIniItem[0].m_strKey, "Direct3D");
             EXPECT_EQ(s.m_vIniItem[0].m_nValue, 1);
             EXPECT_EQ(s.m_vIniItem[3].m_nValue, 2);   // was item 2 (value 2) of the file
             EXPECT_EQ(s.m_vIniItem[4].m_strKey, "D3D_FontCache");
             EXPECT_EQ(s.m_vIniItem[5].m_strKey, "DD_FontCache");
             EXPECT_EQ(s.m_vIniItem[6].m_strKey, "DD_VideoStretch");
             EXPECT_EQ(s.m_vIniItem[9].m_strKey, "English");
             EXPECT_EQ(s.m_vIniItem[10].m_strKey, "Midi_DirectMusic");
         }},
        {616, [](const cSystemData& s) {
             EXPECT_EQ(s.m_bRule617, 1);
             EXPECT_EQ(s.m_bRule845, 0);
             EXPECT_EQ(s.m_nScreenBppDD, 2);
         }},
        {636, [](const cSystemData& s) { EXPECT_EQ(s.m_bRule617, 0); }},
        {755, [](const cSystemData& s) {
             EXPECT_EQ(s.m_vSysText[22], "マップへ戻る");
             EXPECT_EQ(s.m_vSysText[23], "t");
             EXPECT_EQ(s.m_bStoryPauseToMap, 0);
         }},
        {820, [](const cSystemData& s) {
             EXPECT_EQ(s.m_bRule833, 1);
             EXPECT_EQ(s.m_bRule845, 1);
             EXPECT_EQ(s.m_bUseSaveSlots, 0);
             EXPECT_EQ(s.m_bRuleInfiniteLifeZero, 0);   // stored
         }},
        {816, [](const cSystemData& s) { EXPECT_EQ(s.m_bRule833, 0); }},
    };
    for (const CASE& c : cases) {
        SCOPED_TRACE(testing::Message() << "version " << c.nVer);
        SYSFILE s;
        s.mValue = {{"ScrollAddsToMoves", 5}, {"Extra221", 77}};
        for (int i = 0; i < 29; i++) s.vSysText[i] = "t";
        cSystemData sys;
        sys.m_bRule833 = 0;
        ASSERT_TRUE(Load(c.nVer, s, sys));
        ASSERT_EQ(sys.m_vSysText.size(), 29u);
        c.fnCheck(sys);
    }
}

TEST_F(SystemDataTest, CarryOverOfAVeryOldFile) {
    SYSFILE s;
    s.vCarryOver = {7, 8, 9};
    cSystemData sys;
    ASSERT_TRUE(Load(100, s, sys));
    ASSERT_EQ(sys.m_vCarryOver.size(), 25u);
    for (int i = 0; i < 25; i++) {
        int nExpected = i == 0 ? 7 : i == 1 ? 8 : i == 2 ? 9 : i == 18 ? 1 : 0;
        EXPECT_EQ(sys.m_vCarryOver[i], nExpected) << "item " << i;
    }
}

TEST_F(SystemDataTest, DamagedValuesAreRepaired) {
    SYSFILE s;
    s.mValue = {{"Font", 500}};
    s.vCarryOver = {1};
    s.vSysText = {"a", "b"};
    s.vSceneBgm = {-1, 2, 3};
    s.nTitleMenu = 2;
    cSystemData sys;
    ASSERT_TRUE(Load(854, s, sys));
    EXPECT_EQ(sys.m_nFont, 60);
    EXPECT_EQ(sys.m_vCarryOver.size(), 25u);
    ASSERT_EQ(sys.m_vSysText.size(), 29u);
    EXPECT_EQ(sys.m_vSysText[1], "b");
    EXPECT_EQ(sys.m_vSysText[28], "F3キーでランキングへ登録");
    ASSERT_EQ(sys.m_vTitleMenu.size(), 7u);
    EXPECT_EQ(sys.m_vTitleMenu[6].m_strText, "しゅうりょう");
    // Music numbers: negative and not below the music count (3) become 0.
    EXPECT_EQ(sys.m_vSceneBgm, (cChkVector<int32_t>{0, 2, 0, 0}));
    EXPECT_EQ(sys.m_vRankingFlags[0].m_vKind.size(), 5u);
    EXPECT_EQ(sys.CountRankingKinds(1), 3);
}

TEST_F(SystemDataTest, TruncatedFileFails) {
    cByteBuilder b = BuildSystemDat(854, SYSFILE());
    for (size_t nCut : {1u, 40u, 400u}) {
        cByteBuilder c = b;
        c.Cut(nCut);
        ASSERT_TRUE(Write("System.dat", c));
        cSystemData sys;
        EXPECT_EQ(sys.Load("System.dat"), 0) << "cut " << nCut;
    }
}

TEST_F(SystemDataTest, StatusLowAndTextColumns) {
    cSystemData sys;
    sys.m_vStatusDisp[2].m_bLowPercent = 1;
    sys.m_vStatusDisp[2].m_nLow = 33;
    EXPECT_EQ(sys.IsStatusLow(2, 33, 100), 1);
    EXPECT_EQ(sys.IsStatusLow(2, 34, 100), 0);
    EXPECT_EQ(sys.IsStatusLow(2, 5, 0), 0);   // no maximum: no division
    EXPECT_EQ(sys.IsStatusLow(2, 0, 0), 1);
    sys.m_vStatusDisp[4].m_nLow = 2;
    EXPECT_EQ(sys.IsStatusLow(4, 2, 99), 1);
    EXPECT_EQ(sys.IsStatusLow(9, 0, 1), 0);
    // Texts 10 and 11: 7 characters each; with the cursor 8 cells of 16 dots.
    EXPECT_EQ(sys.GetTextColumnX(320, 10, 2, 1), 320 - 64);
    EXPECT_EQ(sys.GetTextColumnX(320, 10, 2, 0), 320 - 56);
    sys.m_vRankingFlags[0].m_bRanking = 0;
    EXPECT_EQ(sys.CountRankingKinds(0), 0);
}

TEST(SystemDefaults, FontNamesAndIniItems) {
    EXPECT_STREQ(aszFontName[121], "Sydnie");
    EXPECT_STREQ(aszFontName[122], "");
    EXPECT_STREQ(aszFontName[60], "ＭＳ Ｐゴシック");
    cSystemData sys;
    EXPECT_STREQ(sys.GetFontName(), "ＭＳ Ｐゴシック");
    ASSERT_EQ(sys.m_vIniItem.size(), 11u);
    EXPECT_EQ(sys.m_vIniItem[0].m_nValue, 2);
    EXPECT_EQ(sys.m_vIniItem[8].m_strKey, "FreeStage");
    EXPECT_EQ(sys.m_vLife, (cChkVector<int32_t>{5, 5, 5, 99}));
}
