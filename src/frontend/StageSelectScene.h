#pragma once
// The stage select of the challenge mode: numbered worlds, each the chain of
// stage files "data\stg4\cNN-1.stg4", "cNN-2" ... with its clear mark, best
// value and, on request, its ranking.
#include <string>

#include "frontend/StartGame.h"
#include "graphics/DDSurface.h"
#include "project/Scene.h"

enum : int { SELECTSTATE_FADEIN = 0, SELECTSTATE_SELECT = 1, SELECTSTATE_FADEOUT = 2 };

// The worlds listed: every world of the settings when all are open, else
// those the story reached; at least one.
int GetSelectWorldCount();

extern int nStageSelectRow;
extern int nStageSelectTop;

class cStageSelectScene : public cScene {
public:
    cStageSelectScene();
    ~cStageSelectScene() override;

    void Run() override;
    void Init() override;
    void FadeIn() override;
    void FadeOut() override;
    void StateSelect();

    int m_nTop = 0;
    int m_nRows = 0;
    int m_nWorldCount = 1;
    bool m_bDisplay = false;
    DDSURFACEDATA m_sdList;

protected:
    void RunState(int nState) override;

private:
    void SelectWorld(int nWorld);
    void DrawList();
    void DrawFrame();
};
