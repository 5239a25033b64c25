#pragma once
// The project's common palette: block, character and item entries that every
// stage may use (inheritance type 1, summons from the common palette). Read
// once at start-up; the player never writes it.
#include "foundation/ChkContainers.h"
#include "foundation/Record.h"
#include "stage/BlockData.h"
#include "stage/CharaData.h"
#include "stage/ItemData.h"

class cCommonPalette : public cRecord {
public:
    cCommonPalette();

    void RegisterFields(int nVer) override { (void)nVer; ClearFieldTable(); }
    void Read(cDataFile* fp) override;
    void Write(cDataFile* fp) override;
    // Two entries at least per list; inheritance and item references checked
    // against the common palette. References into the stage palette are left
    // as they are: the stage they mean is not known here.
    void Normalize();

    cChkVector<cBlockData> m_vBlockPalette;
    cChkVector<cCharaData> m_vCharaPalette;
    cChkVector<cItemData> m_vItemPalette;
};

extern cCommonPalette recCommonPalette;
