// mkdemo: builds the demo project into a folder (default "demo"):
//   data\ (System.dat, the database, the world map), default\ (a copy of
//   data\), bmp\, wave\, bgm\ and System.ini.
// Afterwards the project is read back through the project's own loaders and
// every file it names is checked; any problem makes the exit code 1.
//
//   mkdemo [folder]
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "DemoBlendTables.h"
#include "DemoPalette.h"
#include "DemoProject.h"
#include "foundation/Record.h"
#include "graphics/DDImage.h"
#include "platform/FileSystem.h"
#include "project/Database.h"
#include "project/Paths.h"
#include "project/ProjectContext.h"
#include "project/SystemData.h"
#include "project/WorldMap.h"
#include "foundation/Path.h"
#include "stage/CommonPalette.h"
#include "stage/Stage.h"
#include "stage/StageLoader.h"
#include "graphics/ImageSlots.h"

namespace {

int nErrors = 0;

void Fail(const std::string& strWhat) {
    std::fprintf(stderr, "mkdemo: %s\n", strWhat.c_str());
    nErrors++;
}

void CheckFile(const std::string& strPath, bool bBitmap) {
    if (strPath.empty()) return;
    if (!FsIsFile(strPath.c_str())) {
        Fail("missing " + strPath);
        return;
    }
    if (bBitmap) {
        DDBITMAP bmp;
        if (!DDReadBitmap(strPath.c_str(), &bmp)) Fail("unreadable bitmap " + strPath);
    }
}

void LoadReport(const char* psz) { Fail(psz); }

// Reads the project back as the start-up does and checks the files it names.
void CheckProject() {
    SetDataLoadReporter(&LoadReport);
    cDatabase db;
    cSystemData sys;
    cWorldMap map;
    cProjectContext ctx(&db, &sys);
    cStageContextScope scope(ctx);
    if (!db.LoadFiles()) Fail("the database does not load");
    if (!sys.Load(aPath[PATH_SYSTEM])) Fail(std::string("cannot load ") + aPath[PATH_SYSTEM]);
    cCommonPalette cp;
    ctx.SetCommonPalette(&cp);
    if (!cp.Load(aPath[PATH_COMMONPALETTE])) Fail(std::string("cannot load ") + aPath[PATH_COMMONPALETTE]);
    if (!map.Load(aPath[PATH_WORLDMAP])) Fail(std::string("cannot load ") + aPath[PATH_WORLDMAP]);
    SetDataLoadReporter(nullptr);
    // Every stage the world map names, as the loader finds it on disk.
    std::vector<std::string> vStage;
    for (const cWorldPlace& place : map.m_vPlace)
        for (const cWorldStage& entry : place.m_vStage) vStage.push_back(entry.m_strFile);
    // And every stage of the challenge worlds.
    for (const char* const* pp = GetDemoStageFiles(); *pp; pp++) vStage.push_back(*pp);
    for (const std::string& strStage : vStage) {
        {
            std::string strFile;
            if (!FindLatestNumberedFile(strFile, strStage.c_str(), strStageExt)) {
                Fail("no stage file for " + strStage);
                continue;
            }
            cStage st;
            if (!CheckStageTrailer(strFile.c_str())) Fail("no trailer in " + strFile);
            else if (!st.Load(strFile.c_str())) Fail("cannot load " + strFile);
            else if (st.FindHero() < 0) Fail("no hero in " + strFile);
            else
                for (const cBackground& b : st.m_vBackground) CheckFile(b.m_strFile, true);
        }
    }

    for (const std::string& s : sys.m_vSysSound) CheckFile(s, false);
    for (size_t i = 1; i < db.m_vSound.size(); i++) CheckFile(db.m_vSound[i].m_strFile, false);
    for (size_t i = 1; i < db.m_vBgm.size(); i++) CheckFile(db.m_vBgm[i].m_strFile, false);
    for (size_t i = 1; i < db.m_vPicture.size(); i++) CheckFile(db.m_vPicture[i].m_strFile, true);
    for (size_t i = 1; i < db.m_vBmpCharaExc.size(); i++) CheckFile(db.m_vBmpCharaExc[i].m_strBitmap, true);
    for (const cEffect& fx : db.m_vEffect) CheckFile(fx.m_strBitmap, true);
    for (const cSwordType& sw : db.m_vSwordType) {
        CheckFile(sw.m_strBitmap[0], true);
        CheckFile(sw.m_strBitmap[1], true);
    }
    CheckFile(map.m_strBackFile, true);
    CheckFile("bgm\\Title.mid", false);
    CheckFile("bgm\\Hills.ogg", false);
    CheckFile("System.ini", false);

    // Every image slot that is not optional and not a blank surface.
    IMAGEDATA aSlot[IMAGE_SLOT_COUNT];
    BuildImageSlotTable(aSlot);
    for (const IMAGEDATA& slot : aSlot) {
        if (slot.bOptional || std::string(slot.szFile) == "E") continue;
        CheckFile(slot.szFile, true);
    }
    // The pristine copy matches.
    for (int i = 0; i < DBLIST_COUNT; i++) {
        std::string strDefault = std::string("default\\") + (GetDatabaseListPath(i) + 5);
        CheckFile(strDefault, false);
    }
}

}  // namespace

int main(int argc, char** argv) {
    const std::string strOut = argc > 1 ? argv[1] : "demo";
    std::error_code ec;
    std::filesystem::create_directories(strOut, ec);
    if (chdir(strOut.c_str()) != 0) {
        std::fprintf(stderr, "mkdemo: cannot enter %s\n", strOut.c_str());
        return 1;
    }
    nDataVer = DATA_VERSION;
    bDelCR = 1;

    // A fresh project each time; the player's own files stay.
    FsRemoveTree("data");
    FsRemoveTree("default");
    CreateStartUpFolders();

    if (!WriteDemoImages()) Fail("bitmaps");
    if (!WriteDemoSounds()) Fail("sounds");
    if (!WriteDemoBlendTables()) Fail("blend tables");

    cDatabase db;
    cSystemData sys;
    cWorldMap map;
    MakeDemoDatabase(db);
    MakeDemoSystem(sys);
    MakeDemoWorldMap(map);
    {
        cProjectContext ctx(&db, &sys);
        cStageContextScope scope(ctx);
        if (!db.SaveFiles()) Fail("database files");
        if (!sys.Save(aPath[PATH_SYSTEM])) Fail(aPath[PATH_SYSTEM]);
        if (!map.Save(aPath[PATH_WORLDMAP])) Fail(aPath[PATH_WORLDMAP]);
        cCommonPalette cp;
        MakeDemoCommonPalette(cp);
        if (!CheckDemoCoverage(cp)) Fail("the palette does not use every command kind and trigger");
        ctx.SetCommonPalette(&cp);
        if (!cp.Save(aPath[PATH_COMMONPALETTE])) Fail(aPath[PATH_COMMONPALETTE]);
        if (!WriteDemoStages(cp)) Fail("stages");
    }
    if (!WriteDemoSystemIni()) Fail("System.ini");
    if (!FsCopyTree("data", "default")) Fail("the copy of data into default");

    CheckProject();
    if (nErrors) {
        std::fprintf(stderr, "mkdemo: %d problem(s)\n", nErrors);
        return 1;
    }
    std::printf("mkdemo: demo project written to %s\n", strOut.c_str());
    return 0;
}
