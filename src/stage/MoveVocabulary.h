#pragma once
// The movement vocabulary: the 13 directions, the option lists of the move,
// warp, turn and jump commands, and the translation of an input direction
// code into a direction.

// The 13 directions stored in the movement and shot records.
enum eDir {
    DIR_FRONT = 0,
    DIR_BACK = 1,
    DIR_LEFT = 2,
    DIR_RIGHT = 3,
    DIR_FRONT_Y = 4,   // down when facing right, up otherwise
    DIR_BACK_Y = 5,    // up when facing right, down otherwise
    DIR_UP = 6,
    DIR_DOWN = 7,
    DIR_UP_LEFT = 8,
    DIR_DOWN_LEFT = 9,
    DIR_UP_RIGHT = 10,
    DIR_DOWN_RIGHT = 11,
    DIR_INPUT = 12,
    DIR_COUNT = 13
};

constexpr int DOTS_PER_HBL = 16;
constexpr int DOTS_PER_BL = 32;

extern const char* const aszDir[];
extern const char* const aszMoveMode[];
extern const char* const aszWarpMode[];
extern const char* const aszMoveCoord[];
extern const char* const aszWarpCoord[];
extern const char* const aszMoveTarget[];
extern const char* const aszCircleTurn[];
extern const char* const aszMoveAnime[];
extern const char* const aszTurnTo[];
extern const char* const aszTimeSpeed[];
extern const char* const aszTimeOrSpeed[];
extern const char* const aszJumpHeight[];
extern const char* const aszDistUnit[];

// One of the 13 directions for an input direction code 0..9 (0 none, 1..8
// left, right, up, down, up-left, down-left, up-right, down-right, 9 the
// tenth code). nFacing non-zero is facing right. A code outside 0..9 counts
// as 0. While a replay is played back, its version picks the rule (see the
// context's ReplayPlaybackVersion).
int InputDirToDir(int nCode, int bNeutralFront, int nFacing);
// The same with the replay version given (0: no replay is played back).
int InputDirToDirForReplay(int nCode, int bNeutralFront, int nFacing, int nReplayVer);
