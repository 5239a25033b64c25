#include <gtest/gtest.h>

#include <climits>

#include "FlowFixture.h"
#include "flow/RunCode.h"
#include "platform/CloseRequest.h"
#include "support/FakeMessageBox.h"

class RunCodeTest : public ::testing::Test, public cFlowFixture {
protected:
    void SetUp() override {
        me = AddChara(100, 40);
        ResetCloseRequests();
        ClearCodeCache();
    }
    // Runs a line; the text of the first box it showed ("" none).
    std::string Run(const char* text, int* pResult = nullptr) {
        cFakeMessageBox box;
        int r = RunCode(text, me);
        if (pResult) *pResult = r;
        EXPECT_EQ(GetCloseRequestCount(), 0u) << text;
        return box.Count() ? box.Boxes()[0].strText : std::string();
    }
    int32_t& C(int n) { return progress.m_vCommonVar[n]; }
    int32_t& S(int n) { return scene.m_vecStageVar[n]; }
    cChara* me = nullptr;
};

TEST_F(RunCodeTest, StatedExamples) {
    struct CASE {
        const char* text;
        int32_t want;   // my.v1 afterwards
    } cases[] = {
        {"my.v1 = 7 % 3", 1},
        {"my.v1 = -7 % 3", -1},
        {"v1 = 10 - 3 - 2", 5},
        {"v1 = 2 + 3 * 4", 14},
        {"v1 = (1 + 2) * 3", 9},
        {"v1 = 2+3", 2},
        {"v1 = 2 * (1 + 2)", 6},
        {"v1 = 2*(1 + 2)", 4},
        {"v1 = (2)0", 20},
        {"v1 = (-3)", -3},
        {"v1 = 9999999", 999999},
        {"v1 = ((((5))))", 5},
    };
    for (const CASE& c : cases) {
        me->m_vecVar[1] = 0;
        EXPECT_EQ(Run(c.text), "") << c.text;
        EXPECT_EQ(me->m_vecVar[1], c.want) << c.text;
    }
}

TEST_F(RunCodeTest, StatusesAndRanges) {
    EXPECT_EQ(Run("hp = 999999"), "");
    EXPECT_EQ(me->m_nHp, 100);
    EXPECT_EQ(Run("my.z = 12"), "");
    EXPECT_EQ(me->m_Data.m_nZ, 7);
    EXPECT_EQ(Run("my.imp = -30"), "");
    EXPECT_EQ(me->m_Data.m_nImpact, -20);
    EXPECT_EQ(Run("my.mhp = 0"), "");
    EXPECT_EQ(me->m_Data.m_nMaxHp, 1);
    EXPECT_EQ(me->m_nHp, 1);
    progress.m_nScore = 10;
    EXPECT_EQ(Run("score = score * 3"), "");
    EXPECT_EQ(progress.m_nScore, 30);
    progress.m_nLife = LIFE_UNLIMITED;
    EXPECT_EQ(Run("C3 = life"), "");
    EXPECT_EQ(C(3), 100);
    EXPECT_EQ(Run("life = 5"), "");
    EXPECT_EQ(progress.m_nLife, LIFE_UNLIMITED);
}

TEST_F(RunCodeTest, ValuesAreReadBeforeAnyAssignment) {
    C(2) = 8;
    // The first "=" stores the old C2 in C1; the second has a number on its left.
    EXPECT_EQ(Run("C1 = C2 = 3"), "代入先が不正です！");
    EXPECT_EQ(C(1), 8);
    EXPECT_EQ(C(2), 8);
    // Run every step by a command of 1 s, C1 = C1 + 1 adds 60.
    C(1) = 0;
    cEdCmd cmd = MakeCmd(CMD_CODE, {}, 10);
    cmd.m_strText = "C1 = C1 + 1";
    cCmdRun run;
    InitCmdRun(run, &cmd, me);
    run.Begin(me, nullptr);
    int n = 0;
    while (!run.Exec(me, nullptr)) n++;
    EXPECT_EQ(n + 1, 60);
    EXPECT_EQ(C(1), 60);
}

TEST_F(RunCodeTest, Rule752KeepsTheDivisor) {
    EXPECT_EQ(Run("C1 = 7 / 2 + 1"), "");
    EXPECT_EQ(C(1), 4);
    sys.m_bRule752 = 1;
    EXPECT_EQ(Run("C1 = 8 / 2 + 1"), "");
    EXPECT_EQ(C(1), 4);   // the quotient; the leftover 2 is added to 1 apart
}

TEST_F(RunCodeTest, RandomIsWithinItsBounds) {
    for (int i = 0; i < 50; i++) {
        EXPECT_EQ(Run("C5 = rand(10,1)"), "");
        EXPECT_GE(C(5), 1);
        EXPECT_LE(C(5), 10);
    }
    EXPECT_EQ(Run("C5 = rand(-2147483648,2147483647)"), "");
}

TEST_F(RunCodeTest, ErrorsShowTheirMessageAndStoreNothing) {
    struct CASE {
        const char* text;
        const char* box;
    } cases[] = {
        {"my.v1 = 7 / 0", "0除算が行われました！(my.v1 = 7 / 0)"},
        {"C1 = (5 / 0)", "0除算が行われました！(5 / 0)"},
        {"C1 = rand(3)", "関数 rand の引数が不正です！"},
        {"C1 = rand(3,4", "関数 rand で\")\"が見つかりません！"},
        {"S2 = ((4)", "\")\"が見つかりません！"},
        {"xyz.hp = 1", "オブジェクト \"xyz.\" が認識できません！"},
        {"5 = 3", "代入先が不正です！"},
        {"C1 = 5 +", "演算子のエラー（未定義？）"},
        {"C1 = * 5", "演算子のエラー（未定義？）"},
        {"C1 = C1001", "オブジェクトの設定エラー!"},
        {"S-1 = 5", "オブジェクトの設定エラー!"},
        {"C1 = sys.hp", "オブジェクトの設定エラー!"},
    };
    for (const CASE& c : cases) {
        C(1) = 111;
        me->m_vecVar[1] = 111;
        int r = 1;
        EXPECT_EQ(Run(c.text, &r), c.box) << c.text;
        EXPECT_EQ(r, 0) << c.text;
        EXPECT_EQ(C(1), 111) << c.text;
        EXPECT_EQ(me->m_vecVar[1], 111) << c.text;
    }
}

// Only the word "rand" itself calls the random function: a longer word that
// starts with it is no call, so rand(5,5)'s 5 never comes out of it.
TEST_F(RunCodeTest, OnlyTheWordRandCallsTheRandomFunction) {
    struct CASE {
        const char* text;
        int nRandValue;   // what the line would store were the word the call
    } const cases[] = {{"C1 = randx(5,5)", 5}, {"C1 = 2 + random(5,5)", 7}, {"C1 = rand_(5,5) * 3", 15}};
    for (const CASE& c : cases) {
        C(1) = 111;
        Run(c.text);
        EXPECT_NE(C(1), c.nRandValue) << c.text;
    }
    EXPECT_EQ(Run("C1 = 2 + rand(5,5)"), "");
    EXPECT_EQ(C(1), 7);
}

TEST_F(RunCodeTest, EdgeCases) {
    int r = 0;
    // A missing target ends the line silently.
    EXPECT_EQ(Run("tg.hp = 0", &r), "");
    EXPECT_EQ(r, 0);
    // Variable 1000 exists on both sides.
    EXPECT_EQ(Run("C1000 = 3"), "");
    EXPECT_EQ(Run("S1000 = C1000 + 1"), "");
    EXPECT_EQ(S(1000), 4);
    // An empty line does nothing.
    EXPECT_EQ(Run("", &r), "");
    EXPECT_EQ(r, 1);
    EXPECT_EQ(Run("   ", &r), "");
    // Wrapping arithmetic and the INT_MIN cases.
    EXPECT_EQ(Run("C1 = (2147483647 + 1) / -1"), "");
    EXPECT_EQ(C(1), -999999);
    EXPECT_EQ(Run("C1 = (0 - 2147483647 - 1) % -1"), "");
    EXPECT_EQ(C(1), 0);
    // A deep nest is refused, not recursed without end.
    std::string deep = "C1 = " + std::string(200, '(') + "1" + std::string(200, ')');
    EXPECT_EQ(Run(deep.c_str()), "括弧が深すぎます！");
    // A prefix that is not an object after a word is ignored.
    EXPECT_EQ(Run("C1 = 5 xyz.v1"), "");
    EXPECT_EQ(C(1), 5);
    // HP of another character at 0 asks for the death test; my HP change starts the gauge.
    cChara* tg = AddChara();
    SetTarget(me, 0, tg);
    EXPECT_EQ(Run("tg.hp = 0"), "");
    EXPECT_EQ(scene.m_bCheckDead, 1);
    EXPECT_EQ(Run("hp = hp - 10"), "");
    EXPECT_GT(me->m_HpGauge.nShown, 0);
}

TEST_F(RunCodeTest, ATextIsParsedOnce) {
    auto a = ParseCode("C1 = C1 + 1");
    auto b = ParseCode("C1 = C1 + 1");
    EXPECT_EQ(a.get(), b.get());
    EXPECT_EQ(CodeParseError(*a), "");
    EXPECT_EQ(CodeParseError(*ParseCode("C1 = (1")), "\")\"が見つかりません！");
}

TEST_F(RunCodeTest, AFailingTextShowsItsBoxOnce) {
    // A command runs its text at every step: 3 runs of one bad text raise one
    // box, and each run still fails and stores nothing.
    cFakeMessageBox box;
    C(1) = 111;
    for (int i = 0; i < 3; i++) EXPECT_EQ(RunCode("C1 = 5 +", me), 0);
    EXPECT_EQ(box.Count(), 1u);
    // Another bad text has a box of its own, once.
    for (int i = 0; i < 3; i++) EXPECT_EQ(RunCode("C1 = 7 / 0", me), 0);
    ASSERT_EQ(box.Count(), 2u);
    EXPECT_EQ(box.Boxes()[1].strText, "0除算が行われました！(C1 = 7 / 0)");
    EXPECT_EQ(C(1), 111);
    // A missing target is no report: the same text shows its division box
    // once a target is there.
    EXPECT_EQ(RunCode("tg.v1 = 1 / 0", me), 0);
    EXPECT_EQ(box.Count(), 2u);
    SetTarget(me, 0, AddChara());
    EXPECT_EQ(RunCode("tg.v1 = 1 / 0", me), 0);
    EXPECT_EQ(box.Count(), 3u);
}

TEST_F(RunCodeTest, TheLongestTextRunsAndALongerOneIsAnError) {
    // "C1 = 1" padded with blanks to 4096 characters stores 1; one blank
    // more is refused with its box (once) and stores nothing.
    std::string text = "C1 = 1";
    text.resize(4096, ' ');
    EXPECT_EQ(Run(text.c_str()), "");
    EXPECT_EQ(C(1), 1);
    C(1) = 111;
    text.push_back(' ');
    int r = 1;
    EXPECT_EQ(Run(text.c_str(), &r), "コードが長すぎます！(4096文字まで)");
    EXPECT_EQ(r, 0);
    EXPECT_EQ(C(1), 111);
    EXPECT_EQ(Run(text.c_str(), &r), "");
    EXPECT_EQ(r, 0);
}

// Steps taken to parse and run a text (a fresh parse).
uint64_t StepsToRun(const std::string& text, cCharaBase* pChara) {
    ClearCodeCache();
    cFakeMessageBox box;
    uint64_t n0 = CodeStepCount();
    RunCode(text, pChara);
    return CodeStepCount() - n0;
}

TEST_F(RunCodeTest, WorkGrowsInStepWithTheText) {
    // Texts of n and 2n repeats: twice the text takes about twice the steps
    // (a rescan from the left after each reduction or each "(" would take
    // four times as many).
    struct CASE {
        const char* head;
        const char* unit;
        int n;
        int32_t want;   // C1 after the 2n text
    } cases[] = {
        {"C1 = 0", " + 1", 400, 800},                  // 800 ones
        {"C1 = 0", " + (1)", 250, 500},                // groups spliced in
        {"C1 = 0", " + rand(2,2)", 150, 600},          // 300 calls of value 2
        {"C1 = 1", " * 1 - 0", 200, 1},
        {"C1 = 3 x", "(", 1500, 3},                    // "(" inside a word
    };
    for (const CASE& c : cases) {
        std::string a = c.head, b = c.head;
        for (int i = 0; i < c.n; i++) a += c.unit;
        for (int i = 0; i < 2 * c.n; i++) b += c.unit;
        ASSERT_LE(b.size(), CODE_MAX_TEXT) << c.unit;
        uint64_t na = StepsToRun(a, me), nb = StepsToRun(b, me);
        EXPECT_EQ(C(1), c.want) << c.unit;
        EXPECT_LT(nb, na * 5 / 2) << c.unit << ": " << na << " then " << nb;
    }
}

TEST_F(RunCodeTest, ParsingALongTextIsLinear) {
    // Beyond what a command runs, a parse of 32 KB and of 64 KB.
    std::string a, b;
    while (a.size() < 32768) a += "(1) + rand(1,2) - x(( ";
    b = a + a;
    ClearCodeCache();
    uint64_t n0 = CodeStepCount();
    auto pa = ParseCode(a);
    uint64_t n1 = CodeStepCount();
    auto pb = ParseCode(b);
    uint64_t n2 = CodeStepCount();
    EXPECT_EQ(CodeParseError(*pb), "");
    EXPECT_LT(n2 - n1, (n1 - n0) * 5 / 2);
}
