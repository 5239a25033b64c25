// The emitters of the shot and summon commands, the six formations with
// their placements and aiming, and the creation step.
#include <algorithm>
#include <cmath>

#include "flow/FlowRun.h"
#include "foundation/InvSqrt2.h"
#include "play/CharaBase.h"
#include "play/CharaSearch.h"
#include "play/Chara.h"
#include "play/Hero.h"
#include "play/Item.h"
#include "play/PlayMap.h"
#include "play/PlayScene.h"
#include "play/Shot.h"
#include "project/SystemData.h"
#include "stage/CommonPalette.h"
#include "stage/MoveVocabulary.h"
#include "stage/Stage.h"

namespace {
const double K = INV_SQRT2;
constexpr double DEG_TO_RAD = 0.017453292519943295;

int Trunc(double d) { return TruncDot(d); }

// The shooter's (or target's) screen rectangle with its frame size.
struct SRECT {
    int left, top, right, bottom, w, h;
};
SRECT RectOf(const cObj* p) {
    return {p->m_rcScreen.left, p->m_rcScreen.top, p->m_rcScreen.right, p->m_rcScreen.bottom, p->m_nFrameW,
            p->m_nFrameH};
}
double CamX() { return PlayScrollX().m_dCam; }
double CamY() { return PlayScrollY().m_dCam; }

void SetVelocity(SHOTLAUNCH& l, double dAngle) {
    double r = dAngle * DEG_TO_RAD;
    l.dVx = -std::cos(r) * l.dSpeed;
    l.dVy = -std::sin(r) * l.dSpeed;
}

int Count(const cEdShot& rec) { return std::clamp<int>(rec.m_nCount, 0, SHOT_COUNT_MAX); }
int Spacing(const cEdShot& rec) { return static_cast<int>(rec.m_anFormParam[0]) * 16; }
bool WithAngle(const cEdShot& rec, const SHOTLAUNCH& l) { return l.nAngle != 0 || rec.m_bAimTarget; }

// The diagonal corner points beside the shooter.
struct CORNERS {
    int xm, xp, ym, yp;
};
CORNERS Corners(const SRECT& S, int w, int h) {
    const double cx = Trunc(CamX()), cy = Trunc(CamY());
    CORNERS c;
    c.xm = Trunc(S.w / 2 + cx + S.left - K * (S.w / 2 + w / 2 - 1) - w / 2);
    c.xp = Trunc(S.w / 2 + cx + S.left + K * (S.right + w / 2 - S.w / 2 - S.left + 1) - w / 2);
    c.ym = Trunc(cy + S.top + S.h / 2 - K * (S.h / 2 + h / 2) - h / 2);
    c.yp = Trunc(cy + S.top + S.h / 2 + K * (S.bottom + h / 2 - S.top - S.h / 2 + 1) - h / 2);
    return c;
}

void AddShift(SHOTLAUNCH& l) {
    l.nBaseX += l.nShiftX;
    l.nBaseY += l.nShiftY;
}

// The object a lightning or an encirclement centres on.
cObj* FormTarget(cObj* S, const cEdShot& rec) {
    switch (rec.m_nAimAt) {
    case 0: return GetTargetSlot(S, rec.m_nTargetA);
    case 1: return vecPlayer().empty() ? nullptr : vecPlayer()[0].get();
    case 2: return S;
    default: return nullptr;
    }
}

bool IsRight(const cObj* p) { return p && p->m_nDir != 0; }

int FacingArg(const cObj* p) { return IsRight(p) ? 1 : 0; }

int MirroredAngle(const cEdShot& rec, const cObj* S, int64_t a) {
    if (rec.m_bMirrorAngle && IsRight(S)) a = 360 - a;
    if (rec.m_nSpread != 0) a += PlayRandom().Get(-rec.m_nSpread, rec.m_nSpread);
    return static_cast<int>(std::clamp<int64_t>(a, INT32_MIN, INT32_MAX));
}

cCharaBase* AsChara(cObj* p) { return dynamic_cast<cCharaBase*>(p); }
}   // namespace

double DirAngle(int nDir) {
    switch (nDir) {
    case 3: return 180;
    case 6: return 90;
    case 7: return 270;
    case 8: return 45;
    case 9: return 315;
    case 10: return 135;
    case 11: return 225;
    default: return 0;
    }
}

int ResolveShotDir(int nCode, const cObj* pShooter, const cFlowRun* pFlow) {
    const bool bRight = IsRight(pShooter);
    if (nCode == 12) {
        nCode = InputDirToDir(pFlow ? pFlow->m_nInputDir : 0, 0, bRight ? 1 : 0);
        if (nCode == 12) nCode = 0;
    }
    switch (nCode) {
    case 0: return bRight ? 3 : 2;
    case 1: return bRight ? 2 : 3;
    case 4: return bRight ? 7 : 6;
    case 5: return bRight ? 6 : 7;
    default: break;
    }
    if (nCode < 0 || nCode > SHOT_DIRCODE_MAX) return -1;
    return nCode;
}

cObj* GetTargetSlot(const cObj* pShooter, int nSlot) {
    const cCharaBase* c = dynamic_cast<const cCharaBase*>(pShooter);
    if (!c || nSlot < 0 || nSlot >= static_cast<int>(c->m_vecTarget.size())) return nullptr;
    return c->m_vecTarget[nSlot].Get();
}

double AimAngle(int x, int y, cObj* S, cEdShot& rec, SHOTLAUNCH& l) {
    cObj* T = GetTargetSlot(S, rec.m_nTargetA);
    if (!T) return IsRight(S) ? 180 : 0;
    const cScroll& sx = PlayScrollX();
    const cScroll& sy = PlayScrollY();
    const bool bStill = (sx.m_dSpeed == 0 || sx.m_bHeld) && (sy.m_dSpeed == 0 || sy.m_bHeld);
    const SRECT t = RectOf(T);
    if (bStill || rec.m_bScrollSync || !T->m_bScrollSync) {
        double tx = Trunc(CamX()) + t.w / 2 + t.left;
        double ty = Trunc(CamY()) + t.h / 2 + t.top;
        return std::atan2(ty - y, tx - x) * RAD_TO_DEG + 180 + 0.5;
    }
    // The target moves with the auto-scroll and the shot does not: aim where
    // they meet.
    cShot probe;
    probe.Setup(0, S, SHOTKIND_SHOT, rec, l);
    const double b = PlayStage().m_dStepFactor > 0 ? PlayStage().m_dStepFactor : 1.0;
    double e = (static_cast<double>(rec.m_nSpeed) + static_cast<double>(rec.m_nSpeedInc) * probe.m_nSetupParam) * 0.1 / b;
    double vx = 0, vy = 0;
    int nDir = 0;
    SolveMove(&vx, &vy, &nDir, &probe, x - Trunc(CamX()), y - Trunc(CamY()), t.left + t.w / 2, t.top + t.h / 2, e,
              rec.m_bScrollSync, 0, 0);
    l.dSpeed = std::sqrt(vx * vx + vy * vy) * b;
    return std::atan2(vy, vx) * RAD_TO_DEG + 180;
}

void PlaceRow(SHOTLAUNCH& l, const cObj* pS, const cEdShot& rec) {
    const SRECT S = RectOf(pS);
    const int n = Count(rec), W = Spacing(rec), w = l.nWidth, h = l.nHeight;
    const double cx = CamX(), cy = CamY();
    const int cxT = Trunc(cx), cyT = Trunc(cy);
    const int centreX = cxT + S.left + S.w / 2, centreY = cyT + S.top + S.h / 2;
    const double s = l.dSpeed, Ks = K * s;
    const double dx = K * (n - 1) * (W / 2 + w / 2), dy = K * (n - 1) * (W / 2 + h / 2);
    const CORNERS c = Corners(S, w, h);
    switch (l.nDir) {
    case 2:
    case 3:
        l.nBaseX = l.nDir == 2 ? Trunc(S.left + cx + 1 - w) : Trunc(S.right + cx + 1);
        l.nBaseY = centreY - (n - 1) * W / 2 - n * h / 2;
        l.nStepX = 0;
        l.nStepY = h + W;
        l.dVx = l.nDir == 2 ? -s : s;
        l.dVy = 0;
        break;
    case 6:
    case 7:
        l.nBaseX = centreX - (n - 1) * W / 2 - n * w / 2;
        l.nBaseY = l.nDir == 6 ? cyT + S.top - h : cyT + S.bottom + 1;
        l.nStepX = w + W;
        l.nStepY = 0;
        l.dVx = 0;
        l.dVy = l.nDir == 6 ? -s : s;
        break;
    case 8:
        l.nBaseX = Trunc(c.xm - dx);
        l.nBaseY = Trunc(c.ym + dy);
        l.nStepX = W + w;
        l.nStepY = -W - h;
        l.dVx = -Ks;
        l.dVy = -Ks;
        break;
    case 9:
        l.nBaseX = Trunc(c.xm - dx);
        l.nBaseY = Trunc(c.yp - dy);
        l.nStepX = W + w;
        l.nStepY = W + h;
        l.dVx = -Ks;
        l.dVy = Ks;
        break;
    case 10:
        l.nBaseX = Trunc(c.xp - dx);
        l.nBaseY = Trunc(c.ym - dy);
        l.nStepX = W + w;
        l.nStepY = W + h;
        l.dVx = Ks;
        l.dVy = -Ks;
        break;
    case 11:
        l.nBaseX = Trunc(c.xp - dx);
        l.nBaseY = Trunc(c.yp + dy);
        l.nStepX = W + w;
        l.nStepY = -W - h;
        l.dVx = Ks;
        l.dVy = Ks;
        break;
    default:
        return;
    }
    AddShift(l);
}

void PlaceStack(SHOTLAUNCH& l, const cObj* pS, const cEdShot& rec) {
    const SRECT S = RectOf(pS);
    const int W = Spacing(rec), w = l.nWidth, h = l.nHeight;
    const double cx = CamX(), cy = CamY();
    const double s = l.dSpeed, Ks = K * s;
    const int nLeftX = Trunc(S.left + cx + 1 - w), nRightX = Trunc(cx + S.right + 1);
    static const struct { int8_t nSide; int8_t vx, vy; bool bDiag; } aTbl[12] = {
        {0, 0, 0, false}, {0, 0, 0, false}, {-1, -1, 0, false}, {1, 1, 0, false}, {0, 0, 0, false},
        {0, 0, 0, false}, {0, 0, -1, false}, {0, 0, 1, false}, {-1, -1, -1, true}, {-1, -1, 1, true},
        {1, 1, -1, true}, {1, 1, 1, true},
    };
    if (l.nDir < 2 || l.nDir > 11 || l.nDir == 4 || l.nDir == 5) return;
    const auto& e = aTbl[l.nDir];
    l.nBaseY = Trunc(cy) + S.bottom - h + 1;
    l.nStepX = 0;
    l.nStepY = -W - h;
    int nSide = e.nSide != 0 ? e.nSide : (IsRight(pS) ? 1 : -1);
    l.nBaseX = nSide > 0 ? nRightX : nLeftX;
    const double v = e.bDiag ? Ks : s;
    l.dVx = e.vx * v;
    l.dVy = e.vy * v;
    AddShift(l);
}

void PlaceFront(SHOTLAUNCH& l, const cObj* pS) {
    const SRECT S = RectOf(pS);
    const int w = l.nWidth, h = l.nHeight;
    const int cxT = Trunc(CamX()), cyT = Trunc(CamY());
    const int centreX = cxT + S.left + S.w / 2, centreY = cyT + S.top + S.h / 2;
    const CORNERS c = Corners(S, w, h);
    switch (l.nDir) {
    case 2: l.nBaseX = cxT + S.left - w + 1; l.nBaseY = centreY - h / 2; break;
    case 3: l.nBaseX = cxT + S.right + 1; l.nBaseY = centreY - h / 2; break;
    case 6: l.nBaseX = centreX - w / 2; l.nBaseY = cyT + S.top - h; break;
    case 7: l.nBaseX = centreX - w / 2; l.nBaseY = cyT + S.bottom + 1; break;
    case 8: l.nBaseX = c.xm; l.nBaseY = c.ym; break;
    case 9: l.nBaseX = c.xm; l.nBaseY = c.yp; break;
    case 10: l.nBaseX = c.xp; l.nBaseY = c.ym; break;
    case 11: l.nBaseX = c.xp; l.nBaseY = c.yp; break;
    default: return;
    }
    AddShift(l);
}

void RotatePlacement(SHOTLAUNCH& l, const cObj* pS, double dAngle) {
    const SRECT S = RectOf(pS);
    const int w = l.nWidth, h = l.nHeight;
    const double rx = K * (w / 2 + S.right - S.left - S.w / 2 + 1);
    const double ry = K * (S.bottom + h / 2 - S.top - S.h / 2 + 1);
    const double th = (dAngle + 225.0) * DEG_TO_RAD;
    l.nBaseX = Trunc(S.left + S.w / 2 + CamX() + ry * std::sin(th) + rx * std::cos(th) - w / 2);
    l.nBaseY = Trunc(S.top + S.h / 2 + CamY() + rx * std::sin(th) - ry * std::cos(th) - h / 2);
}

void PlaceRowRotated(SHOTLAUNCH& l, cObj* pS, cEdShot& rec) {
    const int w = l.nWidth, h = l.nHeight;
    if (!rec.m_bRotate) {
        PlaceRow(l, pS, rec);
        double c = rec.m_bAimTarget ? Trunc(AimAngle(l.nBaseX + w / 2, l.nBaseY + h / 2, pS, rec, l)) : DirAngle(l.nDir);
        SetVelocity(l, c + l.nAngle);
        return;
    }
    const SRECT S = RectOf(pS);
    const int n = Count(rec), W = Spacing(rec);
    double c;
    if (rec.m_bAimTarget)
        c = Trunc(AimAngle(Trunc(CamX()) + S.w / 2 + l.nShiftX + S.left, Trunc(CamY()) + S.h / 2 + l.nShiftY + S.top,
                           pS, rec, l)) +
            l.nAngle;
    else
        c = DirAngle(l.nDir) + l.nAngle;
    RotatePlacement(l, pS, c);
    AddShift(l);
    if (rec.m_bAimTarget) c = Trunc(AimAngle(l.nBaseX + w / 2, l.nBaseY + h / 2, pS, rec, l)) + l.nAngle;
    const double sg = std::sin(c * DEG_TO_RAD), cg = std::cos(c * DEG_TO_RAD);
    const double hx = (W / 2 + w / 2) * static_cast<double>(n - 1), hy = (W / 2 + h / 2) * static_cast<double>(n - 1);
    if ((sg >= 0 && cg >= 0) || (sg < 0 && cg < 0)) {
        l.nBaseX = Trunc(l.nBaseX - sg * hx);
        l.nStepX = Trunc(sg * (W + w));
        l.nBaseY = Trunc(l.nBaseY + cg * hy);
        l.nStepY = Trunc(cg * (-W - h));
    } else {
        l.nBaseX = Trunc(l.nBaseX + sg * hx);
        l.nStepX = Trunc(sg * (-W - w));
        l.nBaseY = Trunc(l.nBaseY - cg * hy);
        l.nStepY = Trunc(cg * (W + h));
    }
    l.dVx = -cg * l.dSpeed;
    l.dVy = -sg * l.dSpeed;
}

void PlaceStackAimed(SHOTLAUNCH& l, cObj* pS, cEdShot& rec) {
    PlaceStack(l, pS, rec);
    double c = rec.m_bAimTarget ? Trunc(AimAngle(l.nBaseX + l.nWidth / 2, l.nBaseY + l.nHeight / 2, pS, rec, l))
                                : DirAngle(l.nDir);
    SetVelocity(l, c + l.nAngle);
}

void PlaceFrontRotated(SHOTLAUNCH& l, cObj* pS, cEdShot& rec) {
    if (!rec.m_bRotate) {
        PlaceFront(l, pS);
        return;
    }
    const SRECT S = RectOf(pS);
    double c = rec.m_bAimTarget ? Trunc(AimAngle(Trunc(CamX()) + S.w / 2 + l.nShiftX + S.left,
                                                 Trunc(CamY()) + S.h / 2 + l.nShiftY + S.top, pS, rec, l))
                                : DirAngle(l.nDir);
    RotatePlacement(l, pS, c + l.nAngle);
    AddShift(l);
}

void PlaceFromEdge(SHOTLAUNCH& l, const cObj* pT, const cEdShot& rec) {
    const SRECT T = RectOf(pT);
    const int w = l.nWidth, h = l.nHeight;
    const int a = std::clamp<int>(rec.m_anFormParam[1], 0, SHOT_LINES_MAX);
    const int B = rec.m_anFormParam[2];
    const int c = 16 * B, e = ((a - 1) / 2) * c, f = (a % 2) ? e : e + 8 * B;
    const int u = PlaySystem().m_bRule555 ? 0 : Spacing(rec);
    const double cx = CamX(), cy = CamY();
    const int cxT = Trunc(cx), cyT = Trunc(cy);
    const double s = l.dSpeed, Ks = K * s;
    const double tx = T.left + T.w / 2, ty = T.top + T.h / 2;
    const bool bLines = a >= 2;
    l.nLineStepX = l.nLineStepY = 0;
    switch (l.nDir) {
    case 2:
    case 3:
        l.nBaseX = l.nDir == 2 ? Trunc(cx + 640 - w) : cxT;
        l.nBaseY = cyT + T.h / 2 + T.top - h / 2;
        l.nStepX = l.nDir == 2 ? -w - u : w + u;
        l.nStepY = 0;
        l.dVx = l.nDir == 2 ? -s : s;
        l.dVy = 0;
        if (bLines) {
            l.nLineStepY = c;
            l.nBaseY -= f;
        }
        break;
    case 6:
    case 7:
        l.nBaseX = cxT + T.w / 2 + T.left - w / 2;
        l.nBaseY = l.nDir == 6 ? Trunc(cy + 480 - h) : cyT;
        l.nStepX = 0;
        l.nStepY = l.nDir == 6 ? -h - u : h + u;
        l.dVx = 0;
        l.dVy = l.nDir == 6 ? -s : s;
        if (bLines) {
            l.nLineStepX = c;
            l.nBaseX -= f;
        }
        break;
    case 8:
    case 9:
    case 10:
    case 11: {
        const bool bLeftward = l.nDir == 8 || l.nDir == 9;   // shots come from the right edge
        const bool bUpward = l.nDir == 8 || l.nDir == 10;    // shots come from the bottom edge
        const double dx = bLeftward ? 640 - tx : tx;
        const double dy = bUpward ? 480 - ty : ty;
        if (dx < dy) {
            l.nBaseX = bLeftward ? Trunc(cx + 640 - w) : Trunc(cx);
            l.nBaseY = bUpward ? Trunc(cy + ty + dx - h) : Trunc(cy + ty - dx);
        } else {
            l.nBaseX = bLeftward ? Trunc(cx + tx + dy - w) : Trunc(cx + tx - dy);
            l.nBaseY = bUpward ? Trunc(cy + 480 - h) : Trunc(cy);
        }
        l.nStepX = bLeftward ? Trunc(K * (-w - u)) : Trunc(K * (w + u));
        l.nStepY = bUpward ? Trunc(K * (-h - u)) : Trunc(K * (h + u));
        l.dVx = bLeftward ? -Ks : Ks;
        l.dVy = bUpward ? -Ks : Ks;
        if (bLines) {
            // 8 and 11 lay their lines one way, 9 and 10 the other.
            const bool bFirst = l.nDir == 8 || l.nDir == 11;
            l.nLineStepX = Trunc(K * c);
            l.nLineStepY = bFirst ? Trunc(-K * c) : Trunc(K * c);
            l.nBaseX -= Trunc(K * f);
            l.nBaseY += bFirst ? Trunc(K * f) : -Trunc(K * f);
        }
        break;
    }
    default:
        return;
    }
    AddShift(l);
}

void PlaceFromEdgeAimed(SHOTLAUNCH& l, const cObj* pT, const cEdShot& rec) {
    PlaceFromEdge(l, pT, rec);
    SetVelocity(l, l.nAngle + DirAngle(l.nDir));
}

void PlaceCentre(SHOTLAUNCH& l, const cObj* pS) {
    const SRECT S = RectOf(pS);
    l.nBaseX = Trunc(S.left + S.w / 2 + CamX() - l.nWidth / 2);
    l.nBaseY = Trunc(S.top + S.h / 2 + CamY() - l.nHeight / 2);
    AddShift(l);
}

// --- formations ---

namespace {
// Count(rec) shots from the base point, each one step further on.
void CreateInLine(SHOTLIST* pList, int nKind, cObj* S, cEdShot& rec, SHOTLAUNCH& l) {
    l.nX = l.nBaseX;
    l.nY = l.nBaseY;
    for (int i = 0, n = Count(rec); i < n; i++) {
        CreateLaunched(pList, nKind, l, S, rec);
        l.nX += l.nStepX;
        l.nY += l.nStepY;
    }
}
}   // namespace

void ShotForm_StraightA(SHOTLIST* pList, int nKind, cObj* S, cEdShot& rec, SHOTLAUNCH& l) {
    if (WithAngle(rec, l))
        PlaceRowRotated(l, S, rec);
    else
        PlaceRow(l, S, rec);
    CreateInLine(pList, nKind, S, rec, l);
}

void ShotForm_StraightB(SHOTLIST* pList, int nKind, cObj* S, cEdShot& rec, SHOTLAUNCH& l) {
    if (WithAngle(rec, l))
        PlaceStackAimed(l, S, rec);
    else
        PlaceStack(l, S, rec);
    CreateInLine(pList, nKind, S, rec, l);
}

void ShotForm_Spread(SHOTLIST* pList, int nKind, cObj* S, cEdShot& rec, SHOTLAUNCH& l) {
    const int n = Count(rec);
    if (n <= 0) return;
    if (WithAngle(rec, l))
        PlaceFrontRotated(l, S, rec);
    else
        PlaceFront(l, S);
    double c = rec.m_bAimTarget ? Trunc(AimAngle(l.nBaseX + l.nWidth / 2, l.nBaseY + l.nHeight / 2, S, rec, l))
                                : DirAngle(l.nDir);
    const double A = rec.m_anFormParam[0];
    const double half = (n % 2) ? (n - 1) / 2 : n / 2 - 0.5;
    const double first = c + l.nAngle - A * half;
    l.nX = l.nBaseX;
    l.nY = l.nBaseY;
    for (int i = 0; i < n; i++) {
        SetVelocity(l, first + A * i);
        CreateLaunched(pList, nKind, l, S, rec);
    }
}

void ShotForm_Lightning(SHOTLIST* pList, int nKind, cObj* S, cEdShot& rec, SHOTLAUNCH& l) {
    cObj* T = FormTarget(S, rec);
    if (!T) return;
    if (l.nAngle != 0)
        PlaceFromEdgeAimed(l, T, rec);
    else
        PlaceFromEdge(l, T, rec);
    const int nLines = std::clamp<int>(rec.m_anFormParam[1], 0, SHOT_LINES_MAX);
    int x = l.nBaseX, y = l.nBaseY;
    for (int i = 0, n = Count(rec); i < n; i++) {
        l.nX = x;
        l.nY = y;
        for (int j = 0; j < nLines; j++) {
            CreateLaunched(pList, nKind, l, S, rec);
            l.nX += l.nLineStepX;
            l.nY += l.nLineStepY;
        }
        x += l.nStepX;
        y += l.nStepY;
    }
}

void ShotForm_Explosion(SHOTLIST* pList, int nKind, cObj* S, cEdShot& rec, SHOTLAUNCH& l) {
    const int n = Count(rec);
    if (n <= 0) return;
    PlaceCentre(l, S);
    const double c = DirAngle(l.nDir) + l.nAngle;
    l.nX = l.nBaseX;
    l.nY = l.nBaseY;
    for (int i = 0; i < n; i++) {
        SetVelocity(l, c + i * (360.0 / n));
        CreateLaunched(pList, nKind, l, S, rec);
    }
}

void ShotForm_Encircle(SHOTLIST* pList, int nKind, cObj* S, cEdShot& rec, SHOTLAUNCH& l) {
    const int n = Count(rec);
    cObj* T = FormTarget(S, rec);
    if (!T || n <= 0) return;
    const SRECT t = RectOf(T);
    const double r = static_cast<double>(rec.m_anFormParam[0]) * 16;
    const int x0 = Trunc(t.left + t.w / 2 + CamX() - l.nWidth / 2 + l.nShiftX);
    const int y0 = Trunc(t.top + t.h / 2 + CamY() - l.nHeight / 2 + l.nShiftY);
    double u = DirAngle(l.nDir) + l.nAngle;
    for (int i = 0; i < n; i++, u += 360.0 / n) {
        double ru = u * DEG_TO_RAD;
        l.nX = Trunc(r * std::cos(ru) + 0.5) + x0;
        l.nY = Trunc(r * std::sin(ru) + 0.5) + y0;
        l.dVx = -std::cos(ru) * l.dSpeed;
        l.dVy = -std::sin(ru) * l.dSpeed;
        CreateLaunched(pList, nKind, l, S, rec);
    }
}

const SHOTFORMFUNC pfnShotFormation[SHOT_FORMATION_COUNT] = {
    ShotForm_StraightA, ShotForm_StraightB, ShotForm_Spread, ShotForm_Lightning, ShotForm_Explosion, ShotForm_Encircle,
};

void RunShotFormation(SHOTLIST* pList, int nKind, cObj* pShooter, cEdShot& rec, SHOTLAUNCH& launch) {
    if (rec.m_nFormation >= SHOT_FORMATION_COUNT) return;
    pfnShotFormation[rec.m_nFormation](pList, nKind, pShooter, rec, launch);
}

// --- emitters ---

void EmitShot(SHOTLIST* pList, cCharaBase* pShooter, cFlowRun* pFlow, cEdShot& rec) {
    if (!pShooter) return;
    SHOTLAUNCH l;
    l.nWidth = l.nHeight = 16 * std::max<int>(rec.m_nSize, 1);
    l.nDir = ResolveShotDir(rec.m_nDir, pShooter, pFlow);
    if (l.nDir < 0) return;
    if (pShooter->m_nKind == 1) {
        pShooter->UpdateScreenRect();
        if (cObj* t = GetTargetSlot(pShooter, rec.m_nTargetA)) t->UpdateScreenRect();
        if (cObj* t = GetTargetSlot(pShooter, rec.m_nTargetB)) t->UpdateScreenRect();
    }
    l.nAngle = MirroredAngle(rec, pShooter, rec.m_nAngle);
    l.dSpeed = rec.m_nSpeed * 0.1;
    l.nRange = rec.m_nRange;
    l.nLife = rec.m_nLife;
    const int nClones = std::min<int>(rec.m_nClones, SHOT_CLONES_MAX);
    for (int i = 0; i <= nClones; i++) {
        l.nClone = i;
        l.nShiftX = Trunc(rec.GetShiftX(i, FacingArg(pShooter)));
        l.nShiftY = Trunc(rec.GetShiftY(i, FacingArg(pShooter)));
        RunShotFormation(pList, SHOTKIND_SHOT, pShooter, rec, l);
        l.nAngle = MirroredAngle(rec, pShooter, static_cast<int64_t>(rec.m_nAngle) + static_cast<int64_t>(rec.m_nAngleInc) * (i + 1));
        l.dSpeed += rec.m_nSpeedInc * 0.1;
        l.nRange = static_cast<int32_t>(std::clamp<int64_t>(static_cast<int64_t>(l.nRange) + rec.m_nRangeInc, INT32_MIN / 2, INT32_MAX / 2));
        l.nLife = static_cast<int32_t>(std::clamp<int64_t>(static_cast<int64_t>(l.nLife) + rec.m_nLifeInc, INT32_MIN / 2, INT32_MAX / 2));
    }
}

namespace {
template <class T>
const T* PaletteEntry(const cChkVector<T>& vCommon, const cChkVector<T>& vStage, const cEdShot& rec) {
    const cChkVector<T>& v = rec.m_nPalette == 0 ? vCommon : vStage;
    if (rec.m_nNum < 0 || rec.m_nNum >= static_cast<int>(v.size())) return nullptr;
    return &v[rec.m_nNum];
}

void EmitSummon(cCharaBase* pShooter, cFlowRun* pFlow, cEdShot& rec, int nKind, int nSize) {
    SHOTLAUNCH l;
    l.nWidth = l.nHeight = nSize;
    l.nDir = ResolveShotDir(rec.m_nDir, pShooter, pFlow);
    if (l.nDir < 0) return;
    l.dSpeed = 1.0;
    l.nClone = 0;
    l.nShiftX = Trunc(rec.GetShiftX(0, FacingArg(pShooter)));
    l.nShiftY = Trunc(rec.GetShiftY(0, FacingArg(pShooter)));
    RunShotFormation(nullptr, nKind, pShooter, rec, l);
}
}   // namespace

void EmitCharaSummon(cCharaBase* pShooter, cFlowRun* pFlow, cEdShot& rec) {
    if (!pShooter) return;
    const cCharaData* d = PaletteEntry(recCommonPalette.m_vCharaPalette, PlayStage().m_vCharaPalette, rec);
    if (!d || d->m_nOperator != 1) return;
    EmitSummon(pShooter, pFlow, rec, SHOTKIND_CHARA, 32 * std::max<int>(d->m_nGiant, 1));
}

void EmitItemSummon(cCharaBase* pShooter, cFlowRun* pFlow, cEdShot& rec) {
    if (!pShooter) return;
    const cItemData* d = PaletteEntry(recCommonPalette.m_vItemPalette, PlayStage().m_vItemPalette, rec);
    if (!d) return;
    EmitSummon(pShooter, pFlow, rec, SHOTKIND_ITEM, 32 * std::max<int>(d->m_nSize, 1));
}

void EmitBlockSummon(cCharaBase* pShooter, cFlowRun* pFlow, cEdShot& rec) {
    if (!pShooter) return;
    const cBlockData* d = PaletteEntry(recCommonPalette.m_vBlockPalette, PlayStage().m_vBlockPalette, rec);
    if (!d) return;
    if (rec.m_nBlockMode == 2)
        if (cPlayScene* pScene = GetPlayScene()) pScene->m_vecSummonCell.clear();
    EmitSummon(pShooter, pFlow, rec, SHOTKIND_BLOCK, 32);
}

// --- creation ---

void CreateLaunched(SHOTLIST* pList, int nKind, SHOTLAUNCH& l, cObj* S, cEdShot& rec) {
    cPlayScene* pScene = GetPlayScene();
    switch (nKind) {
    case SHOTKIND_SHOT: {
        if (!pList) return;
        auto p = std::make_unique<cShot>();
        p->Setup(pScene ? pScene->m_nShotCount : 0, S, SHOTKIND_SHOT, rec, l);
        cShot* pShot = p.get();
        if (pScene && pList == &pScene->m_lstShot) {
            pScene->AddShot(std::move(p));
        } else {
            pList->push_back(std::move(p));
        }
        if (pScene && pScene->m_nShotCount < INT32_MAX) pScene->m_nShotCount++;
        cObjRef self(pShot);
        auto link = [&](cCharaBase* c, int nKindLink) {
            if (!c) return;
            for (const CHARACHILD& e : c->m_vecChild)
                if (e.Shot == self && e.nKind == nKindLink) return;
            c->m_vecChild.push_back({self, nKindLink});
        };
        int nOrbit = pShot->m_Shot.m_nType;
        if ((nOrbit == 3 || nOrbit == 6) && pShot->m_lpTarget.IsSet())
            link(pShot->m_lpTarget.GetAs<cCharaBase>(), 0);
        else
            pShot->m_lpTarget.Reset();
        if (pShot->m_lpAttacker.IsSet()) link(pShot->m_lpAttacker.GetAs<cCharaBase>(), 4);
        return;
    }
    case SHOTKIND_BLOCK: {
        const cBlockData* d = PaletteEntry(recCommonPalette.m_vBlockPalette, PlayStage().m_vBlockPalette, rec);
        if (pScene && d) pScene->SummonBlock(l.nX, l.nY, rec, *d);
        return;
    }
    case SHOTKIND_CHARA: {
        const cCharaData* d = PaletteEntry(recCommonPalette.m_vCharaPalette, PlayStage().m_vCharaPalette, rec);
        if (!pScene || !d) return;
        int nDir = IsRight(S) ? 1 : 0;
        if (rec.m_bReverseDir) nDir = !nDir;
        pScene->SummonChara(lstChara(), l.nX, l.nY, 0, nDir, rec, *d, &pScene->m_nCharaCount, AsChara(S));
        return;
    }
    case SHOTKIND_ITEM: {
        const cItemData* d = PaletteEntry(recCommonPalette.m_vItemPalette, PlayStage().m_vItemPalette, rec);
        if (pScene && d) pScene->SummonItem(lstItem(), l.nX, l.nY, IsRight(S) ? 1 : 0, rec, *d, &pScene->m_nItemCount);
        return;
    }
    default:
        return;
    }
}
