// Animations and animation sets: fields by data version and the repairs of
// older files.
#include "project/AnimeRecords.h"


const char* const aszAnimeSlotName[ANIMESLOT_COUNT] = {"立ち", "立ち移動", "飛行", "飛行移動"};

void cAnimeFrame::RegisterFields(int nVer) {
    (void)nVer;
    ClearFieldTable();
    AddField4(&m_nCell);
    AddField4(&m_nTime);
    AddField4(&m_bLock);
}

void cAnimeFrame::Read(cDataFile* fp) {
    cRecord::Read(fp);
    // A negative cell would be taken for a control code of the sequencer.
    if (m_nCell < 0) m_nCell = 0;
}

void cAnimeFrame::SetDefault() {
    Clear();
    m_nTime = 1;
}

void cAnime::RegisterFields(int nVer) {
    ClearFieldTable();
    AddString(&m_strName);
    if (VerFrom(static_cast<uint32_t>(nVer), 55)) {
        AddField2(&m_nEditValue1);
        AddField1(&m_byEditValue2);
        AddField2(&m_nEditValue3);
    }
}

void cAnime::Read(cDataFile* fp) {
    cRecord::Read(fp);
    ReadRecordList(fp, m_vFrame, [] { return cAnimeFrame(); });
}

void cAnime::Write(cDataFile* fp) {
    cRecord::Write(fp);
    WriteRecordList(fp, m_vFrame);
}

void cAnime::SetDefault() {
    Clear();
    m_byEditValue2 = 1;
    m_vFrame.clear();
    m_vFrame.emplace_back();
}

void cAnimeSet::RegisterFields(int nVer) {
    ClearFieldTable();
    AddString(&m_strName);
    AddField4(&m_nInvincibleOffset);
    AddField4(&m_nBlockCharaOffset);
    if (VerFrom(static_cast<uint32_t>(nVer), 119)) AddField4(&m_nFlyOffset);
}

void cAnimeSet::ResizeSlots() {
    m_vAnime.resize(ANIMESLOT_COUNT);
}

void cAnimeSet::Read(cDataFile* fp) {
    cRecord::Read(fp);
    ReadRecordList(fp, m_vAnime, [] { return cAnime(); });
    if (nFileVer < 119) ResizeSlots();
    if (nFileVer < 128) {
        ResizeSlots();
        m_vAnime[ANIMESLOT_FLY].m_strName = aszAnimeSlotName[ANIMESLOT_FLY];
        m_vAnime[ANIMESLOT_FLYMOVE].m_strName = aszAnimeSlotName[ANIMESLOT_FLYMOVE];
    }
    // Play switches among the four slots by index: a newer set with fewer
    // slots gets default animations for the missing ones.
    if (m_vAnime.size() < ANIMESLOT_COUNT) {
        size_t nOld = m_vAnime.size();
        ResizeSlots();
        for (size_t i = nOld; i < ANIMESLOT_COUNT; i++) m_vAnime[i].m_strName = aszAnimeSlotName[i];
    }
}

void cAnimeSet::Write(cDataFile* fp) {
    cRecord::Write(fp);
    WriteRecordList(fp, m_vAnime);
}

void cAnimeSet::SetDefault() {
    Clear();
    m_nInvincibleOffset = 4;
    m_nBlockCharaOffset = 8;
    m_nFlyOffset = 0;
    m_vAnime.clear();
    m_vAnime.resize(ANIMESLOT_COUNT);
    for (int i = 0; i < ANIMESLOT_COUNT; i++) m_vAnime[i].m_strName = aszAnimeSlotName[i];
}
