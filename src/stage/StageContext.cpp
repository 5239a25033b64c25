#include "stage/StageContext.h"

#include <atomic>

#include "foundation/Record.h"
#include "stage/BlockData.h"
#include "stage/CharaData.h"
#include "stage/ItemData.h"

namespace {
cStageContext ctxDefault;
std::atomic<cStageContext*> pCurrent{nullptr};

template <class T>
int ListSize(const cChkVector<T>* p) { return p ? static_cast<int>(p->size()) : 0; }
}  // namespace

uint32_t cStageContext::FileVersion() const { return nFileVer; }

int cStageContext::BlockPaletteSize(int nType) const { return ListSize(BlockPalette(nType)); }
int cStageContext::CharaPaletteSize(int nType) const { return ListSize(CharaPalette(nType)); }
int cStageContext::ItemPaletteSize(int nType) const { return ListSize(ItemPalette(nType)); }

cStageContext& GetStageContext() {
    cStageContext* p = pCurrent.load(std::memory_order_acquire);
    return p ? *p : ctxDefault;
}

cStageContext* SetStageContext(cStageContext* p) {
    return pCurrent.exchange(p, std::memory_order_acq_rel);
}
