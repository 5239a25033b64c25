#pragma once
// A stage: its settings, its own palettes, the blocks, characters and items
// placed on its map, its background layers and one text per stage variable.
// Stage files are record files of one stage body; the player reads them and
// writes the same layout back only inside replay files.
#include <cstdint>
#include <string>

#include "foundation/ChkContainers.h"
#include "foundation/Record.h"
#include "stage/BlockData.h"
#include "stage/CharaData.h"
#include "stage/ItemData.h"
#include "stage/StageParts.h"

constexpr int32_t STAGE_TRAILER = 123456789;
constexpr int STAGE_TALLY_COUNT = 5;
constexpr int STAGE_ERASE_AREAS = 5;
constexpr int STAGE_VAR_COUNT = 1000;
// Largest map a stage may have (cells per axis and in all).
constexpr int32_t MAX_STAGE_SIDE = 65535;
constexpr int64_t MAX_STAGE_CELLS = 16 * 1024 * 1024;
// Most characters, and most items, a stage may place. Play sets up at most
// 50,000 objects from a stage's placements (computer characters with their
// repeat copies, and the items no character holds), so a list at this bound
// holds every stage play can set up: 50,000 computer characters beside the
// players, 50,000 free items beside one held by each character. A longer
// list fails the read before any of it is made, as a read past the file's
// memory budget does.
constexpr int MAX_STAGE_PLACEMENTS = 100000;

class cStage : public cRecord {
public:
    cStage();

    void RegisterFields(int nVer) override;
    void Read(cDataFile* fp) override;
    void Write(cDataFile* fp) override;
    // A stage body of this stage's palettes and placements with the other
    // parts (settings, tally flags, erase areas, backgrounds, texts) taken
    // from header.
    void SaveReplaySnapshot(cDataFile* fp, cStage& header);
    void SetDefault();
    void Normalize();
    void SetJudgeLevel(int nLevel);
    void UpgradeFrom(uint32_t nVer);
    // Index in m_vCharaPlace of the hero's placement, or -1.
    int FindHero() const;
    int HasHero() const { return FindHero() != -1 ? 1 : 0; }
    // The map has a usable size (at least one cell, at most the bounds).
    bool HasSaneSize() const;

    std::string m_strText;
    cChkVector<cBlockData> m_vBlockPlace;
    cChkVector<cCharaData> m_vCharaPlace;
    cChkVector<cItemData> m_vItemPlace;
    cChkVector<cBlockData> m_vBlockPalette;
    cChkVector<cCharaData> m_vCharaPalette;
    cChkVector<cItemData> m_vItemPalette;
    cChkVector<cBackground> m_vBackground;
    cChkVector<cStageVarName> m_vStageVarName;

    // Settings.
    int32_t m_nWidth = 0;
    int32_t m_nEditorValue1 = 0;
    int32_t m_nEditorValue2 = 0;
    int32_t m_nHeight = 0;
    int32_t m_bLimitLeft = 0, m_bLimitRight = 0, m_bLimitTop = 0, m_bLimitBottom = 0;
    int32_t m_nLimitLeft = 0, m_nLimitRight = 0, m_nLimitTop = 0, m_nLimitBottom = 0;
    int32_t m_nStageFps = 60;
    int32_t m_bTimeLimit = 0;
    int32_t m_nTimeLimit = 200;
    int32_t m_nTimeWarn = 20;
    int32_t m_nScrollModeX = 0, m_nScrollModeY = 0;
    int32_t m_nScrollSpeedX = 0, m_nScrollSpeedY = 0;
    double m_dGravity = 0.4;
    int32_t m_nJudgeLevel = 10;
    int32_t m_nHitJudgeCount = 0;
    int32_t m_nBgm = 0;
    int32_t m_nBgmFlag = 0;
    int32_t m_bBgmContinue = 0;
    int32_t m_bZOrder = 1;
    int32_t m_bLoadCarryOver = 0;
    int32_t m_bSaveCarryOver = 0;
    int32_t m_bShowStatus = 1;
    int32_t m_bQuickClear = 0;
    int32_t m_bShowStartBanner = 0;
    int32_t m_bShowStartBanner2 = 1;
    int32_t m_bShowClearBanner = 1;
    int32_t m_bShowGameOver = 1;

    cChkVector<int32_t> m_vTallyFlag;
    cQuadSwitch m_aEraseArea[STAGE_ERASE_AREAS];

    // Geometry.
    int32_t m_nHeroBoxW = 16, m_nHeroBoxH = 24, m_nHeroFlyBoxW = 16, m_nHeroFlyBoxH = 16;
    int32_t m_nHeroSizeW = 16, m_nHeroSizeH = 24, m_nHeroFlySizeW = 16, m_nHeroFlySizeH = 16;
    int32_t m_nHeroSize1W = 12, m_nHeroSize1H = 8;
    int32_t m_nHeroBoxCW = 16, m_nHeroBoxCH = 16;
    int32_t m_nHeroBoxAlign = 1, m_nHeroFlyBoxAlign = 0, m_nHeroSizeAlign = 1, m_nHeroFlySizeAlign = 0;
    // Hit-box display mode and colour of the hero's box kinds 0..3.
    int32_t m_anBoxDisp[4] = {0, 0, 0, 0};
    int32_t m_anBoxColor[4] = {0, 0, 0, 0};
    int32_t m_nCharaBoxW = 16, m_nCharaBoxH = 24, m_nCharaFlyBoxW = 16, m_nCharaFlyBoxH = 16;
    int32_t m_nCharaSizeW = 12, m_nCharaSizeH = 24, m_nCharaFlySizeW = 12, m_nCharaFlySizeH = 16;
    int32_t m_nCharaSize1W = 30, m_nCharaSize1H = 30;
    int32_t m_nCharaBoxAlign = 1, m_nCharaFlyBoxAlign = 0, m_nCharaSizeAlign = 1, m_nCharaFlySizeAlign = 0;
    int32_t m_nItemSizeW = 28, m_nItemSizeH = 28;
    int32_t m_nHeroSize2W = 16, m_nHeroSize2H = 16;
    int32_t m_nSpareSizeAW = 16, m_nSpareSizeAH = 16;     // kept for the editor
    int32_t m_nCharaSize2W = 16, m_nCharaSize2H = 16;
    int32_t m_nSpareSizeBW = 16, m_nSpareSizeBH = 16;     // kept for the editor
    int32_t m_bSpareFlag = 1;                             // kept for the editor

    // Run-time members (not stored).
    std::string m_strPath;
    int m_bFindLatest = 0;
    int m_bLoaded = 0;

    int32_t m_nExtentX = 0;
    int32_t m_nExtentY = 0;
    // Derived from the collision level (stored, rewritten by Normalize).
    int32_t m_nSubStepTenth = 0;    // not stored
    int32_t m_nSubStep = 0;
    double m_dStepFactor = 0.0;
    double m_dSubStepSq = 0.0;
    double m_dSpeedLimit = 0.0;
    double m_dGravityStep = 0.0;
    double m_dStepSpeedLimit = 0.0;
    int32_t m_nSubStepEight = 0;
    int32_t m_bOnScreenOnly = 1;
    int32_t m_nHeroInvincibleSame = 30;
    int32_t m_nHeroInvincibleAll = 0;
    int32_t m_nCharaInvincibleSame = 30;
    int32_t m_nCharaInvincibleAll = 0;

private:
    void WriteBody(cDataFile* fp, cStage& header);
    // bRecords: also each palette entry's and placement's own Normalize.
    void NormalizeStage(bool bRecords);
};

// Set while a stage read should stop early (the loader is asked to quit).
// A stage read checks it between records and fails the stream.
void SetStageReadCancel(bool bCancel);
bool IsStageReadCancelled();

// The stage being played and the settings of the loaded stage as read.
extern cStage recStage;
extern cStage recPlayStage;
// The hero's placement of the loaded stage.
extern cCharaData recCharaDef;
