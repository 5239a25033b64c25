// Every arrangeable parameter of every command kind: which field of the
// command an arrange entry writes, and that it writes nothing else.
#include <gtest/gtest.h>

#include <type_traits>
#include <vector>

#include "FlowFixture.h"
#include "flow/Arrange.h"
#include "flow/ArrangeTable.h"
#include "foundation/Record.h"

namespace {

using SETFIELD = void (*)(cEdCmd&, int32_t);

#define MOVE_FIELD(f) [](cEdCmd& c, int32_t v) { c.m_pMove->f = static_cast<std::remove_reference_t<decltype(c.m_pMove->f)>>(v); }
#define SHOT_FIELD(f) [](cEdCmd& c, int32_t v) { c.m_pShot->f = static_cast<std::remove_reference_t<decltype(c.m_pShot->f)>>(v); }
#define PARAM_FIELD(n) [](cEdCmd& c, int32_t v) { c.m_vParam[n] = v; }

// One arrangeable parameter: the command kind (character numbering), the
// entry index, the value set through a stage variable (inside the row's
// bounds, or the formation's or trajectory's own bounds; signed and wide
// values where the field is signed or wide, so a narrower or unsigned
// store shows) and the field that must hold it afterwards.
struct ROW {
    int nKind, nIndex;
    int32_t nValue;
    SETFIELD pfnField;
    const char* pszField;
};

// Written from the parameter descriptor table: kind, index, field.
const ROW aRow[] = {
    // Straight move and charge: target x blocks, x dots, y blocks, y dots, angle, angle per copy.
    {2, 0, -5, MOVE_FIELD(m_nTargetXBl), "target x bl"},
    {2, 1, 640, MOVE_FIELD(m_nTargetXDot), "target x dot"},
    {2, 2, -640, MOVE_FIELD(m_nTargetYBl), "target y bl"},
    {2, 3, 7, MOVE_FIELD(m_nTargetYDot), "target y dot"},
    {2, 4, -7200, MOVE_FIELD(m_nAngle), "angle"},
    {2, 5, 7200, MOVE_FIELD(m_nAngleInc), "angle per copy"},
    {5, 0, -5, MOVE_FIELD(m_nTargetXBl), "target x bl"},
    {5, 1, 640, MOVE_FIELD(m_nTargetXDot), "target x dot"},
    {5, 2, -640, MOVE_FIELD(m_nTargetYBl), "target y bl"},
    {5, 3, 7, MOVE_FIELD(m_nTargetYDot), "target y dot"},
    {5, 4, -7200, MOVE_FIELD(m_nAngle), "angle"},
    {5, 5, 7200, MOVE_FIELD(m_nAngleInc), "angle per copy"},
    // Homing: weakness, weakness per copy, then the four targets.
    {6, 0, 10, MOVE_FIELD(m_nHoming), "homing weakness"},
    {6, 1, 4, MOVE_FIELD(m_nHomingInc), "homing weakness per copy"},
    {6, 2, -5, MOVE_FIELD(m_nTargetXBl), "target x bl"},
    {6, 3, 640, MOVE_FIELD(m_nTargetXDot), "target x dot"},
    {6, 4, -640, MOVE_FIELD(m_nTargetYBl), "target y bl"},
    {6, 5, 7, MOVE_FIELD(m_nTargetYDot), "target y dot"},
    // Shot (formation 3 uses all three own values: 0..40, 1..50, 0..40;
    // trajectory 8 too: 0..100, 0..100, 0..359).
    {11, 0, 120, SHOT_FIELD(m_nGraphic), "graphic"},
    {11, 1, 7, SHOT_FIELD(m_nZ), "z"},
    {11, 2, 40, SHOT_FIELD(m_anFormParam[0]), "formation value 1"},
    {11, 3, 50, SHOT_FIELD(m_anFormParam[1]), "formation value 2"},
    {11, 4, 9, SHOT_FIELD(m_anFormParam[2]), "formation value 3"},
    {11, 5, 127, SHOT_FIELD(m_nCount), "number of shots"},
    {11, 6, 20, SHOT_FIELD(m_nClones), "copies per shot"},
    {11, 7, -7200, SHOT_FIELD(m_nAngle), "angle offset"},
    {11, 8, 7200, SHOT_FIELD(m_nAngleInc), "angle offset per copy"},
    {11, 9, 180, SHOT_FIELD(m_nSpread), "spread"},
    {11, 10, -640, SHOT_FIELD(m_nShiftX), "launch x"},
    {11, 11, 640, SHOT_FIELD(m_nShiftXInc), "launch x per copy"},
    {11, 12, -3, SHOT_FIELD(m_nShiftY), "launch y"},
    {11, 13, 4, SHOT_FIELD(m_nShiftYInc), "launch y per copy"},
    {11, 14, 6, SHOT_FIELD(m_nFaction), "group"},
    {11, 15, 100, SHOT_FIELD(m_anOrbitParam[0]), "trajectory value 1"},
    {11, 16, 55, SHOT_FIELD(m_anOrbitParam[1]), "trajectory value 2"},
    {11, 17, 359, SHOT_FIELD(m_anOrbitParam[2]), "trajectory value 3"},
    {11, 18, -200, SHOT_FIELD(m_nSpeed), "speed"},
    {11, 19, 200, SHOT_FIELD(m_nSpeedInc), "speed per copy"},
    {11, 20, -150, SHOT_FIELD(m_nAccel), "acceleration"},
    {11, 21, 150, SHOT_FIELD(m_nAccelInc), "acceleration per copy"},
    {11, 22, 64, SHOT_FIELD(m_nRange), "range"},
    {11, 23, -40, SHOT_FIELD(m_nRangeInc), "range per copy"},
    {11, 24, 999, SHOT_FIELD(m_nLife), "lifetime"},
    {11, 25, -99, SHOT_FIELD(m_nLifeInc), "lifetime per copy"},
    {11, 26, 9, SHOT_FIELD(m_nVanish), "vanish value"},
    {11, 27, -999999, SHOT_FIELD(m_nPower), "power"},
    {11, 28, -20, SHOT_FIELD(m_nImpact), "impact"},
    // Sword: group, z, power, impact.
    {12, 0, 7, SHOT_FIELD(m_nFaction), "group"},
    {12, 1, 5, SHOT_FIELD(m_nZ), "z"},
    {12, 2, 999999, SHOT_FIELD(m_nPower), "power"},
    {12, 3, 20, SHOT_FIELD(m_nImpact), "impact"},
    // Summon block: three formation values, number, offsets x and y.
    {13, 0, 40, SHOT_FIELD(m_anFormParam[0]), "formation value 1"},
    {13, 1, 50, SHOT_FIELD(m_anFormParam[1]), "formation value 2"},
    {13, 2, 12, SHOT_FIELD(m_anFormParam[2]), "formation value 3"},
    {13, 3, 127, SHOT_FIELD(m_nCount), "number"},
    {13, 4, -640, SHOT_FIELD(m_nShiftX), "offset x"},
    {13, 5, 640, SHOT_FIELD(m_nShiftY), "offset y"},
    // Summon character: the lifetime of a summon is kept in the range field,
    // which is what the summon reads; then group, formation values, number,
    // offsets.
    {14, 0, 9999, SHOT_FIELD(m_nRange), "lifetime (range field)"},
    {14, 1, 3, SHOT_FIELD(m_nFaction), "group"},
    {14, 2, 40, SHOT_FIELD(m_anFormParam[0]), "formation value 1"},
    {14, 3, 1, SHOT_FIELD(m_anFormParam[1]), "formation value 2"},
    {14, 4, 33, SHOT_FIELD(m_anFormParam[2]), "formation value 3"},
    {14, 5, 2, SHOT_FIELD(m_nCount), "number"},
    {14, 6, -1, SHOT_FIELD(m_nShiftX), "offset x"},
    {14, 7, 1, SHOT_FIELD(m_nShiftY), "offset y"},
    // Summon item: lifetime (range field), formation values, number, offsets.
    {15, 0, 1, SHOT_FIELD(m_nRange), "lifetime (range field)"},
    {15, 1, 17, SHOT_FIELD(m_anFormParam[0]), "formation value 1"},
    {15, 2, 50, SHOT_FIELD(m_anFormParam[1]), "formation value 2"},
    {15, 3, 40, SHOT_FIELD(m_anFormParam[2]), "formation value 3"},
    {15, 4, 126, SHOT_FIELD(m_nCount), "number"},
    {15, 5, 5, SHOT_FIELD(m_nShiftX), "offset x"},
    {15, 6, -5, SHOT_FIELD(m_nShiftY), "offset y"},
    // Stage clear: next stage number p1, start x p6, start y p7, map x p3, map y p4.
    {17, 0, 99, PARAM_FIELD(1), "p1"},
    {17, 1, 999, PARAM_FIELD(6), "p6"},
    {17, 2, 998, PARAM_FIELD(7), "p7"},
    {17, 3, 500, PARAM_FIELD(3), "p3"},
    {17, 4, 7, PARAM_FIELD(4), "p4"},
    // Message: id p13, cell x p1, cell y p2, offsets p3, p4.
    {19, 0, 999, PARAM_FIELD(13), "p13"},
    {19, 1, 20, PARAM_FIELD(1), "p1"},
    {19, 2, 15, PARAM_FIELD(2), "p2"},
    {19, 3, -999, PARAM_FIELD(3), "p3"},
    {19, 4, 999, PARAM_FIELD(4), "p4"},
    // Warp: distance, per copy, target x bl, y bl, x dot, y dot.
    {20, 0, 64, MOVE_FIELD(m_nDist), "distance"},
    {20, 1, -40, MOVE_FIELD(m_nDistInc), "distance per copy"},
    {20, 2, -640, MOVE_FIELD(m_nTargetXBl), "target x bl"},
    {20, 3, 640, MOVE_FIELD(m_nTargetYBl), "target y bl"},
    {20, 4, -9, MOVE_FIELD(m_nTargetXDot), "target x dot"},
    {20, 5, 9, MOVE_FIELD(m_nTargetYDot), "target y dot"},
    // Set target: group p2, character id p10, compared value p13.
    {21, 0, 7, PARAM_FIELD(2), "p2"},
    {21, 1, 99, PARAM_FIELD(10), "p10"},
    {21, 2, -999999, PARAM_FIELD(13), "p13"},
    // Status operation: random minimum p8, maximum p9.
    {22, 0, -999999, PARAM_FIELD(8), "p8"},
    {22, 1, 999999, PARAM_FIELD(9), "p9"},
    // Vanish: group p1.
    {24, 0, 5, PARAM_FIELD(1), "p1"},
    // Change graphic: number p1, offset p2.
    {26, 0, 119, PARAM_FIELD(1), "p1"},
    {26, 1, -999, PARAM_FIELD(2), "p2"},
    // Run effect: cell x p2, cell y p3, offsets p4, p5, zoom p6.
    {29, 0, 511, PARAM_FIELD(2), "p2"},
    {29, 1, 1, PARAM_FIELD(3), "p3"},
    {29, 2, -999, PARAM_FIELD(4), "p4"},
    {29, 3, 999, PARAM_FIELD(5), "p5"},
    {29, 4, 1000, PARAM_FIELD(6), "p6"},
    // Show picture: id p13, cell x p2, cell y p3, offsets p4, p5, zoom p7.
    {32, 0, 999, PARAM_FIELD(13), "p13"},
    {32, 1, 511, PARAM_FIELD(2), "p2"},
    {32, 2, 2, PARAM_FIELD(3), "p3"},
    {32, 3, -999, PARAM_FIELD(4), "p4"},
    {32, 4, 999, PARAM_FIELD(5), "p5"},
    {32, 5, 1, PARAM_FIELD(7), "p7"},
    // Screen colour: r p0, g p1, b p2, strength p3.
    {33, 0, 255, PARAM_FIELD(0), "p0"},
    {33, 1, 1, PARAM_FIELD(1), "p1"},
    {33, 2, 128, PARAM_FIELD(2), "p2"},
    {33, 3, 100, PARAM_FIELD(3), "p3"},
    // Background: number p0.
    {34, 0, 8, PARAM_FIELD(0), "p0"},
};

// The bytes of a record's registered fields, in registration order (what a
// file holds of it).
std::vector<uint8_t> RecordBytes(cRecord& rec) {
    rec.RegisterFields(DATA_VERSION);
    std::vector<uint8_t> v;
    for (const FIELDDATA& f : rec.FieldTable()) {
        const auto* p = static_cast<const uint8_t*>(f.lpData);
        v.insert(v.end(), p, p + static_cast<size_t>(f.nCount) * static_cast<size_t>(f.bySize));
    }
    return v;
}

class ArrangeFieldsTest : public ::testing::Test, public cFlowFixture {
protected:
    void SetUp() override {
        BuildArrangeParamTable();
        me = AddChara();
        scene.m_vecStageVar.assign(10, 0);
    }
    // A command of the kind with both sub-records, formation 3 and
    // trajectory 8, every parameter 0.
    static cEdCmd Command(int nKind, bool bItem) {
        cEdCmd c = bItem ? MakeItemCmd(nKind - ITEMCMD_KIND_OFFSET) : MakeCmd(nKind);
        NewEdMove(c.m_pMove);
        NewEdShot(c.m_pShot);
        c.m_pShot->m_nFormation = 3;
        c.m_pShot->m_nType = 8;
        return c;
    }
    void Check(const ROW& r, bool bItem) {
        SCOPED_TRACE(testing::Message() << "kind " << r.nKind << (bItem ? " (item)" : "") << " index " << r.nIndex
                                        << " -> " << r.pszField);
        cEdCmd cmd = Command(r.nKind, bItem);
        cEdCmd want = Command(r.nKind, bItem);
        r.pfnField(want, r.nValue);
        scene.m_vecStageVar[1] = r.nValue;
        ARRANGEENTRY e;
        e.anParam[0] = r.nKind;
        e.anParam[1] = r.nIndex;
        e.anParam[2] = 0;   // set
        e.anParam[3] = 1;   // stage variable
        e.anParam[4] = 1;
        ApplyArrange(cmd, e, me);
        EXPECT_EQ(std::vector<int32_t>(cmd.m_vParam.begin(), cmd.m_vParam.end()),
                  std::vector<int32_t>(want.m_vParam.begin(), want.m_vParam.end()));
        EXPECT_EQ(RecordBytes(*cmd.m_pMove), RecordBytes(*want.m_pMove)) << "movement record";
        EXPECT_EQ(RecordBytes(*cmd.m_pShot), RecordBytes(*want.m_pShot)) << "shot record";
    }
    cChara* me = nullptr;
};

TEST_F(ArrangeFieldsTest, EveryIndexOfEveryKindWritesItsOwnField) {
    // The table covers each row of the descriptor table whole.
    std::vector<int> vCount(40, 0);
    for (const ROW& r : aRow) vCount[static_cast<size_t>(r.nKind)]++;
    for (int k = 0; k < 40; k++) EXPECT_EQ(static_cast<size_t>(vCount[static_cast<size_t>(k)]), ArrangeParamTable[k].size()) << k;

    for (const ROW& r : aRow) {
        Check(r, false);
        // The commands an item list shares (kinds 17 and above) take the
        // same entries as item commands.
        if (r.nKind >= 17) Check(r, true);
    }
}

}  // namespace
