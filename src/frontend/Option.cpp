#include "frontend/Option.h"

#include "project/PlayerFiles.h"

cOption recOption;

const int anVolumeTable[OPTION_VOLUME_STEPS] = {-10000, -3000, -2000, -1300, -800, -500, -300, -150, -80, -30, 0};

int GetOptionVolume(int nStep) {
    if (nStep < 0 || nStep >= OPTION_VOLUME_STEPS) nStep = 7;
    return anVolumeTable[nStep];
}

cOption::cOption() {
    RegisterFields(static_cast<int>(DATA_VERSION));
    SetDefault();
}

void cOption::RegisterFields(int nVer) {
    (void)nVer;
    ClearFieldTable();
    AddField4(&m_nPaletteVariant);
    AddField4(&m_bBgm);
    AddField4(&m_nVolume);
    AddField4(&m_nRankingMode);
    AddString(&m_strName);
}

void cOption::SetDefault() {
    m_nPaletteVariant = 0;
    m_bBgm = 1;
    m_nVolume = 7;
    m_nRankingMode = 0;
    m_strName = "aaa";
}

void cOption::Normalize() {
    if (m_nPaletteVariant < 0 || m_nPaletteVariant >= OPTION_PALETTE_VARIANTS) m_nPaletteVariant = 0;
    if (m_bBgm != 0 && m_bBgm != 1) m_bBgm = 1;
    if (m_nVolume < 0 || m_nVolume >= OPTION_VOLUME_STEPS) m_nVolume = 7;
    if (m_nRankingMode < 0 || m_nRankingMode >= OPTION_RANKING_MODES) m_nRankingMode = 0;
}

void cOption::Read(cDataFile* fp) {
    cRecord::Read(fp);
    Normalize();
}

int cOption::LoadFile(const char* pszPath) {
    const int nPrevErr = bFileVerErr;
    bFileVerErr = 0;
    cOption read(*this);
    int r = read.Load(pszPath);
    m_nFileState = r ? PLAYERFILE_READABLE : PlayerFileStateAfterFailedLoad(pszPath, bFileVerErr);
    bFileVerErr |= nPrevErr;
    if (r) {
        const int nState = m_nFileState;
        *this = read;
        m_nFileState = nState;
    }
    return r;
}

int cOption::SaveFile(const char* pszPath) {
    // A newer program's or a damaged file is replaced only when the player
    // agrees, asked once a run.
    if (!MayReplacePlayerFile(pszPath ? pszPath : "", m_nFileState)) return 1;
    if (!Save(pszPath)) return 0;
    m_nFileState = PLAYERFILE_READABLE;
    return 1;
}
