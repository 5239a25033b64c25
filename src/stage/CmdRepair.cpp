#include "stage/CmdRepair.h"

#include <algorithm>

#include "foundation/Saturate.h"
#include "stage/CmdVocabulary.h"
#include "stage/Flow.h"

int32_t cParamEdit::Get(int i) const { return m_cmd.Param(i); }

void cParamEdit::Set(int i, int64_t v) {
    if (i >= 0 && static_cast<size_t>(i) < m_cmd.m_vParam.size()) m_cmd.m_vParam[i] = SaturateInt32(v);
}

void cParamEdit::Resize(int n) { m_cmd.m_vParam.resize(static_cast<size_t>(std::max(n, 0)), 0); }

void cParamEdit::Insert(int i, int32_t v) {
    auto& vp = m_cmd.m_vParam;
    if (i < 0 || static_cast<size_t>(i) >= vp.size()) return;
    for (size_t k = vp.size() - 1; k > static_cast<size_t>(i); k--) vp[k] = vp[k - 1];
    vp[i] = v;
}

namespace {
// A status index at or above nFrom moved up (a status was inserted there);
// the system's statuses (old subject 2) kept their numbers.
void ShiftStatusOp(cParamEdit& p, int nFrom) {
    if (p.Get(0) == 0 && p.Get(3) != 2 && p.Get(4) >= nFrom) p.Add(4, 1);
    if (p.Get(6) == 2 && p.Get(12) != 2 && p.Get(13) >= nFrom) p.Add(13, 1);
}

// Value plus one, at most 119 (the shot sheet gained a picture at 0).
int64_t NextShotGraphic(int64_t v) { return std::min<int64_t>(v + 1, 119); }

const CMDREPAIR aCmdRepair[] = {
    {145, {17, 0}, false, 9, nullptr},
    // Applied by number: kind 35 of that time is the music command.
    {166, {35, 0}, false, 2, [](cParamEdit& p) { p.Set(1, 1); }},
    {168, {22, 0}, false, CMDREPAIR_NO_RESIZE, [](cParamEdit& p) { ShiftStatusOp(p, 10); }},
    {189, {21, 0}, false, 16, [](cParamEdit& p) { p.Insert(2, 0); }},
    {194, {31, 0}, false, 15, [](cParamEdit& p) { p.Insert(6, 1); }},
    {195, {29, 30}, false, 3, [](cParamEdit& p) { p.Insert(1, 0); }},
    {203, {14, 15}, true, 0, nullptr},
    {203, {16, 0}, true, 4, nullptr},
    {203, {22, 0}, false, CMDREPAIR_NO_RESIZE, [](cParamEdit& p) { ShiftStatusOp(p, 5); }},
    {210, {23, 0}, false, CMDREPAIR_NO_RESIZE, [](cParamEdit& p) {
         if (p.Get(0) != 2 && p.Get(1) >= 6) p.Add(1, 1);
     }},
    {219, {25, 0}, false, CMDREPAIR_NO_RESIZE, [](cParamEdit& p) {
         if (p.Get(0) == 3) p.Set(1, NextShotGraphic(p.Get(1)));
     }},
    {220, {11, 0}, true, CMDREPAIR_NO_RESIZE, [](cParamEdit& p) {
         if (cEdShot* s = p.Cmd().m_pShot.get()) s->m_nGraphic = static_cast<int16_t>(NextShotGraphic(s->m_nGraphic));
     }},
    {514, {5, 0}, true, CMDREPAIR_NO_RESIZE, [](cParamEdit& p) {
         if (cEdMove* m = p.Cmd().m_pMove.get()) { m->m_nAngle = 0; m->m_nAngleInc = 0; m->m_bMirrorAngle = 1; }
     }},
    {545, {19, 0}, false, 18, [](cParamEdit& p) { p.Set(10, 1); }},
    {545, {31, 0}, false, 15, [](cParamEdit& p) { p.Set(11, 0); }},
    {546, {19, 0}, false, CMDREPAIR_NO_RESIZE, [](cParamEdit& p) {
         p.Set(10, (p.Get(0) == 0 || p.Get(0) == 7) ? 1 : 0);
     }},
    {547, {19, 0}, false, 18, [](cParamEdit& p) {
         p.Set(11, 0); p.Set(12, 0); p.Set(13, 0); p.Set(14, 1); p.Set(15, 0);
     }},
    {547, {31, 0}, false, 15, [](cParamEdit& p) { p.Set(12, 0); p.Set(13, 0); }},
    {556, {19, 0}, false, 18, [](cParamEdit& p) { p.Set(16, 1); }},
    {722, {17, 0}, false, CMDREPAIR_NO_RESIZE, [](cParamEdit& p) { if (p.Get(0) >= 2) p.Add(0, 1); }},
    {723, {19, 0}, false, 18, [](cParamEdit& p) { p.Set(17, 0); }},
    {723, {31, 0}, false, 15, [](cParamEdit& p) { p.Set(14, 0); }},
    // The arrange command gained other kinds than the shot (11).
    {726, {37, 0}, false, 5, [](cParamEdit& p) { p.Set(0, 11); }},
    {727, {37, 0}, false, CMDREPAIR_NO_RESIZE, [](cParamEdit& p) {
         if (p.Get(0) != 11) return;
         for (int nAt : {2, 3, 4, 14, 15, 16, 17})
             if (p.Get(1) >= nAt) p.Add(1, 1);
     }},
    // "Vanish" was inserted at 24 (item 9).
    {734, {CMDREPAIR_RENUMBER, 0}, false, CMDREPAIR_NO_RESIZE, nullptr},
    {734, {38, 0}, false, CMDREPAIR_NO_RESIZE, [](cParamEdit& p) { if (p.Get(0) >= 24) p.Add(0, 1); }},
    {747, {21, 0}, false, 16, [](cParamEdit& p) { p.Set(10, 0); p.Set(11, 1); p.Set(14, 0); }},
    {760, {16, 0}, true, 4, [](cParamEdit& p) { p.Set(3, 0); }},
    {764, {16, 0}, true, CMDREPAIR_NO_RESIZE, [](cParamEdit& p) { NewCondList(p.Cmd().m_pCondList); }},
    // One target became targets 1 to 4; the system moved from 2 to 5.
    {767, {9, 0}, true, CMDREPAIR_NO_RESIZE, [](cParamEdit& p) { if (p.Get(0) >= 4) p.Add(0, 6); }},
    {767, {20, 0}, false, CMDREPAIR_NO_RESIZE, [](cParamEdit& p) {
         if (cEdMove* m = p.Cmd().m_pMove.get())
             if (m->m_nMode >= 2) m->m_nMode = static_cast<uint8_t>(m->m_nMode + 3);
     }},
    {767, {21, 0}, false, 16, [](cParamEdit& p) { p.Insert(0, 0); }},
    {767, {22, 0}, false, CMDREPAIR_NO_RESIZE, [](cParamEdit& p) {
         if (p.Get(0) == 0 && p.Get(3) >= 2) p.Add(3, 3);
         if (p.Get(6) == 2 && p.Get(12) >= 2) p.Add(12, 3);
     }},
    {767, {23, 0}, false, CMDREPAIR_NO_RESIZE, [](cParamEdit& p) { if (p.Get(0) >= 2) p.Add(0, 3); }},
    {820, {23, 0}, false, 5, nullptr},
};
}  // namespace

const CMDREPAIR* GetCmdRepairTable(int* pnCount) {
    *pnCount = static_cast<int>(std::size(aCmdRepair));
    return aCmdRepair;
}
