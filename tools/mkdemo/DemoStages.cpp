// The demo's common palette and its three stages. Stage files carry the
// numbered suffix on disk ("c01-1.stg4_000").
#include <cstdio>
#include <string>

#include "DemoProject.h"
#include "stage/CommonPalette.h"
#include "stage/Stage.h"

namespace {

// Block kinds of the block sheet, by chip number.
enum : int16_t { CHIP_GROUND = 1, CHIP_EARTH = 2, CHIP_BRICK = 3, CHIP_STONE = 4, CHIP_QUESTION = 5, CHIP_SPIKES = 6, CHIP_CLOUD = 7 };

cBlockData MakeBlock(const char* pszName, int16_t nChip, uint8_t nHit) {
    cBlockData b;
    b.m_strName = pszName;
    b.m_nGraphic = nChip;
    b.m_nGraphicSheet = 0;
    b.m_nHit = nHit;
    return b;
}

cCharaData MakeHero() {
    cCharaData c;
    c.m_strName = "主人公";
    c.m_nOperator = 0;
    c.m_nPlayer = 0;
    c.m_nGraphic = 1;
    c.m_nGraphicSheet = 1;
    c.m_nAnimSet = 0;
    c.m_nGroup = 0;
    c.m_nMaxHp = 10;
    return c;
}

cCharaData MakeSlime() {
    cCharaData c;
    c.m_strName = "スライム";
    c.m_nOperator = 1;
    c.m_nGraphic = 1;
    c.m_nGraphicSheet = 2;
    c.m_nAnimSet = 1;
    c.m_nGroup = 1;
    c.m_nMaxHp = 3;
    return c;
}

cItemData MakeItem(const char* pszName, int16_t nGraphic, int16_t nSound) {
    cItemData it;
    it.m_strName = pszName;
    it.m_nGraphic = nGraphic;
    it.m_nGraphicSheet = 2;
    it.m_nSound = nSound;
    return it;
}

template <class T>
T At(T rec, int x, int y) {
    rec.m_nX = static_cast<int16_t>(x);
    rec.m_nY = static_cast<int16_t>(y);
    return rec;
}

// A stage of w x 15 cells: ground along the bottom with gaps, platforms,
// coins, slimes and the hero at the left.
cStage MakeStage(const cCommonPalette& cp, int nNumber, int w) {
    cStage st;
    st.SetDefault();
    st.m_strText = "ステージ" + std::to_string(nNumber);
    st.m_nWidth = w;
    st.m_nHeight = 15;
    st.m_nBgm = 3;
    st.m_bShowStartBanner2 = 1;
    st.m_vBlockPalette = cp.m_vBlockPalette;
    st.m_vCharaPalette = cp.m_vCharaPalette;
    st.m_vItemPalette = cp.m_vItemPalette;

    cBackground sky;
    sky.m_strFile = "bmp\\back\\Sky.bmp";
    sky.m_dRateX = 0.1;
    cBackground hills;
    hills.m_strFile = "bmp\\back\\Hills.bmp";
    hills.m_dRateX = 0.3;
    st.m_vBackground.assign({sky, hills});

    const cBlockData& ground = cp.m_vBlockPalette[1];
    const cBlockData& earth = cp.m_vBlockPalette[2];
    const cBlockData& brick = cp.m_vBlockPalette[3];
    const cBlockData& spikes = cp.m_vBlockPalette[6];
    for (int x = 0; x < w; x++) {
        bool bGap = nNumber > 1 && x > 10 && x % (13 + nNumber) == 0;
        if (bGap) {
            st.m_vBlockPlace.push_back(At(spikes, x, 14));
            continue;
        }
        st.m_vBlockPlace.push_back(At(ground, x, 13));
        st.m_vBlockPlace.push_back(At(earth, x, 14));
    }
    for (int k = 0; k < w / 12; k++) {
        int x = 8 + k * 12, y = 9 - (k + nNumber) % 3;
        for (int i = 0; i < 4; i++) st.m_vBlockPlace.push_back(At(brick, x + i, y));
        for (int i = 0; i < 3; i++) st.m_vItemPlace.push_back(At(cp.m_vItemPalette[1], x + i, y - 1));
        if (k % 2 == 1) st.m_vCharaPlace.push_back(At(cp.m_vCharaPalette[2], x + 2, 12));
    }
    st.m_vBlockPlace.push_back(At(cp.m_vBlockPalette[5], 5, 9));
    st.m_vItemPlace.push_back(At(cp.m_vItemPalette[2], w - 4, 12));
    st.m_vCharaPlace.insert(st.m_vCharaPlace.begin(), At(cp.m_vCharaPalette[1], 2, 12));
    return st;
}

}  // namespace

void MakeDemoCommonPalette(cCommonPalette& cp) {
    cp.m_vBlockPalette.assign(1, cBlockData());
    cp.m_vBlockPalette.push_back(MakeBlock("地面", CHIP_GROUND, 1));
    cp.m_vBlockPalette.push_back(MakeBlock("土", CHIP_EARTH, 1));
    cp.m_vBlockPalette.push_back(MakeBlock("レンガ", CHIP_BRICK, 1));
    cp.m_vBlockPalette.push_back(MakeBlock("石", CHIP_STONE, 1));
    cp.m_vBlockPalette.push_back(MakeBlock("はてな", CHIP_QUESTION, 1));
    cp.m_vBlockPalette.push_back(MakeBlock("トゲ", CHIP_SPIKES, 2));
    cp.m_vBlockPalette.push_back(MakeBlock("雲", CHIP_CLOUD, 1));
    cp.m_vCharaPalette.assign(1, cCharaData());
    cp.m_vCharaPalette.push_back(MakeHero());
    cp.m_vCharaPalette.push_back(MakeSlime());
    cp.m_vItemPalette.assign(1, cItemData());
    cp.m_vItemPalette.push_back(MakeItem("コイン", 0, 2));
    cp.m_vItemPalette.push_back(MakeItem("ハート", 1, 2));
}

bool WriteDemoStages(const cCommonPalette& cp) {
    bool bOk = true;
    for (int n = 1; n <= 3; n++) {
        cStage st = MakeStage(cp, n, 40 + 20 * n);
        char szPath[64];
        std::snprintf(szPath, sizeof szPath, "data\\stg4\\c%02d-1.stg4_000", n);
        if (!st.Save(szPath)) {
            std::fprintf(stderr, "mkdemo: cannot write %s\n", szPath);
            bOk = false;
        }
    }
    return bOk;
}
