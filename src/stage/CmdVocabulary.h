#pragma once
// The vocabulary of flows and commands: command kinds with their parameter
// counts, item command kinds, triggers, statuses, status flags and the text
// lists that name stored values. The numbering of every table is part of the
// stored data. Only the two parameter counts are read at run time; the rest
// names values and gives the editing bounds the engine implements by number.
#include <cstdint>

struct CMDKINDINFO {
    const char* szName;
    int32_t nParam;
};

struct STATUSINFO {
    const char* szName;
    int32_t nMin, nMax;          // value range
    int32_t nOpMin, nOpMax;      // operand range
    int32_t nFlag1, nFlag2, nFlag3;
};

struct STATUSFLAGINFO {
    const char* szName;
    int32_t nMin, nMax;
    const char* const* lpszOption;  // text list ended by ""
    int32_t nDefault;
};

// Character command kinds (flow commands).
enum eCmdKind {
    CMD_NONE = 0,
    CMD_WAIT = 1,
    CMD_MOVE_STRAIGHT = 2,
    CMD_MOVE_GROUNDTURN = 3,
    CMD_MOVE_CIRCLE = 4,
    CMD_MOVE_CHARGE = 5,
    CMD_MOVE_HOMING = 6,
    CMD_MOVE_AVOID = 7,
    CMD_MOVE_CANCEL = 8,
    CMD_DIRECTION = 9,
    CMD_JUMP = 10,
    CMD_SHOT = 11,
    CMD_SWORD = 12,
    CMD_SUMMON_BLOCK = 13,
    CMD_SUMMON_CHARA = 14,
    CMD_SUMMON_ITEM = 15,
    CMD_FLOW_OP = 16,
    CMD_STAGE_CLEAR = 17,
    CMD_GAME_WAIT = 18,
    CMD_MESSAGE = 19,
    CMD_WARP = 20,
    CMD_SET_TARGET = 21,
    CMD_STATUS = 22,
    CMD_STATUS2 = 23,
    CMD_VANISH = 24,
    CMD_GET_ITEM = 25,
    CMD_GRAPHIC = 26,
    CMD_ANIMESET = 27,
    CMD_ANIME = 28,
    CMD_EFFECT = 29,
    CMD_CHARA_EFFECT = 30,
    CMD_SCR_EFFECT = 31,
    CMD_PICTURE = 32,
    CMD_SCREEN_COLOR = 33,
    CMD_BACKGROUND = 34,
    CMD_SOUND = 35,
    CMD_BGM = 36,
    CMD_CODE = 37,
    CMD_ARRANGE = 38,
    CMD_LOOP = 39,
    CMDKIND_COUNT = 40
};

// Item command kinds: 1 is the flow change, 2..24 are the character kinds
// 17..39 (item kind + 15).
enum eItemCmdKind {
    ITEMCMD_NONE = 0,
    ITEMCMD_FLOW_CHANGE = 1,
    ITEMCMD_FIRST_SHARED = 2,
    ITEMCMDKIND_COUNT = 25
};
constexpr int ITEMCMD_KIND_OFFSET = 15;

constexpr int TRIGGER_COUNT = 23;
constexpr int TRIGGER_ALWAYS = 0;
constexpr int TRIGGER_BEFORE_START = 21;
constexpr int TRIGGER_FLOW_OP_ONLY = 22;

constexpr int COND_KIND_COUNT = 8;
constexpr int CHARA_STATUS_COUNT = 15;
constexpr int SYS_STATUS_COUNT = 5;
constexpr int STATUS_FLAG_COUNT = 7;

extern const CMDKINDINFO tblCmdKind[CMDKIND_COUNT];
extern const CMDKINDINFO tblItemCmdKind[ITEMCMDKIND_COUNT];
extern const char* const tblTrigger[TRIGGER_COUNT + 1];
extern const STATUSINFO tblCharaStatus[CHARA_STATUS_COUNT];
extern const STATUSINFO tblSysStatus[SYS_STATUS_COUNT];
extern const STATUSINFO tblStatusEmpty[2];
extern const STATUSFLAGINFO tblStatusFlag[STATUS_FLAG_COUNT];

// Parameter count of a kind in the numbering bItem chooses; -1 for a kind
// outside the table.
int GetCmdParamCount(bool bItem, int nKind);
// The character kind of an item kind (item kinds 2..24), else -1.
int ItemKindToCmdKind(int nItemKind);
// The character kind a command of either numbering stands for: the kind
// itself for a character command, ItemKindToCmdKind for an item command.
int CmdKindOf(bool bItem, int nKind);
// Name of a kind ("" outside the table).
const char* GetCmdKindName(bool bItem, int nKind);

// Number of texts of a list ended by "". (aszCondKind begins with its empty
// kind 0, so its count is COND_KIND_COUNT instead.)
int TextListCount(const char* const* list);
// Text nIndex of a list ended by ""; "" when out of range.
const char* TextListAt(const char* const* list, int nIndex);

// Text lists naming stored values (each ended by "").
extern const char* const aszOffOn[];
extern const char* const aszOn[];
extern const char* const aszFlight[];
extern const char* const aszInvincible[];
extern const char* const aszGiant[];
extern const char* const aszCondKind[];
extern const char* const aszCondMode[];
extern const char* const aszDistSubject[];
extern const char* const aszDistShape[];
extern const char* const aszDistRange[];
extern const char* const aszDistShow[];
extern const char* const aszCondState[];
extern const char* const aszKeyMode[];
extern const char* const aszKeyState[];
extern const char* const aszFlowId[];
extern const char* const aszFlowIdAll[];
extern const char* const aszFlowGroup[];
extern const char* const aszFlowOpSubject[];
extern const char* const aszFlowOp[];
extern const char* const aszFlowOpTarget[];
extern const char* const aszStatusSubject[];
extern const char* const aszStatusSubjectSys[];
extern const char* const aszHeroSubject[];
extern const char* const aszHeroSubjectSys[];
extern const char* const aszLeftType[];
extern const char* const aszSource[];
extern const char* const aszVarKind[];
extern const char* const aszVarKind3[];
extern const char* const aszPercentMode[];
extern const char* const aszClearMode[];
extern const char* const aszClearDir[];
extern const char* const aszMsgPos[];
extern const char* const aszMsgTime[];
extern const char* const aszTargetChoice[];
extern const char* const aszSearchRange[];
extern const char* const aszTargetFail[];
extern const char* const aszVanishWhat[];
extern const char* const aszScreenRange[];
extern const char* const aszPalette[];
extern const char* const aszPaletteCommon[];
extern const char* const aszPicturePos[];
extern const char* const aszPictureTime[];
extern const char* const aszAnimePlay[];
extern const char* const aszShowHide[];
extern const char* const aszFlowChangeOp[];
extern const char* const aszFlowChangeTarget[];
