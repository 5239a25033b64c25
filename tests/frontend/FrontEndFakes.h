#pragma once
// A scripted front-end host and input for the scene tests: requests answer
// as told and are recorded with the sounds and the close requests.
#include <string>
#include <vector>

#include "foundation/InputState.h"
#include "frontend/FrontEndHost.h"
#include "project/Cursor.h"
#include "project/GameState.h"
#include "project/Scene.h"
#include "stage/Stage.h"

// Saves the smallest playable stage, 30 x 20 cells with one hero placed,
// under a game-folder path; 1 when written.
inline int SaveOneHeroStage(const char* pszPath) {
    cStage stage;
    stage.m_nWidth = 30;
    stage.m_nHeight = 20;
    cCharaData hero;
    hero.m_nGraphic = 3;
    hero.m_nOperator = 0;
    stage.m_vCharaPlace.push_back(hero);
    return stage.Save(pszPath);
}

class cFakeFrontEndHost : public IFrontEndHost {
public:
    int RequestLoadStage() override {
        vCalls.push_back("stage");
        return nLoadStageResult;
    }
    int RequestLoadReplay() override {
        vCalls.push_back("replay");
        return nLoadReplayResult;
    }
    int RequestNameEntry() override {
        vCalls.push_back("name");
        return nNameResult;
    }
    void RequestBgm(int nBgm, int bLoop, int nIndex) override {
        vCalls.push_back("bgm " + std::to_string(nBgm) + " " + std::to_string(bLoop) + " " + std::to_string(nIndex));
    }
    void PlaySystemSound(int n) override { vSounds.push_back(n); }
    void RequestClose() override { nCloses++; }
    void ErrorBox(const char* pszText) override { vErrors.push_back(pszText); }

    int nLoadStageResult = 0;
    int nLoadReplayResult = 0;
    int nNameResult = 0;
    int nCloses = 0;
    std::vector<std::string> vCalls;
    std::vector<int> vSounds;
    std::vector<std::string> vErrors;
};

// Installs the fake host, a scripted input device 0 and a fresh game state
// and cursor for the life of a test.
class cFrontEndTestScope {
public:
    cFrontEndTestScope() {
        SetFrontEndHost(&host);
        SetMenuInput(&input);
        game.m_nFadeStep = 10;
        SetGameState(&game);
        Cursor_Menu.Reset();
    }
    ~cFrontEndTestScope() {
        SetFrontEndHost(nullptr);
        SetMenuInput(nullptr);
        SetGameState(nullptr);
        Cursor_Menu.Reset();
    }
    // One frame of a scene with these direction and button words held (the
    // scene's own repeat and latch apply as they do in the game).
    void Frame(cScene& scene, int nDir, int nButton) {
        input.m_wDir = static_cast<int16_t>(nDir);
        input.m_wButton = static_cast<int16_t>(nButton);
        scene.Run();
    }

    cFakeFrontEndHost host;
    cInputState input;
    cGameState game;
};
