#include "stage/CmdVocabulary.h"

const CMDKINDINFO tblCmdKind[CMDKIND_COUNT] = {
    {"", 0},
    {"ウエイト", 0},
    {"直線移動", 0},
    {"地上折り返し移動", 0},
    {"円移動", 0},
    {"突撃移動", 0},
    {"誘導移動", 0},
    {"画面外回避移動", 0},
    {"移動の無効化", 0},
    {"向き変更", 1},
    {"ジャンプ", 5},
    {"ショット", 0},
    {"ソード", 0},
    {"ブロック召喚", 0},
    {"キャラ召喚", 0},
    {"アイテム召喚", 0},
    {"フローの操作", 4},
    {"ステージクリア", 9},
    {"ゲームウエイト", 1},
    {"メッセージ", 18},
    {"ワープ", 0},
    {"ターゲットの設定", 16},
    {"ステータスの操作", 18},
    {"ステータスの操作2", 5},
    {"消滅", 3},
    {"アイテムの取得", 2},
    {"グラフィックの変更", 3},
    {"基本アニメセットの変更", 1},
    {"アニメの実行", 1},
    {"エフェクトの実行", 8},
    {"キャラエフェクトの実行", 3},
    {"画面エフェクトの実行", 3},
    {"ピクチャーの表示", 15},
    {"画面の色を変更", 8},
    {"背景の変更", 2},
    {"効果音の再生", 1},
    {"BGMの再生", 2},
    {"コードの実行", 0},
    {"アレンジ", 5},
    {"ループ", 2},
};

const CMDKINDINFO tblItemCmdKind[ITEMCMDKIND_COUNT] = {
    {"", 0},
    {"フローの変更", 2},
    {"ステージクリア", 9},
    {"ゲームウエイト", 1},
    {"メッセージ", 18},
    {"ワープ", 0},
    {"ターゲットの設定", 16},
    {"ステータスの操作", 18},
    {"ステータスの操作2", 5},
    {"消滅", 3},
    {"アイテムの取得", 2},
    {"グラフィックの変更", 3},
    {"基本アニメセットの変更", 1},
    {"アニメの実行", 1},
    {"エフェクトの実行", 8},
    {"キャラエフェクトの実行", 3},
    {"画面エフェクトの実行", 3},
    {"ピクチャーの表示", 15},
    {"画面の色を変更", 8},
    {"背景の変更", 2},
    {"効果音の再生", 1},
    {"BGMの再生", 2},
    {"コードの実行", 0},
    {"アレンジ", 5},
    {"ループ", 2},
};

const char* const tblTrigger[TRIGGER_COUNT + 1] = {
    "常時",
    "ダメージを受けた時",
    "衝撃を受けた時",
    "死亡した時",
    "キャラに当たった時",
    "ブロックキャラに当たった時",
    "ブロックキャラに乗っている時",
    "ショットに当たった時",
    "アイテムに当たった時",
    "ブロックに当たった時",
    "自分の左右にブロックが当たった時",
    "自分の左にブロックが当たった時",
    "自分の右にブロックが当たった時",
    "自分の上下にブロックが当たった時",
    "自分の上にブロックが当たった時",
    "自分の下にブロックが当たった時",
    "主人公に乗られている時",
    "キャラに乗られている時",
    "アタックでダメージを与えた時",
    "アタックで衝撃を与えた時",
    "アタックを当てた時",
    "ステージ開始前",
    "なし（フローの操作コマンドで実行）",
    "",
};

const STATUSINFO tblCharaStatus[CHARA_STATUS_COUNT] = {
    {"キャラ変数", -999999, 999999, -999999, 999999, 0, 0, 1},
    {"HP", 0, 999999, -999999, 999999, 0, 1, 1},
    {"SP", 0, 999999, -999999, 999999, 0, 1, 1},
    {"最大HP", 0, 999999, -999999, 999999, 0, 0, 1},
    {"最大SP", 0, 999999, -999999, 999999, 0, 0, 1},
    {"キャラID", 0, 99, -99, 99, 0, 0, 0},
    {"Z座標", 0, 8, -8, 8, 0, 0, 0},
    {"マーク番号", 0, 119, -121, 119, 0, 0, 0},
    {"視界範囲(hbl)", 0, 40, -40, 40, 0, 0, 1},
    {"体当たりの威力", -999999, 999999, -999999, 999999, 0, 0, 1},
    {"体当たりの衝撃", -20, 20, -20, 20, 0, 0, 1},
    {"防御力", 0, 999999, -999999, 999999, 0, 0, 1},
    {"衝撃耐性", 0, 20, -20, 20, 0, 0, 1},
    {"止まりやすさ", 0, 200, -200, 200, 0, 0, 1},
    {"倒したら獲得するスコア", -999999, 999999, -999999, 999999, 0, 0, 1},
};

const STATUSINFO tblSysStatus[SYS_STATUS_COUNT] = {
    {"時間", 0, 999, -999, 999, 0, 0, 1},
    {"横スクロール速度", -480, 480, -480, 480, 0, 0, 1},
    {"縦スクロール速度", -480, 480, -480, 480, 0, 0, 1},
    {"スコア", 0, 999999, -999999, 999999, 0, 0, 1},
    {"残り人数", 0, 99, -99, 99, 0, 0, 1},
};

const STATUSINFO tblStatusEmpty[2] = {
    {"", 0, 0, 0, 0, 0, 0, 0},
    {"", 0, 0, 0, 0, 0, 0, 0},
};

const char* const aszOffOn[] = {"OFF", "ON", ""};
const char* const aszOn[] = {"ON", ""};
const char* const aszFlight[] = {"OFF", "ON (ブロックをすり抜ける)", "ON (ブロックに当たる)", "ON (ブロックに当たると即死)", ""};
const char* const aszInvincible[] = {"OFF", "ON (ショットが当たる)", "ON (ショットがすり抜ける)", ""};
const char* const aszGiant[] = {"しない", "×4", "×9", "×16", "×25", "×36", "×49", "×64", "×81", "×100", ""};

const STATUSFLAGINFO tblStatusFlag[STATUS_FLAG_COUNT] = {
    {"消滅", 0, 0, aszOn, 0},
    {"透明", 0, 1, aszOffOn, 0},
    {"向き固定", 0, 1, aszOffOn, 0},
    {"飛行", 0, 3, aszFlight, 0},
    {"無敵", 0, 2, aszInvincible, 0},
    {"巨大化", 1, 10, aszGiant, 1},
    {"オートスクロールとシンクロ", 0, 1, aszOffOn, 0},
};

#define LETTERS_AZ "A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K", "L", "M", "N", "O", "P", "Q", "R", "S", "T", "U", "V", "W", "X", "Y", "Z"
#define LETTERS_az "a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "l", "m", "n", "o", "p", "q", "r", "s", "t", "u", "v", "w", "x", "y", "z"
#define TARGETS_1_4 "ターゲット1", "ターゲット2", "ターゲット3", "ターゲット4"

const char* const aszCondKind[] = {"", "コモン変数条件", "ステージ変数条件", "キャラ変数条件", "ステータス条件", "ステータス条件2", "ステータス条件3", "距離条件", ""};
const char* const aszCondMode[] = {"全ての条件が真なら成立", "1つ以上の条件が真なら成立", ""};
const char* const aszDistSubject[] = {"主人公", TARGETS_1_4, ""};
const char* const aszDistShape[] = {"横", "前", "後", "縦", "前Y", "後Y", "円", ""};
const char* const aszDistRange[] = {"以内", "外", ""};
const char* const aszDistShow[] = {"表示しない", "表示する", "テストプレイ時のみ表示", ""};
const char* const aszCondState[] = {"左向き", "右向き", "ブロックに乗っている(ブロックキャラも含む)", "画面内にいる", "存在している", ""};
const char* const aszKeyMode[] = {"全てのキーが真なら成立", "1つ以上のキーが真なら成立", "1つだけキーが真なら成立", ""};
const char* const aszKeyState[] = {"--", "押", "離", ""};
const char* const aszFlowId[] = {"-", LETTERS_AZ, ""};
const char* const aszFlowIdAll[] = {"全て", LETTERS_AZ, ""};
const char* const aszFlowGroup[] = {"-", LETTERS_az, ""};
const char* const aszFlowOpSubject[] = {"自分", TARGETS_1_4, ""};
const char* const aszFlowOp[] = {"開始", "終了", "一時停止", "再開", "削除", "永久停止", ""};
const char* const aszFlowOpTarget[] = {"このフロー", "このフロー以外全て", "指定IDのフロー", ""};
const char* const aszStatusSubject[] = {"自分", TARGETS_1_4, ""};
const char* const aszStatusSubjectSys[] = {"自分", TARGETS_1_4, "システム", ""};
const char* const aszHeroSubject[] = {"主人公", TARGETS_1_4, ""};
const char* const aszHeroSubjectSys[] = {"主人公", TARGETS_1_4, "システム", ""};
const char* const aszLeftType[] = {"ステータス", "変数", ""};
const char* const aszSource[] = {"定数", "乱数", "ステータス", "変数", ""};
const char* const aszVarKind[] = {"コモン変数", "ステージ変数", ""};
const char* const aszVarKind3[] = {"コモン変数", "ステージ変数", "キャラ変数", ""};
const char* const aszPercentMode[] = {"通常の計算", "最大値に対する％で指定", "現在値に対する％で指定", ""};
const char* const aszClearMode[] = {"次のステージへ", "番号で指定", "パスで指定", "ワールドクリア", ""};
const char* const aszClearDir[] = {"左向き", "右向き", "ステージクリア時の向きと同じ", ""};
const char* const aszMsgPos[] = {"画面中央に表示", "自分の上に表示", "自分の下に表示", "自分の中心に表示", "主人公の上に表示", "主人公の下に表示", "主人公の中心に表示", "画面座標で指定", "ステージ座標で指定", ""};
const char* const aszMsgTime[] = {"進行キーが押されるまで表示", "ステージ終了まで表示", "時間で指定", ""};
const char* const aszTargetChoice[] = {"主人公", "自分", "最も近いキャラ", "キャラ（キャラIDで指定）", "親キャラ（自分を召喚したキャラ）", "子キャラ（最後に召喚したキャラ）", "子キャラ（条件付き。後で召喚したキャラ優先)", TARGETS_1_4, ""};
const char* const aszSearchRange[] = {"全範囲（画面内のキャラ優先）", "全範囲", "画面内", ""};
const char* const aszTargetFail[] = {"ターゲット無し", "ターゲットを変更しない", ""};
const char* const aszVanishWhat[] = {"キャラ", "ショット", "子以下のキャラ", "子のショット", "子以下のキャラと子以下のショット", "子以下のキャラと孫以下のショット", ""};
const char* const aszScreenRange[] = {"画面内", "全範囲", ""};
const char* const aszPalette[] = {"コモンパレット", "ステージパレット", ""};
const char* const aszPaletteCommon[] = {"コモンパレット", ""};
const char* const aszPicturePos[] = {"画面中央に表示", "キャラの中心に表示", "主人公の中心に表示", "画面座標で指定", "ステージ座標で指定", ""};
const char* const aszPictureTime[] = {"進行キーが押されるまで表示", "ステージ終了まで表示", "時間で指定", ""};
const char* const aszAnimePlay[] = {"通常実行", "反転実行", "往復実行", ""};
const char* const aszShowHide[] = {"表示", "非表示", "反転(表示⇔非表示)", ""};
const char* const aszFlowChangeOp[] = {"追加", "変更", "削除", ""};
const char* const aszFlowChangeTarget[] = {"全て削除", LETTERS_AZ, ""};

int GetCmdParamCount(bool bItem, int nKind) {
    if (bItem) return (nKind >= 0 && nKind < ITEMCMDKIND_COUNT) ? tblItemCmdKind[nKind].nParam : -1;
    return (nKind >= 0 && nKind < CMDKIND_COUNT) ? tblCmdKind[nKind].nParam : -1;
}

int ItemKindToCmdKind(int nItemKind) {
    if (nItemKind >= ITEMCMD_FIRST_SHARED && nItemKind < ITEMCMDKIND_COUNT) return nItemKind + ITEMCMD_KIND_OFFSET;
    return -1;
}

int CmdKindOf(bool bItem, int nKind) {
    if (bItem) return ItemKindToCmdKind(nKind);
    return (nKind >= 0 && nKind < CMDKIND_COUNT) ? nKind : -1;
}

const char* GetCmdKindName(bool bItem, int nKind) {
    if (bItem) return (nKind >= 0 && nKind < ITEMCMDKIND_COUNT) ? tblItemCmdKind[nKind].szName : "";
    return (nKind >= 0 && nKind < CMDKIND_COUNT) ? tblCmdKind[nKind].szName : "";
}

int TextListCount(const char* const* list) {
    int n = 0;
    while (list[n][0] != '\0') n++;
    return n;
}

const char* TextListAt(const char* const* list, int nIndex) {
    if (nIndex < 0 || nIndex >= TextListCount(list)) return "";
    return list[nIndex];
}
