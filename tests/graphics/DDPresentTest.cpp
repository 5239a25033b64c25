// Display set-up and release, presentation, lost surfaces and their restore,
// and the surface lists.
#include <gtest/gtest.h>

#include "foundation/ErrorBox.h"
#include "platform/Presenter.h"
#include "support/DDTestSupport.h"
#include "support/FakeMessageBox.h"
#include "support/TempDir.h"

namespace {

class DDDisplay : public testing::Test {
protected:
    void TearDown() override {
        DDRelease();
        DDGetHostDisplay() = DDHOSTDISPLAY();
        DDSetDeviceResettable(true);
    }
};

TEST_F(DDDisplay, FailedDirect3DSetUpReleasesToACleanDirectDrawLayer) {
    EXPECT_FALSE(DDInit(1, nullptr, 32, 32, 8, 0, 0, 1, 60, 0, nullptr, nullptr, 0));
    EXPECT_NE(lpDTCon, nullptr);
    DDRelease();
    EXPECT_EQ(lpDTCon, nullptr);
    EXPECT_EQ(lpDDCon, nullptr);
    EXPECT_FALSE(DDInit(1, nullptr, 32, 32, 24, 0, 0, 1, 60, 0, nullptr, nullptr, 0));
    DDRelease();
    DDGetHostDisplay().bFailD3D = 1;
    EXPECT_FALSE(DDInit(1, nullptr, 32, 32, 32, 0, 1, 1, 60, 0, nullptr, nullptr, 0));
    DDRelease();
    DDGetHostDisplay().bFailD3D = 0;
    DDGetHostDisplay().nDDIVersion = 8;
    EXPECT_FALSE(DDInit(1, nullptr, 32, 32, 32, 0, 1, 1, 60, 0, nullptr, nullptr, 0));
    EXPECT_EQ(lpDTCon, nullptr) << "an old driver fails before any state exists";
    ASSERT_TRUE(DDInit(0, nullptr, 32, 32, 32, 0, 0, 1, 60, 0, nullptr, nullptr, 0));
    EXPECT_NE(lpDDCon, nullptr);
    EXPECT_TRUE(bDDInitDone);
    DDSURFACEDATA sd;
    ASSERT_TRUE(DDCreateSurface(&sd, 4, 4, 0, 0, 0, nullptr, 0));
    EXPECT_NE(sd.lpDDS, nullptr);
    EXPECT_EQ(sd.lpDT, nullptr);
    DDRelease();
    DDRelease();
    EXPECT_FALSE(bDDInitDone);
    EXPECT_FALSE(DDInit(0, nullptr, 32, 32, 24, 0, 0, 1, 60, 0, nullptr, nullptr, 0));
}

TEST_F(DDDisplay, ScreenSurfacesAndFormatsPerProfile) {
    ASSERT_TRUE(DDInit(1, nullptr, 64, 48, 32, 0, 1, 1, 60, 0, nullptr, nullptr, 0));
    EXPECT_STREQ(BackBuffer.szType, "BackBuffer");
    EXPECT_STREQ(VirBackBuffer.szType, "VirBackBuffer");
    EXPECT_STREQ(WorkSD.szType, "WorkSD");
    EXPECT_EQ(DDSurfaceFormat(&BackBuffer), DDFMT_X8R8G8B8);
    EXPECT_EQ(DDSurfaceFormat(&WorkSD), DDFMT_A8R8G8B8);
    EXPECT_EQ(lpDTCon->dwNextID, 3u);
    ASSERT_TRUE(DDInit(1, nullptr, 64, 48, 16, 0, 1, 1, 60, 0, nullptr, nullptr, 0));
    EXPECT_EQ(DDSurfaceFormat(&BackBuffer), DDFMT_A1R5G5B5) << "a 16-bit window";
    ASSERT_TRUE(DDInit(1, nullptr, 64, 48, 16, 0, 0, 1, 60, 0, nullptr, nullptr, 0));
    EXPECT_EQ(DDSurfaceFormat(&BackBuffer), DDFMT_R5G6B5);
    EXPECT_EQ(pfBack.nMaxG, 63u);
    ASSERT_TRUE(DDInit(0, nullptr, 64, 48, 8, 0, 0, 1, 60, 0, nullptr, nullptr, 0));
    EXPECT_EQ(DDSurfaceFormat(&BackBuffer), DDFMT_P8);
    EXPECT_EQ(aDisplayPalette[0].peBlue, 255);
    EXPECT_EQ(aDisplayPalette[7].peGreen, 7);
    ASSERT_TRUE(DDInit(0, nullptr, 64, 48, 16, 0, 1, 1, 60, 0, nullptr, nullptr, 0));
    EXPECT_EQ(nScreenBpp, 32) << "a window shows the desktop's depth";
    EXPECT_EQ(aDisplayPalette[3].peFlags, PC_EXPLICIT);
}

TEST_F(DDDisplay, VSyncNeedsASixtyHertzDesktop) {
    DDGetHostDisplay().nRefreshRate = 75;
    ASSERT_TRUE(DDInit(1, nullptr, 32, 32, 32, 1, 1, 1, 60, 1, nullptr, nullptr, 0));
    EXPECT_EQ(nVSyncMode, 0);
    DDGetHostDisplay().nRefreshRate = 60;
    ASSERT_TRUE(DDInit(1, nullptr, 32, 32, 32, 1, 0, 1, 60, 1, nullptr, nullptr, 0));
    EXPECT_EQ(nVSyncMode, 1);
}

TEST_F(DDDisplay, PresentedFramesReachThePresenterConverted) {
    ASSERT_TRUE(DDStartProfile({1, 32, 1, "D3D32"}, 4, 2));
    DDFillRectRGB(&BackBuffer, 0, 0, 4, 2, 0xFF102030u);
    uint64_t n = PresenterGetFrameCount();
    EXPECT_EQ(DDPresent(0, 0, nullptr), 1);
    EXPECT_EQ(PresenterGetFrameCount(), n + 1);
    std::vector<uint32_t> frame;
    int w = 0, h = 0;
    ASSERT_TRUE(PresenterGetLastFrame(&frame, &w, &h));
    EXPECT_EQ(w, 4);
    EXPECT_EQ(h, 2);
    EXPECT_EQ(frame[5], 0xFF102030u);

    // The virtual back buffer is copied back at presentation.
    DDSetVirBackBuffer(1);
    DDFillRectRGB(&BackBuffer, 0, 0, 4, 2, 0xFF405060u);
    EXPECT_EQ(DDGetRaw(*DDGetPixels(&VirBackBuffer), 0, 0) & 0xFFFFFF, 0x405060u);
    DDPresent(0, 0, nullptr);
    PresenterGetLastFrame(&frame, &w, &h);
    EXPECT_EQ(frame[0], 0xFF405060u);
    DDSetVirBackBuffer(0);

    // 16 bits: 565 fields expanded by field * 255 / max.
    ASSERT_TRUE(DDStartProfile({1, 16, 0, "D3D16"}, 4, 2));
    DDPutRaw(*DDGetPixels(&BackBuffer), 0, 0, (16u << 11) | (32u << 5) | 31u);
    DDPresent(0, 0, nullptr);
    PresenterGetLastFrame(&frame, &w, &h);
    EXPECT_EQ(frame[0], 0xFF000000u | 131u << 16 | 129u << 8 | 255u);

    // DirectDraw presents through the frame step; 8 bits through the palette
    // as it stands at that moment.
    ASSERT_TRUE(DDStartProfile({0, 8, 0, "DD8"}, 4, 2));
    EXPECT_EQ(DDPresent(0, 0, nullptr), 1);
    DDFillRect(&BackBuffer, 0, 0, 4, 2, 9);
    aDisplayPalette[9] = {1, 2, 3, 0};
    EXPECT_EQ(DDFlipToScreen(), 1);
    PresenterGetLastFrame(&frame, &w, &h);
    EXPECT_EQ(frame[3], 0xFF010203u);
    aDisplayPalette[9] = {7, 8, 9, 0};
    DDFlipToScreen();
    PresenterGetLastFrame(&frame, &w, &h);
    EXPECT_EQ(frame[3], 0xFF070809u);
}

TEST_F(DDDisplay, Direct3DRestoreRebuildsEveryListedSurface) {
    cTempDir dir;
    ASSERT_TRUE(dir.WriteFile("img.bmp", DDBuildBmp(2, 1, 24, {}, {0x112233, 0x445566})));
    ASSERT_TRUE(DDStartProfile({1, 32, 1, "D3D32"}, 8, 8));
    // Records in a growing vector: their registrations follow them.
    cChkVector<DDSURFACEDATA> vSurf;
    cChkVector<IMAGEDATA> vImg;
    for (int i = 0; i < 40; i++) ASSERT_TRUE(DDAddSurfaceToVector(vSurf, vImg, 4, 4, 1, 0, DTMEMORYTYPE_VIDEO_RT, nullptr));
    DDSURFACEDATA sys, img;
    ASSERT_TRUE(DDCreateSurface(&sys, 2, 2, 0, 1, DTMEMORYTYPE_SYSTEM, nullptr, 0));
    DDPutRaw(*DDGetPixels(&sys), 0, 0, 0xFFABCDEFu);
    ASSERT_EQ(DDCreateSurfaceFromFile(&img, "img.bmp", 0, 32, 0, DTMEMORYTYPE_VIDEO_RT, nullptr, 0, 0, 0, 0), 0);

    DDSimulateDeviceLoss();
    EXPECT_EQ(DDPresent(0, 0, nullptr), 0);
    DDSetDeviceResettable(false);
    EXPECT_EQ(DDRestoreSurface(), 0);
    EXPECT_EQ(DDPresent(0, 0, nullptr), 0);
    DDSetDeviceResettable(true);
    EXPECT_EQ(DDRestoreSurface(), 1);
    EXPECT_EQ(DDPresent(0, 0, nullptr), 1);
    for (auto& s : vSurf) EXPECT_EQ(s.bLost, 1);
    EXPECT_EQ(sys.bLost, 1) << "system-memory surfaces are flagged too";
    EXPECT_EQ(DDGetRaw(*DDGetPixels(&sys), 0, 0), 0xFFABCDEFu) << "and keep their pixels";
    EXPECT_EQ(img.bLost, 0);
    EXPECT_EQ(DDGetRaw(*DDGetPixels(&img), 1, 0), 0xFF445566u) << "images are loaded again";
    // A restored blank keyed render target starts as the opaque transparent colour.
    EXPECT_EQ(DDGetRaw(*DDGetPixels(&vSurf[39]), 0, 0), lpDTCon->dwTransmitBack);
    DDReleaseSurfaceVector(vSurf);
    EXPECT_EQ(DDRestoreSurface(), 1);
}

TEST_F(DDDisplay, DirectDrawRestoreReloadsVideoImagesAndFlagsBlanks) {
    cTempDir dir;
    ASSERT_TRUE(dir.WriteFile("img.bmp", DDBuildBmp(2, 1, 24, {}, {0x112233, 0x445566})));
    DDSURFACEDATA aSurf[3];
    IMAGEDATA aImg[3];
    aImg[0].Set("img.bmp", 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    aImg[1].Set("E", 0, 0, 0, 0, 0, 0, 0, 0, 4, 4);
    aImg[2].Set("E", 0, 1, 0, 0, 0, 0, 0, 0, 4, 4);
    ASSERT_TRUE(DDInit(0, nullptr, 8, 8, 32, 0, 0, 1, 60, 0, aSurf, aImg, 3));
    const int slots[] = {0, 1, 2};
    ASSERT_TRUE(DDLoadImages(aSurf, slots, 3));
    EXPECT_TRUE(DDRestore());
    EXPECT_FALSE(DDIsPrimaryLost());
    DDSimulateDeviceLoss();
    EXPECT_TRUE(DDIsPrimaryLost());
    EXPECT_TRUE(DDIsSurfaceLost(&aSurf[0]));
    EXPECT_FALSE(DDIsSurfaceLost(&aSurf[2])) << "system memory is not lost";
    EXPECT_NE(DDBlt(&BackBuffer, 0, 0, 2, 1, &aSurf[0], 0, 0, 0), 0) << "a lost surface refuses blits";
    EXPECT_TRUE(DDRestore());
    EXPECT_FALSE(DDIsPrimaryLost());
    EXPECT_EQ(DDGetRaw(*DDGetPixels(&aSurf[0]), 1, 0), 0x445566u);
    EXPECT_EQ(aSurf[0].bLost, 0);
    EXPECT_EQ(aSurf[1].bLost, 1);
    EXPECT_EQ(aSurf[2].bLost, 0);
    EXPECT_EQ(DDBlt(&BackBuffer, 0, 0, 2, 1, &aSurf[0], 0, 0, 0), 0);
}

TEST_F(DDDisplay, SurfaceListsInsertAndDelete) {
    ASSERT_TRUE(DDStartProfile({1, 32, 1, "D3D32"}, 8, 8));
    cChkList<DDSURFACEDATA> l;
    cChkList<IMAGEDATA> li;
    ASSERT_TRUE(DDAddSurfaceToList(l, li, 1, 1, 0, 0, 0, nullptr));
    ASSERT_TRUE(DDInsertSurfaceToList(l, li, -3, 2, 2, 0, 0, 0, nullptr));
    ASSERT_TRUE(DDInsertSurfaceToList(l, li, 99, 3, 3, 0, 0, 0, nullptr));
    ASSERT_TRUE(DDInsertSurfaceToList(l, li, 1, 4, 4, 1, 0, 0, nullptr));
    std::vector<int> widths, imgWidths;
    for (auto& s : l) widths.push_back(s.nWidth);
    for (auto& i : li) imgWidths.push_back(i.nWidth);
    EXPECT_EQ(widths, (std::vector<int>{2, 4, 1, 3}));
    EXPECT_EQ(imgWidths, widths);
    EXPECT_EQ(li.At(1).nColorKey, 1);
    EXPECT_FALSE(DDAddSurfaceToList(l, li, 0, 0, 0, 0, 0, nullptr)) << "a failed creation is reported";
    DDSURFACEDATA other;
    EXPECT_EQ(DDDeleteSurfaceFromList(l, li, &other), 0);
    EXPECT_EQ(DDDeleteSurfaceFromList(l, li, &l.At(1)), 1);
    EXPECT_EQ(l.size(), 4u);
    EXPECT_EQ(li.At(1).nWidth, 1);
    DDReleaseSurfaceList(l);
    for (auto& s : l) EXPECT_EQ(s.lpDT, nullptr);
}

TEST_F(DDDisplay, BackEndOnlyOperationsAnswerAtOnce) {
    ASSERT_TRUE(DDStartProfile({1, 32, 1, "D3D32"}, 8, 8));
    EXPECT_TRUE(DDRestore());
    int nPitch = 0;
    uint8_t* lpBits = nullptr;
    EXPECT_TRUE(DDLock(&BackBuffer, &nPitch, &lpBits, 32));
    EXPECT_EQ(lpBits, nullptr);
    EXPECT_EQ(DDFade_UnPal(&BackBuffer, 0, 0, 0, 0, &BackBuffer), 1);
    ASSERT_TRUE(DDStartProfile({0, 32, 0, "DD32"}, 8, 8));
    EXPECT_EQ(DDRestoreSurface(), 1);
    EXPECT_EQ(DDPresent(60, 0, nullptr), 1);
    DDSetVirBackBuffer(1);
    DDBeginBltBatch(1);
    EXPECT_FALSE(DDIsBltBatchOpen());
    EXPECT_TRUE(DDLock(&BackBuffer, &nPitch, &lpBits, 32));
    EXPECT_NE(lpBits, nullptr);
    DDSURFACEDATA none;
    EXPECT_FALSE(DDLock(&none, &nPitch, &lpBits, 32)) << "a lock on a missing surface fails";
    cSurfaceLock lock(&none);
    EXPECT_FALSE(lock.IsLocked());
}

TEST_F(DDDisplay, MessageBoxesOverTheDisplay) {
    cFakeMessageBox boxes;
    ASSERT_TRUE(DDStartProfile({1, 32, 1, "D3D32"}, 8, 8));
    EXPECT_EQ(DDSetDialogMode(1), 1);
    EXPECT_EQ(DDMesBox("text", "caption", MB_OK), 1);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].strCaption, "caption");
    // Full screen: the error boxes go through the layer and keep their answer.
    ASSERT_TRUE(DDStartProfile({1, 32, 0, "D3D32FS"}, 8, 8));
    lpDTCon->bInScene = 1;
    boxes.Script({IDNO});
    EXPECT_EQ(ShowMesBox("quit?", "q", MB_YESNO), IDNO);
    EXPECT_EQ(lpDTCon->bInScene, 0) << "the dialog mode closes the scene";
    DDRelease();
    EXPECT_EQ(ShowMesBox("after", "q", MB_OK), IDOK);
}

}  // namespace
