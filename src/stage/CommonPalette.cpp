#include "stage/OwnedPtr.h"
#include "stage/CommonPalette.h"

#include <algorithm>

#include "stage/StageContext.h"

cCommonPalette recCommonPalette;

namespace {
// A context in which the common palette is this one and the stage palette
// is not consulted.
struct cCommonScope {
    explicit cCommonScope(const cCommonPalette& cp) : ctx(GetStageContext()), scope(Init(cp)) {}
    cPaletteContext& Init(const cCommonPalette& cp) {
        ctx.SetPalette(PALETTE_COMMON, cp);
        ctx.m_bCheckStage = false;
        return ctx;
    }
    cPaletteContext ctx;
    cStageContextScope scope;
};

template <class T>
void ReadPalette(cDataFile* fp, cChkVector<T>& list) {
    int n = fp->ReadCount(MIN_RECORD_BODY, sizeof(T));
    list.assign(static_cast<size_t>(n), DefaultOf<T>());
    for (int i = 0; i < n && !fp->IsFailed(); i++) {
        list[i].Read(fp);
    }
}

template <class T>
void WritePalette(cDataFile* fp, cChkVector<T>& list) {
    fp->WriteI32(static_cast<int32_t>(list.size()));
    for (T& e : list) {
        e.Write(fp);
    }
}

template <class T>
void ResetEntries(cChkVector<T>& list) {
    if (!list.empty()) list[0] = T();
    for (T& e : list) std::fill(e.m_vInheritFlag.begin(), e.m_vInheritFlag.end(), 0);
    while (list.size() < 2) list.push_back(T());
}

template <class T>
void NormalizeList(cChkVector<T>& list) {
    while (list.size() < 2) list.push_back(T());
    for (T& e : list) {
        e.Normalize();
        e.NormalizeRefs();
    }
}
}  // namespace

cCommonPalette::cCommonPalette() {
    m_vBlockPalette.assign(1, cBlockData());
    m_vCharaPalette.assign(1, cCharaData());
    m_vItemPalette.assign(1, cItemData());
}

void cCommonPalette::Read(cDataFile* fp) {
    cCommonScope own(*this);
    cRecord::Read(fp);
    ReadPalette(fp, m_vBlockPalette);
    ReadPalette(fp, m_vCharaPalette);
    ReadPalette(fp, m_vItemPalette);
    // Entry 0 is the reserved blank entry; common entries inherit nothing.
    ResetEntries(m_vBlockPalette);
    ResetEntries(m_vCharaPalette);
    ResetEntries(m_vItemPalette);
    Normalize();
}

void cCommonPalette::Write(cDataFile* fp) {
    cCommonScope own(*this);
    Normalize();
    cRecord::Write(fp);
    WritePalette(fp, m_vBlockPalette);
    WritePalette(fp, m_vCharaPalette);
    WritePalette(fp, m_vItemPalette);
}

void cCommonPalette::Normalize() {
    cCommonScope own(*this);
    NormalizeList(m_vBlockPalette);
    NormalizeList(m_vCharaPalette);
    NormalizeList(m_vItemPalette);
}
