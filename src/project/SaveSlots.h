#pragma once
// The 99 story save slots ("user_data\story\Story01.dat" to "Story99.dat")
// and their summaries for the slot lists. A slot's file is a progress file.
#include <cstdint>
#include <string>

#include "foundation/ChkContainers.h"
#include "foundation/Record.h"
#include "project/LocalTime.h"
#include "project/PlayerFiles.h"

constexpr int SAVE_SLOT_COUNT = 99;

// What a scan found in a slot file: the states of every player's file.
enum : int {
    SLOTSTATE_EMPTY = PLAYERFILE_MISSING,     // no file
    SLOTSTATE_SAVED = PLAYERFILE_READABLE,    // a readable save
    SLOTSTATE_NEWER = PLAYERFILE_NEWER,       // written by a newer program: labelled, not continued
    SLOTSTATE_DAMAGED = PLAYERFILE_DAMAGED,   // a file that cannot be read whole: labelled, not continued
};

// The summary of one slot. Only the exists flag is registered; nothing of it
// is stored.
class cSaveSlotInfo : public cRecord {
public:
    cSaveSlotInfo() { Clear(); }
    void RegisterFields(int nVer) override;

    bool CanContinue() const { return m_nState == SLOTSTATE_SAVED; }
    // Starting a new story or saving here replaces a file the player may
    // still want, one a newer program wrote or a damaged one: the front end
    // asks first.
    bool AsksBeforeOverwrite() const { return IsKeptPlayerFile(m_nState); }

    int32_t m_bExist = 0;
    SYSTEMTIME m_stSaveTime;
    int m_nState = SLOTSTATE_EMPTY;
};

// The path of slot nSlot (0..98 -> Story01.dat..Story99.dat); empty for a
// slot outside the range.
std::string MakeSlotPath(int nSlot);
bool IsValidSlot(int nSlot);

// Fills every summary of the list from its slot file.
void ScanSaveSlots(cChkVector<cSaveSlotInfo>& list);

extern cChkVector<cSaveSlotInfo> vecSaveSlot;
