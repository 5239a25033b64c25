#include "stage/EffectVocabulary.h"

namespace {
constexpr PARAMRANGE E = {"", 0, 0, 0};
constexpr PARAMRANGE TIME5 = {"実行時間(1/10s)", 1, 9999, 5};
constexpr PARAMRANGE TIME10 = {"実行時間(1/10s)", 1, 9999, 10};
constexpr PARAMRANGE EMPTY_SLOT = {"", 0, 0, 0};
}  // namespace

const char* const tblCharaEffectKind[CHARA_EFFECT_KIND_COUNT] = {
    "破裂", "分割（横）", "分割（縦）", "波（横）", "波（縦）", "点滅", "回転A", "回転B",
    "回転（奥）", "円", "拡大", "レンズ", "色変化", "半透明", "モザイク", "ぼかし",
};

#define NOTE(a, b) "Direct3D有効時：" a "\nDirect3D無効時：" b
const char* const tblCharaEffectNote[CHARA_EFFECT_KIND_COUNT] = {
    NOTE("", ""),
    NOTE("", ""),
    NOTE("", ""),
    NOTE("やや遅い", "やや遅い"),
    NOTE("やや遅い", "やや遅い"),
    NOTE("速い", "速い"),
    NOTE("回転Aと回転Bは同じ", "巨大キャラには実行速度重視"),
    NOTE("回転Aと回転Bは同じ", "やや遅い。巨大キャラには描画精度重視"),
    NOTE("", ""),
    NOTE("やや遅い", "やや遅い"),
    NOTE("", ""),
    NOTE("遅過ぎ", "遅い"),
    NOTE("", "画面が8bit色→精度悪い、16bit色以上→やや遅い"),
    NOTE("", "画面が8bit色→精度悪い、16bit色以上→遅過ぎ"),
    NOTE("遅い", "画面が16bit色以上だと遅い"),
    NOTE("遅い", "画面が16bit色以上でのみ有効。遅い"),
};

const PARAMRANGE tblCharaEffectParam[(CHARA_EFFECT_KIND_COUNT + 1) * EFFECT_PARAM_SLOTS] = {
    E, E, E, E, E,
    // 1 burst
    TIME5, {"開始位置(dot)", 0, 999, 0}, {"終了位置(dot)", 0, 999, 32}, E, E,
    // 2, 3 split
    TIME5, {"開始位置(dot)", 0, 999, 0}, {"終了位置(dot)", 0, 999, 32}, {"分割数", 2, 16, 4}, E,
    TIME5, {"開始位置(dot)", 0, 999, 0}, {"終了位置(dot)", 0, 999, 32}, {"分割数", 2, 16, 4}, E,
    // 4, 5 wave
    TIME5, {"開始幅(dot)", 0, 999, 0}, {"終了幅(dot)", 0, 999, 32}, {"波の数", 2, 16, 2}, {"波の粗さ(dot)", 1, 4, 2},
    TIME5, {"開始幅(dot)", 0, 999, 0}, {"終了幅(dot)", 0, 999, 32}, {"波の数", 2, 16, 2}, {"波の粗さ(dot)", 1, 4, 2},
    // 6 blink
    TIME10, {"点滅間隔(1/60s)", 1, 9999, 2}, E, E, E,
    // 7, 8 rotation
    TIME10, {"開始角度", 0, 9999, 0}, {"終了角度", 0, 9999, 1440}, E, E,
    TIME10, {"開始角度", 0, 9999, 0}, {"終了角度", 0, 9999, 1440}, E, E,
    // 9 rotation in depth
    TIME10, {"開始位置(dot)", 0, 9999, 0}, {"終了位置(dot)", 0, 9999, 256}, E, E,
    // 10 circle
    TIME5, {"開始半径(dot)", 0, 32, 32}, {"終了半径(dot)", 0, 32, 0}, {"円の粗さ(dot)", 1, 4, 2}, E,
    // 11 zoom
    TIME10, {"開始幅(dot)", 0, 320, 32}, {"終了幅(dot)", 0, 320, 64}, E, E,
    // 12 lens
    TIME10, {"開始距離", 0, 100, 100}, {"終了距離", 0, 100, 5}, {"ズレX(dot)", -16, 16, 0}, {"ズレY(dot)", -16, 16, 0},
    // 13 colour change
    TIME10, {"開始合成度", 1, 4, 1}, {"終了合成度", 1, 4, 1}, {"色", 16, 207, 16}, E,
    // 14 translucent
    TIME10, {"点滅間隔(1/60s)", 1, 9999, 9999}, E, E, E,
    // 15 mosaic
    TIME10, {"開始強度", 1, 16, 1}, {"終了強度", 1, 16, 8}, E, E,
    // 16 blur
    TIME10, {"開始強度", 1, 4, 1}, {"終了強度", 1, 4, 4}, E, E,
};

const char* const tblScrEffectKind[SCR_EFFECT_KIND_COUNT] = {
    "移動", "振動（横）", "振動（縦）", "分割（横）", "分割（縦）", "波（横）", "波（縦）",
    "点滅", "回転", "円", "拡大", "レンズ", "モザイク",
};

const char* const tblScrEffectNote[SCR_EFFECT_KIND_COUNT] = {
    NOTE("", ""),
    NOTE("", ""),
    NOTE("", ""),
    NOTE("", ""),
    NOTE("", ""),
    NOTE("やや遅い", "やや遅い"),
    NOTE("やや遅い", "やや遅い"),
    NOTE("速い", "速い"),
    NOTE("", "遅い"),
    NOTE("やや遅い", "やや遅い"),
    NOTE("", "やや遅い"),
    NOTE("遅過ぎ", "遅過ぎ"),
    NOTE("遅過ぎ", "画面が16bit色以上だと遅過ぎ"),
};
#undef NOTE

const PARAMRANGE tblScrEffectParam[(SCR_EFFECT_KIND_COUNT + 1) * EFFECT_PARAM_SLOTS] = {
    E, E, E, E, E,
    // 1 move
    TIME10, {"開始座標X(dot)", -640, 640, 0}, {"開始座標Y(dot)", -480, 480, 0}, {"終了座標X(dot)", -640, 640, 640}, {"終了座標Y(dot)", -480, 480, 0},
    // 2, 3 shake
    TIME10, {"振動幅(dot)", 1, 640, 4}, {"振動回数", 1, 9999, 4}, E, E,
    TIME10, {"振動幅(dot)", 1, 480, 4}, {"振動回数", 1, 9999, 4}, E, E,
    // 4, 5 split
    TIME10, {"開始位置(dot)", 0, 640, 0}, {"終了位置(dot)", 0, 640, 640}, {"分割数", 2, 240, 15}, E,
    TIME10, {"開始位置(dot)", 0, 480, 0}, {"終了位置(dot)", 0, 480, 480}, {"分割数", 2, 320, 20}, E,
    // 6, 7 wave
    TIME10, {"開始幅(dot)", 0, 640, 0}, {"終了幅(dot)", 0, 640, 640}, {"波の数", 2, 240, 4}, {"波の粗さ(dot)", 1, 48, 8},
    TIME10, {"開始幅(dot)", 0, 480, 0}, {"終了幅(dot)", 0, 480, 480}, {"波の数", 2, 320, 4}, {"波の粗さ(dot)", 1, 64, 10},
    // 8 blink
    TIME10, {"点滅間隔(1/60s)", 1, 9999, 10}, E, E, E,
    // 9 rotation
    TIME10, {"開始角度", 0, 9999, 0}, {"終了角度", 0, 9999, 1440}, E, E,
    // 10 circle
    TIME10, {"開始半径(dot)", 0, 640, 640}, {"終了半径(dot)", 0, 640, 0}, {"円の粗さ(dot)", 1, 48, 8}, E,
    // 11 zoom
    TIME10, {"開始幅(dot)", 0, 6400, 640}, {"終了幅(dot)", 0, 6400, 1280}, E, E,
    // 12 lens
    TIME10, {"開始距離", 0, 1500, 1500}, {"終了距離", 0, 1500, 5}, {"ズレX(dot)", -320, 320, 0}, {"ズレY(dot)", -240, 240, 0},
    // 13 mosaic
    TIME10, {"開始強度", 1, 240, 1}, {"終了強度", 1, 240, 60}, E, E,
};

const char* const tblShotFormation[SHOT_FORMATION_COUNT] = {"直進A", "直進B", "拡散", "落雷", "爆発", "包囲"};

const PARAMRANGE tblShotFormationParam[SHOT_FORMATION_COUNT * SHOT_PARAM_SLOTS] = {
    {"間隔(hbl)", 0, 40, 0}, E, E,
    {"間隔(hbl)", 0, 40, 0}, E, E,
    {"角度", 0, 180, 30}, E, E,
    {"間隔(hbl)", 0, 40, 0}, {"列の数", 1, 50, 1}, {"列の間隔(hbl)", 0, 40, 0},
    E, E, E,
    {"距離(hbl)", 0, 40, 6}, E, E,
};

const char* const tblShotOrbit[SHOT_ORBIT_COUNT] = {
    "直進", "主人公を狙う", "近いキャラを狙う", "ターゲットを狙う", "主人公へ誘導",
    "近いキャラへ誘導（対象死亡時、誘導を無効化）", "ターゲットへ誘導",
    "近いキャラへ誘導（対象死亡時、対象を変更）", "ウェーブ", "落下",
};

const PARAMRANGE tblShotOrbitParam[SHOT_ORBIT_COUNT * SHOT_PARAM_SLOTS] = {
    E, E, E,
    {"軌道変更(hbl)", 0, 40, 0}, E, E,
    {"軌道変更(hbl)", 0, 40, 0}, {"対象勢力", 0, 7, 0}, E,
    {"軌道変更(hbl)", 0, 40, 0}, E, E,
    {"誘導開始(hbl)", 0, 40, 0}, {"誘導終了(hbl)", 0, 999, 999}, E,
    {"誘導開始(hbl)", 0, 40, 0}, {"誘導終了(hbl)", 0, 999, 999}, {"対象勢力", 0, 7, 0},
    {"誘導開始(hbl)", 0, 40, 0}, {"誘導終了(hbl)", 0, 999, 999}, E,
    {"誘導開始(hbl)", 0, 40, 0}, {"誘導終了(hbl)", 0, 999, 999}, {"対象勢力", 0, 7, 0},
    {"波の最大(hbl)", 0, 100, 4}, {"波の速度", 0, 100, 4}, {"開始角度", 0, 359, 0},
    {"軌道変更(hbl)", 0, 40, 0}, E, E,
};

const char* const aszShotAim[] = {"ターゲット", "主人公", "自分", ""};
const char* const aszBlockSummonMode[] = {"ブロックを召喚", "ブロックを消す", "ブロックがなければ召喚、ブロックがあれば消す", ""};
const char* const aszShotPalette[] = {"コモンパレット", "ステージパレット", ""};
const char* const aszShotPaletteCommon[] = {"コモンパレット", ""};
const char* const aszSummonFaction[] = {"パレットの設定に準ずる", "使用者と同じ", "番号で指定", ""};

namespace {
const PARAMRANGE& Slot(const PARAMRANGE* tbl, int nRows, int nSlots, int nRow, int nSlot) {
    if (nRow < 0 || nRow >= nRows || nSlot < 0 || nSlot >= nSlots) return EMPTY_SLOT;
    return tbl[nRow * nSlots + nSlot];
}
}  // namespace

const PARAMRANGE& GetCharaEffectParam(int nKind, int nSlot) {
    return Slot(tblCharaEffectParam, CHARA_EFFECT_KIND_COUNT + 1, EFFECT_PARAM_SLOTS, nKind, nSlot);
}
const PARAMRANGE& GetScrEffectParam(int nKind, int nSlot) {
    return Slot(tblScrEffectParam, SCR_EFFECT_KIND_COUNT + 1, EFFECT_PARAM_SLOTS, nKind, nSlot);
}
const PARAMRANGE& GetShotFormationParam(int nFormation, int nSlot) {
    return Slot(tblShotFormationParam, SHOT_FORMATION_COUNT, SHOT_PARAM_SLOTS, nFormation, nSlot);
}
const PARAMRANGE& GetShotOrbitParam(int nOrbit, int nSlot) {
    return Slot(tblShotOrbitParam, SHOT_ORBIT_COUNT, SHOT_PARAM_SLOTS, nOrbit, nSlot);
}
