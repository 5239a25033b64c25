// The demo project that the build makes: the tool's output reads back
// through the project's own loaders without a single failure.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "ProjectTestUtil.h"
#include "platform/FileSystem.h"
#include "project/Database.h"
#include "project/Paths.h"
#include "project/ProjectContext.h"
#include "project/SystemData.h"
#include "project/WorldMap.h"
#include "support/FakeMessageBox.h"
#include "foundation/Path.h"
#include "stage/CommonPalette.h"
#include "stage/Stage.h"

namespace {

std::vector<std::string> vDemoReports;
void CaptureDemoReport(const char* psz) { vDemoReports.push_back(psz); }

}  // namespace

TEST_F(cProjectTest, DemoProjectLoadsThroughTheLoaders) {
    // The tool lies in the build folder's tools/, beside this test's tests/.
    std::string strBin;
    if (const char* pszBin = std::getenv("MOSSGROVE_BINARY_DIR")) {
        strBin = pszBin;
    } else {
        std::error_code ec;
        strBin = std::filesystem::read_symlink("/proc/self/exe", ec).parent_path().parent_path().string();
    }
    std::string strTool = strBin + "/tools/mkdemo";
    if (!FsIsFile(strTool.c_str())) GTEST_SKIP() << "mkdemo is not built";
    std::string strCmd = "\"" + strTool + "\" \"" + m_dir.Path() + "/demo\" >/dev/null";
    ASSERT_EQ(std::system(strCmd.c_str()), 0);
    ASSERT_EQ(chdir((m_dir.Path() + "/demo").c_str()), 0);

    vDemoReports.clear();
    SetDataLoadReporter(&CaptureDemoReport);
    cDatabase db;
    cSystemData sys;
    cWorldMap map;
    cProjectContext ctx(&db, &sys);
    cStageContextScope scope(ctx);
    EXPECT_EQ(db.LoadFiles(), 1);
    EXPECT_EQ(sys.Load(aPath[PATH_SYSTEM]), 1);
    cCommonPalette cp;
    ctx.SetCommonPalette(&cp);
    EXPECT_EQ(cp.Load(aPath[PATH_COMMONPALETTE]), 1);
    EXPECT_EQ(map.Load(aPath[PATH_WORLDMAP]), 1);
    SetDataLoadReporter(nullptr);
    for (const cWorldPlace& place : map.m_vPlace) {
        std::string strFile;
        ASSERT_EQ(FindLatestNumberedFile(strFile, place.m_vStage[0].m_strFile.c_str(), strStageExt), 1);
        cStage st;
        EXPECT_EQ(st.Load(strFile.c_str()), 1) << strFile;
        EXPECT_GE(st.FindHero(), 0) << strFile;
    }
    EXPECT_TRUE(vDemoReports.empty());

    EXPECT_EQ(sys.m_vSceneBgm[0], 1);   // the title tune survives the music-count check
    EXPECT_EQ(sys.m_vIniItem[INI_DIRECT3D].m_nValue, 1);
    EXPECT_EQ(db.m_vSound.size(), 4u);
    EXPECT_EQ(map.m_vPlace.size(), 4u);   // three stages and the secret garden
    EXPECT_TRUE(FsIsFile("default\\System.dat"));
    EXPECT_TRUE(FsIsFile("bgm\\Title.mid"));
    // Missing data is rebuilt from the copy.
    ASSERT_TRUE(FsRemoveTree("data"));
    cFakeMessageBox box;
    box.Script({IDYES});
    EXPECT_EQ(CreateDefaultData(nullptr), 1);
    EXPECT_EQ(db.LoadFiles(), 1);
}
