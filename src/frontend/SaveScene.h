#pragma once
// The save data menu of the story, opened from the world map: save into a
// slot, switch auto-save, back to the map, or back to the title.
#include <vector>

#include "project/Scene.h"

enum : int {
    SAVESTATE_FADEIN = 0,
    SAVESTATE_MENU = 1,
    SAVESTATE_SAVE = 2,
    SAVESTATE_AUTOSAVE = 3,
    SAVESTATE_BACK = 4,
    SAVESTATE_TITLE = 5,
    SAVESTATE_FADEOUT = 6,
};

class cSaveScene : public cScene {
public:
    cSaveScene();
    ~cSaveScene() override;

    void Run() override;
    void Init() override;
    void FadeIn() override;
    void FadeOut() override;
    void StateMenu();
    void StateSave();
    void StateAutoSave();
    void StateBack();
    void StateTitle();

    int m_nSub = 0;
    std::vector<int> m_vEntry;
    int m_nEntryCount = 1;
    int m_nTop = 0;
    int m_nRows = 0;
    bool m_bDisplay = false;

protected:
    void RunState(int nState) override;

private:
    void DrawMenu();
    void DrawCursor(int nSrcX);
    void DrawSlotList();
    void LeaveSub();
};
