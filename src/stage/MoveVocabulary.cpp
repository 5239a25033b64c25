#include "stage/MoveVocabulary.h"

#include "stage/StageContext.h"

const char* const aszDir[] = {"前", "後", "左", "右", "前Y", "後Y", "上", "下", "左上", "左下", "右上", "右下", "入力方向", ""};
const char* const aszMoveMode[] = {"方向で指定", "目標座標で指定", ""};
const char* const aszWarpMode[] = {"方向と距離で指定", "ターゲット1からの方向と距離で指定", "ターゲット2からの方向と距離で指定",
                                   "ターゲット3からの方向と距離で指定", "ターゲット4からの方向と距離で指定", "目標座標で指定", ""};
const char* const aszMoveCoord[] = {"配置位置からの相対座標", "相対座標", "絶対座標", "画面座標", ""};
const char* const aszWarpCoord[] = {"相対座標", "絶対座標", "画面座標", ""};
const char* const aszMoveTarget[] = {"ターゲット1", "ターゲット2", "ターゲット3", "ターゲット4", ""};
const char* const aszCircleTurn[] = {"右回り", "左回り", "左向きなら右回り、右向きなら左回り", "左向きなら左回り、右向きなら右回り", ""};
const char* const aszMoveAnime[] = {"移動アニメ", "静止アニメ", "その他", ""};
const char* const aszTurnTo[] = {"左を向く", "右を向く",
                                 "ターゲット1がいる方を向く", "ターゲット1がいる方の逆を向く",
                                 "ターゲット2がいる方を向く", "ターゲット2がいる方の逆を向く",
                                 "ターゲット3がいる方を向く", "ターゲット3がいる方の逆を向く",
                                 "ターゲット4がいる方を向く", "ターゲット4がいる方の逆を向く",
                                 "最後にブロックが当たった方を向く", "最後にブロックが当たった方の逆を向く", ""};
const char* const aszTimeSpeed[] = {"時間と速度を指定", "時間と距離を指定", "速度と距離を指定", ""};
const char* const aszTimeOrSpeed[] = {"時間を指定", "速度を指定", ""};
const char* const aszJumpHeight[] = {"高さがキーで調節できない", "高さがキーで調節できる(主人公のみ有効)",
                                     "慣性移動速度に応じて高さを決定(主人公のみ有効)", ""};
const char* const aszDistUnit[] = {"(hbl)で指定", "(dot)で指定", ""};

namespace {
// Direction of each input code 0..9.
constexpr int anInputDir[10] = {DIR_FRONT, DIR_LEFT, DIR_RIGHT, DIR_UP, DIR_DOWN,
                                DIR_UP_LEFT, DIR_DOWN_LEFT, DIR_UP_RIGHT, DIR_DOWN_RIGHT, DIR_FRONT};
}

int InputDirToDirForReplay(int nCode, int bNeutralFront, int nFacing, int nReplayVer) {
    if (nCode < 0 || nCode > 9) nCode = 0;
    bool bFlagRule = bNeutralFront != 0;
    if (nReplayVer > 0) {
        if (nReplayVer <= 777) bFlagRule = true;
        else if (nReplayVer <= 779) bFlagRule = false;
    }
    int nSide = nFacing ? DIR_RIGHT : DIR_LEFT;
    if (nCode == 0) return nSide;
    if (nCode == 9 && !bFlagRule) return nSide;
    return anInputDir[nCode];
}

int InputDirToDir(int nCode, int bNeutralFront, int nFacing) {
    return InputDirToDirForReplay(nCode, bNeutralFront, nFacing, GetStageContext().ReplayPlaybackVersion());
}
