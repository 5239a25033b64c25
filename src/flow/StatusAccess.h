#pragma once
// Where the statuses that flows read and change are kept, with their width
// and the range a stored value is clamped to: the fifteen character
// statuses (by index, as the status operations number them), the five
// system values and the variables.
#include <cstdint>

class cCharaBase;

enum : int {
    CSTAT_VAR = 0,
    CSTAT_HP = 1,
    CSTAT_SP = 2,
    CSTAT_MAXHP = 3,
    CSTAT_MAXSP = 4,
    CSTAT_CHARAID = 5,
    CSTAT_Z = 6,
    CSTAT_MARK = 7,
    CSTAT_SIGHT = 8,
    CSTAT_POWER = 9,
    CSTAT_IMP = 10,
    CSTAT_DEF = 11,
    CSTAT_IMPDEF = 12,
    CSTAT_STOP = 13,
    CSTAT_GETSCORE = 14,
    CSTAT_COUNT = 15,
};

enum : int {
    SYSVAL_TIME = 0,
    SYSVAL_SCROLLX = 1,
    SYSVAL_SCROLLY = 2,
    SYSVAL_SCORE = 3,
    SYSVAL_LIFE = 4,
    SYSVAL_COUNT = 5,
};

// A status as storage: a signed field of 1, 2 or 4 bytes with its range.
struct STATUSSLOT {
    void* p = nullptr;
    int32_t nWidth = 4;
    int32_t nMin = 0, nMax = 0;

    bool IsSet() const { return p != nullptr; }
    int32_t Get() const;
    // Stores v clamped to the range, in the field's width.
    void Set(int64_t v) const;
    // The operator with the operand in the field's width, then the range.
    void Apply(int32_t v, int nOp) const;
};

// Character status nStatus of a character (nVar: the character variable for
// status 0). The ranges are those of the status operations (HP and SP
// 0..999999; the caller caps them at the maxima). false for an index or a
// variable number outside the lists or no character.
bool GetCharaStatusSlot(cCharaBase* pChara, int nStatus, int nVar, STATUSSLOT* pOut);

// System value n (time, scroll speeds, score, lives) as storage; false when
// the part that keeps it is not there. The lives' range is 0..99; unlimited
// lives are handled by the callers.
bool GetSystemSlot(int n, STATUSSLOT* pOut);
// The value a system value reads as: the time (0 with bNoLimitZero when the
// stage has no time limit), unlimited lives as 100, or 0 under the rule that
// says so.
int32_t ReadSystemValue(int n, int bNoLimitZero);
bool IsLifeUnlimited();
// The stage's scroll speed of an axis (0 x, 1 y) changed: the scene's axis
// takes it with the axis's scroll mode.
void ApplyScrollSpeed(int nAxis);

// Variables: nKind 0 common, 1 stage; null for a number outside the list.
int32_t* VarPtr(int nKind, int n);

// The hero's sight changed: its radius in dots follows.
void OnSightChanged(cCharaBase* pChara);
// A character's stop resistance changed or was read: its stop deceleration
// follows.
void RefreshStopDecel(cCharaBase* pChara);
