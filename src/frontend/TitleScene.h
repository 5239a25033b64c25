#pragma once
// The title: the title picture and the menu of play modes; the slot choice
// of a new story or a continued one; the challenge, free and replay modes,
// the options and the end of the program.
#include <vector>

#include "graphics/DDSurface.h"
#include "project/Scene.h"

// Types of the title menu's entries (the indexes of the system settings'
// title menu).
enum : int {
    TITLEMENU_NEWGAME = 0,
    TITLEMENU_CONTINUE = 1,
    TITLEMENU_CHALLENGE = 2,
    TITLEMENU_FREE = 3,
    TITLEMENU_REPLAY = 4,
    TITLEMENU_OPTION = 5,
    TITLEMENU_QUIT = 6,
};

enum : int { TITLESTATE_FADEIN = 0, TITLESTATE_MENU = 1, TITLESTATE_NEWSLOT = 2, TITLESTATE_CONTINUESLOT = 3,
             TITLESTATE_FADEOUT = 4 };

struct SCENEPOS {
    int x, y;
};
extern SCENEPOS TitleMenuPos;   // (192, 240) at program start
extern SCENEPOS SlotListPos;    // (160, 160)

class cTitleScene : public cScene {
public:
    cTitleScene();
    ~cTitleScene() override;

    void Run() override;
    void Init() override;
    void FadeIn() override;
    void FadeOut() override;

    void StateMenu();
    void StateSlot(int bNewGame);

    int m_nSub = 0;
    int m_nTop = 0;
    int m_nRows = 0;
    int m_nEntryCount = 1;
    std::vector<int> m_vEntry;
    DDSURFACEDATA m_sdMenu;
    bool m_bDisplay = false;   // the images and the menu surface are there to draw

protected:
    void RunState(int nState) override;

private:
    void DrawMenuSurface();
    void DrawMenuState();
    void DrawSlotState();
};
