#pragma once
// The world map: the hub of the story. The player walks a cursor over the
// map's grid; the first stage entry of a location whose conditions hold is
// its active entry, and stepping on it or confirming it opens the prompt that
// starts the stage. Cancel opens the save data.
#include "frontend/StartGame.h"
#include "graphics/DDSurface.h"
#include "project/Scene.h"

class cWorldPlace;
class cWorldStage;
class cProgress;
class cWorldMap;

enum : int { MAPSTATE_FADEIN = 0, MAPSTATE_WALK = 1, MAPSTATE_PROMPT = 2, MAPSTATE_FADEOUT = 3 };
// Facing of the cursor sprite.
enum : int { MAPDIR_DOWN = 0, MAPDIR_UP = 1, MAPDIR_LEFT = 2, MAPDIR_RIGHT = 3 };

// The active entry of a location for a progress: the first whose need flag,
// variable test and total score pass; null when none (or no location).
const cWorldStage* FindActiveEntry(const cWorldPlace* pPlace, const cProgress& progress);
// The map condition's comparison of a common variable v with k.
bool MapCompare(int32_t v, int32_t k, int nCompare);
// The source of map tile picture n on its sheet (5 tiles of 32 dots to a
// row); a number beyond the reach of 32-bit positions is held at the largest.
void GetWorldTileSource(int32_t n, int* pX, int* pY);

class cWorldMapScene : public cScene {
public:
    cWorldMapScene();
    ~cWorldMapScene() override;

    void Run() override;
    void Init() override;
    void FadeIn() override;
    void FadeOut() override;
    void StateWalk();
    void StatePrompt();

    int m_nSub = 0;
    int m_nX = 0, m_nY = 0;        // cursor cell
    int m_nOriginX = 0, m_nOriginY = 0;
    int m_nFacing = MAPDIR_DOWN;
    const cWorldPlace* m_pPlace = nullptr;
    const cWorldStage* m_pEntry = nullptr;
    int m_nSavedX = 0, m_nSavedY = 0;
    int m_nInfoX = -1, m_nInfoY = -1;   // cell of the entry whose information was loaded
    int32_t m_nBest = 0;
    bool m_bDisplay = false;
    DDSURFACEDATA m_sdRank;
    cPlayStart m_Start;   // the start of the active entry's stage, once loaded

protected:
    void RunState(int nState) override;

private:
    void FindEntryAtCursor();
    bool IsEntryStage() const;
    bool IsEntryCleared() const;
    void LoadEntryInfo();
    void DrawRankSurface();
    void DrawCanvas(bool bForce);
    void DrawFrame(bool bEntryText);
    void OpenPrompt();
    void ClosePrompt();
    bool LoadEntryStage();
    void StartMapStage();
};

// The stage file of the prompt loaded (the prompt's first row starts it).
extern int bMapStageLoaded;
