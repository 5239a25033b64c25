#include "stage/StageContext.h"

#include <atomic>

#include "foundation/Record.h"
#include "stage/BlockData.h"
#include "stage/CharaData.h"
#include "stage/ItemData.h"

namespace {
cStageContext ctxDefault;
std::atomic<cStageContext*> pProcess{nullptr};
thread_local cStageContext* pThread = nullptr;

template <class T>
int ListSize(const cChkVector<T>* p) { return p ? static_cast<int>(p->size()) : 0; }
}  // namespace

uint32_t cStageContext::FileVersion() const { return nFileVer; }

int cStageContext::BlockPaletteSize(int nType) const { return ListSize(BlockPalette(nType)); }
int cStageContext::CharaPaletteSize(int nType) const { return ListSize(CharaPalette(nType)); }
int cStageContext::ItemPaletteSize(int nType) const { return ListSize(ItemPalette(nType)); }

cStageContext& GetStageContext() {
    if (pThread) return *pThread;
    cStageContext* p = pProcess.load(std::memory_order_acquire);
    return p ? *p : ctxDefault;
}

cStageContext* SetStageContext(cStageContext* p) {
    return pProcess.exchange(p, std::memory_order_acq_rel);
}

cStageContext* SetThreadStageContext(cStageContext* p) {
    cStageContext* pPrev = pThread;
    pThread = p;
    return pPrev;
}

const cChkVector<cBlockData>* cPaletteContext::BlockPalette(int nType) const {
    if (nType == PALETTE_COMMON && m_apBlock[0]) return m_apBlock[0];
    if (nType == PALETTE_STAGE && m_apBlock[1]) return m_apBlock[1];
    return m_base.BlockPalette(nType);
}

const cChkVector<cCharaData>* cPaletteContext::CharaPalette(int nType) const {
    if (nType == PALETTE_COMMON && m_apChara[0]) return m_apChara[0];
    if (nType == PALETTE_STAGE && m_apChara[1]) return m_apChara[1];
    return m_base.CharaPalette(nType);
}

const cChkVector<cItemData>* cPaletteContext::ItemPalette(int nType) const {
    if (nType == PALETTE_COMMON && m_apItem[0]) return m_apItem[0];
    if (nType == PALETTE_STAGE && m_apItem[1]) return m_apItem[1];
    return m_base.ItemPalette(nType);
}
