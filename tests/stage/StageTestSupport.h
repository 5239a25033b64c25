#pragma once
// Helpers of the stage record tests: a settable context, reading a record
// from hand-built bytes at a given version and writing a record to bytes.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <memory>
#include <vector>

#include "foundation/Record.h"
#include "stage/BlockData.h"
#include "stage/CharaData.h"
#include "stage/ItemData.h"
#include "stage/StageContext.h"
#include "support/ByteBuilder.h"
#include "support/TempDir.h"

class cTestContext : public cStageContext {
public:
    bool bTestPlay = false;
    bool bKeepTestFlows = false;
    int anDbCount[DBLIST_COUNT] = {};
    std::map<int, std::vector<int>> mapSwordTimes;
    cChkVector<cBlockData> vBlock[3];
    cChkVector<cCharaData> vChara[3];
    cChkVector<cItemData> vItem[3];
    bool abPalette[3] = {false, true, true};
    int nReplayVer = 0;

    bool IsTestPlay() const override { return bTestPlay; }
    bool SystemKeepsTestFlows() const override { return bKeepTestFlows; }
    int DatabaseCount(int n) const override { return (n >= 0 && n < DBLIST_COUNT) ? anDbCount[n] : 0; }
    std::vector<int> SwordPartTimes(int nType) const override {
        auto it = mapSwordTimes.find(nType);
        return it == mapSwordTimes.end() ? std::vector<int>{} : it->second;
    }
    const cChkVector<cBlockData>* BlockPalette(int t) const override { return Pal(vBlock, t); }
    const cChkVector<cCharaData>* CharaPalette(int t) const override { return Pal(vChara, t); }
    const cChkVector<cItemData>* ItemPalette(int t) const override { return Pal(vItem, t); }
    int ReplayPlaybackVersion() const override { return nReplayVer; }

    // Every database list large enough for any test value.
    void FillDatabase(int n) {
        for (int& c : anDbCount) c = n;
    }

private:
    template <class T>
    const cChkVector<T>* Pal(const cChkVector<T>* v, int t) const {
        return (t == 1 || t == 2) && abPalette[t] ? &v[t] : nullptr;
    }
};

// Sets the data version and installs a fresh context for each test.
class StageRecordTest : public ::testing::Test {
protected:
    void SetUp() override {
        nDataVer = DATA_VERSION;
        nFileVer = DATA_VERSION;
        m_pScope = std::make_unique<cStageContextScope>(ctx);
        m_pPrevProcess = SetStageContext(&ctx);  // for the loader thread
    }
    void TearDown() override {
        SetStageContext(m_pPrevProcess);
        m_pScope.reset();
        nFileVer = DATA_VERSION;
    }

    // Reads r from bytes that a file of version nVer holds. Returns whether
    // the stream stayed sound and was used up exactly.
    template <class T>
    bool ReadAt(T& r, uint32_t nVer, const cByteBuilder& b) {
        nFileVer = nVer;
        std::unique_ptr<cDataFile> fp(cDataFile::FromBytes(b.Bytes()));
        r.Read(fp.get());
        bool bOk = !fp->IsFailed() && fp->BytesLeft() == 0;
        nFileVer = DATA_VERSION;
        return bOk;
    }

    // The body bytes our writer produces for r (the version word cut off).
    template <class T>
    std::vector<uint8_t> WriteBytes(T& r) {
        cTempDir dir;
        cDataFile* fp = CreateDataFile("rec.dat");
        EXPECT_NE(fp, nullptr);
        if (!fp) return {};
        r.Write(fp);
        EXPECT_EQ(CloseDataFile(fp), 1);
        std::vector<uint8_t> v = ReadHostFile(dir.File("rec.dat"));
        EXPECT_GE(v.size(), 4u);
        if (v.size() < 4) return {};
        return std::vector<uint8_t>(v.begin() + 4, v.end());
    }

    // Writes r, reads the bytes into a new record, writes that again: the
    // two byte images must match (a fixed point).
    template <class T>
    void ExpectWriteReadFixedPoint(T& r) {
        std::vector<uint8_t> a = WriteBytes(r);
        T r2;
        cByteBuilder b;
        b.Raw(a.data(), a.size());
        EXPECT_TRUE(ReadAt(r2, DATA_VERSION, b));
        EXPECT_EQ(WriteBytes(r2), a);
    }

    cTestContext ctx;

private:
    std::unique_ptr<cStageContextScope> m_pScope;
    cStageContext* m_pPrevProcess = nullptr;
};
