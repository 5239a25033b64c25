// The map drawing: each visible cell of a layer with its chip from the block
// sheet (15 chips per column) and its overlay mark (15 marks per row), at
// the camera, on a display without a window.
#include <gtest/gtest.h>

#include "graphics/DDBlt.h"
#include "graphics/DDCreate.h"
#include "graphics/DDInit.h"
#include "graphics/ImageSlots.h"
#include "graphics/ImageSurfaces.h"
#include "play/PlayHarness.h"
#include "play/PlayMap.h"
#include "play/PlayScene.h"
#include "support/DDTestSupport.h"

TEST(BlockMapDraw, ChipsAndMarksOfOneLayerAtTheCamera) {
    ASSERT_TRUE(DDStartProfile({0, 32, 0, "DD32"}, 640, 480));
    DDSURFACEDATA& sheet = Off_Img[IMAGE_SLOT_BLOCK];
    DDSURFACEDATA& marks = Off_Img[43];
    DDSURFACEDATA dst;
    ASSERT_TRUE(DDCreateSurface(&sheet, 64, 480, 1, 1, DTMEMORYTYPE_SYSTEM, nullptr, 0));
    ASSERT_TRUE(DDCreateSurface(&marks, 480, 64, 1, 1, DTMEMORYTYPE_SYSTEM, nullptr, 0));
    ASSERT_TRUE(DDMakeTarget(&dst, 640, 480));
    DDClear(&sheet, 0);
    DDFillRect(&sheet, 0, 32, 32, 32, 7);    // chip 1: column 0, row 1
    DDFillRect(&sheet, 32, 0, 32, 32, 8);    // chip 15: column 1, row 0
    DDClear(&marks, 0);
    DDFillRect(&marks, 64, 0, 8, 8, 9);      // mark 2: column 2, row 0 (a corner only)
    DDClear(&dst, 16);
    {
        cPlayHarness h({"..........", "..........", "..........", ".........."});
        h.SetUp();
        cBlockData a;
        a.m_nGraphic = 1;
        a.m_nMarkDisp = 1;
        a.m_nMark = 2;
        cBlockData b;
        b.m_nGraphic = 15;
        cBlockData front = b;
        front.m_nLayer = 1;
        cBlockData hidden = b;
        hidden.m_bNoDraw = 1;
        MapCellAt(MapCellIndex(11, 11))->SetBlock(a);
        MapCellAt(MapCellIndex(12, 11))->SetBlock(b);
        MapCellAt(MapCellIndex(13, 11))->SetBlock(front);
        MapCellAt(MapCellIndex(14, 11))->SetBlock(hidden);
        // The camera rests on the stage's corner (320, 320): map cell (11, 11)
        // is at (32, 32) on the screen.
        ASSERT_EQ(h.Scene().m_ScrollX.m_dCam, 320);
        ASSERT_EQ(h.Scene().m_ScrollY.m_dCam, 320);
        h.Scene().DrawMap(&dst, 0);
        EXPECT_EQ(DDIndexAt(&dst, 33, 33), 9);    // the mark over the chip
        EXPECT_EQ(DDIndexAt(&dst, 50, 50), 7);    // chip 1
        EXPECT_EQ(DDIndexAt(&dst, 70, 40), 8);    // chip 15
        EXPECT_EQ(DDIndexAt(&dst, 100, 40), 16);  // layer 1: not in this pass
        EXPECT_EQ(DDIndexAt(&dst, 140, 40), 16);  // not drawn
        EXPECT_EQ(DDIndexAt(&dst, 20, 20), 16);
        h.Scene().DrawMap(&dst, 1);
        EXPECT_EQ(DDIndexAt(&dst, 100, 40), 8);
    }
    DDReleaseSurface(&sheet);
    DDReleaseSurface(&marks);
    DDReleaseSurface(&dst);
    DDEnd();
}
