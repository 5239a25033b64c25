#pragma once
// The numbers of the character events that the combat rules fire, the
// overlap test of collision boxes, and the hit-effect hook the damage rules
// call.
#include <cstdint>

class cCharaBase;
struct DDSURFACEDATA;

enum : int {
    EVENT_DAMAGED = 1,
    EVENT_KNOCKED = 2,
    EVENT_DEATH = 3,
    EVENT_TOUCH_CHARA = 4,
    EVENT_TOUCH_SOLID = 5,
    EVENT_ON_SOLID = 6,
    EVENT_SHOT_HIT = 7,
    EVENT_ITEM_TOUCH = 8,
    EVENT_RIDDEN_BY_HERO = 16,
    EVENT_RIDDEN_BY_CHARA = 17,
    EVENT_DEALT_DAMAGE = 18,
    EVENT_DEALT_KNOCK = 19,
    EVENT_ATTACK_HIT = 20,
};

// System sounds of the combat rules.
enum : int { SYSSOUND_PAUSE = 4, SYSSOUND_HIT = 7, SYSSOUND_MISS = 8, SYSSOUND_DEFEAT = 9 };

constexpr int32_t SCORE_MAX = 999999;
constexpr int32_t POWER_MIN = -999999;
constexpr int32_t POWER_MAX = 999999;
constexpr int32_t PLAYTIME_MAX = 599999;   // 99:59.99

// A box as left, top, right, bottom; boxes meet inclusively on all sides.
struct HITRECT {
    double l = 0, t = 0, r = 0, b = 0;
};
inline bool RectsMeet(const HITRECT& a, const HITRECT& b) { return a.l <= b.r && a.r >= b.l && a.t <= b.b && a.b >= b.t; }

// An effect animation of number nEffect at the overlap of two boxes, scaled
// by nScale, appended to the scene's effects (the effect animations).
void AddHitEffect(int nEffect, const HITRECT& a, const HITRECT& b, int nScale);

// The HP and SP gauges over a character while they are shown (not for a
// defeated character); each draw counts the shown frames down.
void DrawCharaGauges(cCharaBase* pChara, DDSURFACEDATA* lpDst);

// The diagnostic step log of play: a hook that receives the labels the
// rules write (the hero's death tests); none by default.
using PLAYSTEPLOGFUNC = void (*)(void* pUser, const char* pszLabel);
void SetPlayStepLog(PLAYSTEPLOGFUNC pfn, void* pUser);
void PlayStepLog(const char* pszLabel);
