#pragma once
// The effect and shot vocabulary: character and screen effect kinds, shot
// formations and trajectories, each with its parameter slots (name, bounds,
// default). The database readers take slot defaults for older entries and
// the arrange mechanism clamps changed parameters to the slot bounds.
#include <cstdint>

struct PARAMRANGE {
    const char* szName;   // "" for an empty slot
    int16_t nMin;
    int16_t nMax;
    int16_t nDefault;
};

constexpr int CHARA_EFFECT_KIND_COUNT = 16;   // kinds 1..16, 0 is none
constexpr int SCR_EFFECT_KIND_COUNT = 13;     // kinds 1..13, 0 is none
constexpr int EFFECT_PARAM_SLOTS = 5;
constexpr int SHOT_FORMATION_COUNT = 6;
constexpr int SHOT_ORBIT_COUNT = 10;
constexpr int SHOT_PARAM_SLOTS = 3;

// Kind names: kind k (1..) at index k - 1.
extern const char* const tblCharaEffectKind[CHARA_EFFECT_KIND_COUNT];
extern const char* const tblScrEffectKind[SCR_EFFECT_KIND_COUNT];
// Notes on the speed of each kind under the two back ends (two lines each).
extern const char* const tblCharaEffectNote[CHARA_EFFECT_KIND_COUNT];
extern const char* const tblScrEffectNote[SCR_EFFECT_KIND_COUNT];
// Row k for kind k, row 0 empty; slot s of row k at k * 5 + s.
extern const PARAMRANGE tblCharaEffectParam[(CHARA_EFFECT_KIND_COUNT + 1) * EFFECT_PARAM_SLOTS];
extern const PARAMRANGE tblScrEffectParam[(SCR_EFFECT_KIND_COUNT + 1) * EFFECT_PARAM_SLOTS];

// Formation f (0..5) and trajectory t (0..9); slot s of a row at row * 3 + s.
extern const char* const tblShotFormation[SHOT_FORMATION_COUNT];
extern const PARAMRANGE tblShotFormationParam[SHOT_FORMATION_COUNT * SHOT_PARAM_SLOTS];
extern const char* const tblShotOrbit[SHOT_ORBIT_COUNT];
extern const PARAMRANGE tblShotOrbitParam[SHOT_ORBIT_COUNT * SHOT_PARAM_SLOTS];

// Checked slot lookups: an out-of-range kind or slot gives the empty slot.
const PARAMRANGE& GetCharaEffectParam(int nKind, int nSlot);
const PARAMRANGE& GetScrEffectParam(int nKind, int nSlot);
const PARAMRANGE& GetShotFormationParam(int nFormation, int nSlot);
const PARAMRANGE& GetShotOrbitParam(int nOrbit, int nSlot);
// The homing trajectories 4..7.
inline bool IsHomingOrbit(int nOrbit) { return nOrbit >= 4 && nOrbit <= 7; }

// Option lists of the shot and summon commands (ended by "").
extern const char* const aszShotAim[];
extern const char* const aszBlockSummonMode[];
extern const char* const aszShotPalette[];
extern const char* const aszShotPaletteCommon[];
extern const char* const aszSummonFaction[];
