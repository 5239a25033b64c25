#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "frontend/SaveSlotList.h"
#include "platform/TextCodec.h"
#include "project/LocalTime.h"
#include "project/Progress.h"
#include "project/ProjectContext.h"
#include "project/SaveSlots.h"
#include "project/SystemData.h"
#include "support/TempDir.h"

namespace {

// Tuesday 2 March 2024, 14:05:07 (year, month, day of the week, day, hour,
// minute, second, milliseconds).
SYSTEMTIME FixedTime() { return SYSTEMTIME{2024, 3, 6, 2, 14, 5, 7, 0}; }

std::string Utf8(const char8_t* psz) { return reinterpret_cast<const char*>(psz); }

class SaveSlotList : public ::testing::Test {
protected:
    void SetUp() override {
        savedSystem = recSystem;
        savedSlots = vecSaveSlot;
        recSystem = cSystemData();
        recSystem.m_bUseSaveSlots = 1;
        SetLocalTimeSource(&FixedTime);
        ASSERT_TRUE(dir.MakeDir("user_data/story"));
    }
    void TearDown() override {
        SetLocalTimeSource(nullptr);
        recSystem = savedSystem;
        vecSaveSlot = savedSlots;
    }
    std::vector<uint8_t> ReadSlotFile(const char* pszName) {
        std::vector<uint8_t> v;
        FILE* f = std::fopen(dir.File(pszName).c_str(), "rb");
        if (!f) return v;
        int c;
        while ((c = std::fgetc(f)) != EOF) v.push_back(static_cast<uint8_t>(c));
        std::fclose(f);
        return v;
    }

    cTempDir dir;
    cSystemData savedSystem;
    cChkVector<cSaveSlotInfo> savedSlots;
};

// A save cut short is listed with the damaged-file text where the date of a
// good save stands; a good save shows its time, a newer program's save says
// so, an empty slot shows nothing.
TEST_F(SaveSlotList, DamagedSlotShowsWhyInsteadOfItsDate) {
    cProgress p;
    p.NewStory();
    ASSERT_EQ(p.SaveToSlot(0), 1);
    ASSERT_EQ(p.SaveToSlot(1), 1);
    ASSERT_EQ(p.SaveToSlot(2), 1);
    std::vector<uint8_t> bytes = ReadSlotFile("user_data/story/Story01.dat");
    ASSERT_GT(bytes.size(), 20u);
    // Slot 1 loses its last ten bytes; slot 3 carries version 855
    // (0x357) in its version word.
    ASSERT_TRUE(dir.WriteFile("user_data/story/Story01.dat", std::vector<uint8_t>(bytes.begin(), bytes.end() - 10)));
    std::vector<uint8_t> newer = bytes;
    newer[0] = 0x57;
    newer[1] = 0x03;
    ASSERT_TRUE(dir.WriteFile("user_data/story/Story03.dat", newer));

    ScanSaveSlots(vecSaveSlot);
    ASSERT_EQ(vecSaveSlot[0].m_nState, SLOTSTATE_DAMAGED);
    struct CASE {
        int nSlot;
        std::string strUtf8;
    };
    const CASE cases[] = {
        {0, Utf8(u8"データが壊れています")},
        {1, "2024/03/02 14:05"},   // the fixed time above
        {2, Utf8(u8"新しいバージョンのデータです")},   // newer: there, to keep
        {3, ""},                   // no file
    };
    for (const CASE& c : cases)
        EXPECT_EQ(SjisToUtf8(SaveSlotLabel(vecSaveSlot[static_cast<size_t>(c.nSlot)])), c.strUtf8) << c.nSlot;
    // The text is the program's own Shift-JIS: ten double-byte characters.
    EXPECT_EQ(SaveSlotLabel(vecSaveSlot[0]).size(), 20u);
}

}  // namespace
