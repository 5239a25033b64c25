#include <gtest/gtest.h>

#include "ProjectTestUtil.h"
#include "project/LocalTime.h"
#include "project/Progress.h"
#include "project/ProjectContext.h"
#include "project/SaveSlots.h"
#include "project/SystemData.h"
#include "project/WorldMap.h"

namespace {

SYSTEMTIME FixedTime() { return SYSTEMTIME{2024, 3, 6, 2, 14, 5, 7, 0}; }

class SaveSlots : public cProjectTest {
protected:
    SaveSlots() : m_savedSystem(recSystem), m_savedMap(recWorldMap), m_savedSlots(vecSaveSlot) {
        recSystem.SetDefault();
        recWorldMap.SetDefault();
        vecSaveSlot.assign(SAVE_SLOT_COUNT, cSaveSlotInfo());
        SetLocalTimeSource(&FixedTime);
        EXPECT_TRUE(m_dir.MakeDir("user_data/story"));
        EXPECT_TRUE(m_dir.MakeDir("user_data/challenge"));
    }
    ~SaveSlots() override {
        SetLocalTimeSource(nullptr);
        recSystem = m_savedSystem;
        recWorldMap = m_savedMap;
        vecSaveSlot = m_savedSlots;
    }
    cSystemData m_savedSystem;
    cWorldMap m_savedMap;
    cChkVector<cSaveSlotInfo> m_savedSlots;
};

TEST_F(SaveSlots, PathTable) {
    struct CASE { int nSlot; const char* psz; };
    for (CASE c : {CASE{0, "user_data\\story\\Story01.dat"}, {9, "user_data\\story\\Story10.dat"},
                   {98, "user_data\\story\\Story99.dat"}, {99, ""}, {-1, ""}})
        EXPECT_EQ(MakeSlotPath(c.nSlot), c.psz) << c.nSlot;
    cProgress p;
    EXPECT_EQ(p.SaveToSlot(99), 0);
    EXPECT_EQ(p.SaveToSlot(-1), 0);
    EXPECT_EQ(p.LoadFromSlot(99), 0);
}

TEST_F(SaveSlots, ScanOverMissingNewerAndDamagedSlots) {
    cProgress p;
    p.m_strName = "zed";
    ASSERT_EQ(p.SaveToSlot(1), 1);
    EXPECT_EQ(vecSaveSlot[1].m_bExist, 1);   // refreshed at once
    EXPECT_EQ(vecSaveSlot[1].m_stSaveTime.wHour, 14);
    std::vector<uint8_t> saved = ReadHostFile(Host("user_data\\story\\Story02.dat"));
    ASSERT_FALSE(saved.empty());
    // Slot 2 from a newer program, slot 3 cut short, slot 4 too short for a
    // version word.
    std::vector<uint8_t> newer = saved;
    newer[0] = 0x57;   // 855
    ASSERT_TRUE(Write("user_data\\story\\Story03.dat", cByteBuilder().Raw(newer.data(), newer.size())));
    ASSERT_TRUE(Write("user_data\\story\\Story04.dat", cByteBuilder().Raw(saved.data(), saved.size() - 10)));
    ASSERT_TRUE(Write("user_data\\story\\Story05.dat", cByteBuilder().U16(854)));

    vecSaveSlot.assign(SAVE_SLOT_COUNT, cSaveSlotInfo());
    ScanSaveSlots(vecSaveSlot);
    struct CASE { int nSlot, bExist, nState; bool bContinue, bAsk; };
    const CASE cases[] = {
        {0, 0, SLOTSTATE_EMPTY, false, false},   {1, 1, SLOTSTATE_SAVED, true, false},
        {2, 0, SLOTSTATE_NEWER, false, true},    {3, 1, SLOTSTATE_DAMAGED, false, true},
        {4, 1, SLOTSTATE_DAMAGED, false, true},  {98, 0, SLOTSTATE_EMPTY, false, false},
    };
    for (const CASE& c : cases) {
        const cSaveSlotInfo& s = vecSaveSlot[static_cast<size_t>(c.nSlot)];
        EXPECT_EQ(s.m_bExist, c.bExist) << c.nSlot;
        EXPECT_EQ(s.m_nState, c.nState) << c.nSlot;
        EXPECT_EQ(s.CanContinue(), c.bContinue) << c.nSlot;
        EXPECT_EQ(s.AsksBeforeOverwrite(), c.bAsk) << c.nSlot;
    }
    EXPECT_EQ(vecSaveSlot[1].m_stSaveTime.wYear, 2024);
    EXPECT_EQ(vecSaveSlot[1].m_stSaveTime.wMinute, 5);

    // Loading gives the real result and remembers the slot.
    cProgress q;
    q.m_strName = "mine";
    for (int nSlot : {0, 2, 3, 4}) {
        EXPECT_EQ(q.LoadFromSlot(nSlot), 0) << nSlot;
        EXPECT_EQ(q.m_strName, "mine");
        EXPECT_EQ(q.m_nSaveSlot, -1);
    }
    ASSERT_EQ(q.LoadFromSlot(1), 1);
    EXPECT_EQ(q.m_strName, "zed");
    EXPECT_EQ(q.m_nSaveSlot, 1);
}

TEST_F(SaveSlots, LivesFollowTheSettings) {
    cProgress p;
    p.m_nLife = LIFE_UNLIMITED;
    p.m_nLifeStart = LIFE_UNLIMITED;
    ASSERT_EQ(p.SaveToSlot(0), 1);
    ASSERT_EQ(p.SaveChallenge(), 1);
    recSystem.m_vLifeInfinite.assign({0, 0, 1, 1});
    recSystem.m_vLife.assign({4, 6, 1, 1});
    cProgress q;
    ASSERT_EQ(q.LoadFromSlot(0), 1);
    EXPECT_EQ(q.m_nLife, 4);
    ASSERT_EQ(q.LoadChallenge(), 1);
    EXPECT_EQ(q.m_nLife, 6);
    recSystem.m_vLifeInfinite.assign({1, 1, 1, 1});
    p.m_nLife = 2;
    ASSERT_EQ(p.SaveToSlot(0), 1);
    ASSERT_EQ(q.LoadFromSlot(0), 1);
    EXPECT_EQ(q.m_nLife, LIFE_UNLIMITED);
    EXPECT_EQ(q.m_nLifeStart, LIFE_UNLIMITED);
}

TEST_F(SaveSlots, MissingChallengeFile) {
    cProgress p;
    p.m_strName = "keep";
    EXPECT_EQ(p.LoadChallenge(), 0);
    EXPECT_EQ(p.m_strName, "keep");
}

TEST_F(SaveSlots, FailedSaveKeepsTheOldSlot) {
    cProgress p;
    p.m_strName = "old";
    ASSERT_EQ(p.SaveToSlot(0), 1);
    std::vector<uint8_t> before = ReadHostFile(Host("user_data\\story\\Story01.dat"));
    SYSTEMTIME stBefore = p.m_stSaveTime;
    vecSaveSlot[0].m_stSaveTime.wYear = 1999;   // marks the summary
    // The temporary file cannot be made: its name is taken by a folder.
    ASSERT_TRUE(m_dir.MakeDir("user_data/story/Story01.dat.tmp"));
    p.m_strName = "new";
    SetLocalTimeSource([] { return SYSTEMTIME{2030, 1, 1, 1, 1, 1, 1, 1}; });
    EXPECT_EQ(p.SaveToSlot(0), 0);
    EXPECT_EQ(ReadHostFile(Host("user_data\\story\\Story01.dat")), before);
    EXPECT_EQ(vecSaveSlot[0].m_stSaveTime.wYear, 1999);   // not refreshed
    EXPECT_EQ(p.m_stSaveTime.wYear, stBefore.wYear);
    // A story folder that is a file: nothing can be written under it.
    ASSERT_TRUE(m_dir.WriteFile("user_data/challenge2", std::string("x")));
    EXPECT_EQ(p.Save("user_data\\challenge2\\Challenge.dat"), 0);
}

}  // namespace
