#include "frontend/Option.h"
#include "frontend/OptionScene.h"
#include "frontend/SceneTestBase.h"
#include "project/PlayerFiles.h"
#include "support/FakeMessageBox.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "graphics/ImageSlots.h"
#include "graphics/ImageSurfaces.h"
#include "project/GameFonts.h"
#include "support/RecordingRasterizer.h"

namespace {

constexpr int DECIDE = 1, CANCEL = 2, UP = 4, DOWN = 8;

class OptionScene : public SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        saved = recOption;
        recOption = cOption();
    }
    void TearDown() override {
        recOption = saved;
        SceneTest::TearDown();
    }
    cOption saved;
};

class cPaletteHost : public cFakeFrontEndHost {
public:
    void LoadHbtPalette(int n) override { vPalette.push_back(n); }
    std::vector<int> vPalette;
};

TEST_F(OptionScene, EditsWrapAndCancelRestoresTheSideEffect) {
    cPaletteHost host;
    SetFrontEndHost(&host);
    recOption.m_nVolume = 0;
    recOption.m_nPaletteVariant = 23;
    cOptionScene s;
    RunUntil(s, OPTIONSTATE_LIST);
    fe.Frame(s, 0, 0);
    // Row 2 is the volume: 0 down wraps to 10.
    Press(s, DOWN, 0);
    Press(s, DOWN, 0);
    Press(s, 0, DECIDE);
    EXPECT_EQ(s.m_nSub, 2);
    Press(s, DOWN, 0);
    EXPECT_EQ(recOption.m_nVolume, 10);
    Press(s, 0, DECIDE);                  // kept
    EXPECT_EQ(recOption.m_nVolume, 10);
    // Row 0 is the palette: 23 up wraps to 0, loaded at once; cancel loads 23 again.
    Press(s, UP, 0);
    Press(s, UP, 0);
    Press(s, 0, DECIDE);
    Press(s, UP, 0);
    EXPECT_EQ(recOption.m_nPaletteVariant, 0);
    Press(s, 0, CANCEL);
    EXPECT_EQ(recOption.m_nPaletteVariant, 23);
    EXPECT_EQ(host.vPalette, (std::vector<int>{0, 23}));
    SetFrontEndHost(&fe.host);
}

TEST_F(OptionScene, LeavingWritesTheOptionFile) {
    dir.MakeDir("user_data");
    recOption.m_nRankingMode = 2;
    cOptionScene s;
    RunUntil(s, OPTIONSTATE_LIST);
    fe.Frame(s, 0, 0);
    Press(s, 0, CANCEL);
    EXPECT_EQ(s.m_nState, OPTIONSTATE_FADEOUT);
    for (int i = 0; i < 40 && fe.game.m_nBeforeScene != SCENE_OPTION; i++) fe.Frame(s, 0, 0);
    EXPECT_EQ(fe.game.m_nBeforeScene, SCENE_OPTION);
    EXPECT_EQ(fe.game.m_nScene, SCENE_TITLE);
    cOption back;
    ASSERT_EQ(back.Load("user_data\\Option.dat"), 1);
    EXPECT_EQ(back.m_nRankingMode, 2);
}

TEST_F(OptionScene, AnOptionFileThatCannotBeWrittenIsToldInABox) {
    ASSERT_TRUE(dir.MakeDir("user_data/Option.dat"));   // a folder where the file goes
    cOptionScene s;
    RunUntil(s, OPTIONSTATE_LIST);
    fe.Frame(s, 0, 0);
    Press(s, 0, CANCEL);
    for (int i = 0; i < 40 && fe.game.m_nBeforeScene != SCENE_OPTION; i++) fe.Frame(s, 0, 0);
    EXPECT_EQ(fe.game.m_nBeforeScene, SCENE_OPTION);
    ASSERT_EQ(fe.host.vErrors.size(), 1u);
    EXPECT_NE(fe.host.vErrors[0].find("Option.dat"), std::string::npos);
}

TEST_F(OptionScene, WithEveryEntryDisabledOneRowEditsThePalette) {
    for (auto& e : recSystem.m_vOptionMenu) e.m_bEnable = 0;
    cOptionScene s;
    RunUntil(s, OPTIONSTATE_LIST);
    fe.Frame(s, 0, 0);
    EXPECT_EQ(s.m_nEntryCount, 1);
    Press(s, 0, DECIDE);
    EXPECT_EQ(s.m_nEditId, OPTIONID_PALETTE);
}

// The default labels stand on the rows of the values they edit, and an edit
// of each row changes the value shown on that same row.
TEST_F(OptionScene, EveryRowShowsTheLabelAndValueOfTheOptionItEdits) {
    dir.MakeDir("user_data");
    cOptionScene s;
    RunUntil(s, OPTIONSTATE_LIST);
    fe.Frame(s, 0, 0);
    // Defaults of the option record: palette 0, music on, volume 7, ranking
    // mode 0 (manual, name entry), name "aaa"; the last row only leaves.
    struct ROW {
        const char* pszLabel;
        const char* pszValue;
        const char* pszAfterUp;   // after one "up" in the editor (nullptr: not a number editor)
    } const arow[] = {
        {"パレット", "0", "1"},
        {"BGM", "ON", "OFF"},    // 1 + 1 passes the maximum 1 and wraps to 0
        {"SE", "7", "8"},
        {"ランキング登録", "手動登録（登録名入力）", "手動登録（登録名固定）"},
        {"ランキング登録名", "aaa", nullptr},
        {"もどる", "", nullptr},
    };
    ASSERT_EQ(s.m_nEntryCount, 6);
    for (int i = 0; i < 6; i++) {
        EXPECT_EQ(s.RowLabel(i), arow[i].pszLabel) << i;
        EXPECT_EQ(s.RowValue(i), arow[i].pszValue) << i;
    }
    for (int i = 0; i < 4; i++) {
        if (i > 0) Press(s, DOWN, 0);
        Press(s, 0, DECIDE);
        ASSERT_EQ(s.m_nSub, 2) << i;
        Press(s, UP, 0);
        Press(s, 0, DECIDE);
        EXPECT_EQ(s.RowValue(i), arow[i].pszAfterUp) << i;
        for (int j = 0; j < 6; j++)
            if (j > i) {
                EXPECT_EQ(s.RowValue(j), arow[j].pszValue) << i << " changed row " << j;
            }
    }
    Press(s, DOWN, 0);
    Press(s, DOWN, 0);                    // "もどる"
    Press(s, 0, DECIDE);
    EXPECT_EQ(s.m_nState, OPTIONSTATE_FADEOUT);
    EXPECT_EQ(fe.game.m_nNextScene, SCENE_TITLE);
    for (int i = 0; i < 40 && fe.game.m_nBeforeScene != SCENE_OPTION; i++) fe.Frame(s, 0, 0);
    cOption back;
    ASSERT_EQ(back.Load("user_data\\Option.dat"), 1);
    EXPECT_EQ(back.m_nPaletteVariant, 1);
    EXPECT_EQ(back.m_bBgm, 0);
    EXPECT_EQ(back.m_nVolume, 8);
    EXPECT_EQ(back.m_nRankingMode, 1);
}

// With rows disabled (music and the ranking mode here), every row left
// still shows the value of the option it edits, next to its label: the
// sound volume's 7 on the second row, the name on the third.
TEST_F(OptionScene, ADisabledRowMovesNoValueOntoAnotherRow) {
    UseRecordingRasterizer();
    for (int i : {1, 2}) aFont[i].Create("ＭＳ ゴシック", 0, 16, 0, 16, 241, nullptr, 1, 240, nullptr, 0);
    const std::vector<uint8_t> bmp = DDBuildBmp(64, 64, 8, {0, 0xFFFFFF}, std::vector<uint32_t>(64 * 64, 1));
    ASSERT_TRUE(dir.MakeDir("bmp"));
    for (const char* psz : {"Window", "Accessory"}) ASSERT_TRUE(dir.WriteFile(std::string("bmp/") + psz + ".bmp", bmp));
    lpImageData = Img_Data;
    nImageCount = IMAGE_SLOT_COUNT;
    ASSERT_GE(recSystem.m_vOptionMenu.size(), 6u);
    recSystem.m_vOptionMenu[OPTIONID_BGM].m_bEnable = 0;
    recSystem.m_vOptionMenu[OPTIONID_RANKMODE].m_bEnable = 0;
    {
        cOptionScene s;
        RenderedTexts().clear();
        RunUntil(s, OPTIONSTATE_LIST);
        ASSERT_EQ(s.m_nEntryCount, 4);
        struct ROW {
            const char *pszLabel, *pszValue;
        } const arow[] = {{"パレット", "0"}, {"SE", "7"}, {"ランキング登録名", "aaa"}, {"もどる", ""}};
        for (int i = 0; i < 4; i++) {
            EXPECT_EQ(s.RowLabel(i), arow[i].pszLabel) << i;
            EXPECT_EQ(s.RowValue(i), arow[i].pszValue) << i;
        }
        // As drawn: each label followed by its own value.
        for (int i = 0; i < 3; i++) {
            const auto it = std::find(RenderedTexts().begin(), RenderedTexts().end(), arow[i].pszLabel);
            ASSERT_NE(it, RenderedTexts().end()) << arow[i].pszLabel;
            ASSERT_NE(it + 1, RenderedTexts().end()) << arow[i].pszLabel;
            EXPECT_EQ(*(it + 1), arow[i].pszValue) << arow[i].pszLabel;
        }
        // The second row edits the volume.
        Press(s, DOWN, 0);
        Press(s, 0, DECIDE);
        EXPECT_EQ(s.m_nEditId, OPTIONID_VOLUME);
    }
    for (int n : {IMAGE_SLOT_ACCESSORY, IMAGE_SLOT_WINDOW}) DDReleaseSurface(&Off_Img[n]);
    lpImageData = nullptr;
    nImageCount = 0;
    for (int i : {1, 2}) aFont[i].Release();
    DDSetRasterizerFactory(nullptr);
}

// A project's System.dat stores the option menu in one of two layouts: ours
// (a label per id, the palette first) and the older one whose labels start
// at the music row and end with an empty sixth label. Either way every row
// shows the label of the value it edits, texts the project changed included.
TEST_F(OptionScene, EveryRowIsLabelledForBothStoredLayouts) {
    struct LAYOUT {
        const char* pszName;
        std::vector<std::string> vStored;
        std::vector<std::string> vRows;   // the six rows' labels, ids 0 to 5
    } const layouts[] = {
        {"ours", {"パレット", "BGM", "SE", "ランキング登録", "ランキング登録名", "もどる"},
         {"パレット", "BGM", "SE", "ランキング登録", "ランキング登録名", "もどる"}},
        {"older", {"BGM", "SE", "ランキング登録", "ランキング登録名", "もどる", ""},
         {"パレット", "BGM", "SE", "ランキング登録", "ランキング登録名", "もどる"}},
        {"older, renamed", {"おんがく", "こうかおん", "とうろく", "なまえ", "おわる", ""},
         {"パレット", "おんがく", "こうかおん", "とうろく", "なまえ", "おわる"}},
        {"ours, renamed", {"いろ", "おんがく", "こうかおん", "とうろく", "なまえ", "おわる"},
         {"いろ", "おんがく", "こうかおん", "とうろく", "なまえ", "おわる"}},
    };
    for (const LAYOUT& l : layouts) {
        SCOPED_TRACE(l.pszName);
        recSystem.m_vOptionMenu.clear();
        for (const std::string& t : l.vStored) {
            cCmd c;
            c.m_bEnable = 1;
            c.m_strText = t;
            recSystem.m_vOptionMenu.push_back(c);
        }
        cOptionScene s;
        RunUntil(s, OPTIONSTATE_LIST);
        fe.Frame(s, 0, 0);
        ASSERT_EQ(s.m_nEntryCount, 6);
        for (int i = 0; i < 6; i++) EXPECT_EQ(s.RowLabel(i), l.vRows[static_cast<size_t>(i)]) << i;
        // The last row still leaves the scene.
        for (int i = 0; i < 5; i++) Press(s, DOWN, 0);
        Press(s, 0, DECIDE);
        EXPECT_EQ(s.m_nState, OPTIONSTATE_FADEOUT);
    }
}

}  // namespace

TEST_F(OptionScene, AnOptionFileOfANewerProgramIsKeptAsItIs) {
    dir.MakeDir("user_data");
    cOption mine;
    mine.m_nRankingMode = 3;
    ASSERT_EQ(mine.Save("user_data\\Option.dat"), 1);
    std::vector<uint8_t> bytes;
    {
        FILE* f = std::fopen(dir.File("user_data/Option.dat").c_str(), "rb");
        ASSERT_NE(f, nullptr);
        int c;
        while ((c = std::fgetc(f)) != EOF) bytes.push_back(static_cast<uint8_t>(c));
        std::fclose(f);
    }
    ASSERT_GE(bytes.size(), 4u);
    // One version above this program's in the version word.
    uint32_t nVer = bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<uint32_t>(bytes[3]) << 24;
    nVer++;
    for (int i = 0; i < 4; i++) bytes[static_cast<size_t>(i)] = static_cast<uint8_t>(nVer >> (8 * i));
    ASSERT_TRUE(dir.WriteFile("user_data/Option.dat", bytes));

    // The player edits and leaves twice in one run, and says no at the one
    // question: the file stays as the newer program wrote it, the edits
    // stay in force for the run.
    ForgetPlayerFileAnswers();
    cFakeMessageBox boxes;
    boxes.Script({IDNO});
    recOption.m_nRankingMode = 1;
    recOption.m_nVolume = 3;
    EXPECT_EQ(recOption.LoadFile("user_data\\Option.dat"), 0);
    EXPECT_EQ(recOption.m_nRankingMode, 1);   // as it was
    EXPECT_EQ(recOption.m_nFileState, PLAYERFILE_NEWER);
    auto EditVolumeAndLeave = [&] {
        fe.game.m_nBeforeScene = -1;
        cOptionScene s;
        RunUntil(s, OPTIONSTATE_LIST);
        fe.Frame(s, 0, 0);
        Press(s, DOWN, 0);
        Press(s, DOWN, 0);                // the volume
        Press(s, 0, DECIDE);
        Press(s, UP, 0);
        Press(s, 0, DECIDE);
        Press(s, 0, CANCEL);
        for (int i = 0; i < 40 && fe.game.m_nBeforeScene != SCENE_OPTION; i++) fe.Frame(s, 0, 0);
        EXPECT_EQ(fe.game.m_nBeforeScene, SCENE_OPTION);
    };
    const int32_t nVolume = recOption.m_nVolume;
    EditVolumeAndLeave();
    EditVolumeAndLeave();
    EXPECT_EQ(recOption.m_nVolume, nVolume + 2);
    EXPECT_TRUE(fe.host.vErrors.empty());
    ASSERT_EQ(boxes.Count(), 1u) << "told once";
    EXPECT_NE(boxes.Boxes()[0].strText.find("Option.dat"), std::string::npos);
    std::vector<uint8_t> after;
    {
        FILE* f = std::fopen(dir.File("user_data/Option.dat").c_str(), "rb");
        ASSERT_NE(f, nullptr);
        int c;
        while ((c = std::fgetc(f)) != EOF) after.push_back(static_cast<uint8_t>(c));
        std::fclose(f);
    }
    EXPECT_EQ(after, bytes);

    // Another run where the player says yes: the edits are written.
    ForgetPlayerFileAnswers();
    boxes.Script({IDYES});
    EXPECT_EQ(recOption.LoadFile("user_data\\Option.dat"), 0);
    EditVolumeAndLeave();
    ASSERT_EQ(boxes.Count(), 2u);
    {
        cOption written;
        ASSERT_EQ(written.Load("user_data\\Option.dat"), 1);
        EXPECT_EQ(written.m_nVolume, recOption.m_nVolume);
        EXPECT_EQ(written.m_nRankingMode, 1);
    }

    // A file of this program is read and written back on leaving.
    ASSERT_EQ(mine.Save("user_data\\Option.dat"), 1);
    EXPECT_EQ(recOption.LoadFile("user_data\\Option.dat"), 1);
    EXPECT_EQ(recOption.m_nRankingMode, 3);
    recOption.m_nRankingMode = 2;
    EXPECT_EQ(recOption.SaveFile("user_data\\Option.dat"), 1);
    cOption back;
    ASSERT_EQ(back.Load("user_data\\Option.dat"), 1);
    EXPECT_EQ(back.m_nRankingMode, 2);
}
