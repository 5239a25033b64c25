// The ten database list files. The input's first byte picks the list, the
// rest is the file. A refused file leaves the list as it was; an accepted
// one writes back to a fixed point, and every list keeps its entry 0.
#include "FuzzCorpus.h"
#include "FuzzTarget.h"
#include "RecordFuzz.h"

#include "../../tools/mkdemo/DemoProject.h"
#include "project/Database.h"

namespace {

FUZZBYTES SaveList(cDatabase& db, int nList) {
    FuzzCheck(db.SaveList(nList, FUZZ_RECORD_OUT) == 1);
    return FuzzReadFile(FUZZ_RECORD_OUT);
}

}  // namespace

std::vector<FUZZBYTES> FuzzSeeds() {
    std::vector<FUZZBYTES> v;
    auto pDemo = std::make_unique<cDatabase>();
    MakeDemoDatabase(*pDemo);
    auto pDefault = std::make_unique<cDatabase>();
    for (int n = 0; n < DBLIST_COUNT; ++n) {
        for (cDatabase* p : {pDemo.get(), pDefault.get()}) {
            FUZZBYTES b = SaveList(*p, n);
            b.insert(b.begin(), static_cast<uint8_t>(n));
            v.push_back(std::move(b));
        }
    }
    return v;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    if (nSize < 1) return 0;
    static cFuzzMessageBox box;
    int nList = pData[0] % DBLIST_COUNT;
    // The previous state: the demo database's lists.
    static cDatabase* pDb = [] {
        auto* p = new cDatabase();
        MakeDemoDatabase(*p);
        return p;
    }();
    static FUZZBYTES avBefore[DBLIST_COUNT];
    if (avBefore[nList].empty()) avBefore[nList] = SaveList(*pDb, nList);

    FuzzWriteFile(FUZZ_RECORD_FILE, pData + 1, nSize - 1);
    if (!pDb->LoadList(nList, FUZZ_RECORD_FILE)) {
        FuzzCheck(SaveList(*pDb, nList) == avBefore[nList]);
        return 0;
    }
    FuzzAccepted();
    FuzzCheck(pDb->GetListCount(nList) >= 1);
    // Each list's entry count (its size class) is a feature of its own, so
    // that the corpus grows a list at a time.
    FuzzFeature(1, static_cast<uint64_t>(nList) << 32 | FuzzSizeClass(static_cast<size_t>(pDb->GetListCount(nList))));
    FUZZBYTES a = SaveList(*pDb, nList);
    auto p2 = std::make_unique<cDatabase>();
    FuzzCheck(p2->LoadList(nList, FUZZ_RECORD_OUT) == 1);
    FuzzCheck(SaveList(*p2, nList) == a);
    // Back to the demo list for the next input.
    FuzzWriteFile(FUZZ_RECORD_FILE, avBefore[nList].data(), avBefore[nList].size());
    FuzzCheck(pDb->LoadList(nList, FUZZ_RECORD_FILE) == 1);
    return 0;
}
