#pragma once
// The hero: the character the player operates. Its keys come from the play
// context's input; it has a third box for picking up items, a camera that
// follows it, flight changes with a short position lock, the key-controlled
// jump, the display boxes of a test play, a sight mask and the running of
// item command lists on itself.
#include <list>
#include <vector>

#include "play/CharaBase.h"

// A display box of a test play.
struct HITBOXDISP {
    int32_t nKind = 0;    // 0 body, 1 box 1, 2 box 3 (items), 3 box 2 (shots)
    int32_t nMode = 0;    // 0 hidden, 1 filled, 2 outline
    int32_t nColor = 0;
    int32_t nX = 0, nY = 0, nW = 0, nH = 0;
    int32_t nCycle = 0;   // colour cycle 0..31
};

// The part of the sight image copied to the screen, clipped to the image.
struct SIGHTRECT {
    int32_t nSrcX = 0, nSrcY = 0, nW = 0, nH = 0;
    int32_t nDstX = 0, nDstY = 0;
};

constexpr int ITEMCMD_MAX_DEPTH = 8;   // nesting of item command lists (get-item inside an item)

class cHero : public cCharaBase {
public:
    cHero* AsHero() override { return this; }
    cHero();
    cHero(const cHero& src);
    ~cHero() override;

    void OnScale(int nScale) override;
    void UpdateHitBoxX() override;
    void UpdateHitBoxY() override;
    int ClampX() override;
    int ClampY() override;
    int MoveX() override;
    int MoveY() override;
    int RunFlows(int bDeathOnly) override;
    void DoJump(cCmdRun* pJumpRun) override;
    // The velocity a step starts from: the auto-scroll's for a
    // scroll-synchronised character, else none.
    void SetBaseVelocity();
    bool IsHero() const override { return true; }

    // The hero's screen box (x and the camera truncated apart while the
    // axis auto-scrolls).
    void UpdateScreenRect();
    void Setup(int nId, const cCharaData* pRecord, double x, double y, cCharaBase* pParent);
    void SetFlight(int nFlight, int bScale, int bSavePos, int bRestore);
    void GetBodyBoxSize(int* pBoxX, int* pBoxY, int* pW, int* pH) const;
    void BuildHitBoxes();
    bool RestoreAfterLock();
    void LatchGroundCell();
    void SaveClearDir() { m_nClearDir = m_nDir; }
    bool CanTakeItem(const cItem* pItem) const;
    void ForgetItem(const cItem* pItem);
    // The pick-up pop-up of an item (graphic kind, cell, row) over the hero.
    void PopItemIcon(int nKind, int nCell, int nExtra);
    // Runs an item command list on the hero: 0 done, 2 when HP fell to 0,
    // else the first non-zero result of a command.
    int RunItemCmds(cChkVector<cEdCmd>& vecCmd);
    // The sight image source for an image W x H (the screen is 640 x 480).
    SIGHTRECT GetSightRect(int nImageW, int nImageH) const;
    // Drawn after the hero in a test play: its display boxes (filled or
    // outlined, colours cycling).
    void DrawHitBoxes(DDSURFACEDATA* lpDst);
    // Drawn after the objects while the sight mode is not 0: the sight image
    // centred over the hero (ahead of it in modes 2 and 4), clipped to the image.
    void DrawSightMask(DDSURFACEDATA* lpDst, DDSURFACEDATA* lpSight);

    cInputState* m_lpInput = nullptr;
    int32_t m_nJumpFrames = 0;
    int32_t m_bJumpReady = 1;
    int32_t m_bNoJump = 0;
    double m_dBaseAccel = 0;
    int32_t m_bJumpDone = 0;
    int32_t m_anFrameWork[2] = {};
    int32_t m_nClearDir = 0;
    int32_t m_bPosSaved = 0;
    SAVEDPOS m_HeroSavedPos;
    int32_t m_bPosRestore = 0;
    std::list<cObjRef> m_lstTouchedItems;
    int32_t m_nBlockSpeedKind = 0;
    double m_dBlockSpeedValue = 0;
    int32_t m_nBlockSpeedTimer = 0;
    int32_t m_nBlockItemWait = 0;
    int32_t m_nPrevGroundCell = -1;   // the ground cell of the previous step (LatchGroundCell)
    int32_t m_nFrameCount = 0;
    HITBOX m_HitBox3;
    std::vector<HITBOXDISP> m_vecHitBox;
    std::vector<cEdCmd> m_vecPendingCmd;
    std::list<ARRANGEENTRY> m_lstArrange;
    int32_t m_nItemCmdDepth = 0;
};
