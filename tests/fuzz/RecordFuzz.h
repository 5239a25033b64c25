#pragma once
// Helpers of the record file targets: reading an input as a record file,
// writing a record to bytes, and the fixed-point property (after one read,
// writing, reading and writing again gives the same bytes).
#include <memory>

#include "FuzzTarget.h"
#include "foundation/Record.h"
#include "platform/MessageBox.h"

// The record file in the working folder that the targets read.
constexpr const char* FUZZ_RECORD_FILE = "fuzz-in.dat";
constexpr const char* FUZZ_RECORD_OUT = "fuzz-out.dat";
// The feature kind of a record file's version word.
constexpr uint32_t FUZZFEATURE_RECORD_VERSION = 0x7265636F;

// Boxes shown by a reader (a damaged file's message) are answered at once
// with the default answer and not kept.
class cFuzzMessageBox : public IMessageBoxService {
public:
    cFuzzMessageBox() { SetMessageBoxService(this); }
    ~cFuzzMessageBox() override { SetMessageBoxService(nullptr); }
    int Show(const char*, const char*, unsigned nType) override { return DefaultBoxAnswer(nType); }
};

// Loads a record file image through the record base (version word checked).
template <class T>
bool LoadRecordBytes(T& rec, const uint8_t* pData, size_t nSize) {
    FuzzWriteFile(FUZZ_RECORD_FILE, pData, nSize);
    if (rec.Load(FUZZ_RECORD_FILE) != 1) return false;
    // The version word read: each older layout is a feature of its own.
    FuzzFeature(FUZZFEATURE_RECORD_VERSION, nFileVer);
    return true;
}

// The file our writer makes of rec (version word included).
template <class T>
FUZZBYTES SaveRecordBytes(T& rec) {
    FuzzCheck(rec.Save(FUZZ_RECORD_OUT) == 1);
    return FuzzReadFile(FUZZ_RECORD_OUT);
}

// rec was read from a file: its writing is a fixed point.
template <class T>
void CheckRecordFixedPoint(T& rec) {
    FuzzAccepted();
    FUZZBYTES a = SaveRecordBytes(rec);
    auto p2 = std::make_unique<T>();
    FuzzCheck(LoadRecordBytes(*p2, a.data(), a.size()));
    FUZZBYTES b = SaveRecordBytes(*p2);
    FuzzCheck(a == b);
}
