#pragma once
// What the block, character and item records share: the placement head, the
// palette inheritance and the body tail that follows the registered fields.
//
// A record may take groups of its properties from a palette entry (common or
// stage palette, entry index, one flag per group). The copy happens once, at
// the end of Read; afterwards the record holds plain values.
#include <cstdint>
#include <string>

#include "foundation/ChkContainers.h"
#include "foundation/Record.h"
#include "stage/Cond.h"
#include "stage/StageContext.h"

class cPlaceData : public cRecord {
public:
    int16_t m_nX = 0;              // cell column of a placement
    int16_t m_nY = 0;              // cell row of a placement
    uint8_t m_nInheritType = 0;    // 0 none, 1 common palette, 2 stage palette
    int16_t m_nInheritNum = 0;     // entry index; 0 inherits nothing
    cChkVector<uint8_t> m_vInheritFlag;
    std::string m_strName;
    cChkVector<cCond> m_vCond;
    uint8_t m_nCondMode = 0;       // 0 all must hold, 1 one is enough
    uint8_t m_bCondOnce = 0;

    // Inserts a flag at nAt in a list of nGroups flags (later flags move up,
    // the last is dropped); the new flag is set.
    void InsertInheritFlag(int nAt, int nGroups);

protected:
    // The registered head (type, index, condition mode and once) and the name.
    void RegisterHead();
    // The tail after the registered part: x, y, [drop item], flags, conditions.
    void ReadTail(cDataFile* fp, int32_t* pDropItem);
    void WriteTail(cDataFile* fp, const int32_t* pDropItem);
    // The inheritance reference, dropped when outside its palette list.
    void NormalizeInheritRef(int nCommonSize, int nStageSize);

    // Copies the flagged groups from the referenced entry of pList (type 1
    // or 2), or from self for any other non-zero type. An index outside the
    // list clears the type. While a file is read (fp), what the copy builds
    // (T::InheritedBytes) is first charged to the file; a copy past the
    // file's memory budget is not made.
    template <class T>
    void ApplyInheritFrom(T& self, const cChkVector<T>* (cStageContext::*pfnList)(int) const,
                          void (*const* tbl)(T&, const T&), int nGroups, cDataFile* fp);

    // What copying the name and condition groups (when flagged at nNameGroup
    // and nCondGroup) from src builds.
    uint64_t HeadInheritedBytes(const cPlaceData& src, int nNameGroup, int nCondGroup) const;
    bool InheritsGroup(int nGroup) const {
        return nGroup >= 0 && static_cast<size_t>(nGroup) < m_vInheritFlag.size() && m_vInheritFlag[nGroup] != 0;
    }

    static void CopyNameGroup(cPlaceData& dst, const cPlaceData& src) { dst.m_strName = src.m_strName; }
    static void CopyCondGroup(cPlaceData& dst, const cPlaceData& src) {
        dst.m_vCond = src.m_vCond;
        dst.m_nCondMode = src.m_nCondMode;
        dst.m_bCondOnce = src.m_bCondOnce;
    }
};

template <class T>
void cPlaceData::ApplyInheritFrom(T& self, const cChkVector<T>* (cStageContext::*pfnList)(int) const,
                                  void (*const* tbl)(T&, const T&), int nGroups, cDataFile* fp) {
    if (m_nInheritNum == 0 || m_nInheritType == 0) return;
    const T* pSrc = &self;
    if (m_nInheritType == PALETTE_COMMON || m_nInheritType == PALETTE_STAGE) {
        if (!GetStageContext().ChecksPalette(m_nInheritType)) return;
        const cChkVector<T>* pList = (GetStageContext().*pfnList)(m_nInheritType);
        int nSize = pList ? static_cast<int>(pList->size()) : 0;
        if (!IndexInList(m_nInheritNum, nSize)) {
            m_nInheritType = 0;
            return;
        }
        pSrc = &(*pList)[m_nInheritNum];
    }
    if (fp && pSrc != &self && !fp->Charge(self.InheritedBytes(*pSrc))) return;
    // The copiers are safe when the source is the record itself.
    int nFlags = static_cast<int>(m_vInheritFlag.size());
    for (int i = 0; i < nFlags && i < nGroups; i++)
        if (m_vInheritFlag[i]) tbl[i](self, *pSrc);
}
