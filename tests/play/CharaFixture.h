#pragma once
// A small play context for the character tests: a stage of 40 x 15 cells
// with b logic steps per frame, default system settings, an empty database,
// a scene with its scroll axes set up and a scripted input.
#include <gtest/gtest.h>

#include <memory>

#include "foundation/InputState.h"
#include "play/Chara.h"
#include "play/Hero.h"
#include "play/PlayContext.h"
#include "play/PlayScene.h"
#include "project/Database.h"
#include "project/SystemData.h"
#include "stage/Stage.h"

class cCharaFixture : public ::testing::Test {
protected:
    cCharaFixture() {
        ctx.lpStage = &stage;
        ctx.lpSystem = &sys;
        ctx.lpDatabase = &db;
        ctx.lpInput = &input;
        ctx.lpPlayScene = &scene;
        SetSubSteps(1);
        scene.m_ScrollX.SetUp(0, 40);
        scene.m_ScrollY.SetUp(1, 15);
        scene.m_ScrollX.m_dCam = 320;
        scene.m_ScrollY.m_dCam = 320;
        input.ClearPatternRuns();
    }
    ~cCharaFixture() override {
        ctx.lstChara.clear();
        ctx.vecPlayer.clear();
        ctx.lpPlayScene = nullptr;
    }

    // Judge levels 11..19 give b = 1..9 steps per frame.
    void SetSubSteps(int b) {
        stage.m_dGravity = 0.4;
        stage.SetJudgeLevel(b == 10 ? 10 : 10 + b);
    }
    // One frame of scripted input.
    void Press(int16_t wDir, int16_t wButton = 0) {
        input.m_wDir = wDir;
        input.m_wButton = wButton;
        input.UpdatePatternRuns();
    }
    cChara* AddChara(const cCharaData& d, double x = 640, double y = 640) {
        auto p = std::make_unique<cChara>();
        cChara* c = p.get();
        ctx.lstChara.push_back(std::move(p));
        c->Setup(static_cast<int>(ctx.lstChara.size()) + 1, &d, nullptr, x, y, 0, nullptr);
        return c;
    }
    cHero* AddHero(const cCharaData& d, double x = 640, double y = 640) {
        auto p = std::make_unique<cHero>();
        cHero* h = p.get();
        ctx.vecPlayer.push_back(std::move(p));
        h->Setup(1, &d, x, y, nullptr);
        return h;
    }

    cPlayContext ctx;
    cPlayContextScope scope{ctx};
    cStage stage;
    cSystemData sys;
    cDatabase db;
    cInputState input;
    cPlayScene scene;
};
