// Palette inheritance: each property group copies exactly its members, and
// references outside their lists are dropped.
#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "RecordBodies.h"
#include "StageTestSupport.h"

namespace {

// Registered field bytes of r, one entry per field in file order.
template <class T>
std::vector<std::vector<uint8_t>> FieldImage(T& r) {
    r.RegisterFields(DATA_VERSION);
    std::vector<std::vector<uint8_t>> v;
    for (const FIELDDATA& fd : r.FieldTable()) {
        const uint8_t* p = static_cast<const uint8_t*>(fd.lpData);
        v.emplace_back(p, p + fd.nCount * fd.bySize);
    }
    return v;
}

template <class T>
void FillFields(T& r, uint8_t by) {
    r.RegisterFields(DATA_VERSION);
    for (const FIELDDATA& fd : r.FieldTable()) std::memset(fd.lpData, by, fd.nCount * fd.bySize);
}

// What a group holds besides registered fields.
enum { GRP_NAME = 1, GRP_COND = 2, GRP_LIST = 4 };
struct GROUP {
    std::set<int> setField;  // field numbers (1-based, file order)
    int nExtra;
};

template <class T>
class InheritTable : public StageRecordTest {
protected:
    // Runs every group alone from a source entry in the common palette.
    void Check(const std::vector<GROUP>& aGroup, cChkVector<T>& vPalette,
               void (*setList)(T&, int), size_t (*listTag)(const T&)) {
        T src;
        FillFields(src, 0x11);
        src.m_strName = "source";
        src.m_vCond.resize(2);
        setList(src, 2);
        vPalette.assign(2, T());
        vPalette[1] = src;

        T base;
        FillFields(base, 0x22);
        base.m_nInheritType = 1;
        base.m_nInheritNum = 1;
        base.m_strName = "target";
        base.m_vCond.resize(1);
        setList(base, 3);

        auto imgSrc = FieldImage(src);
        auto imgBase = FieldImage(base);
        ASSERT_EQ(aGroup.size(), base.m_vInheritFlag.size());
        for (size_t g = 0; g < aGroup.size(); g++) {
            SCOPED_TRACE(g);
            T t = base;
            t.m_vInheritFlag.assign(aGroup.size(), 0);
            t.m_vInheritFlag[g] = 1;
            t.ApplyInherit();
            auto img = FieldImage(t);
            ASSERT_EQ(img.size(), imgSrc.size());
            for (size_t k = 0; k < img.size(); k++) {
                bool bCopied = aGroup[g].setField.count(static_cast<int>(k) + 1) != 0;
                EXPECT_EQ(img[k], bCopied ? imgSrc[k] : imgBase[k]) << "field " << k + 1;
            }
            EXPECT_EQ(t.m_strName, (aGroup[g].nExtra & GRP_NAME) ? "source" : "target");
            EXPECT_EQ(t.m_vCond.size(), (aGroup[g].nExtra & GRP_COND) ? 2u : 1u);
            EXPECT_EQ(listTag(t), (aGroup[g].nExtra & GRP_LIST) ? 2u : 3u);
        }
    }
};

using BlockInherit = InheritTable<cBlockData>;
using CharaInherit = InheritTable<cCharaData>;
using ItemInherit = InheritTable<cItemData>;

TEST_F(BlockInherit, EachGroupCopiesExactlyItsMembers) {
    const std::vector<GROUP> aGroup = {
        {{}, GRP_NAME}, {{3, 4}, GRP_COND}, {{5, 6, 7}, 0}, {{8}, 0}, {{9}, 0}, {{10, 11}, 0},
        {{12}, 0}, {{13}, 0}, {{14, 15}, 0}, {{16, 17}, 0}, {{18}, 0},
    };
    // A block has no list; the tag is constant.
    Check(aGroup, ctx.vBlock[1], [](cBlockData&, int) {}, [](const cBlockData&) -> size_t { return 3; });
}

TEST_F(CharaInherit, EachGroupCopiesExactlyItsMembers) {
    const std::vector<GROUP> aGroup = {
        /* 0 */ {{}, GRP_NAME}, {{26, 27}, 0}, {{28}, 0}, {{29}, 0}, {{3, 4}, GRP_COND},
        /* 5 */ {{5}, 0}, {{6}, 0}, {{7, 8, 11}, 0}, {{9, 10, 12}, 0}, {{13, 14, 15}, 0},
        /* 10 */ {{16}, 0}, {{17}, 0}, {{18}, 0}, {{19, 20, 21}, 0}, {{22, 23}, 0},
        /* 15 */ {{24, 25}, 0}, {{31}, 0}, {{30}, 0}, {{32, 33}, 0}, {{34}, 0},
        /* 20 */ {{35}, 0}, {{36}, 0}, {{37, 38}, 0}, {{39}, 0}, {{40}, 0},
        /* 25 */ {{42}, 0}, {{43}, 0}, {{44}, 0}, {{45}, 0}, {{46}, 0},
        /* 30 */ {{47}, 0}, {{41}, 0}, {{52, 53}, 0}, {{50, 51}, 0}, {{48}, 0},
        /* 35 */ {{49}, 0}, {{}, GRP_LIST},
    };
    Check(aGroup, ctx.vChara[1],
          [](cCharaData& c, int n) {
              c.m_vFlow.assign(static_cast<size_t>(n), cFlow());
              for (cFlow& f : c.m_vFlow) f.m_nTrigger = 1;
          },
          [](const cCharaData& c) { return c.m_vFlow.size(); });
}

TEST_F(ItemInherit, EachGroupCopiesExactlyItsMembers) {
    const std::vector<GROUP> aGroup = {
        {{}, GRP_NAME}, {{3, 4}, GRP_COND}, {{5}, 0}, {{6}, 0}, {{7, 8, 9}, 0}, {{10}, 0},
        {{11}, 0}, {{12, 13}, 0}, {{16}, 0}, {{15}, 0}, {{14}, 0}, {{17}, 0}, {{}, GRP_LIST},
    };
    Check(aGroup, ctx.vItem[1], [](cItemData& d, int n) { d.m_vCmd.assign(static_cast<size_t>(n), cEdCmd()); },
          [](const cItemData& d) { return d.m_vCmd.size(); });
}

class InheritRefs : public StageRecordTest {
protected:
    void SetUp() override {
        StageRecordTest::SetUp();
        ctx.vBlock[1].assign(2, cBlockData());
        ctx.vBlock[1][1].m_nGraphic = 77;
        ctx.vBlock[1][1].m_strName = "palette";
        ctx.vBlock[2].assign(3, cBlockData());
    }
    // A block body with the given inheritance, all 11 flags set and picture 5.
    cByteBuilder Block(int nType, int nNum) {
        cByteBuilder b;
        AddFields(b, tblBlockFields, 854, {{1, nType}, {2, nNum}});
        b.I32(1).Str("own").I16(0).I16(0).I32(11).Fill(1, 11).I32(0);
        return b;
    }
};

TEST_F(InheritRefs, ReadResolvesOrDropsTheReference) {
    struct CASE { int nType, nNum; int nExpType, nExpNum; int nExpGraphic; };
    const CASE aCase[] = {
        {1, 1, 1, 1, 77},   // inherits
        {1, 0, 1, 0, 5},    // index 0 names nothing, even with flags set
        {1, 2, 0, 2, 5},    // index equal to the size: type dropped, index kept
        {1, -1, 0, -1, 5},  // negative index
        {2, 3, 0, 3, 5},    // stage palette of 3 entries
        {7, 1, 7, 1, 5},    // any other type: the record is its own source
    };
    for (const CASE& c : aCase) {
        SCOPED_TRACE(c.nType * 100 + c.nNum);
        cBlockData d;
        ASSERT_TRUE(ReadAt(d, 854, Block(c.nType, c.nNum)));
        EXPECT_EQ(d.m_nInheritType, c.nExpType);
        EXPECT_EQ(d.m_nInheritNum, c.nExpNum);
        EXPECT_EQ(d.m_nGraphic, c.nExpGraphic);
        EXPECT_EQ(d.m_strName, c.nExpGraphic == 77 ? "palette" : "own");
        EXPECT_EQ(d.m_vInheritFlag.size(), 11u);
    }
}

TEST_F(InheritRefs, NormalizeDropsTypeAndIndexTogether) {
    cBlockData d;
    d.m_nInheritType = 2;
    d.m_nInheritNum = 3;
    d.Normalize();
    EXPECT_EQ(d.m_nInheritType, 0);
    EXPECT_EQ(d.m_nInheritNum, 0);
    d.m_nInheritType = 2;
    d.m_nInheritNum = 2;
    d.Normalize();
    EXPECT_EQ(d.m_nInheritType, 2);
    EXPECT_EQ(d.m_nInheritNum, 2);
}

TEST_F(InheritRefs, SelfSourceLeavesCharacterUnchanged) {
    cCharaData c;
    c.m_nInheritType = 3;
    c.m_nInheritNum = 4;
    c.m_vInheritFlag.assign(CHARA_INHERIT_GROUPS, 1);
    c.m_nMaxHp = 55;
    c.m_strName = "self";
    c.m_vCond.resize(2);
    c.ApplyInherit();
    c.Normalize();
    EXPECT_EQ(c.m_nMaxHp, 55);
    EXPECT_EQ(c.m_strName, "self");
    EXPECT_EQ(c.m_vCond.size(), 2u);
    EXPECT_TRUE(c.m_vFlow.empty());  // the blank flow of the empty list is removed again
    cFlow f;
    f.m_nTrigger = 3;
    c.m_vFlow.assign(2, f);
    c.ApplyInherit();
    EXPECT_EQ(c.m_vFlow.size(), 2u);

    cItemData it;
    it.m_nInheritType = 9;
    it.m_nInheritNum = 1;
    it.m_vInheritFlag.assign(ITEM_INHERIT_GROUPS, 1);
    it.m_vCmd.resize(3);
    it.ApplyInherit();
    EXPECT_EQ(it.m_vCmd.size(), 3u);
}

TEST_F(InheritRefs, AttachedItemAndItemPaletteEntry) {
    ctx.vItem[1].assign(3, cItemData());
    ctx.vItem[2].assign(1, cItemData());
    cBlockData d;
    d.m_nItemType = 1;
    d.m_nItemNum = 3;
    d.m_nGraphic = 1;
    std::vector<uint8_t> v = WriteBytes(d);  // writing does not touch item references
    EXPECT_EQ(d.m_nItemNum, 3);
    d.NormalizeRefs();
    EXPECT_EQ(d.m_nItemType, 0);
    EXPECT_EQ(d.m_nItemNum, 0);
    d.m_nItemType = 1;
    d.m_nItemNum = 2;
    d.NormalizeRefs();
    EXPECT_EQ(d.m_nItemNum, 2);

    EXPECT_EQ(GetItemPaletteEntry(1, 2), &ctx.vItem[1][2]);
    EXPECT_EQ(GetItemPaletteEntry(1, 3), nullptr);
    EXPECT_EQ(GetItemPaletteEntry(1, -1), nullptr);
    EXPECT_EQ(GetItemPaletteEntry(2, 0), &ctx.vItem[2][0]);
    EXPECT_EQ(GetItemPaletteEntry(3, 0), nullptr);
    ctx.abPalette[2] = false;
    EXPECT_EQ(GetItemPaletteEntry(2, 0), nullptr);
}

TEST_F(InheritRefs, InheritedValuesAreWrittenAndFlagsKept) {
    cBlockData d;
    ASSERT_TRUE(ReadAt(d, 854, Block(1, 1)));
    cBlockData again;
    cByteBuilder b;
    std::vector<uint8_t> v = WriteBytes(d);
    b.Raw(v.data(), v.size());
    ctx.vBlock[1][1].m_nGraphic = 78;  // a later read inherits again
    ASSERT_TRUE(ReadAt(again, 854, b));
    EXPECT_EQ(again.m_nGraphic, 78);
    EXPECT_EQ(again.m_vInheritFlag, d.m_vInheritFlag);
}

}  // namespace
