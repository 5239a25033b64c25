#include <gtest/gtest.h>

#include "support/ByteBuilder.h"
#include "support/TempDir.h"
#include "frontend/Option.h"

namespace {

class OptionFile : public ::testing::Test {
protected:
    void SetUp() override {
        nSavedVer = nDataVer;
        nDataVer = DATA_VERSION;
        dir.MakeDir("user_data");
    }
    void TearDown() override { nDataVer = nSavedVer; }
    uint32_t nSavedVer = 0;
    cTempDir dir;
};

TEST_F(OptionFile, DefaultsAndGoldenBytes) {
    cOption o;
    EXPECT_EQ(o.m_nPaletteVariant, 0);
    EXPECT_EQ(o.m_bBgm, 1);
    EXPECT_EQ(o.m_nVolume, 7);
    EXPECT_EQ(o.m_nRankingMode, 0);
    EXPECT_EQ(o.m_strName, "aaa");
    o.m_nVolume = 10;
    o.m_strName = "ﾃｽﾄ";
    ASSERT_EQ(o.Save("user_data\\Option.dat"), 1);
    cByteBuilder want;
    want.U32(854).I32(4).I32(0).I32(1).I32(10).I32(0).I32(1).Str(o.m_strName);
    EXPECT_EQ(ReadHostFile(dir.File("user_data/Option.dat")), want.Bytes());
    cOption back;
    back.m_strName.clear();
    ASSERT_EQ(back.Load("user_data\\Option.dat"), 1);
    EXPECT_EQ(back.m_nVolume, 10);
    EXPECT_EQ(back.m_strName, o.m_strName);
}

TEST_F(OptionFile, ValuesOutOfRangeTakeTheirDefaults) {
    cByteBuilder b;
    b.U32(854).I32(4).I32(24).I32(5).I32(-1).I32(9).I32(1).Str("");
    ASSERT_TRUE(b.WriteFile(dir.File("user_data/Option.dat")));
    cOption o;
    ASSERT_EQ(o.Load("user_data\\Option.dat"), 1);
    EXPECT_EQ(o.m_nPaletteVariant, 0);
    EXPECT_EQ(o.m_bBgm, 1);
    EXPECT_EQ(o.m_nVolume, 7);
    EXPECT_EQ(o.m_nRankingMode, 0);
    EXPECT_EQ(o.m_strName, "");
    EXPECT_EQ(GetOptionVolume(11), -150);
    EXPECT_EQ(GetOptionVolume(0), -10000);
}

}  // namespace
