#pragma once
// Flows and commands. A character's behaviour is a list of flows; a flow
// starts on a trigger, optional key-input steps and conditions, and runs its
// commands. A command is a kind, the kind's integer parameters, a text, a
// duration, a sound, an animation and up to three optional sub-records; an
// item command may carry flows of its own.
//
// Reading upgrades older data versions and then normalises: every command's
// parameter vector gets exactly its kind's count and its database
// references are brought inside their lists. Palette references are checked
// later (NormalizePalette), once the palettes they point into are loaded.
#include <cstdint>
#include <string>

#include "foundation/ChkContainers.h"
#include "foundation/Record.h"
#include "stage/CmdSubRecords.h"
#include "stage/Cond.h"
#include "stage/OwnedPtr.h"

constexpr int FLOWKEY_COUNT = 19;      // 10 direction codes, 9 buttons
// Flows nest inside commands (an item's flow change carries flows whose
// commands may carry flows again). Deeper nesting than this fails the read.
constexpr int MAX_FLOW_NESTING = 16;

class cFlowKey : public cRecord {
public:
    cFlowKey() : m_vKey(FLOWKEY_COUNT, 0) { Clear(); }

    void RegisterFields(int nVer) override;
    void Read(cDataFile* fp) override;
    void Write(cDataFile* fp) override;

    cChkVector<uint8_t> m_vKey;   // 0 not used, 1 held, 2 released
    uint8_t m_bMirror = 0;
    int16_t m_nHoldMin = 0;
    int16_t m_nHoldMax = 0;
    uint8_t m_bHoldAny = 0;
    uint8_t m_nKeyMode = 0;
};

class cFlow;

class cEdCmd : public cRecord {
public:
    cEdCmd();
    cEdCmd(const cEdCmd& o);
    cEdCmd(cEdCmd&& o) noexcept;
    cEdCmd& operator=(const cEdCmd& o);
    cEdCmd& operator=(cEdCmd&& o) noexcept;
    ~cEdCmd() override;

    void RegisterFields(int nVer) override;
    void Read(cDataFile* fp) override;
    void Write(cDataFile* fp) override;
    // Every registered field 0, the sound flag 1, no sub-records; the
    // parameters and flows stay.
    void Clear();
    // Brings the command's own fields inside their lists and, with bFlows,
    // the commands of its flows too (a read leaves those out: each of them
    // normalised itself at the end of its own read).
    void Normalize(bool bFlows = true);
    void NormalizePalette();

    // The parameter count this command should have; -1 for a kind outside
    // the tables (its parameters are left alone).
    int ParamCount() const;
    // The character kind this command stands for (item kinds mapped), -1
    // for a kind outside the tables.
    int CmdKind() const;
    // Parameter i, or 0 when the vector is shorter.
    int32_t Param(int i) const;

    // The upgrades of older data versions (run by Read).
    void UpgradeFrom(uint32_t nVer);

    uint8_t m_bItemCmd = 0;
    uint8_t m_nKind = 0;
    cChkVector<int32_t> m_vParam;
    std::string m_strText;
    cOwnedPtr<cEdMove> m_pMove;
    cOwnedPtr<cEdShot> m_pShot;
    int16_t m_nTime = 0;
    int16_t m_nTimeInc = 0;
    uint8_t m_bContinue = 0;
    int16_t m_nSound = 0;
    uint8_t m_bSoundOnScreen = 1;
    int16_t m_nAnime = 0;
    cOwnedPtr<cCondList> m_pCondList;
    cChkVector<cFlow> m_vFlow;
};

class cFlow : public cRecord {
public:
    cFlow() { cRecord::Clear(); m_nKeyDelay = 3; }

    void RegisterFields(int nVer) override;
    void Read(cDataFile* fp) override;
    void Write(cDataFile* fp) override;
    void Normalize();
    void NormalizePalette();
    void UpgradeFrom(uint32_t nVer);
    // No ID, group or trigger and every list empty.
    bool IsBlank() const;

    std::string m_strName;
    uint8_t m_nId = 0;
    uint8_t m_nFlowGroup = 0;
    uint8_t m_bTestOnly = 0;
    cChkVector<cCond> m_vCond;
    uint8_t m_nCondMode = 0;
    uint8_t m_bCondOnce = 0;
    uint8_t m_nTrigger = 0;
    uint8_t m_bSetTarget = 0;
    uint8_t m_nTargetSlot = 0;
    uint8_t m_nKeyDelay = 3;
    uint8_t m_bKeyRepeat = 0;
    cChkVector<cFlowKey> m_vKey;
    cChkVector<cEdCmd> m_vCmd;
};

// Removes the flows flagged as test-only; the others keep their order.
void DropTestFlows(cChkVector<cFlow>& vFlow);
// Drops them unless the context keeps test flows.
void DropTestFlowsUnlessKept(cChkVector<cFlow>& vFlow);

// List readers and writers: an int32 count and that many bodies. Reading
// replaces the list with default elements and reads each; the count is
// bounded by the bytes left and the elements are charged to the file's
// memory budget.
void ReadFlowList(cChkVector<cFlow>& list, cDataFile* fp);
void WriteFlowList(cChkVector<cFlow>& list, cDataFile* fp);
void ReadCmdList(cChkVector<cEdCmd>& list, cDataFile* fp);

// The memory a list of flows or commands takes, nested flows included: what
// a copy of it costs. Counted in 64 bits, saturating.
uint64_t FlowListBytes(const cChkVector<cFlow>& list);
uint64_t CmdListBytes(const cChkVector<cEdCmd>& list);
void WriteCmdList(cChkVector<cEdCmd>& list, cDataFile* fp);
