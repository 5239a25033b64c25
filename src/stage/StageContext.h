#pragma once
// What the stage and object records need to know besides their bytes.
//
// Reading, normalising and resolving references look at the file version,
// whether test-only flows are kept, the sizes of the project database lists,
// the part times of a sword type, the common and the stage palettes and the
// version of a replay being played back. They ask one context object for all
// of it, so a record can be read alone (tests, a stage read into a scratch
// record) and the project fills the real answers in one place.
//
// The project installs one context for the whole process; a reader may put
// another in front of it on its own thread (see cStageContextScope).
// Nothing installed means the built-in defaults: empty database, no
// palettes, no test play.
#include <cstdint>
#include <vector>

#include "foundation/ChkContainers.h"

class cBlockData;
class cCharaData;
class cItemData;

// The database lists that records refer to, in the database's list order.
enum eDbList {
    DBLIST_ANIMESET,
    DBLIST_ANIME,
    DBLIST_BMP_CHARAEXC,
    DBLIST_SWORDTYPE,
    DBLIST_EFFECT,
    DBLIST_CHARAEFFECT,
    DBLIST_SCREFFECT,
    DBLIST_PICTURE,
    DBLIST_SOUND,
    DBLIST_BGM,
    DBLIST_COUNT
};

// Palette selectors as the placement records store them.
enum ePaletteType : int {
    PALETTE_NONE = 0,
    PALETTE_COMMON = 1,
    PALETTE_STAGE = 2,
};

class cStageContext {
public:
    virtual ~cStageContext() = default;

    // Version word of the record file being read (the record base's nFileVer).
    virtual uint32_t FileVersion() const;
    // The game was started by the editor for a test play.
    virtual bool IsTestPlay() const { return false; }
    // The system settings keep test-only flows outside a test play too.
    virtual bool SystemKeepsTestFlows() const { return false; }
    // Test-only flows stay in place.
    bool KeepTestFlows() const { return IsTestPlay() || SystemKeepsTestFlows(); }

    // Number of entries of a database list (0 for an unknown list).
    virtual int DatabaseCount(int nList) const { (void)nList; return 0; }
    // The display times of the parts of sword type nType, in part order;
    // empty when the type does not exist.
    virtual std::vector<int> SwordPartTimes(int nType) const { (void)nType; return {}; }

    // The palette lists of one kind: nType 1 the common palette, 2 the stage
    // palette. Null when that palette is not there.
    virtual const cChkVector<cBlockData>* BlockPalette(int nType) const { (void)nType; return nullptr; }
    virtual const cChkVector<cCharaData>* CharaPalette(int nType) const { (void)nType; return nullptr; }
    virtual const cChkVector<cItemData>* ItemPalette(int nType) const { (void)nType; return nullptr; }

    // False while the common palette is normalised: references into the
    // stage palette are then neither applied nor checked (they are checked
    // when a stage is set up and at use).
    virtual bool ChecksStagePalette() const { return true; }
    // True when references of palette type nType are checked.
    bool ChecksPalette(int nType) const { return nType != PALETTE_STAGE || ChecksStagePalette(); }

    // Data version of the replay being played back; 0 when none is.
    virtual int ReplayPlaybackVersion() const { return 0; }

    // Sizes that the reference checks use (0 for a missing palette).
    int BlockPaletteSize(int nType) const;
    int CharaPaletteSize(int nType) const;
    int ItemPaletteSize(int nType) const;
};

// A context that answers for some palettes itself (the common palette or the
// stage being read, so inheritance points at the lists read so far) and asks
// its base for everything else.
class cPaletteContext : public cStageContext {
public:
    explicit cPaletteContext(const cStageContext& base) : m_base(base) {}

    template <class T>
    void SetPalette(int nType, const T& owner) {
        int i = nType == PALETTE_COMMON ? 0 : 1;
        m_apBlock[i] = &owner.m_vBlockPalette;
        m_apChara[i] = &owner.m_vCharaPalette;
        m_apItem[i] = &owner.m_vItemPalette;
    }
    bool m_bCheckStage = true;

    uint32_t FileVersion() const override { return m_base.FileVersion(); }
    bool IsTestPlay() const override { return m_base.IsTestPlay(); }
    bool SystemKeepsTestFlows() const override { return m_base.SystemKeepsTestFlows(); }
    int DatabaseCount(int nList) const override { return m_base.DatabaseCount(nList); }
    std::vector<int> SwordPartTimes(int nType) const override { return m_base.SwordPartTimes(nType); }
    const cChkVector<cBlockData>* BlockPalette(int nType) const override;
    const cChkVector<cCharaData>* CharaPalette(int nType) const override;
    const cChkVector<cItemData>* ItemPalette(int nType) const override;
    bool ChecksStagePalette() const override { return m_bCheckStage && m_base.ChecksStagePalette(); }
    int ReplayPlaybackVersion() const override { return m_base.ReplayPlaybackVersion(); }

private:
    const cStageContext& m_base;
    const cChkVector<cBlockData>* m_apBlock[2] = {nullptr, nullptr};
    const cChkVector<cCharaData>* m_apChara[2] = {nullptr, nullptr};
    const cChkVector<cItemData>* m_apItem[2] = {nullptr, nullptr};
};

// The current context: the one a scope installed on this thread, else the
// process-wide one, else the built-in defaults.
cStageContext& GetStageContext();
// Installs p as the process-wide context (the project does, once its
// database, settings and palettes exist); null restores the defaults.
// Returns the one installed before.
cStageContext* SetStageContext(cStageContext* p);
// Installs p for the calling thread only; null falls back to the
// process-wide one. Returns the one this thread had before.
cStageContext* SetThreadStageContext(cStageContext* p);

// Installs a context on the calling thread for the lifetime of the object
// and restores the previous one afterwards. A stage read on the loader
// thread does not disturb what other threads see.
class cStageContextScope {
public:
    explicit cStageContextScope(cStageContext& ctx) : m_pPrev(SetThreadStageContext(&ctx)) {}
    ~cStageContextScope() { SetThreadStageContext(m_pPrev); }
    cStageContextScope(const cStageContextScope&) = delete;
    cStageContextScope& operator=(const cStageContextScope&) = delete;

private:
    cStageContext* m_pPrev;
};

// True when an unsigned view of nIndex lies below nSize.
inline bool IndexInList(int64_t nIndex, int nSize) { return nIndex >= 0 && nIndex < nSize; }
