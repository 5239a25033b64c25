#include "flow/ArrangeTable.h"

#include <climits>

cChkVector<cChkVector<ARRANGEPARAM>> ArrangeParamTable;

namespace {

using ROW = cChkVector<ARRANGEPARAM>;

const ARRANGEPARAM aTarget[] = {
    {"目標X(bl)", -640, 640}, {"目標X(dot)", -640, 640}, {"目標Y(bl)", -640, 640}, {"目標Y(dot)", -640, 640},
};
const ARRANGEPARAM aFormation[] = {
    {"フォーメーション固有1", 0, INT_MAX}, {"フォーメーション固有2", 0, INT_MAX}, {"フォーメーション固有3", 0, INT_MAX},
};
const ARRANGEPARAM aSummonOffset[] = {
    {"召喚位置のズレX(dot)", -640, 640}, {"召喚位置のズレY(dot)", -640, 640},
};

template <size_t N>
void Append(ROW& row, const ARRANGEPARAM (&a)[N]) {
    row.insert(row.end(), a, a + N);
}

}  // namespace

void BuildArrangeParamTable() {
    ArrangeParamTable.assign(ARRANGE_KIND_COUNT, ROW());
    auto& t = ArrangeParamTable;

    // Straight move and charge move.
    for (int k : {2, 5}) {
        Append(t[k], aTarget);
        t[k].push_back({"角度", -7200, 7200});
        t[k].push_back({"分身値による増加角度", -7200, 7200});
    }
    // Homing move.
    t[6].push_back({"誘導性能の悪さ", 0, 10});
    t[6].push_back({"分身値による増加誘導性能の悪さ", 0, 10});
    Append(t[6], aTarget);

    // Shot.
    ROW& s = t[11];
    s.push_back({"グラフィック", 1, 120});
    s.push_back({"Z座標", 0, 7});
    Append(s, aFormation);
    s.push_back({"発射数", 1, 127});
    s.push_back({"発射数に対する分身数", 0, 20});
    s.push_back({"角度のズレ", -7200, 7200});
    s.push_back({"分身値による角度のズレ", -7200, 7200});
    s.push_back({"分散角度", 0, 180});
    s.push_back({"発射位置のズレX(dot)", -640, 640});
    s.push_back({"分身値による発射位置のズレX(dot)", -640, 640});
    s.push_back({"発射位置のズレY(dot)", -640, 640});
    s.push_back({"分身値による発射位置のズレY(dot)", -640, 640});
    s.push_back({"勢力", 0, 7});
    s.push_back({"移動タイプ固有1", 0, INT_MAX});
    s.push_back({"移動タイプ固有2", 0, INT_MAX});
    s.push_back({"移動タイプ固有3", 0, INT_MAX});
    s.push_back({"速度", -200, 200});
    s.push_back({"分身値による増加速度", -200, 200});
    s.push_back({"加速度", -200, 200});
    s.push_back({"分身値による増加加速度", -200, 200});
    s.push_back({"飛距離(hbl)", 0, 64});
    s.push_back({"分身値による増加飛距離", -40, 40});
    s.push_back({"存在時間(1/10s)", 1, 999});
    s.push_back({"分身値よる増加存在時間", -99, 99});
    s.push_back({"消滅値", 1, 9});
    s.push_back({"威力", -999999, 999999});
    s.push_back({"衝撃", -20, 20});

    // Sword.
    t[12] = ROW{{"勢力", 0, 7}, {"Z座標", 0, 7}, {"威力", -999999, 999999}, {"衝撃", -20, 20}};

    // Summon block, character, item.
    Append(t[13], aFormation);
    t[13].push_back({"数", 1, 127});
    Append(t[13], aSummonOffset);

    t[14].push_back({"存在時間(1/10s)", 1, 9999});
    t[14].push_back({"勢力", 0, 7});
    Append(t[14], aFormation);
    t[14].push_back({"数", 1, 127});
    Append(t[14], aSummonOffset);

    t[15].push_back({"存在時間(1/10s)", 1, 9999});
    Append(t[15], aFormation);
    t[15].push_back({"数", 1, 127});
    Append(t[15], aSummonOffset);

    t[17] = ROW{{"次のステージの番号", 1, 99},
                {"次のステージの初期位置X(bl)", 0, 999},
                {"次のステージの初期位置Y(bl)", 0, 999},
                {"クリア後のワールドマップの位置X", 0, 999},
                {"クリア後のワールドマップの位置Y", 0, 999}};
    t[19] = ROW{{"メッセージID", 0, 999},
                {"座標X(bl)", 0, 20},
                {"座標Y(bl)", 0, 15},
                {"表示位置のズレX(dot)", -999, 999},
                {"表示位置のズレY(dot)", -999, 999}};
    t[20] = ROW{{"距離(hbl)", 0, 64},          {"分身値による増加距離(hbl)", -40, 40},
                {"目標X(bl)", -640, 640},      {"目標Y(bl)", -640, 640},
                {"目標Xのズレ(dot)", -640, 640}, {"目標Yのズレ(dot)", -640, 640}};
    t[21] = ROW{{"対象勢力", 0, 7}, {"対象キャラID", 0, 99}, {"キャラ変数と比較する数値", -999999, 999999}};
    t[22] = ROW{{"乱数の最小値", -999999, 999999}, {"乱数の最大値", -999999, 999999}};
    t[24] = ROW{{"対象勢力", 0, 7}};
    t[26] = ROW{{"グラフィック", 1, 119}, {"ズレ", -999, 999}};
    t[29] = ROW{{"座標X(bl)", 0, 511},
                {"座標Y(bl)", 0, 511},
                {"表示位置のズレX(dot)", -999, 999},
                {"表示位置のズレY(dot)", -999, 999},
                {"表示倍率(%)", 1, 1000}};
    t[32] = ROW{{"ピクチャーID", 0, 999},
                {"座標X(bl)", 0, 511},
                {"座標Y(bl)", 0, 511},
                {"表示位置のズレX(dot)", -999, 999},
                {"表示位置のズレY(dot)", -999, 999},
                {"表示倍率(%)", 1, 1000}};
    t[33] = ROW{{"R", 0, 255}, {"G", 0, 255}, {"B", 0, 255}, {"%", 0, 100}};
    t[34] = ROW{{"背景番号", 1, 8}};
}
