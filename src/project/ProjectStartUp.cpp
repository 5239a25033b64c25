#include "project/ProjectStartUp.h"

#include "foundation/Log.h"
#include "project/AnimePatterns.h"
#include "project/Database.h"
#include "project/Paths.h"
#include "project/ProjectContext.h"
#include "project/SystemData.h"
#include "project/WorldMap.h"

void InstallProjectContext(bool bTestPlay) {
    ctxProject.m_bTestPlay = bTestPlay;
    SetStageContext(&ctxProject);
}

int StartUpDataFolders(void* hWnd) {
    if (!CreateDefaultData(hWnd)) {
        WriteReportErr("「data」フォルダの作成に失敗…\n「default」フォルダに問題がある可能性があります。");
        return 0;
    }
    CreateStartUpFolders();
    return 1;
}

int StartUpDatabase() {
    if (!recDatabase.LoadFiles()) {
        WriteReportErr("データベースの読み込みに失敗…");
        return 0;
    }
    recDatabase.CopyEffectLists();
    BuildAnimePatterns(vecAnimePattern);
    BuildEffectPatterns(vecEffectPattern);
    // The prepared character-effect and screen-effect runs are built by the
    // play code's effect runners from the same lists.
    return 1;
}

int StartUpSystemData() {
    if (!recSystem.Load(aPath[PATH_SYSTEM])) {
        WriteReportErr("%s の読み込みに失敗…", aPath[PATH_SYSTEM]);
        return 0;
    }
    return 1;
}

int StartUpWorldMap() {
    if (!recWorldMap.Load(aPath[PATH_WORLDMAP])) {
        WriteReportErr("%s のロードに失敗！", aPath[PATH_WORLDMAP]);
        return 0;
    }
    return 1;
}

STARTUPSYSTEM GetProjectStartUpSystem() {
    STARTUPSYSTEM st;
    st.strTitle = recSystem.m_strTitle;
    st.nColorMode = recSystem.m_bFixedTransColor;
    st.nD3DDepth = recSystem.m_nScreenBppD3D;
    st.nDDDepth = recSystem.m_nScreenBppDD;
    st.nFontFace = recSystem.m_nFont;
    st.bEnglishText = recSystem.m_bSymbolLetters;
    st.bCenterGlyph = recSystem.m_bNoBracketShift;
    st.abTransmit[0] = recSystem.m_byTransR;
    st.abTransmit[1] = recSystem.m_byTransG;
    st.abTransmit[2] = recSystem.m_byTransB;
    st.strFontFace = recSystem.GetFontName();
    st.vSystemSound.assign(recSystem.m_vSysSound.begin(), recSystem.m_vSysSound.end());
    return st;
}

std::vector<INIITEM> GetProjectIniItems() {
    std::vector<INIITEM> v;
    for (const cIniItem& item : recSystem.m_vIniItem) {
        INIITEM ini;
        ini.strKey = item.m_strKey;
        ini.nValue = item.m_nValue;
        ini.strValue = item.m_strValue;
        v.push_back(ini);
    }
    return v;
}

std::vector<std::string> GetProjectSoundFiles() {
    std::vector<std::string> v;
    for (const cSound& snd : recDatabase.m_vSound) v.push_back(snd.m_strFile);
    return v;
}
