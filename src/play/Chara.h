#pragma once
// A placed or summoned character, operated by the computer: its carried
// item, its collision boxes from the stage's character sizes and the
// activity test that decides whether it acts this frame.
#include <memory>
#include <vector>

#include "play/CharaBase.h"

// Activation rules of a character (its record's rule byte): 0 it acts while
// its range or its activation group holds, 1 from the first time they hold
// it acts anywhere, 2 it acts while neither holds.
enum : int { ACTRULE_WHILE_IN = 0, ACTRULE_ONCE = 1, ACTRULE_WHEN_OUT = 2 };

class cChara : public cCharaBase {
public:
    cChara();
    cChara(const cChara& src);
    ~cChara() override;

    void OnScale(int nScale) override;
    void UpdateHitBoxX() override;
    void UpdateHitBoxY() override;
    cItem* GetDropItem() override;
    int ClampX() override;
    int ClampY() override;
    int MoveX() override;
    int MoveY() override;
    int RunFlows(int bDeathOnly) override;
    void DoJump(cCmdRun* pJumpRun) override;
    // The velocity a step starts from: the auto-scroll's for a
    // scroll-synchronised character, else none.
    void SetBaseVelocity();

    // Sets the character up from its record (a giant factor 0 counts as 1)
    // standing in the cell whose centre is (x, y); pItemTemplate, when
    // given, is the item it carries.
    void Setup(int nId, const cCharaData* pRecord, const cItem* pItemTemplate, double x, double y, int nCopyIndex,
               cCharaBase* pParent);
    // Places it on a map cell (columns and rows counted from the stage's
    // first cell).
    void SetCharaBlockPos(int nCol, int nRow);
    // The activity test against the screen; sets the place flag in
    // vecFlags when it holds.
    bool CheckActivity(std::vector<uint8_t>& vecFlags, double dCamX, double dCamY);
    bool IsAwake(const std::vector<uint8_t>& vecFlags, const cScroll& sx, const cScroll& sy);
    bool OverlapsRect(double dLeft, double dTop, double dRight, double dBottom) const;
    // Advances the item-icon blink; true when the icon shows this frame.
    // Nothing blinks (and the count stands) while the character is off the
    // screen or transparent, or the item is hidden.
    bool StepItemIcon();
    // The blinking icon of the carried item over the character (frames
    // 64..95 of every 96), drawn after the character.
    void DrawItemIcon(DDSURFACEDATA* lpDst);

    int32_t m_bInRange = 0;
    int32_t m_bAnimOffScreen = 0;
    std::unique_ptr<cItem> m_pItem;   // the carried item, null when none
    int32_t m_bShowItemIcon = 0;      // the carried item's icon blinks over it
    int32_t m_nIconFrames = 0;
    int32_t m_bIgnoreX = 0, m_bIgnoreY = 0;
    int32_t m_bWoken = 0;
    int32_t m_nSpare1 = 0, m_nSpare2 = 0;
};
