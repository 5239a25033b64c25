#include "frontend/SceneTestBase.h"
#include "frontend/WorldMapScene.h"

#include <algorithm>
#include <string>
#include <vector>

#include "graphics/Font.h"
#include "graphics/ImageSlots.h"
#include "graphics/ImageSurfaces.h"
#include "project/GameFonts.h"
#include "support/RecordingRasterizer.h"

namespace {

constexpr int DECIDE = 1, CANCEL = 2, LEFT = 1, RIGHT = 2, UP = 4, DOWN = 8;

TEST(WorldMapEntry, CompareCodes) {
    struct CASE {
        int32_t v, k;
        int nCompare;
        bool bWant;
    } const acase[] = {
        {5, 5, 0, true},    {5, 4, 0, false},  {5, 4, 1, true},   {5, 5, 1, false}, {5, 5, 2, true},
        {4, 5, 2, false},   {5, 5, 3, true},   {6, 5, 3, false},  {6, 5, 4, true},  {5, 5, 4, false},
        {4, 5, 5, true},    {5, 5, 5, false},  {-9, 3, 6, true},  {10, 3, 6, false}, {7, 0, 6, true},
        {0, 0, 6, true},    {10, 3, 7, true},  {9, 3, 7, false},  {7, 0, 7, false},  {0, 0, 7, false},
        {INT32_MIN, 2, 6, true},   // the magnitude of the smallest value is taken without overflow
        {5, 5, 8, false},   // an unknown code fails
    };
    for (const auto& c : acase)
        EXPECT_EQ(MapCompare(c.v, c.k, c.nCompare), c.bWant) << c.v << " " << c.nCompare << " " << c.k;
}

TEST(WorldMapEntry, FirstPassingEntryIsActive) {
    cProgress p;
    p.Reset();
    cWorldPlace place;
    place.m_vStage.resize(4);
    place.m_vStage[0].m_nNeedFlag = 3;           // needs stage flag 3
    place.m_vStage[1].m_nVar = 10;               // needs common variable 10 = 7
    place.m_vStage[1].m_nValue = 7;
    place.m_vStage[2].m_nNeedTotal = 500;        // needs a total score of 500
    place.m_vStage[3].m_nNeedFlag = 5000;        // a flag outside the list never holds
    EXPECT_EQ(FindActiveEntry(&place, p), nullptr);
    p.m_nTotalScore = 500;
    EXPECT_EQ(FindActiveEntry(&place, p), &place.m_vStage[2]);
    p.m_vCommonVar.At(10) = 7;
    EXPECT_EQ(FindActiveEntry(&place, p), &place.m_vStage[1]);
    p.m_vStageFlag.At(3) = 1;
    EXPECT_EQ(FindActiveEntry(&place, p), &place.m_vStage[0]);
    EXPECT_EQ(FindActiveEntry(nullptr, p), nullptr);
}

TEST(WorldMapTiles, SourceOnTheSheet) {
    struct CASE {
        int32_t n;
        int x, y;
    } const acase[] = {
        {0, 0, 0},
        {7, 64, 32},
        {134217728 * 5, 0, INT32_MAX},   // 32 x 2^27 is 2^32: wrapped, it was row 0
        {INT32_MAX, 64, INT32_MAX},
    };
    for (const auto& c : acase) {
        int x = -1, y = -1;
        GetWorldTileSource(c.n, &x, &y);
        EXPECT_EQ(x, c.x) << c.n;
        EXPECT_EQ(y, c.y) << c.n;
    }
}

class WorldMapScene : public SceneTest {
protected:
    // A 3x3 map: chip 1 blocks; a wall at (2, 0); a stage entry at (2, 2)
    // that needs confirming; an impassable entry at (0, 2); start at (1, 1).
    void SetUp() override {
        SceneTest::SetUp();
        ASSERT_EQ(recWorldMap.SetSize(3, 3), 1);
        recWorldMap.m_vChip.resize(2);
        recWorldMap.m_vChip[1].m_bBlock = 1;
        recWorldMap.SetCell(2, 0, 1);
        recWorldMap.m_vPlace.resize(2);
        recWorldMap.m_vPlace[0].m_nX = 2;
        recWorldMap.m_vPlace[0].m_nY = 2;
        recWorldMap.m_vPlace[0].m_vStage.resize(1);
        cWorldStage& e = recWorldMap.m_vPlace[0].m_vStage[0];
        e.m_nKind = 0;
        e.m_nStage = 1;
        e.m_bConfirm = 1;
        e.m_strFile = "data\\stg4\\c01-1.stg4";
        recWorldMap.m_vPlace[1].m_nX = 0;
        recWorldMap.m_vPlace[1].m_nY = 2;
        recWorldMap.m_vPlace[1].m_vStage.resize(1);
        recWorldMap.m_vPlace[1].m_vStage[0].m_nKind = 2;
        recProgress.m_nMapX = 1;
        recProgress.m_nMapY = 1;
    }
};

TEST_F(WorldMapScene, WalkBlockedByChipsAndImpassableEntries) {
    cWorldMapScene m;
    RunUntil(m, MAPSTATE_WALK);
    Press(m, UP, 0);                      // (1, 0)
    EXPECT_EQ(m.m_nX, 1);
    EXPECT_EQ(m.m_nY, 0);
    EXPECT_EQ(m.m_nFacing, MAPDIR_UP);
    Press(m, UP, 0);                      // the grid's edge: no wrap
    EXPECT_EQ(m.m_nY, 0);
    Press(m, RIGHT, 0);                   // (2, 0) is a wall chip
    EXPECT_EQ(m.m_nX, 1);
    EXPECT_EQ(m.m_nFacing, MAPDIR_RIGHT);
    Press(m, DOWN, 0);
    Press(m, DOWN, 0);                    // (1, 2)
    Press(m, LEFT, 0);                    // (0, 2) holds an impassable entry
    EXPECT_EQ(m.m_nX, 1);
    EXPECT_EQ(m.m_nY, 2);
    Press(m, RIGHT, 0);                   // (2, 2): the stage entry (it needs confirming)
    EXPECT_EQ(m.m_nX, 2);
    ASSERT_NE(m.m_pEntry, nullptr);
    EXPECT_EQ(m.m_nState, MAPSTATE_WALK);
    Press(m, 0, DECIDE);                  // the prompt opens; the stage file is missing
    EXPECT_EQ(m.m_nState, MAPSTATE_PROMPT);
    EXPECT_EQ(bMapStageLoaded, 0);
    ASSERT_EQ(fe.host.vErrors.size(), 1u);
    EXPECT_NE(fe.host.vErrors[0].find("c01-1.stg4"), std::string::npos);
    Press(m, UP, 0);                      // row 0, but the load failed: only closes
    Press(m, 0, DECIDE);
    EXPECT_EQ(m.m_nState, MAPSTATE_WALK);
    EXPECT_NE(fe.game.m_nNextScene, SCENE_PLAY);
    Press(m, 0, CANCEL);                  // the save data
    EXPECT_EQ(m.m_nState, MAPSTATE_FADEOUT);
    EXPECT_EQ(fe.game.m_nNextScene, SCENE_SAVEDATA);
    EXPECT_EQ(recProgress.m_nMapX, 2);
    EXPECT_EQ(recProgress.m_nMapY, 2);
    EXPECT_EQ(fe.host.vSounds.back(), 4);
}

TEST_F(WorldMapScene, AnUnconfirmedStageOpensAtOnceAndDecliningGoesBack) {
    recWorldMap.m_vPlace[0].m_vStage[0].m_bConfirm = 0;
    recProgress.m_nMapX = 2;
    recProgress.m_nMapY = 1;
    fe.game.m_nBeforeScene = SCENE_SAVEDATA;   // no automatic start on entering
    cWorldMapScene m;
    RunUntil(m, MAPSTATE_WALK);
    Press(m, DOWN, 0);
    EXPECT_EQ(m.m_nState, MAPSTATE_PROMPT);
    Press(m, 0, CANCEL);
    EXPECT_EQ(m.m_nState, MAPSTATE_WALK);
    EXPECT_EQ(m.m_nX, 2);
    EXPECT_EQ(m.m_nY, 1);                 // back on the cell it came from
}

TEST_F(WorldMapScene, AutoSaveOnReturnFromStagePlay) {
    recProgress.m_bAutoSave = 1;
    recProgress.m_nSaveSlot = 4;
    fe.game.m_nBeforeScene = SCENE_PLAY;
    recProgress.m_nScore = 1234;
    {
        cWorldMapScene m;
        RunUntil(m, MAPSTATE_WALK);
    }
    cProgress back;
    ASSERT_EQ(back.LoadFromSlot(4), 1);
    EXPECT_EQ(back.m_nScore, 1234);
    // Not from another scene.
    fe.game.m_nBeforeScene = SCENE_SAVEDATA;
    recProgress.m_nScore = 99;
    {
        cWorldMapScene m;
        RunUntil(m, MAPSTATE_WALK);
    }
    ASSERT_EQ(back.LoadFromSlot(4), 1);
    EXPECT_EQ(back.m_nScore, 1234);
}

// Starting an entry's stage names it in the progress, so the clear files its
// result under the stage's key and the chain finds the next file.
TEST_F(WorldMapScene, StartingAStageNamesTheStageThatWasLoaded) {
    ASSERT_TRUE(dir.MakeDir("data/stg4"));
    ASSERT_EQ(SaveOneHeroStage("data\\stg4\\m07-1.stg4_000"), 1);
    cWorldStage& e = recWorldMap.m_vPlace[0].m_vStage[0];
    e.m_strFile = "data\\stg4\\m07-1.stg4";
    e.m_nStage = 3;
    e.m_bDecorate = 1;
    e.m_nDecorateA = 5;
    e.m_nDecorateB = 2;
    recProgress.m_nMapX = 2;
    recProgress.m_nMapY = 1;
    cWorldMapScene m;
    RunUntil(m, MAPSTATE_WALK);
    Press(m, DOWN, 0);                    // onto the entry
    Press(m, 0, DECIDE);                  // the prompt, on "やっぱりやめる"
    ASSERT_EQ(m.m_nState, MAPSTATE_PROMPT);
    ASSERT_EQ(bMapStageLoaded, 1);
    recProgress.m_strStageFile.clear();   // what the prompt's look-up named does not count
    recProgress.m_strStageKey.clear();
    Press(m, UP, 0);
    Press(m, 0, DECIDE);                  // "ステージに挑む"
    EXPECT_EQ(m.m_nState, MAPSTATE_FADEOUT);
    EXPECT_EQ(fe.game.m_nNextScene, SCENE_PLAY);
    // "data\stg4\m07-1.stg4" is a chain start: base "data\stg4\m07.";
    // the key adds the decoration "_c" + 005 + "_" + 2 before the dot.
    EXPECT_EQ(recProgress.m_strStageFile, "data\\stg4\\m07.");
    EXPECT_EQ(recProgress.m_strStageKey, "data\\stg4\\m07_c005_2.");
    EXPECT_EQ(recProgress.m_bChain, 1);
    EXPECT_EQ(recProgress.m_nWorld, 3);
    EXPECT_EQ(recProgress.m_nStage, 1);
}

}  // namespace

namespace {

// The map's head-up display writes the lives with the play font: unlimited
// lives as the infinity sign "∞" (Shift-JIS 81 87; the stage's head-up
// display writes "-" instead), else the count.
TEST_F(WorldMapScene, LivesOnTheMapAsInAStage) {
    UseRecordingRasterizer();
    aFont[1].Create("ＭＳ ゴシック", 0, 16, 16, 16, 241, nullptr, 1, 240, nullptr, 0);
    recSystem.m_bMapShowLife = 1;
    // The map's pictures, so that it draws: plain 8-bit bitmaps.
    const std::vector<uint8_t> bmp = DDBuildBmp(64, 128, 8, {0, 0xFFFFFF}, std::vector<uint32_t>(64 * 128, 1));
    for (const char* psz : {"Window", "Accessory", "WorldMapChip", "WorldEvent", "WorldBack"})
        ASSERT_TRUE(dir.WriteFile(std::string("bmp/") + psz + ".bmp", bmp));
    recWorldMap.m_strBackFile = "bmp\\WorldBack.bmp";
    lpImageData = Img_Data;
    nImageCount = IMAGE_SLOT_COUNT;
    struct CASE {
        int32_t nLife;
        const char* pszShown;
    } const aCase[] = {
        {LIFE_UNLIMITED, "\x81\x87"},
        {3, "3"},
    };
    for (const CASE& t : aCase) {
        recProgress.m_nLife = t.nLife;
        cWorldMapScene m;
        RunUntil(m, MAPSTATE_WALK);
        RenderedTexts().clear();
        fe.Frame(m, 0, 0);
        ASSERT_TRUE(m.m_bDisplay);
        EXPECT_NE(std::find(RenderedTexts().begin(), RenderedTexts().end(), t.pszShown), RenderedTexts().end()) << t.nLife;
        EXPECT_EQ(std::find(RenderedTexts().begin(), RenderedTexts().end(), std::to_string(LIFE_UNLIMITED)), RenderedTexts().end());
        // Neither sign stands for a count.
        if (t.nLife != LIFE_UNLIMITED) {
            EXPECT_EQ(std::find(RenderedTexts().begin(), RenderedTexts().end(), "\x81\x87"), RenderedTexts().end());
        }
        EXPECT_EQ(std::find(RenderedTexts().begin(), RenderedTexts().end(), "-"), RenderedTexts().end()) << t.nLife;
    }
    for (int n : {IMAGE_SLOT_WORLDBACK, IMAGE_SLOT_WORLDMAPCHIP, IMAGE_SLOT_WORLDEVENT, IMAGE_SLOT_ACCESSORY,
                  IMAGE_SLOT_WINDOW, 67})
        DDReleaseSurface(&Off_Img[n]);
    lpImageData = nullptr;
    nImageCount = 0;
    aFont[1].Release();
    DDSetRasterizerFactory(nullptr);
}

}  // namespace
