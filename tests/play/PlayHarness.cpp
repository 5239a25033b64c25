#include "play/PlayHarness.h"

#include <gtest/gtest.h>

#include "play/Hero.h"
#include "play/PlayScene.h"
#include "stage/CommonPalette.h"

cPlayHarness::cPlayHarness(const std::vector<std::string>& vecMap) : m_vecMap(vecMap) {
    cBlockData solid;
    solid.m_nGraphic = 1;
    solid.m_nHit = 1;
    m_mapBlock['#'] = solid;
    cBlockData death = solid;
    death.m_nGraphic = 6;
    death.m_nHit = 2;
    m_mapBlock['X'] = death;

    m_Hero.m_strName = "hero";
    m_Hero.m_nOperator = 0;
    m_Hero.m_nGraphic = 1;
    m_Hero.m_nGraphicSheet = 1;
    m_Hero.m_nGroup = 0;
    m_Hero.m_nMaxHp = 10;
    m_Hero.m_nDropItem = -1;

    cCharaData chara;
    chara.m_strName = "chara";
    chara.m_nOperator = 1;
    chara.m_nGraphic = 1;
    chara.m_nGraphicSheet = 1;
    chara.m_nGroup = 1;
    chara.m_nMaxHp = 3;
    chara.m_nDropItem = -1;
    m_mapChara['C'] = chara;

    cItemData item;
    item.m_strName = "item";
    item.m_nGraphic = 1;
    m_mapItem['I'] = item;

    m_System.SetDefault();
    m_Progress.Reset();
    m_Progress.m_nLifeStart = m_Progress.m_nLife = 3;

    m_Ctx.lpStage = &m_Stage;
    m_Ctx.lpPlayStage = &m_Header;
    m_Ctx.lpCharaDef = &m_HeroDef;
    m_Ctx.lpSystem = &m_System;
    m_Ctx.lpProgress = &m_Progress;
    m_Ctx.lpInput = &m_Input;
    m_Ctx.lpHost = &m_Host;
    m_pScope = std::make_unique<cPlayContextScope>(m_Ctx);
    m_pPalette = std::make_unique<cPaletteContext>(GetStageContext());
    m_pPalette->SetPalette(PALETTE_COMMON, recCommonPalette);
    m_pPalette->SetPalette(PALETTE_STAGE, m_Stage);
    m_pStageScope = std::make_unique<cStageContextScope>(*m_pPalette);
    m_pPrevGame = &GetGameState();
    SetGameState(&m_Game);
    m_Game.m_nScene = SCENE_PLAY;
    m_Game.m_nBeforeScene = SCENE_TITLE;
    m_Game.m_nGameMode = GAMEMODE_FREE;
    m_Game.m_nPlayType = PLAYTYPE_FREE;
    m_Game.m_nFps = 60;
    m_Game.m_nFadeStep = 10;
    m_bPrevFreeStart = bFreeStageStart;
    bFreeStageStart = 0;
}

cPlayHarness::~cPlayHarness() {
    m_pScene.reset();
    bFreeStageStart = m_bPrevFreeStart;
    SetGameState(m_pPrevGame == &m_Game ? nullptr : m_pPrevGame);
    m_pStageScope.reset();
    m_pScope.reset();
}

void cPlayHarness::DefineBlock(char c, const cBlockData& block) { m_mapBlock[c] = block; }
void cPlayHarness::DefineChara(char c, const cCharaData& chara) { m_mapChara[c] = chara; }
void cPlayHarness::DefineItem(char c, const cItemData& item) { m_mapItem[c] = item; }

void cPlayHarness::UseStage(const cStage& stage) {
    m_Stage = stage;
    m_bOwnStage = true;
}

void cPlayHarness::BuildStage() {
    if (m_bOwnStage) {
        m_Stage.SetJudgeLevel(m_Stage.m_nJudgeLevel);
        m_Header = m_Stage;
        const int nHero = m_Stage.FindHero();
        if (nHero >= 0) m_HeroDef = m_Stage.m_vCharaPlace[nHero];
        return;
    }
    const int h = static_cast<int>(m_vecMap.size());
    const int w = h ? static_cast<int>(m_vecMap[0].size()) : 0;
    // Settings a test has set stay; the map's contents are laid anew.
    if (m_Stage.m_nWidth == 0) {
        m_Stage.SetDefault();
        m_Stage.m_bShowStartBanner = 0;
        m_Stage.m_bShowStartBanner2 = 0;
    }
    m_Stage.m_nWidth = w;
    m_Stage.m_nHeight = h;
    m_Stage.m_vBlockPlace.clear();
    m_Stage.m_vCharaPlace.clear();
    m_Stage.m_vItemPlace.clear();
    m_Stage.m_vBlockPalette.assign(1, cBlockData());
    m_Stage.m_vCharaPalette.assign(1, cCharaData());
    m_Stage.m_vItemPalette.assign(1, cItemData());
    bool bHero = false;
    for (int y = 0; y < h; y++) {
        for (int x = 0; x < w && x < static_cast<int>(m_vecMap[y].size()); x++) {
            const char c = m_vecMap[y][x];
            auto place = [&](auto rec) {
                rec.m_nX = static_cast<int16_t>(x);
                rec.m_nY = static_cast<int16_t>(y);
                return rec;
            };
            if (c == 'H') {
                // The hero's placement goes first in the list.
                m_Stage.m_vCharaPlace.insert(m_Stage.m_vCharaPlace.begin(), place(m_Hero));
                bHero = true;
            } else if (m_mapBlock.count(c)) {
                m_Stage.m_vBlockPlace.push_back(place(m_mapBlock[c]));
            } else if (m_mapChara.count(c)) {
                m_Stage.m_vCharaPlace.push_back(place(m_mapChara[c]));
            } else if (m_mapItem.count(c)) {
                m_Stage.m_vItemPlace.push_back(place(m_mapItem[c]));
            }
        }
    }
    if (!bHero) m_Stage.m_vCharaPlace.insert(m_Stage.m_vCharaPlace.begin(), m_Hero);
    m_Stage.SetJudgeLevel(m_Stage.m_nJudgeLevel);
    m_Header = m_Stage;
    m_HeroDef = m_Stage.m_vCharaPlace[0];
}

void cPlayHarness::SetUp() {
    BuildStage();
    SetUpBuilt();
}

void cPlayHarness::SetUpBuilt() {
    m_pScene.reset();
    m_pScene = std::make_unique<cPlayScene>();
    for (int i = 0; i < 400 && m_pScene->m_nState != PLAYSTATE_PLAY; i++) Frame();
    ASSERT_EQ(m_pScene->m_nState, PLAYSTATE_PLAY) << "the scene did not reach play";
}

void cPlayHarness::Hold(int16_t wDir, int16_t wButton) {
    m_wDir = wDir;
    m_wButton = wButton;
}

void cPlayHarness::Frame() {
    m_Input.m_wDir = m_wDir;
    m_Input.m_wButton = m_wButton;
    m_Input.m_nDirCode = GetDirCode(m_wDir);
    m_pScene->Run();
}

void cPlayHarness::Frames(int n) {
    for (int i = 0; i < n; i++) Frame();
}

cHero& cPlayHarness::Hero() { return *m_Ctx.vecPlayer.at(0); }
