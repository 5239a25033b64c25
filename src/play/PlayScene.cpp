#include "play/PlayScene.h"

#include "play/Chara.h"
#include "play/Hero.h"
#include "play/Item.h"

cPlayScene::cPlayScene() {
    m_vecGroupChara.resize(8);
    m_vecGroupShot.resize(8);
    m_vecStageVar.assign(PLAY_STAGE_VAR_COUNT, 0);
    m_vecLinkActive.assign(LINK_GROUP_COUNT, 0);
}

cPlayScene::~cPlayScene() {
    if (PlayCtx().lpPlayScene == this) PlayCtx().lpPlayScene = nullptr;
}

void cPlayScene::Run() { RunStates(); }
void cPlayScene::Init() {}
void cPlayScene::FadeIn() {}
void cPlayScene::FadeOut() {}
void cPlayScene::RunState(int nState) { (void)nState; }
