#pragma once
// The headless play harness: a stage built from a small ASCII map in code,
// a play context of its own with a scripted input and a recording host, a
// stage-play scene set up on it, and frames stepped one by one with no window.
//
// How to use:
//   cPlayHarness h({"..........",
//                   "..H.......",
//                   "##########"});
//   h.Stage().m_nJudgeLevel = 5;     // any stage setting, before SetUp
//   h.DefineBlock('J', block);        // more map letters (see the legend)
//   h.SetUp();                        // SetStage runs; frames until play starts
//   h.Hold(DIR_RIGHT, 0);             // input held for the following frames
//   h.Frames(30);                     // or h.Frame() one at a time
//   EXPECT_EQ(h.Hero().m_dX, ...);    // h.Scene(), h.Ctx(), h.Host().vecSound ...
// Legend: '.' nothing, '#' solid block, 'X' instant-death block, 'H' the
// hero, 'C' a computer character (h.CharaTemplate()), 'I' an item
// (h.ItemTemplate()); DefineBlock/DefineChara add letters. Row 0 is the top;
// every row has the same width. Stage cell (x, y) is map cell (x + 10, y + 10)
// and its top-left corner is at map dots ((x + 10) * 32, (y + 10) * 32).
//
// The harness installs its context, its game state, its system settings, its
// progress record and a stage context whose stage palette is its stage for
// its lifetime; nothing of the process-wide records
// is touched. Banners are off unless a test turns them on.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "foundation/InputState.h"
#include "play/PlayContext.h"
#include "project/GameState.h"
#include "project/Progress.h"
#include "project/SystemData.h"
#include "stage/Stage.h"
#include "stage/StageContext.h"

class cPlayScene;
class cHero;

// Direction bits of the input word as the play reads them.
enum : int16_t { HARNESS_DIR_LEFT = KEYDIR_LEFT, HARNESS_DIR_RIGHT = KEYDIR_RIGHT, HARNESS_DIR_UP = KEYDIR_UP, HARNESS_DIR_DOWN = KEYDIR_DOWN };

// A host that records what play asks of the layers above.
class cRecordingPlayHost : public IPlayHost {
public:
    bool IsKeyDown(int nVk) override { return vecKeyDown.count(nVk) ? vecKeyDown[nVk] : false; }
    void PlaySound(int nSound) override { vecSound.push_back(nSound); }
    void RequestBgm(int nBgm, int bLoop, int nSlot) override { vecBgm.push_back({nBgm, bLoop, nSlot}); }
    void RequestClose() override { nCloseRequests++; }
    uint32_t MakeSeed() override { return nSeed; }
    bool IsTestPlay() override { return bTestPlay; }
    void ErrorBox(const char* psz) override { vecError.push_back(psz ? psz : ""); }
    int RestartFreeGame() override {
        nRestarts++;
        return nRestartResult;
    }

    std::map<int, bool> vecKeyDown;   // virtual-key code -> down
    std::vector<int> vecSound;
    struct BGM {
        int nBgm, bLoop, nSlot;
    };
    std::vector<BGM> vecBgm;
    std::vector<std::string> vecError;
    int nCloseRequests = 0;
    int nRestarts = 0;
    int nRestartResult = 1;
    uint32_t nSeed = 12345;
    bool bTestPlay = false;   // the game runs as an editor's test play
};

class cPlayHarness {
public:
    explicit cPlayHarness(const std::vector<std::string>& vecMap);
    ~cPlayHarness();
    cPlayHarness(const cPlayHarness&) = delete;
    cPlayHarness& operator=(const cPlayHarness&) = delete;

    // More map letters.
    void DefineBlock(char c, const cBlockData& block);
    void DefineChara(char c, const cCharaData& chara);
    void DefineItem(char c, const cItemData& item);
    cBlockData& SolidBlock() { return m_mapBlock['#']; }
    cCharaData& HeroTemplate() { return m_Hero; }
    cCharaData& CharaTemplate() { return m_mapChara['C']; }
    cItemData& ItemTemplate() { return m_mapItem['I']; }

    // Builds the stage from the map (again), makes the scene, runs its entry
    // (SetStage) and steps frames until play runs (at most 400 frames).
    void SetUp();
    // Builds the stage only (the scene is not made).
    void BuildStage();
    // Plays a stage made elsewhere (a loaded stage file, a replay's
    // snapshot) instead of the map; SetUp then takes it as it is.
    void UseStage(const cStage& stage);
    // Makes the scene on the stage as it is now (after BuildStage and a
    // test's changes to the stage's lists) and steps until play runs.
    void SetUpBuilt();

    // Input held from now on (direction word, button word).
    void Hold(int16_t wDir, int16_t wButton);
    void Release() { Hold(0, 0); }
    // One displayed frame of the scene; the held input is fed first.
    void Frame();
    void Frames(int n);

    cStage& Stage() { return m_Stage; }
    cStage& Header() { return m_Header; }
    cSystemData& System() { return m_System; }
    cProgress& Progress() { return m_Progress; }
    cGameState& Game() { return m_Game; }
    cPlayContext& Ctx() { return m_Ctx; }
    cRecordingPlayHost& Host() { return m_Host; }
    cInputState& Input() { return m_Input; }
    cPlayScene& Scene() { return *m_pScene; }
    cHero& Hero();

    // Map dots of a stage cell's top-left corner.
    static double CellX(int x) { return (x + 10) * 32.0; }
    static double CellY(int y) { return (y + 10) * 32.0; }

private:
    std::vector<std::string> m_vecMap;
    std::map<char, cBlockData> m_mapBlock;
    std::map<char, cCharaData> m_mapChara;
    std::map<char, cItemData> m_mapItem;
    cCharaData m_Hero;

    cStage m_Stage;
    cStage m_Header;
    cCharaData m_HeroDef;
    cSystemData m_System;
    cProgress m_Progress;
    cGameState m_Game;
    cGameState* m_pPrevGame = nullptr;
    cInputState m_Input;
    cRecordingPlayHost m_Host;
    cPlayContext m_Ctx;
    std::unique_ptr<cPlayContextScope> m_pScope;
    // The stage palette the records and the play look up is the harness's stage.
    std::unique_ptr<cPaletteContext> m_pPalette;
    std::unique_ptr<cStageContextScope> m_pStageScope;
    std::unique_ptr<cPlayScene> m_pScene;
    int16_t m_wDir = 0, m_wButton = 0;
    int m_bPrevFreeStart = 0;
    bool m_bOwnStage = false;
};
