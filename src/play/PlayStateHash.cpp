// A hash of everything play depends on, frame by frame, in named groups: the
// random state, the heroes, the other characters, the items, the shots, the
// map cells, the scene, the messages and the progress. Two runs of the same
// stage with the same input give the same sequence of hashes, and a run that
// departs from another names the first group that differs.
//
// The rule: a member that can change play is hashed here, or a comment below
// says why not. Members left out are those that only draw (gauges, display
// boxes, surfaces, effects on the picture), those recomputed from hashed ones
// before every use (screen rectangles, scaled hit boxes), and pointers into
// the scene's own walk (current character, flow and command).
#include <cstring>
#include <string>

#include "foundation/Record.h"
#include "play/Chara.h"
#include "play/Hero.h"
#include "play/Item.h"
#include "play/Message.h"
#include "play/PlayContext.h"
#include "play/PlayScene.h"
#include "play/Shot.h"
#include "project/Progress.h"
#include "stage/CharaData.h"
#include "stage/CmdSubRecords.h"
#include "stage/ItemData.h"

namespace {

// Word-wise mixing: each value is folded in as one 64-bit word.
class cHasher {
public:
    void Int(int64_t n) {
        m_nHash ^= static_cast<uint64_t>(n);
        m_nHash *= 0x100000001B3ull;
        m_nHash ^= m_nHash >> 29;
    }
    // Doubles by their bits; -0 and 0 hash alike.
    void Real(double d) {
        if (d == 0) d = 0;
        uint64_t u;
        std::memcpy(&u, &d, sizeof u);
        Int(static_cast<int64_t>(u));
    }
    void Bytes(const void* p, size_t n) {
        const unsigned char* b = static_cast<const unsigned char*>(p);
        Int(static_cast<int64_t>(n));
        size_t i = 0;
        for (; i + 8 <= n; i += 8) {
            uint64_t u;
            std::memcpy(&u, b + i, 8);
            Int(static_cast<int64_t>(u));
        }
        uint64_t nTail = 0;
        for (size_t k = 0; i < n; i++, k++) nTail |= static_cast<uint64_t>(b[i]) << (8 * k);
        Int(static_cast<int64_t>(nTail));
    }
    void Str(const std::string& s) { Bytes(s.data(), s.size()); }
    void Ref(const cObjRef& r) { Int(static_cast<int64_t>(r.GetHandle())); }
    uint64_t Get() const { return m_nHash; }

private:
    uint64_t m_nHash = 14695981039346656037ull;
};

// Every registered field and string of a record (its lists are not fields).
// The record is copied field by field into a scratch of its class, whose own
// tables are then walked, so the record played with is left untouched.
template <class T>
void HashRecord(cHasher& h, const T& rec) {
    thread_local T scratch;
    scratch.CopyFields(rec);
    scratch.RegisterFields(static_cast<int>(nDataVer));
    for (const FIELDDATA& f : scratch.FieldTable())
        h.Bytes(f.lpData, static_cast<size_t>(f.nCount < 0 ? 0 : f.nCount) * static_cast<size_t>(f.bySize));
    for (const STRINGDATA& s : scratch.StringTable()) h.Str(*s.lpStr);
}

// m_rcScreen, m_bOnScreen and the cell span follow from the position and are
// recomputed before they are read.
void HashObj(cHasher& h, const cObj& o) {
    h.Int(static_cast<int64_t>(o.GetHandle()));
    h.Int(o.m_nId);
    h.Int(o.m_nKind);
    h.Int(o.m_nSetupValue);
    h.Int(o.m_nSetupParam);
    h.Int(o.m_nLife);
    h.Int(o.m_nDir);
    h.Int(o.m_nGroup);
    h.Int(o.m_nPicture);
    h.Int(o.m_nUserA);
    for (int32_t v : o.m_anUserB) h.Int(v);
    h.Int(o.m_nUserC);
    h.Real(o.m_dX);
    h.Real(o.m_dY);
    h.Real(o.m_dRight);
    h.Real(o.m_dBottom);
    h.Real(o.m_dVx);
    h.Real(o.m_dVy);
    h.Real(o.m_dCmdVx);
    h.Real(o.m_dCmdVy);
    h.Real(o.m_dCmdDecel);
    h.Int(o.m_bCmdDecayX);
    h.Int(o.m_bCmdDecayY);
    h.Int(o.m_bScrollSync);
    h.Int(o.m_nWidth);
    h.Int(o.m_nHeight);
    h.Int(o.m_nBoxX);
    h.Int(o.m_nBoxY);
    h.Int(o.m_nFrameW);
    h.Int(o.m_nFrameH);
    h.Int(o.m_bFlight);
    h.Int(o.m_nFlightBlock);
    h.Int(o.m_bActive);
    h.Int(o.m_bCondLatch);
    h.Int(o.m_Anim.m_nPattern);
    h.Int(o.m_Anim.m_nStep);
}

void HashItem(cHasher& h, const cItem& it) {
    HashObj(h, it);
    h.Int(it.m_bCarried);
    HashRecord(h, it.m_Item);
}

void HashCmdRun(cHasher& h, const cCmdRun& cr) {
    h.Int(cr.m_bDone);
    h.Int(cr.m_nTime);
    h.Int(cr.m_nLeft);
    h.Int(cr.m_nCount);
    h.Int(cr.m_bInit);
    h.Int(cr.m_nWork1);
    h.Int(cr.m_nWork2);
    h.Int(static_cast<int64_t>(cr.m_lstSample.size()));
    for (const SAMPLEPOINT& s : cr.m_lstSample) {
        h.Real(s.dX);
        h.Real(s.dY);
    }
    h.Int(cr.m_nMoveDir);
    h.Int(cr.m_nOfsX);
    h.Int(cr.m_nOfsY);
    h.Real(cr.m_Move.dVX);
    h.Real(cr.m_Move.dVY);
    h.Real(cr.m_Move.dSpeed);
    h.Real(cr.m_Move.dSpeed2);
    h.Int(cr.m_nAngle);
    h.Int(cr.m_nMoveA);
    h.Int(cr.m_nAngleStart);
    h.Int(cr.m_nAngleEnd);
    h.Int(cr.m_nFaceReq);
    h.Real(cr.m_dPhase1);
    h.Real(cr.m_dPhase2);
    h.Int(cr.m_nPrevDir);
}

void HashArrange(cHasher& h, const std::list<ARRANGEENTRY>& lst) {
    h.Int(static_cast<int64_t>(lst.size()));
    for (const ARRANGEENTRY& e : lst)
        for (int32_t v : e.anParam) h.Int(v);
}

void HashFlowRun(cHasher& h, const cFlowRun& r) {
    h.Int(r.m_nIndex);
    h.Int(r.m_nSerial);
    h.Bytes(r.m_vecCondLatch.data(), r.m_vecCondLatch.size());
    h.Int(r.m_bCondOnceDone);
    h.Int(r.m_bRun);
    h.Int(r.m_bPause);
    h.Int(r.m_bStop);
    h.Int(r.m_bRemove);
    h.Int(r.m_nCur);
    h.Int(r.m_nFrame);
    h.Int(r.m_nInputDir);
    h.Int(r.m_bStarted);
    h.Int(r.m_bMsgWait);
    h.Int(r.m_bAbort);
    h.Int(r.m_nStartCount);
    h.Int(r.m_bStartWalk);
    h.Int(r.m_bFired);
    h.Int(r.m_bKeyHeld);
    h.Int(r.m_bKeyMatched);
    HashArrange(h, r.m_lstArrange);
    h.Int(static_cast<int64_t>(r.m_vecCmdRun.size()));
    for (const cCmdRun& cr : r.m_vecCmdRun) HashCmdRun(h, cr);
    h.Int(static_cast<int64_t>(r.m_vecAnimSched.size()));
    for (const ANIMSCHED& a : r.m_vecAnimSched) {
        h.Int(a.nFrame);
        h.Int(a.nPattern);
        h.Int(a.nValue);
        h.Int(a.nFrameCopy);
        h.Int(a.nSkip);
        h.Int(a.nLength);
        h.Int(a.nCmdFrames);
        h.Int(a.bHold);
    }
}

// The gauges (m_HpGauge, m_SpGauge), the effect's tint and blink and the
// mirror state only draw. The commands of the character's own flow copy
// (m_Data.m_vFlow) change only by arrange entries, which are hashed while
// queued; walking every command of every character each frame would cost
// more than the rest of the hash together.
void HashChara(cHasher& h, const cCharaBase& c) {
    HashObj(h, c);
    HashRecord(h, c.m_Data);
    h.Int(c.m_bTempCopy);
    for (const cObjRef& r : c.m_vecTarget) h.Ref(r);
    h.Ref(c.m_lpParent);
    h.Int(static_cast<int64_t>(c.m_vecLink.size()));
    for (const CHARALINK& l : c.m_vecLink) {
        h.Ref(l.Obj);
        h.Int(l.nSlot);
    }
    h.Int(static_cast<int64_t>(c.m_vecChild.size()));
    for (const CHARACHILD& ch : c.m_vecChild) {
        h.Ref(ch.Shot);
        h.Int(ch.nKind);
    }
    h.Int(c.m_bNotifyParent);
    h.Int(c.m_nNotifyFlowId);
    h.Int(c.m_nFlowSerial);
    h.Int(static_cast<int64_t>(c.m_vecFlowRun.size()));
    for (const cFlowRun& r : c.m_vecFlowRun) HashFlowRun(h, r);
    h.Bytes(c.m_vecFlowBlock.data(), c.m_vecFlowBlock.size());
    h.Bytes(c.m_vecFlowBlockNext.data(), c.m_vecFlowBlockNext.size());
    h.Bytes(c.m_vecFlowFired.data(), c.m_vecFlowFired.size());
    h.Int(c.m_bFlowBlockDirty);
    h.Int(c.m_bRemovePending);
    h.Int(c.m_nCopyIndex);
    h.Real(c.m_dStartX);
    h.Real(c.m_dStartY);
    h.Int(c.m_bAnimReq);
    h.Int(c.m_nAnimReq);
    h.Real(c.m_dKnockX);
    h.Real(c.m_dKnockY);
    h.Int(c.m_bKnocked);
    h.Real(c.m_dLastKnockY);
    h.Int(c.m_bNoGravity);
    h.Int(c.m_nLastSide);
    h.Int(c.m_bAirborne);
    h.Int(c.m_bJumpTop);
    h.Int(c.m_bJumping);
    h.Int(c.m_bJumpHold);
    h.Int(c.m_nAirSteps);
    h.Int(c.m_nGroundCell);
    h.Int(c.m_nLastGroundCell);
    h.Int(c.m_nLockFrames);
    h.Int(c.m_bDead);
    h.Int(c.m_nDeadFrames);
    h.Int(c.m_bHitLeft);
    h.Int(c.m_bHitRight);
    h.Int(c.m_bHitTop);
    h.Int(c.m_bHitBottom);
    h.Int(c.m_bPushed);
    h.Int(c.m_bRiding);
    h.Int(c.m_nRideId);
    h.Ref(c.m_Ride);
    h.Real(c.m_dRideX);
    h.Real(c.m_dRideY);
    h.Real(c.m_SavedPos.dX);
    h.Real(c.m_SavedPos.dY);
    h.Real(c.m_SavedPos.dRight);
    h.Real(c.m_SavedPos.dBottom);
    h.Real(c.m_dStopDecel);
    h.Int(c.m_nHp);
    h.Int(c.m_nSp);
    // A pinned screen place counts only while pinned (the place is not
    // read otherwise), so unpinned characters hash as before.
    if (c.m_bScreenLockX || c.m_bScreenLockY) {
        h.Int(c.m_bScreenLockX);
        h.Int(c.m_bScreenLockY);
        h.Int(c.m_nScreenLockLeft);
        h.Int(c.m_nScreenLockTop);
    }
    for (int32_t v : c.m_vecVar) h.Int(v);
    h.Int(c.m_nInvTime);
    h.Int(static_cast<int64_t>(c.m_lstInvAgainst.size()));
    for (const INVAGAINST& e : c.m_lstInvAgainst) {
        h.Ref(e.Obj);
        h.Int(e.nSteps);
    }
    h.Int(static_cast<int64_t>(c.m_lstAnimeQueue.size()));
    h.Real(c.m_dEffectValue);
    h.Int(c.m_nEffectPhase);
    h.Int(c.m_bVanish);
    h.Int(c.m_nSightDots);
    h.Int(c.m_bActing);
    h.Int(c.m_bHideFrame);
}

// The hit-box display list (m_vecHitBox) only draws; m_lpInput is the
// context's input, hashed by being replayed.
void HashHero(cHasher& h, const cHero& c) {
    HashChara(h, c);
    h.Int(c.m_nJumpFrames);
    h.Int(c.m_bJumpReady);
    h.Int(c.m_bNoJump);
    h.Real(c.m_dBaseAccel);
    h.Int(c.m_bJumpDone);
    for (int32_t v : c.m_anFrameWork) h.Int(v);
    h.Int(c.m_nClearDir);
    h.Int(c.m_bPosSaved);
    h.Real(c.m_HeroSavedPos.dX);
    h.Real(c.m_HeroSavedPos.dY);
    h.Real(c.m_HeroSavedPos.dRight);
    h.Real(c.m_HeroSavedPos.dBottom);
    h.Int(c.m_bPosRestore);
    h.Int(static_cast<int64_t>(c.m_lstTouchedItems.size()));
    for (const cObjRef& r : c.m_lstTouchedItems) h.Ref(r);
    h.Int(c.m_nBlockSpeedKind);
    h.Real(c.m_dBlockSpeedValue);
    h.Int(c.m_nBlockSpeedTimer);
    h.Int(c.m_nBlockItemWait);
    h.Int(c.m_nPrevGroundCell);
    h.Int(c.m_nFrameCount);
    h.Int(static_cast<int64_t>(c.m_vecPendingCmd.size()));
    HashArrange(h, c.m_lstArrange);
    h.Int(c.m_nItemCmdDepth);
}

// The icon blink (m_bShowItemIcon, m_nIconFrames) only draws.
void HashOtherChara(cHasher& h, const cChara& c) {
    HashChara(h, c);
    h.Int(c.m_bInRange);
    h.Int(c.m_bAnimOffScreen);
    h.Int(c.m_bIgnoreX);
    h.Int(c.m_bIgnoreY);
    h.Int(c.m_bWoken);
    h.Int(c.m_pItem != nullptr);
    if (c.m_pItem) HashItem(h, *c.m_pItem);
}

// The scaled hit box (m_nHitX .. m_nHitH) follows from the base box and the
// scale at every scale change; m_rcHit is hashed as it is what hits read.
// The shot's entry in its group list (m_itGroupEntry, m_nFiledGroup) only
// spares a search when the shot is removed, and m_bFiledClash keeps the
// scene's count of clashing shots; the lists are hashed with the scene.
void HashShot(cHasher& h, const cShot& s) {
    HashObj(h, s);
    h.Int(s.m_nOwnerId);
    h.Int(s.m_bProjectile);
    h.Int(s.m_nRangeLeft);
    h.Int(s.m_nLifeLeft);
    h.Int(s.m_nStepCount);
    h.Int(s.m_nSwordPart);
    h.Real(s.m_dAccel);
    h.Real(s.m_dOrbitSpeed);
    h.Real(s.m_dShotVx);
    h.Real(s.m_dShotVy);
    h.Int(s.m_bAccel);
    h.Int(s.m_nOrbitStart);
    h.Int(s.m_nOrbitEnd);
    h.Int(s.m_bOrbitDone);
    h.Real(s.m_dWaveAngle);
    h.Real(s.m_dWaveSin);
    h.Real(s.m_dWaveCos);
    for (double d : s.m_rcHit) h.Real(d);
    h.Int(s.m_nBaseHitX);
    h.Int(s.m_nBaseHitY);
    h.Int(s.m_nBaseHitW);
    h.Int(s.m_nBaseHitH);
    h.Int(static_cast<int64_t>(s.m_HitChara.size()));
    for (const cObjRef& r : s.m_HitChara) h.Ref(r);
    HashRecord(h, s.m_Shot);   // power, speeds, trajectory and the rest of the shot's record
    h.Ref(s.m_lpTarget);
    h.Ref(s.m_lpAttacker);
    h.Int(s.m_bErased);
    h.Int(s.m_bCreditAttacker);
    h.Int(s.m_nCreditParam);
}

// A cell's picture, hit, pass group, effect, attached item and condition
// latch: what play reads of it. Its conditions and name come with the block
// it was set from and change only with its picture.
void HashMap(cHasher& h, const cBlockMap& map) {
    h.Int(static_cast<int64_t>(map.size()));
    // Every cell in index order; an empty cell as the blank it reads as.
    for (size_t n = 0; n < map.size(); n++) {
        const cMapCell* p = map.Find(n);
        const cMapCell& m = p ? *p : cBlockMap::Blank();
        h.Int(static_cast<int64_t>(static_cast<uint16_t>(m.m_nGraphic)) | int64_t{m.m_nGraphicSheet} << 16 |
              static_cast<int64_t>(static_cast<uint16_t>(m.m_nGraphicRow)) << 24 | int64_t{m.m_nLayer} << 40 |
              int64_t{m.m_bNoDraw} << 48 | int64_t{m.m_bCondLatch} << 56);
        h.Int(int64_t{m.m_nHit} | int64_t{m.m_nPassGroup} << 8 | static_cast<int64_t>(static_cast<uint8_t>(m.m_nEffect)) << 16 |
              int64_t{m.m_nItemType} << 24 | static_cast<int64_t>(static_cast<uint16_t>(m.m_nItemNum)) << 32 |
              int64_t{m.m_bNoReplace} << 48);
        h.Int(m.m_nEffectValue);
    }
}

void HashScroll(cHasher& h, const cScroll& s) {
    h.Real(s.m_dCam);
    h.Int(s.m_bHeld);
    h.Real(s.m_dMin);
    h.Real(s.m_dMax);
    h.Real(s.m_dSpeed);
    h.Int(s.m_bAuto);
}

// The picture runs, screen effects and colour runs only draw; the wait
// record is the scene's own pacing, the ranking fields belong to the end
// of the stage after play. The second banner's counter
// (m_nModeFrame2) paces a frozen banner before play that a replay does not
// show; play never reads it. The hit pass's working stores (m_BodyPairs,
// m_ShotPairs) are rebuilt at every pass; the counts of marked and clashing
// shots (m_nShotMarks, m_nClashShots) only spare walks that would find
// nothing.
void HashScene(cHasher& h, const cPlayScene& s, const cPlayContext& ctx) {
    h.Int(ctx.nFrameDivider);
    h.Int(s.m_nState);
    h.Int(s.m_nStep);
    h.Int(s.m_nSaveState);
    h.Int(s.m_nSaveStep);
    h.Int(s.m_nClear);
    HashScroll(h, s.m_ScrollX);
    HashScroll(h, s.m_ScrollY);
    for (const auto& v : s.m_vecGroupChara) {
        h.Int(static_cast<int64_t>(v.size()));
        for (const cObjRef& r : v) h.Ref(r);
    }
    for (const auto& v : s.m_vecGroupShot) {
        h.Int(static_cast<int64_t>(v.size()));
        for (const cObjRef& r : v) h.Ref(r);
    }
    h.Int(static_cast<int64_t>(s.m_lstEffect.size()));
    h.Int(s.m_bMesShown);
    h.Int(s.m_nHeroCount);
    h.Int(s.m_nSubStep);
    h.Int(s.m_nStepTotal);
    for (int32_t v : s.m_vecShotStep) h.Int(v);
    h.Int(s.m_nTime);
    h.Int(s.m_bNoTimeLimit);
    h.Int(s.m_nPlayFrame);
    h.Int(s.m_nPlayTime);
    h.Int(s.m_nModeFrame);
    h.Int(s.m_nSeed);
    h.Int(s.m_bHoldButtons);
    h.Int(s.m_bCheckDead);
    for (int32_t v : s.m_vecStageVar) h.Int(v);
    h.Bytes(s.m_vecLinkActive.data(), s.m_vecLinkActive.size());
    h.Int(s.m_nCharaCount);
    h.Int(s.m_nItemCount);
    h.Int(s.m_nShotCount);
    h.Int(s.m_bEraseChara);
    h.Int(s.m_bEraseBlockChara);
    h.Int(s.m_bEraseItem);
    for (int32_t v : s.m_vecSummonCell) h.Int(v);
    h.Int(s.m_nStageFrame);
    h.Int(s.m_nNextStage);
    h.Str(s.m_strNextStage);
    h.Int(s.m_nRowShift);
    h.Int(s.m_bMissPending);
}

// Its surface and zoom are drawing; the position follows from the hashed
// anchor and mode at every update.
void HashMessages(cHasher& h, const cPlayScene& s) {
    h.Int(static_cast<int64_t>(s.m_lstMessage.size()));
    for (const auto& p : s.m_lstMessage) {
        const cMessage& m = *p;
        h.Int(m.m_bHasId);
        h.Int(m.m_nMessageId);
        h.Int(m.m_nLeft);
        h.Int(m.m_nDurMode);
        h.Int(m.m_nMode);
        h.Str(m.m_strText);
        h.Int(m.m_nAnchorId);
        h.Int(m.m_bCountWhileFrozen);
        h.Int(m.m_bLive);
        h.Int(m.m_nInterval);
    }
}

void HashProgress(cHasher& h, const cProgress& p) {
    h.Int(p.m_nLife);
    h.Int(p.m_nLifeStart);
    h.Int(p.m_nScore);
    h.Int(p.m_nPlayScore);
    h.Int(p.m_nTotalScore);
    h.Int(p.m_nCheckLife);
    h.Int(p.m_nCheckScore);
    for (int32_t v : p.m_vStageFlag) h.Int(v);
    for (int32_t v : p.m_vCarryFlag) h.Int(v);
    for (int32_t v : p.m_vCommonVar) h.Int(v);
    for (int32_t v : p.m_vCheckVar) h.Int(v);
}

}  // namespace

const char* const STATEHASH_GROUP_NAMES[STATEHASH_GROUPS] = {"random", "heroes", "characters", "items",   "shots",
                                                             "map",    "scene",  "messages",   "progress"};

std::array<uint64_t, STATEHASH_GROUPS> cPlayContext::StateHashGroups() const {
    std::array<cHasher, STATEHASH_GROUPS> a;
    a[STATEHASH_RANDOM].Int(Random.GetState());
    a[STATEHASH_HEROES].Int(static_cast<int64_t>(vecPlayer.size()));
    for (const auto& p : vecPlayer) HashHero(a[STATEHASH_HEROES], *p);
    a[STATEHASH_CHARAS].Int(static_cast<int64_t>(lstChara.size()));
    for (const auto& p : lstChara) HashOtherChara(a[STATEHASH_CHARAS], *p);
    a[STATEHASH_ITEMS].Int(static_cast<int64_t>(lstItem.size()));
    for (const auto& p : lstItem) HashItem(a[STATEHASH_ITEMS], *p);
    HashMap(a[STATEHASH_MAP], vecMapCell);
    if (const cPlayScene* s = lpPlayScene) {
        a[STATEHASH_SHOTS].Int(static_cast<int64_t>(s->m_lstShot.size()));
        for (const auto& p : s->m_lstShot) HashShot(a[STATEHASH_SHOTS], *p);
        HashScene(a[STATEHASH_SCENE], *s, *this);
        HashMessages(a[STATEHASH_MESSAGES], *s);
    }
    if (lpProgress) HashProgress(a[STATEHASH_PROGRESS], *lpProgress);
    std::array<uint64_t, STATEHASH_GROUPS> v{};
    for (int i = 0; i < STATEHASH_GROUPS; i++) v[static_cast<size_t>(i)] = a[static_cast<size_t>(i)].Get();
    return v;
}

uint64_t cPlayContext::StateHash() const {
    cHasher h;
    for (uint64_t n : StateHashGroups()) h.Int(static_cast<int64_t>(n));
    return h.Get();
}
