#pragma once
// Animations and animation sets of the project database.
//
// cAnime is a named list of frames (a cell held for a time, optionally
// locking the animation from that frame on); cAnimeSet holds the four basic
// animations of a character (standing, moving, flying, moving while flying)
// and the cell offsets applied while invincible, a block character or flying.
#include <cstdint>
#include <string>

#include "foundation/ChkContainers.h"
#include "foundation/Record.h"

class cAnimeFrame : public cRecord {
public:
    cAnimeFrame() { SetDefault(); }
    void RegisterFields(int nVer) override;
    void Read(cDataFile* fp) override;
    void SetDefault();

    int32_t m_nCell = 0;   // cell of the character bitmap
    int32_t m_nTime = 1;   // 1/10 s
    int32_t m_bLock = 0;   // locks the animation from this frame on
};

class cAnime : public cRecord {
public:
    cAnime() { SetDefault(); }
    void RegisterFields(int nVer) override;
    void Read(cDataFile* fp) override;
    void Write(cDataFile* fp) override;
    void SetDefault();

    std::string m_strName;
    int16_t m_nEditValue1 = 0;   // carried for the editor
    uint8_t m_byEditValue2 = 1;  // carried for the editor
    int16_t m_nEditValue3 = 0;   // carried for the editor
    cChkVector<cAnimeFrame> m_vFrame;
};

// Slots of an animation set.
enum ANIMESETSLOT : int {
    ANIMESLOT_STAND = 0,
    ANIMESLOT_STANDMOVE = 1,
    ANIMESLOT_FLY = 2,
    ANIMESLOT_FLYMOVE = 3,
    ANIMESLOT_COUNT = 4,
};

class cAnimeSet : public cRecord {
public:
    cAnimeSet() { SetDefault(); }
    void RegisterFields(int nVer) override;
    void Read(cDataFile* fp) override;
    void Write(cDataFile* fp) override;
    void SetDefault();

    std::string m_strName;
    int32_t m_nInvincibleOffset = 4;
    int32_t m_nBlockCharaOffset = 8;
    int32_t m_nFlyOffset = 0;
    cChkVector<cAnime> m_vAnime;   // the basic animations, ANIMESLOT_COUNT slots

private:
    void ResizeSlots();
};

extern const char* const aszAnimeSlotName[ANIMESLOT_COUNT];
