// Loop expansion, key conditions against a scripted input history, event
// firing with its once-per-frame limit, exclusive groups and the target slot.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CharaFixture.h"
#include "play/CharaEvents.h"
#include "play/Conditions.h"
#include "stage/CmdVocabulary.h"

namespace {

// A command tagged by its time so that lists are easy to read back.
cEdCmd Cmd(char chTag) {
    cEdCmd c;
    c.m_nKind = CMD_WAIT;
    c.m_nTime = static_cast<int16_t>(chTag);
    return c;
}
cEdCmd Loop(int n, int k) {
    cEdCmd c;
    c.m_nKind = CMD_LOOP;
    c.m_vParam.assign({n, k});
    return c;
}
std::string Tags(const cChkVector<cEdCmd>& v) {
    std::string s;
    for (const cEdCmd& c : v) s += c.m_nKind == CMD_LOOP ? 'L' : static_cast<char>(c.m_nTime);
    return s;
}

TEST(LoopExpansion, Table) {
    struct CASE {
        std::vector<cEdCmd> vIn;
        const char* pszOut;
    };
    const CASE aCase[] = {
        {{Loop(3, 2), Cmd('P'), Cmd('Q'), Cmd('R')}, "PQPQPQR"},
        {{Loop(2, 5), Cmd('P'), Cmd('Q')}, "PQPQ"},                          // length past the end is cut
        {{Loop(1, 2), Cmd('P'), Cmd('Q'), Cmd('R')}, "PQR"},                 // count 1: only the loop goes
        {{Loop(0, 2), Cmd('P'), Cmd('Q'), Cmd('R')}, "PQR"},                 // count 0: as written
        {{Loop(-7, 2), Cmd('P'), Cmd('Q'), Cmd('R')}, "PQR"},                // negative: as written
        {{Cmd('A'), Loop(2, 3), Loop(2, 1), Cmd('P'), Cmd('Q')}, "APPQPPQ"}, // nested
        {{Loop(3, -1), Cmd('P')}, "P"},                                      // negative length
        {{Cmd('P'), Loop(4, 2)}, "P"},                                       // nothing after the loop
    };
    for (const CASE& c : aCase) {
        cChkVector<cEdCmd> v(c.vIn.begin(), c.vIn.end());
        EXPECT_EQ(ExpandLoops(v), 0);
        EXPECT_EQ(Tags(v), c.pszOut);
    }
}

TEST(LoopExpansion, HugeAndNestedCountsStopAtTheCap) {
    cChkVector<cEdCmd> v;
    v.push_back(Loop(2000000000, 1));
    v.push_back(Cmd('P'));
    EXPECT_EQ(ExpandLoops(v), 1);
    EXPECT_LE(v.size(), static_cast<size_t>(MAX_EXPANDED_CMDS));
    EXPECT_GT(v.size(), 1000u);
    for (const cEdCmd& c : v) EXPECT_EQ(c.m_nTime, 'P');

    // Ten nested loops of 100 would be 100^10 commands.
    cChkVector<cEdCmd> w;
    for (int i = 0; i < 10; i++) w.push_back(Loop(100, 10 - i));
    w.push_back(Cmd('P'));
    ExpandLoops(w);
    EXPECT_LE(w.size(), static_cast<size_t>(MAX_EXPANDED_CMDS));
    for (const cEdCmd& c : w) EXPECT_NE(c.m_nKind, CMD_LOOP);
}

// ---- key conditions ----

cFlowKey KeyRec(int nEntry, int nState, int bMirror = 0, int bAny = 1, int nMin = 0, int nMax = 0) {
    cFlowKey k;
    k.m_vKey.At(nEntry) = static_cast<uint8_t>(nState);
    k.m_bMirror = static_cast<uint8_t>(bMirror);
    k.m_bHoldAny = static_cast<uint8_t>(bAny);
    k.m_nHoldMin = static_cast<int16_t>(nMin);
    k.m_nHoldMax = static_cast<int16_t>(nMax);
    return k;
}

constexpr int KEY_LEFT = 1, KEY_RIGHT = 2, KEY_DOWN = 4, KEY_RIGHTUP = 7, KEY_LEFTUP = 5, KEY_BUTTON1 = 11;

class KeyConditions : public cCharaFixture {};

TEST_F(KeyConditions, MirroringFollowsTheFacing) {
    // Entry 1 <-> 2, 5 <-> 7, 6 <-> 8; the others stay.
    const int anExpect[10] = {0, 2, 1, 3, 4, 7, 8, 5, 6, 9};
    for (int i = 0; i < 10; i++) EXPECT_EQ(MirrorKeyEntry(i), anExpect[i]) << i;
    EXPECT_EQ(MirrorKeyEntry(KEY_BUTTON1), KEY_BUTTON1);

    // "Forward" (right for a right-facing character) read by two characters.
    cFlowKey rec = KeyRec(KEY_RIGHT, 1, 1);
    Press(KEYDIR_LEFT);
    EXPECT_TRUE(MatchKeyRecord(&input, rec, 0, true, nullptr));    // facing left: left is forward
    EXPECT_FALSE(MatchKeyRecord(&input, rec, 0, false, nullptr));  // facing right
    Press(KEYDIR_RIGHT | KEYDIR_UP);
    cFlowKey diag = KeyRec(KEY_RIGHTUP, 1, 1);
    EXPECT_TRUE(MatchKeyRecord(&input, diag, 0, false, nullptr));
    EXPECT_FALSE(MatchKeyRecord(&input, diag, 0, true, nullptr));
    Press(KEYDIR_LEFT | KEYDIR_UP);
    EXPECT_TRUE(MatchKeyRecord(&input, diag, 0, true, nullptr));
    (void)KEY_LEFT;
    (void)KEY_LEFTUP;
}

TEST_F(KeyConditions, HoldTimesAndReleases) {
    for (int i = 0; i < 5; i++) Press(0, 1);   // button 1 held 5 frames
    EXPECT_TRUE(MatchKeyRecord(&input, KeyRec(KEY_BUTTON1, 1, 0, 0, 3, 6), 0, false, nullptr));
    EXPECT_FALSE(MatchKeyRecord(&input, KeyRec(KEY_BUTTON1, 1, 0, 0, 6, 9), 0, false, nullptr));
    EXPECT_FALSE(MatchKeyRecord(&input, KeyRec(KEY_BUTTON1, 2), 0, false, nullptr));
    Press(0, 0);
    EXPECT_TRUE(MatchKeyRecord(&input, KeyRec(KEY_BUTTON1, 2), 0, false, nullptr));
    // One frame back the button was still down.
    EXPECT_TRUE(MatchKeyRecord(&input, KeyRec(KEY_BUTTON1, 1), 1, false, nullptr));
}

TEST_F(KeyConditions, SequenceWithAndWithoutGap) {
    cCharaData d;
    cChara* c = AddChara(d);
    c->m_nDir = 1;
    cFlowRun run;
    cChkVector<cFlowKey> seq;
    seq.push_back(KeyRec(KEY_DOWN, 1));
    seq.push_back(KeyRec(KEY_RIGHT, 1));
    for (int i = 0; i < 3; i++) Press(KEYDIR_DOWN);
    Press(0);
    Press(0);
    Press(KEYDIR_RIGHT);
    EXPECT_FALSE(c->MatchKeySequence(run, seq, 0));
    EXPECT_FALSE(c->MatchKeySequence(run, seq, 1));
    EXPECT_TRUE(c->MatchKeySequence(run, seq, 3));
    // Straight from down to right: no gap needed.
    Press(KEYDIR_DOWN);
    Press(KEYDIR_RIGHT);
    EXPECT_TRUE(c->MatchKeySequence(run, seq, 0));
    // The last record must hold now.
    Press(0);
    EXPECT_FALSE(c->MatchKeySequence(run, seq, 3));
}

TEST_F(KeyConditions, EdgeTriggerNeedsARelease) {
    cCharaData d;
    cFlow f;
    f.m_nTrigger = 0;
    f.m_vKey.push_back(KeyRec(KEY_BUTTON1, 1));
    d.m_vFlow.push_back(f);
    cChara* c = AddChara(d);
    cFlowRun& run = c->m_vecFlowRun.at(0);
    Press(0, 1);
    EXPECT_TRUE(c->CheckFlowKeys(run));
    Press(0, 1);
    EXPECT_FALSE(c->CheckFlowKeys(run));   // still held
    Press(0, 0);
    EXPECT_FALSE(c->CheckFlowKeys(run));
    Press(0, 1);
    EXPECT_TRUE(c->CheckFlowKeys(run));

    // The continuous test fires on every frame of the match.
    c->m_Data.m_vFlow[0].m_bKeyRepeat = 1;
    Press(0, 1);
    EXPECT_TRUE(c->CheckFlowKeys(run));
    EXPECT_TRUE(c->CheckFlowKeys(run));
}

// ---- events ----

class Events : public cCharaFixture {
protected:
    cFlow WaitFlow(int nTrigger, int nGroup = 0) {
        cFlow f;
        f.m_nTrigger = static_cast<uint8_t>(nTrigger);
        f.m_nFlowGroup = static_cast<uint8_t>(nGroup);
        cEdCmd c = Cmd('W');
        c.m_nTime = 10;
        f.m_vCmd.push_back(c);
        return f;
    }
};

TEST_F(Events, TriggerZeroStartsOncePerFrame) {
    cCharaData d;
    d.m_vFlow.push_back(WaitFlow(0));
    cChara* c = AddChara(d);
    cFlowRun& run = c->m_vecFlowRun.at(0);
    c->FireEvent(0);
    EXPECT_TRUE(run.m_bRun);
    run.Stop(c);
    c->FireEvent(0);
    EXPECT_FALSE(run.m_bRun);   // fired already this frame
    c->ClearFrameFlags();
    c->FireEvent(0);
    EXPECT_TRUE(run.m_bRun);
}

TEST_F(Events, ExclusiveGroupFreedAtTheEndOfTheFrame) {
    cCharaData d;
    d.m_vFlow.push_back(WaitFlow(0, 3));
    d.m_vFlow.push_back(WaitFlow(0, 3));
    cChara* c = AddChara(d);
    c->FireEvent(0);
    EXPECT_TRUE(c->m_vecFlowRun[0].m_bRun);
    EXPECT_FALSE(c->m_vecFlowRun[1].m_bRun);
    c->m_vecFlowRun[0].Stop(c);
    c->ClearFrameFlags();
    c->FireEvent(0);
    EXPECT_FALSE(c->m_vecFlowRun[0].m_bRun);
    EXPECT_FALSE(c->m_vecFlowRun[1].m_bRun);   // the group is busy until released
    c->ReleaseFlowGroups();
    c->ClearFrameFlags();
    c->FireEvent(0);
    EXPECT_EQ(c->m_vecFlowRun[0].m_bRun + c->m_vecFlowRun[1].m_bRun, 1);
}

TEST_F(Events, GroupBeyondTwentySixIsNoGroup) {
    cCharaData d;
    d.m_vFlow.push_back(WaitFlow(0, 200));
    d.m_vFlow.push_back(WaitFlow(0, 200));
    cChara* c = AddChara(d);
    c->FireEvent(0);
    EXPECT_TRUE(c->m_vecFlowRun[0].m_bRun);
    EXPECT_TRUE(c->m_vecFlowRun[1].m_bRun);
    EXPECT_EQ(c->m_vecFlowBlock.size(), 27u);
}

TEST_F(Events, TargetSlotRolledBackWhenTheConditionsFail) {
    cCharaData other;
    cChara* pOther = AddChara(other);
    cCharaData d;
    cFlow f = WaitFlow(4);
    f.m_bSetTarget = 1;
    f.m_nTargetSlot = 1;
    cCond cond;
    cond.m_nKind = COND_STAGE_VAR;
    cond.m_nVarNum = 5;
    cond.m_nValue = 1;
    f.m_vCond.push_back(cond);
    d.m_vFlow.push_back(f);
    cChara* c = AddChara(d);
    c->FireEvent(4, pOther);
    EXPECT_FALSE(c->m_vecFlowRun[0].m_bRun);
    EXPECT_EQ(c->m_vecTarget[1].Get(), nullptr);
    EXPECT_TRUE(pOther->m_vecLink.empty());

    scene.m_vecStageVar[5] = 1;
    c->ClearFrameFlags();
    c->FireEvent(4, pOther);
    EXPECT_TRUE(c->m_vecFlowRun[0].m_bRun);
    EXPECT_EQ(c->m_vecTarget[1].Get(), pOther);
    ASSERT_EQ(pOther->m_vecLink.size(), 1u);
    EXPECT_EQ(pOther->m_vecLink[0].nSlot, 1);
}

TEST_F(Events, TargetSlotBeyondThreeSetsNoTarget) {
    cCharaData other;
    cChara* pOther = AddChara(other);
    cCharaData d;
    cFlow f = WaitFlow(4);
    f.m_bSetTarget = 1;
    f.m_nTargetSlot = 9;
    d.m_vFlow.push_back(f);
    cChara* c = AddChara(d);
    c->FireEvent(4, pOther);
    EXPECT_TRUE(c->m_vecFlowRun[0].m_bRun);
    for (const cObjRef& r : c->m_vecTarget) EXPECT_EQ(r.Get(), nullptr);
}

TEST_F(Events, FiringRestoresTheCurrentRun) {
    cCharaData d;
    d.m_vFlow.push_back(WaitFlow(7));
    cChara* a = AddChara(d);
    cChara* b = AddChara(d);
    cFlowRun outer;
    cCmdRun cmd;
    scene.m_lpCurChara = a;
    scene.m_lpCurFlow = &outer;
    scene.m_lpCurCmd = &cmd;
    b->FireEvent(7);
    EXPECT_TRUE(b->m_vecFlowRun[0].m_bRun);
    EXPECT_EQ(scene.m_lpCurChara, a);
    EXPECT_EQ(scene.m_lpCurFlow, &outer);
    EXPECT_EQ(scene.m_lpCurCmd, &cmd);
}

TEST_F(Events, FlowIdRestrictsTheFlows) {
    cCharaData d;
    cFlow f1 = WaitFlow(18), f2 = WaitFlow(18);
    f1.m_nId = 1;
    f2.m_nId = 2;
    d.m_vFlow.push_back(f1);
    d.m_vFlow.push_back(f2);
    cChara* c = AddChara(d);
    c->FireEvent(18, nullptr, 2);
    EXPECT_FALSE(c->m_vecFlowRun[0].m_bRun);
    EXPECT_TRUE(c->m_vecFlowRun[1].m_bRun);
}

// ---- flows owned by the character ----

TEST_F(Events, EachCharacterOwnsItsFlows) {
    cCharaData d;
    cFlow f = WaitFlow(0);
    f.m_vCmd.insert(f.m_vCmd.begin(), Loop(2, 1));
    d.m_vFlow.push_back(f);
    cChara* a = AddChara(d);
    cChara* b = AddChara(d);
    // The loop was expanded in the characters' copies, not in the record.
    EXPECT_EQ(d.m_vFlow[0].m_vCmd.size(), 2u);
    EXPECT_EQ(a->m_Data.m_vFlow[0].m_vCmd.size(), 2u);
    EXPECT_EQ(a->m_vecFlowRun[0].m_lpFlow, &a->m_Data.m_vFlow[0]);
    EXPECT_EQ(a->m_vecFlowRun[0].m_vecCmdRun[1].m_lpCmd, &a->m_Data.m_vFlow[0].m_vCmd[1]);
    a->m_Data.m_vFlow[0].m_vCmd[0].m_nTime = 99;
    EXPECT_NE(b->m_Data.m_vFlow[0].m_vCmd[0].m_nTime, 99);

    // Adding flows before index 0 keeps every run on its own flow.
    cChkVector<cFlow> extra;
    extra.push_back(WaitFlow(5));
    a->InsertFlows(&extra, 1, 0);
    ASSERT_EQ(a->m_vecFlowRun.size(), 2u);
    for (size_t i = 0; i < 2; i++) EXPECT_EQ(a->m_vecFlowRun[i].m_lpFlow, &a->m_Data.m_vFlow[i]);
    EXPECT_EQ(a->m_Data.m_vFlow[0].m_nTrigger, 5);
    EXPECT_EQ(a->RemoveFlowsById(0), 0);
    EXPECT_TRUE(a->m_vecFlowRun.empty());
}

}  // namespace

namespace {

TEST_F(Events, QueuedAnimationGoesWithItsFlow) {
    cAnime anime;
    anime.m_vFrame.clear();
    cAnimeFrame f;
    f.m_nCell = 7;
    f.m_nTime = 1;
    anime.m_vFrame.push_back(f);
    f.m_nCell = 8;
    f.m_bLock = 1;
    anime.m_vFrame.push_back(f);
    db.m_vAnime.assign(2, anime);

    cCharaData d;
    cFlow flow = WaitFlow(7);
    flow.m_vCmd[0].m_nAnime = 1;
    flow.m_vCmd[0].m_nTime = 5;
    d.m_vFlow.push_back(flow);
    cChara* c = AddChara(d);
    ASSERT_EQ(c->m_vecFlowRun[0].m_vecAnimSched.size(), 1u);
    const ANIMSCHED& e = c->m_vecFlowRun[0].m_vecAnimSched[0];
    EXPECT_EQ(e.nFrame, 0);
    EXPECT_EQ(e.nSkip, 6);        // the lead of 6 frames comes before the command's start
    EXPECT_EQ(e.nCmdFrames, 30);
    EXPECT_EQ(e.bHold, 1);

    const int nBase = c->UpdateAnimation(1);
    c->FireEvent(7);
    c->StartScheduledAnims();
    ASSERT_EQ(c->m_lstAnimeQueue.size(), 1u);
    int nCell = c->UpdateAnimation(0);
    EXPECT_TRUE(nCell == 7 || nCell == 8) << nCell;
    c->PauseFlowAnims(c->m_vecFlowRun[0].m_nSerial);
    EXPECT_EQ(c->UpdateAnimation(1), nBase);   // a paused entry is not shown
    c->ResumeFlowAnims(c->m_vecFlowRun[0].m_nSerial);
    c->RemoveFlow(0);
    EXPECT_TRUE(c->m_lstAnimeQueue.empty());
    EXPECT_TRUE(c->m_vecFlowRun.empty());
    EXPECT_TRUE(c->m_Data.m_vFlow.empty());
}

}  // namespace
