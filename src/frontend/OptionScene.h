#pragma once
// The options: the palette variant, music, sound volume, ranking
// registration mode and ranking name of the player, written to
// "user_data\Option.dat" on leaving.
#include <cstdint>
#include <string>
#include <vector>

#include "graphics/DDSurface.h"
#include "project/Scene.h"

enum : int { OPTIONSTATE_FADEIN = 0, OPTIONSTATE_LIST = 1, OPTIONSTATE_FADEOUT = 2 };
enum : int { OPTIONID_PALETTE = 0, OPTIONID_BGM = 1, OPTIONID_VOLUME = 2, OPTIONID_RANKMODE = 3, OPTIONID_NAME = 4,
             OPTIONID_BACK = 5 };

// Applies an edited option's side effect (the palette variant, the volume of
// every loaded sound).
void ApplyOptionSideEffect(int nId);

class cOptionScene : public cScene {
public:
    cOptionScene();
    ~cOptionScene() override;

    void Run() override;
    void Init() override;
    void FadeIn() override;
    void FadeOut() override;
    void StateList();
    // The label and the value text drawn on a row of the list.
    std::string RowLabel(int nRow) const;
    std::string RowValue(int nRow) const;

    int m_nSub = 0;
    std::vector<int> m_vEntry;
    int m_nEntryCount = 1;
    int m_nEditId = 0;
    int32_t* m_pValue = nullptr;
    int m_nMin = 0, m_nMax = 0;
    int32_t m_nBefore = 0;
    bool m_bDisplay = false;
    DDSURFACEDATA m_sdOption;

protected:
    void RunState(int nState) override;

private:
    void DrawOptions();
    void DrawFrame();
    void Edit(int nDelta);
};
