#pragma once
// The versioned record base and the record file format.
//
// A record registers its stored members in two descriptor tables, numeric
// fields and strings, for a given data version; the base reads, writes,
// clears and copies whatever is registered. A record file is a 4-byte
// version word followed by what the file's owner writes; a record body is a
// field count, the fields, a string count and the strings, then the lists a
// derived record appends. All integers are little-endian.
//
// Reading never trusts the file: every count and length is bounded by the
// bytes left, and any inconsistency marks the stream failed. A failed stream
// reads zeros from then on, so callers may finish their reads and check
// IsFailed() once. Load then returns 0. A reader never posts a close.
//
// A record's tables depend only on its class and the version, so the base
// operations (Read, Write, Clear, CopyFields, StripCR) keep one layout per
// class and version for the whole process: the entries as offsets from the
// record's start (or the address of a process-wide scratch field), made by
// one RegisterFields call and used for every instance. A class is trusted
// with a shared layout only after eight instances at different addresses
// have been read, written or copied with the same entries (clearing, which
// mostly meets records fresh from their constructors, does not count). A
// class that registers anything outside its own object (a heap buffer, a
// member of another object), or whose entries differ between instances, is
// registered afresh on every operation, as is a class before it is trusted.
// Builds with assertions compare every use of a shared layout with a fresh
// registration, others one use in 64; a mismatch turns the class to
// per-instance registration for good. RegisterFields should therefore
// depend on the version only. A RegisterFields call of the record's own
// fills its tables and leaves them in place (FieldTable()); the base
// operations leave the record's tables as they found them.
//
// Saving writes to a temporary file beside the target, checks every write
// and the close, syncs it to the disk and renames it over the target, then
// syncs the folder; a failure leaves the old file whole.
//
// nFileVer and bFileVerErr are process-wide: one record file is read at a
// time (a stage is read on the loader thread while its caller only pumps).
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "foundation/ChkContainers.h"
#include "platform/FileView.h"

class cRecord;

// Version gates. The record Parts write gates in two forms; each is kept as
// written: VerAfter(v, N) is "stored by versions newer than N" (v > N),
// VerFrom(v, N) is "version N or later" (v >= N). Both compare unsigned.
inline bool VerAfter(uint32_t nVer, uint32_t n) { return nVer > n; }
inline bool VerFrom(uint32_t nVer, uint32_t n) { return nVer >= n; }

struct FIELDDATA {
    cRecord* lpOwner;
    void* lpData;
    int32_t nCount;
    int8_t bySize;    // 1, 2, 4 or 8
};

struct STRINGDATA {
    cRecord* lpOwner;
    std::string* lpStr;
};

extern uint32_t nDataVer;     // 854 once the start-up sets it
extern uint32_t nFileVer;     // version word of the file being read
extern int bFileVerErr;       // the last opened file was refused as newer
extern int bFileMemErr;       // the last read file would have built more than its memory budget
extern int bDelCR;            // strip carriage returns from strings read
extern int32_t nDummyField;   // scratch for dropped 4-byte fields
extern int16_t wDummyField;   // scratch for dropped 2-byte fields
extern int8_t byDummyField;   // scratch for dropped 1-byte fields

constexpr uint32_t DATA_VERSION = 854;
constexpr const char* DATA_VERSION_TEXT = "854";

// The memory the records read from one file may take: every list element at
// its size in memory and whatever a record copies from another one it
// refers to (a placement taking a palette entry's flows). A small file can
// otherwise ask for far more memory than it holds: a 12-byte placement body
// becomes a record of hundreds of bytes plus the flows it inherits.
constexpr uint64_t READ_MEMORY_BUDGET = uint64_t{256} << 20;

// A record file open for reading (the whole file in memory) or writing
// (buffered, to a temporary file that CloseDataFile renames over the target).
class cDataFile {
public:
    ~cDataFile();
    cDataFile(const cDataFile&) = delete;
    cDataFile& operator=(const cDataFile&) = delete;

    bool IsReading() const { return m_bReading; }
    bool IsFailed() const { return m_bFailed; }
    void Fail() { m_bFailed = true; }

    // Reading. A short read fails the stream and fills with zeros.
    bool ReadBytes(void* p, size_t n);
    int32_t ReadI32() {
        int32_t v;
        if (!m_bFailed && m_nReadSize - m_nPos >= 4) {
            std::memcpy(&v, m_pRead + m_nPos, 4);
            m_nPos += 4;
        } else {
            ReadBytes(&v, 4);
        }
        return v;
    }
    // The next n bytes of the file in memory, skipped over; null, with the
    // stream failed, when fewer are left.
    const uint8_t* Take(size_t n) {
        if (!m_bFailed && m_nReadSize - m_nPos >= n) {
            const uint8_t* p = m_pRead + m_nPos;
            m_nPos += n;
            return p;
        }
        m_bFailed = true;
        return nullptr;
    }
    uint32_t ReadU32();
    int16_t ReadI16();
    uint8_t ReadU8();
    double ReadF64();
    size_t BytesLeft() const { return m_nReadSize - m_nPos; }
    // Bytes read so far, or written so far (the version word included).
    size_t Position() const { return m_nFlushed + m_nPos; }

    // Reads a 32-bit count of elements whose smallest body takes nMinBytes
    // bytes each (at least 1). A negative count, or one the bytes left cannot
    // hold, fails the stream and returns 0.
    int ReadCount(size_t nMinBytes = 4);
    // The same, and the memory the elements will take (nMemBytes each,
    // counted in 64 bits) charged to the read before any is made.
    int ReadCount(size_t nMinBytes, size_t nMemBytes);

    // Charges memory a read is about to build. When the total charged to
    // this file passes its budget the stream fails, bFileMemErr is set and
    // false is returned: the caller then builds nothing more. The total
    // saturates instead of wrapping.
    bool Charge(uint64_t nBytes);
    // Fails the read as one past its memory budget (a reader's own bound on
    // what a list may build).
    void FailForMemory() {
        m_bFailed = true;
        bFileMemErr = 1;
    }
    uint64_t Charged() const { return m_nCharged; }
    // Tests and tools: another budget for this file (READ_MEMORY_BUDGET by
    // default).
    void SetMemoryBudget(uint64_t nBytes) { m_nBudget = nBytes; }

    // A stored string: a 32-bit length word L (byte length + 1), then, when
    // L != 1, L bytes holding the text and its terminating zero; the text ends
    // at its first zero byte. L below 1 or beyond the bytes left fails the
    // stream (s is then unchanged).
    bool ReadString(std::string& s);

    // The version word this file was opened with (reading) or written with.
    uint32_t Version() const { return m_nVersion; }

    // Writing. A failed write fails the stream.
    bool WriteBytes(const void* p, size_t n);
    void WriteI32(int32_t v) {
        if (!m_bFailed && !m_bReading && m_nWriteSize - m_nPos >= 4) {
            std::memcpy(m_pWrite.get() + m_nPos, &v, 4);
            m_nPos += 4;
        } else {
            WriteBytes(&v, 4);
        }
    }
    // Room for the next n bytes of the file in the write buffer, to be filled
    // by the caller. Null when the stream has failed, or when n is larger
    // than the buffer (the caller then writes piece by piece).
    uint8_t* Reserve(size_t n) {
        if (!m_bFailed && !m_bReading && m_nWriteSize - m_nPos >= n) {
            uint8_t* p = m_pWrite.get() + m_nPos;
            m_nPos += n;
            return p;
        }
        return ReserveFlushing(n);
    }
    void WriteU32(uint32_t v);
    void WriteI16(int16_t v);
    void WriteU8(uint8_t v);
    void WriteF64(double v);
    // Writes s in the stored string form. s itself is first cut at its first
    // zero byte, so that it matches what was written.
    void WriteString(std::string& s);

    // For readers built in memory (tests, replays of a stage snapshot).
    static cDataFile* FromBytes(const std::vector<uint8_t>& bytes);

private:
    friend cDataFile* OpenDataFile(const char* path);
    friend cDataFile* CreateDataFile(const char* path);
    friend int CloseDataFile(cDataFile* fp);
    cDataFile() = default;
    bool Flush();
    void WriteBehind();
    void Grow(size_t n);
    uint8_t* ReserveFlushing(size_t n);

    bool m_bReading = true;
    bool m_bFailed = false;
    uint32_t m_nVersion = 0;
    // Reading: the whole file (m_nReadSize stays 0 when writing, so that the
    // read checks fail a writing stream).
    const uint8_t* m_pRead = nullptr;
    size_t m_nReadSize = 0;
    cFileView m_view;              // reading a file: holds its bytes
    std::vector<uint8_t> m_vData;  // reading from memory: the bytes
    std::unique_ptr<uint8_t[]> m_pWrite;  // writing: the buffer
    size_t m_nWriteSize = 0;
    size_t m_nPos = 0;             // read position, or bytes held in the write buffer
    size_t m_nFlushed = 0;         // writing: bytes already handed to the file
    size_t m_nWrittenBehind = 0;   // writing: bytes whose disk write has been started
    uint64_t m_nCharged = 0;       // reading: memory charged by the records built
    uint64_t m_nBudget = READ_MEMORY_BUDGET;
    FILE* m_fp = nullptr;          // writing: the temporary file
    std::string m_strTarget;       // writing: the data path to rename to
    std::string m_strTemp;         // writing: the temporary data path
};

// Opens a record file and reads its version word into nFileVer. Null when it
// cannot be opened (nFileVer and bFileVerErr unchanged) or is newer than
// nDataVer (bFileVerErr := 1). An empty path opens "err".
cDataFile* OpenDataFile(const char* path);
// Creates a record file (a temporary beside path) and writes nDataVer.
cDataFile* CreateDataFile(const char* path);
// The temporary a save writes before renaming it over its target: the
// target's name with RECORD_TEMP_SUFFIX after it ("Story01.dat.tmp").
constexpr const char* RECORD_TEMP_SUFFIX = ".tmp";
std::string RecordTempPath(const std::string& strTarget);
// True for a name that ends as a save's temporary does: never a file of the
// player's to offer, only what a save cut short left.
bool IsRecordTempName(const std::string& strName);
// Closes. For a written file: flushes, checks, renames over the target and
// returns 1; on any failure removes the temporary file and returns 0. For a
// read file returns 1 unless the stream failed. Null is allowed (returns 0).
int CloseDataFile(cDataFile* fp);

// The tables a RegisterFields call fills.
struct RECORDTABLES {
    cChkVector<FIELDDATA> vFields;
    cChkVector<STRINGDATA> vStrings;
};

class cRecord {
public:
    cRecord() = default;
    // Copies and moves carry no tables: every operation registers first.
    cRecord(const cRecord&) noexcept {}
    cRecord(cRecord&&) noexcept {}
    cRecord& operator=(const cRecord& src);
    virtual ~cRecord();

    virtual void OnCopySource(int nVer) { (void)nVer; }
    virtual void RegisterFields(int nVer) { (void)nVer; ClearFieldTable(); }
    virtual void Read(cDataFile* fp);
    virtual void Write(cDataFile* fp);

    // 1 on success; 0 when the file cannot be opened, is refused for its
    // version, or its content is inconsistent.
    int Load(const char* path);
    // 1 on success; 0 on any failure, with the old file left whole.
    int Save(const char* path);

    void Clear();
    void CopyFields(const cRecord& src);
    void StripCR();
    // The string half of Read and Write on their own (registering at
    // nFileVer and nDataVer respectively).
    void ReadStrings(cDataFile* fp);
    void WriteStrings(cDataFile* fp);

    // What the record's last RegisterFields call of its own registered
    // (empty before the first).
    const cChkVector<FIELDDATA>& FieldTable() const;
    const cChkVector<STRINGDATA>& StringTable() const;

protected:
    friend class cRecordTableLease;
    friend class cRecordLayoutUse;
    void ClearFieldTable();
    void AddField8(void* lpData, int nCount = 1);
    void AddField4(void* lpData, int nCount = 1);
    void AddField2(void* lpData, int nCount = 1);
    void AddField1(void* lpData, int nCount = 1);
    void AddField(void* lpData, int nCount, int nSize);
    void AddString(std::string* lpStr);

private:
    RECORDTABLES& Tables();
    // The tables RegisterFields fills: the record's own, made by its first
    // registration outside the base operations, or, during a base
    // operation's registration, storage lent by the thread's pool. A list of
    // thousands of records thus holds no tables.
    RECORDTABLES* m_pTables = nullptr;
};

// Removes every byte 13 from s.
void StripCRFromString(std::string& s);

// Reserves room for n list elements read from a file. The count is bounded by
// the bytes left, but an element may be far larger in memory than its
// smallest body, so the reservation is capped; beyond it the list grows as
// the bodies actually arrive.
template <class T>
void ReserveRecordList(std::vector<T>& list, int n) {
    constexpr size_t nCap = (size_t{256} << 20) / sizeof(T);
    size_t nWant = n > 0 ? static_cast<size_t>(n) : 0;
    list.reserve(nWant < nCap ? nWant : nCap);
}

// Reads a list of records: a count, then that many bodies. Each new element
// is made by make() (registered at the current version and cleared by its
// constructor) and read. The count is bounded by the bytes left (each body
// takes at least 8 bytes: its two counts) and the elements are charged to
// the file's memory budget.
template <class T, class Make>
void ReadRecordList(cDataFile* fp, std::vector<T>& list, Make make) {
    int n = fp->ReadCount(8, sizeof(T));
    list.clear();
    ReserveRecordList(list, n);
    for (int i = 0; i < n && !fp->IsFailed(); i++) {
        list.push_back(make());
        list.back().Read(fp);
    }
}
template <class T>
void ReadRecordList(cDataFile* fp, std::vector<T>& list) {
    int n = fp->ReadCount(8, sizeof(T));
    list.clear();
    ReserveRecordList(list, n);
    for (int i = 0; i < n && !fp->IsFailed(); i++) list.emplace_back().Read(fp);
}
template <class T>
void WriteRecordList(cDataFile* fp, std::vector<T>& list) {
    fp->WriteI32(static_cast<int32_t>(list.size()));
    for (auto& e : list) e.Write(fp);
}
