#include "foundation/Record.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cctype>
#include <climits>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <typeinfo>

#include "platform/FileSystem.h"
#include "platform/WriteBehind.h"

static_assert(std::endian::native == std::endian::little,
              "record fields are moved as raw little-endian bytes");

uint32_t nDataVer = DATA_VERSION;   // before any static record registers its fields
uint32_t nFileVer = 0;
int bFileVerErr = 0;
int bFileMemErr = 0;
int bDelCR = 0;
int32_t nDummyField = 0;
int16_t wDummyField = 0;
int8_t byDummyField = 0;

namespace {

// Bytes the writer collects before it hands them to the file.
constexpr size_t WRITE_CHUNK = 256 << 10;
// What it holds at first; it grows while it fills.
constexpr size_t WRITE_FIRST_CHUNK = 4 << 10;

// Bytes a registered field occupies in the file.
size_t FieldBytes(const FIELDDATA& fd) {
    if (fd.nCount <= 0 || fd.bySize <= 0) return 0;
    return static_cast<size_t>(fd.nCount) * static_cast<size_t>(fd.bySize);
}

}  // namespace

// ---------------------------------------------------------------------------
// cDataFile

cDataFile::~cDataFile() {
    // A written file that was never closed through CloseDataFile is abandoned:
    // the target stays as it was.
    if (!m_bReading && m_fp) {
        std::fclose(m_fp);
        m_fp = nullptr;
        FsRemove(m_strTemp.c_str());
    }
}

bool cDataFile::ReadBytes(void* p, size_t n) {
    if (n == 0) return !m_bFailed;
    if (m_bFailed || !m_bReading || n > BytesLeft()) {
        m_bFailed = true;
        std::memset(p, 0, n);
        return false;
    }
    std::memcpy(p, m_pRead + m_nPos, n);
    m_nPos += n;
    return true;
}

uint32_t cDataFile::ReadU32() {
    uint32_t v;
    ReadBytes(&v, 4);
    return v;
}

int16_t cDataFile::ReadI16() {
    int16_t v;
    ReadBytes(&v, 2);
    return v;
}

uint8_t cDataFile::ReadU8() {
    uint8_t v;
    ReadBytes(&v, 1);
    return v;
}

double cDataFile::ReadF64() {
    double v;
    ReadBytes(&v, 8);
    return v;
}

int cDataFile::ReadCount(size_t nMinBytes) {
    int32_t n = ReadI32();
    if (m_bFailed) return 0;
    if (nMinBytes == 0) nMinBytes = 1;
    if (n < 0 || static_cast<size_t>(n) > BytesLeft() / nMinBytes) {
        m_bFailed = true;
        return 0;
    }
    return n;
}

int cDataFile::ReadCount(size_t nMinBytes, size_t nMemBytes) {
    int n = ReadCount(nMinBytes);
    if (n <= 0) return n;
    const uint64_t nCount = static_cast<uint64_t>(n);
    const uint64_t nBytes = nMemBytes > UINT64_MAX / nCount ? UINT64_MAX : nCount * nMemBytes;
    if (!Charge(nBytes)) return 0;
    return n;
}

bool cDataFile::Charge(uint64_t nBytes) {
    if (m_bFailed) return false;
    m_nCharged = nBytes > UINT64_MAX - m_nCharged ? UINT64_MAX : m_nCharged + nBytes;
    if (m_nCharged <= m_nBudget) return true;
    FailForMemory();
    return false;
}

bool cDataFile::WriteBytes(const void* p, size_t n) {
    if (m_bFailed || m_bReading) {
        m_bFailed = true;
        return false;
    }
    if (n == 0) return true;
    if (n > m_nWriteSize - m_nPos) Grow(n);
    if (n > m_nWriteSize - m_nPos) {
        if (!Flush()) return false;
        if (n >= m_nWriteSize) {
            // Larger than the buffer: straight to the file.
            if (std::fwrite(p, 1, n, m_fp) != n) m_bFailed = true;
            else m_nFlushed += n;
            WriteBehind();
            return !m_bFailed;
        }
    }
    std::memcpy(m_pWrite.get() + m_nPos, p, n);
    m_nPos += n;
    return true;
}

uint8_t* cDataFile::ReserveFlushing(size_t n) {
    if (m_bFailed || m_bReading) {
        m_bFailed = true;
        return nullptr;
    }
    if (n > m_nWriteSize - m_nPos) Grow(n);
    if (n > m_nWriteSize) return nullptr;
    if (n > m_nWriteSize - m_nPos && !Flush()) return nullptr;
    uint8_t* p = m_pWrite.get() + m_nPos;
    m_nPos += n;
    return p;
}

namespace {

// Bytes before the first zero among the n at p (n when there is none). Short
// texts, the usual kind, are scanned a word at a time in place: in each word
// the lowest byte the test marks is its first zero (a borrow can only mark
// bytes above a zero), and the last word may overlap bytes already passed.
inline size_t TextLength(const char* p, size_t n) {
    if (n > 64) {
        const void* z = std::memchr(p, 0, n);
        return z ? static_cast<size_t>(static_cast<const char*>(z) - p) : n;
    }
    if (n < 8) {
        for (size_t i = 0; i < n; i++)
            if (p[i] == 0) return i;
        return n;
    }
    for (size_t i = 0;; i += 8) {
        if (i + 8 > n) i = n - 8;
        uint64_t w;
        std::memcpy(&w, p + i, 8);
        uint64_t m = (w - 0x0101010101010101ull) & ~w & 0x8080808080808080ull;
        if (m) return i + static_cast<size_t>(std::countr_zero(m) >> 3);
        if (i + 8 >= n) return n;
    }
}

}  // namespace

bool cDataFile::ReadString(std::string& s) {
    int32_t nLen = ReadI32();
    if (m_bFailed) return false;
    if (nLen == 1) {
        s.clear();
        return true;
    }
    if (nLen < 1 || static_cast<size_t>(nLen) > BytesLeft()) {
        m_bFailed = true;
        return false;
    }
    const char* p = reinterpret_cast<const char*>(m_pRead + m_nPos);
    const size_t nText = TextLength(p, static_cast<size_t>(nLen));
    if (nText <= s.capacity()) {
        s.assign(p, nText);
    } else {
        // A string that must grow is made anew at its size (cheaper than
        // growing it in place) and takes the old one's place.
        std::string t(p, nText);
        s.swap(t);
    }
    m_nPos += static_cast<size_t>(nLen);
    return true;
}

void cDataFile::WriteString(std::string& s) {
    const size_t n = s.size();
    if (n <= 64 && !m_bFailed && !m_bReading && m_nWriteSize - m_nPos >= 4 + n + 1) {
        // A short text with room in the buffer: copied a word at a time
        // while it is searched for a zero (the last word may overlap bytes
        // already passed); a text with a zero inside goes the long way.
        uint8_t* q = m_pWrite.get() + m_nPos + 4;
        const char* p = s.data();
        bool bZero = false;
        if (n < 8) {
            for (size_t i = 0; i < n && !bZero; i++) {
                bZero = p[i] == 0;
                q[i] = static_cast<uint8_t>(p[i]);
            }
        } else {
            for (size_t i = 0;; i += 8) {
                if (i + 8 > n) i = n - 8;
                uint64_t w;
                std::memcpy(&w, p + i, 8);
                if ((w - 0x0101010101010101ull) & ~w & 0x8080808080808080ull) {
                    bZero = true;
                    break;
                }
                std::memcpy(q + i, &w, 8);
                if (i + 8 >= n) break;
            }
        }
        if (!bZero) {
            const int32_t nLen = static_cast<int32_t>(n + 1);
            std::memcpy(q - 4, &nLen, 4);
            q[n] = 0;
            m_nPos += n == 0 ? 4 : 4 + n + 1;
            return;
        }
    }
    size_t nText = TextLength(s.data(), s.size());
    if (nText != s.size()) s.resize(nText);
    if (nText >= static_cast<size_t>(INT32_MAX)) {
        m_bFailed = true;
        return;
    }
    int32_t nLen = static_cast<int32_t>(nText + 1);
    size_t nAll = nLen == 1 ? 4 : 4 + nText + 1;
    if (!m_bFailed && !m_bReading && m_nWriteSize - m_nPos >= nAll) {
        // Length word, text and its zero straight into the buffer.
        uint8_t* q = m_pWrite.get() + m_nPos;
        std::memcpy(q, &nLen, 4);
        if (nLen != 1) std::memcpy(q + 4, s.c_str(), nText + 1);
        m_nPos += nAll;
        return;
    }
    WriteI32(nLen);
    if (nLen != 1) WriteBytes(s.c_str(), nText + 1);
}

void cDataFile::WriteU32(uint32_t v) { WriteBytes(&v, 4); }
void cDataFile::WriteI16(int16_t v) { WriteBytes(&v, 2); }
void cDataFile::WriteU8(uint8_t v) { WriteBytes(&v, 1); }
void cDataFile::WriteF64(double v) { WriteBytes(&v, 8); }

void cDataFile::Grow(size_t n) {
    // The buffer starts small, so that saving a small file stays cheap, and
    // doubles up to its full size while it fills.
    if (m_nWriteSize >= WRITE_CHUNK) return;
    size_t nSize = m_nWriteSize;
    while (nSize < WRITE_CHUNK && n > nSize - m_nPos) nSize *= 2;
    if (nSize > WRITE_CHUNK) nSize = WRITE_CHUNK;
    std::unique_ptr<uint8_t[]> pNew(new uint8_t[nSize]);
    std::memcpy(pNew.get(), m_pWrite.get(), m_nPos);
    m_pWrite = std::move(pNew);
    m_nWriteSize = nSize;
}

bool cDataFile::Flush() {
    if (m_bReading) return !m_bFailed;
    if (!m_fp) {
        m_bFailed = true;
        return false;
    }
    if (m_nPos > 0 && !m_bFailed) {
        if (std::fwrite(m_pWrite.get(), 1, m_nPos, m_fp) != m_nPos) m_bFailed = true;
        else m_nFlushed += m_nPos;
    }
    m_nPos = 0;
    WriteBehind();
    return !m_bFailed;
}

void cDataFile::WriteBehind() {
    // The disk write of each few megabytes starts while the rest is being
    // made, so the sync before the rename has little left to wait for.
    constexpr size_t WRITE_BEHIND = size_t{4} << 20;
    if (!m_bFailed && m_fp && m_nFlushed - m_nWrittenBehind >= WRITE_BEHIND) {
        FsStartWriteBack(m_fp, m_nWrittenBehind, m_nFlushed - m_nWrittenBehind);
        m_nWrittenBehind = m_nFlushed;
    }
}

cDataFile* cDataFile::FromBytes(const std::vector<uint8_t>& bytes) {
    cDataFile* fp = new cDataFile();
    bFileMemErr = 0;
    fp->m_bReading = true;
    fp->m_vData = bytes;
    fp->m_pRead = fp->m_vData.data();
    fp->m_nReadSize = fp->m_vData.size();
    return fp;
}

cDataFile* OpenDataFile(const char* path) {
    std::string strPath = (path && *path) ? path : "err";
    cDataFile* fp = new cDataFile();
    bFileMemErr = 0;
    // A file that cannot be read, or is too short to hold its version word,
    // counts as one that cannot be opened.
    if (!fp->m_view.Open(strPath.c_str()) || fp->m_view.Size() < 4) {
        delete fp;
        return nullptr;
    }

    uint32_t nVer;
    std::memcpy(&nVer, fp->m_view.Data(), 4);
    nFileVer = nVer;
    if (nVer > nDataVer) {
        bFileVerErr = 1;
        delete fp;
        return nullptr;
    }
    bFileVerErr = 0;

    fp->m_bReading = true;
    fp->m_pRead = fp->m_view.Data();
    fp->m_nReadSize = fp->m_view.Size();
    fp->m_nPos = 4;
    fp->m_nVersion = nVer;
    return fp;
}

std::string RecordTempPath(const std::string& strTarget) { return strTarget + RECORD_TEMP_SUFFIX; }

bool IsRecordTempName(const std::string& strName) {
    const size_t n = std::strlen(RECORD_TEMP_SUFFIX);
    if (strName.size() <= n) return false;
    for (size_t i = 0; i < n; i++)
        if (std::tolower(static_cast<unsigned char>(strName[strName.size() - n + i])) != RECORD_TEMP_SUFFIX[i])
            return false;
    return true;
}

cDataFile* CreateDataFile(const char* path) {
    if (!path || !*path) return nullptr;
    cDataFile* fp = new cDataFile();
    fp->m_bReading = false;
    fp->m_strTarget = path;
    fp->m_strTemp = RecordTempPath(fp->m_strTarget);
    fp->m_fp = FsOpen(fp->m_strTemp.c_str(), "wb");
    if (!fp->m_fp) {
        delete fp;
        return nullptr;
    }
    // Left uninitialised: only the bytes written are ever read from it.
    fp->m_pWrite.reset(new uint8_t[WRITE_FIRST_CHUNK]);
    fp->m_nWriteSize = WRITE_FIRST_CHUNK;
    fp->m_nVersion = nDataVer;
    fp->WriteU32(nDataVer);
    return fp;
}

int CloseDataFile(cDataFile* fp) {
    if (!fp) return 0;
    int nResult;
    if (fp->m_bReading) {
        nResult = fp->m_bFailed ? 0 : 1;
    } else {
        bool bOk = fp->Flush();
        if (std::fflush(fp->m_fp) != 0 || std::ferror(fp->m_fp)) bOk = false;
        // The data reach the disk before the new name replaces the old file.
        if (bOk && !FsSyncFile(fp->m_fp)) bOk = false;
        if (std::fclose(fp->m_fp) != 0) bOk = false;
        fp->m_fp = nullptr;
        if (bOk) bOk = FsRename(fp->m_strTemp.c_str(), fp->m_strTarget.c_str());
        if (!bOk) FsRemove(fp->m_strTemp.c_str());
        // The folder's entry too; a folder that cannot be synced (some file
        // systems refuse) does not undo a save that is in place.
        if (bOk) FsSyncParentDirectory(fp->m_strTarget.c_str());
        nResult = bOk ? 1 : 0;
    }
    delete fp;
    return nResult;
}

// ---------------------------------------------------------------------------
// cRecord

namespace {

// One registered entry as the base operations use it: the member's offset
// from the record's start, or, for a process-wide scratch field (and for a
// record registered on its own), its address.
struct LAYOUTENTRY {
    uintptr_t nAddr;
    uintptr_t nMask;     // ~0: nAddr is an offset; 0: nAddr is an address
    uint32_t nBytes;     // bytes in the file (fields)
    int32_t nCount;
    int8_t bySize;

    void* At(uintptr_t nBase) const { return reinterpret_cast<void*>((nBase & nMask) + nAddr); }
    std::string* Str(uintptr_t nBase) const { return static_cast<std::string*>(At(nBase)); }
    bool operator==(const LAYOUTENTRY& o) const {
        return nAddr == o.nAddr && nMask == o.nMask && nCount == o.nCount && bySize == o.bySize;
    }
};

struct RECORDLAYOUT {
    std::vector<LAYOUTENTRY> vFields;
    std::vector<LAYOUTENTRY> vStrings;
    size_t nFieldBytes = 0;  // all fields together
    // The fields as runs: neighbours in the file that are neighbours in the
    // record too, moved as one (all fields in file order, as vFields).
    std::vector<LAYOUTENTRY> vRuns;

    bool operator==(const RECORDLAYOUT& o) const { return vFields == o.vFields && vStrings == o.vStrings; }
};

// Members lie within this many bytes of a record's start; anything farther
// is taken for memory outside the record.
constexpr uintptr_t MAX_RECORD_SPAN = uintptr_t{1} << 16;

bool IsScratchField(const void* p) {
    return p == &nDummyField || p == &wDummyField || p == &byDummyField;
}

// Entry for a registered address. bRelative: an offset from nBase when the
// member lies inside the record, the address of a scratch field as it is;
// false when neither (the layout cannot be shared).
bool MakeEntry(const void* p, size_t nBytes, uintptr_t nBase, bool bRelative, LAYOUTENTRY& e) {
    uintptr_t a = reinterpret_cast<uintptr_t>(p);
    if (!bRelative || IsScratchField(p)) {
        e.nAddr = a;
        e.nMask = 0;
        return true;
    }
    if (p == nullptr || a < nBase || a - nBase >= MAX_RECORD_SPAN || nBytes > MAX_RECORD_SPAN - (a - nBase))
        return false;
    e.nAddr = a - nBase;
    e.nMask = ~uintptr_t{0};
    return true;
}

bool BuildLayout(const cRecord& rec, const cChkVector<FIELDDATA>& vF, const cChkVector<STRINGDATA>& vS,
                 bool bRelative, RECORDLAYOUT& out) {
    uintptr_t nBase = reinterpret_cast<uintptr_t>(&rec);
    out.vFields.clear();
    out.vStrings.clear();
    out.vRuns.clear();
    out.nFieldBytes = 0;
    bool bOk = true;
    for (const FIELDDATA& fd : vF) {
        LAYOUTENTRY e;
        size_t n = FieldBytes(fd);
        if (n > UINT32_MAX) n = UINT32_MAX;
        e.nBytes = static_cast<uint32_t>(n);
        e.nCount = fd.nCount;
        e.bySize = fd.bySize;
        if (fd.lpOwner != &rec || !MakeEntry(fd.lpData, n, nBase, bRelative, e)) {
            bOk = false;
            if (bRelative) break;
        }
        out.vFields.push_back(e);
        out.nFieldBytes += e.nBytes;
    }
    for (const LAYOUTENTRY& e : out.vFields) {
        if (e.nBytes == 0) continue;
        if (!out.vRuns.empty()) {
            LAYOUTENTRY& r = out.vRuns.back();
            if (r.nMask == e.nMask && r.nMask != 0 && r.nAddr + r.nBytes == e.nAddr) {
                r.nBytes += e.nBytes;
                continue;
            }
        }
        out.vRuns.push_back(e);
    }
    for (const STRINGDATA& sd : vS) {
        if (!bOk) break;
        LAYOUTENTRY e{};
        if (sd.lpOwner != &rec || !MakeEntry(sd.lpStr, sizeof(std::string), nBase, bRelative, e)) {
            bOk = false;
            break;
        }
        out.vStrings.push_back(e);
    }
    return bOk;
}

// The shared layout of one class at one version. Slots are made once per
// class and version for the whole process and never freed (a handful of
// classes times the versions read), so that a thread's table of them can
// never point at a freed slot, at thread or process exit either. A layout is
// written once, under the registry's lock, before its state leaves
// LAYOUT_NEW, and stays unchanged afterwards; the state alone moves on.
enum eLayoutState { LAYOUT_NEW, LAYOUT_CANDIDATE, LAYOUT_TRUSTED, LAYOUT_PER_INSTANCE };
constexpr int VERIFY_INSTANCES = 8;     // distinct instances before a layout is trusted
#ifdef NDEBUG
constexpr uint32_t RECHECK_EVERY = 64;
#else
constexpr uint32_t RECHECK_EVERY = 1;
#endif

struct LAYOUTSLOT {
    const std::type_info* pType = nullptr;
    uint32_t nVer = 0;
    std::atomic<int> nState{LAYOUT_NEW};
    RECORDLAYOUT layout;
    uintptr_t anSeen[VERIFY_INSTANCES] = {};  // under the registry's lock
    int nSeen = 0;
};

struct LAYOUTREGISTRY {
    std::mutex mutex;
    std::vector<LAYOUTSLOT*> vSlots;
};

LAYOUTREGISTRY& Registry() {
    static LAYOUTREGISTRY* p = new LAYOUTREGISTRY();  // lives to the end of the process
    return *p;
}

// This thread's slots: a small direct-mapped table in front of the registry.
constexpr size_t HOT_SLOTS = 128;
thread_local LAYOUTSLOT* t_apHot[HOT_SLOTS];
thread_local uint32_t t_nTrustedUses = 0;

size_t HotIndex(const std::type_info* pType, uint32_t nVer) {
    uintptr_t h = reinterpret_cast<uintptr_t>(pType);
    h = (h >> 4) ^ (h >> 12) ^ (static_cast<uintptr_t>(nVer) * 0x9E3779B1u);
    return static_cast<size_t>(h) & (HOT_SLOTS - 1);
}

LAYOUTSLOT* FindSlotSlow(const std::type_info* pType, uint32_t nVer, size_t h) {
    LAYOUTREGISTRY& reg = Registry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    LAYOUTSLOT* s = nullptr;
    for (LAYOUTSLOT* p : reg.vSlots)
        if (p->pType == pType && p->nVer == nVer) s = p;
    if (!s) {
        s = new LAYOUTSLOT();
        s->pType = pType;
        s->nVer = nVer;
        reg.vSlots.push_back(s);
    }
    t_apHot[h] = s;
    return s;
}

inline LAYOUTSLOT* FindSlot(const std::type_info* pType, uint32_t nVer) {
    size_t h = HotIndex(pType, nVer);
    LAYOUTSLOT* s = t_apHot[h];
    if (s && s->pType == pType && s->nVer == nVer) [[likely]] return s;
    return FindSlotSlow(pType, nVer, h);
}

}  // namespace

// Lends a record table storage from the calling thread's pool for one
// registration and takes it back afterwards, emptied, so that a list of
// thousands of records holds no tables (and a record's own tables, from a
// RegisterFields call of its own, come back as they were). Leases nest
// (CopyFields holds two); beyond the pool's depth a record simply uses its
// own tables.
class cRecordTableLease {
public:
    explicit cRecordTableLease(cRecord& rec) : m_rec(rec), m_pOwn(rec.m_pTables) {
        if (s_nDepth < POOL_DEPTH) {
            m_pSlot = &s_aPool[s_nDepth++];
            m_rec.m_pTables = &m_pSlot->tables;
        } else {
            m_rec.m_pTables = &m_tables;
        }
        m_rec.m_pTables->vFields.clear();
        m_rec.m_pTables->vStrings.clear();
    }
    ~cRecordTableLease() {
        m_rec.m_pTables = m_pOwn;
        if (m_pSlot) s_nDepth--;
    }
    cRecordTableLease(const cRecordTableLease&) = delete;
    cRecordTableLease& operator=(const cRecordTableLease&) = delete;

    // Layout storage for the lease's time.
    RECORDLAYOUT& Scratch() { return m_pSlot ? m_pSlot->layout : m_layout; }

private:
    struct POOLED {
        RECORDTABLES tables;
        RECORDLAYOUT layout;
    };
    static constexpr int POOL_DEPTH = 8;
    static thread_local POOLED s_aPool[POOL_DEPTH];
    static thread_local int s_nDepth;
    cRecord& m_rec;
    RECORDTABLES* m_pOwn;
    POOLED* m_pSlot = nullptr;
    RECORDTABLES m_tables;
    RECORDLAYOUT m_layout;
};

thread_local cRecordTableLease::POOLED cRecordTableLease::s_aPool[cRecordTableLease::POOL_DEPTH];
thread_local int cRecordTableLease::s_nDepth = 0;

// The layout one base operation works with: the class's shared layout when
// it is trusted, otherwise the record registered afresh (which also moves the
// class's verification on).
class cRecordLayoutUse {
public:
    // bVouch: the operation may count towards trusting the layout. Clearing
    // does not: it mostly meets records fresh from their constructor, all in
    // one state, which says little about records in use.
    cRecordLayoutUse(cRecord& rec, uint32_t nVer, bool bVouch = true) : m_nBase(reinterpret_cast<uintptr_t>(&rec)) {
        LAYOUTSLOT* s = FindSlot(&typeid(rec), nVer);
        if (s->nState.load(std::memory_order_acquire) == LAYOUT_TRUSTED &&
            ++t_nTrustedUses % RECHECK_EVERY != 0) [[likely]] {
            m_pLayout = &s->layout;
            return;
        }
        Register(rec, nVer, *s, bVouch);
    }
    cRecordLayoutUse(const cRecordLayoutUse&) = delete;
    cRecordLayoutUse& operator=(const cRecordLayoutUse&) = delete;

    const RECORDLAYOUT& Layout() const { return *m_pLayout; }
    uintptr_t Base() const { return m_nBase; }

private:
    // Registers the record itself, and moves the class's verification on:
    // the first registration becomes the candidate layout; others must equal
    // it, and eight distinct instances read, written or copied make it
    // trusted; any difference, or
    // an entry outside the record, and the class registers every instance.
    [[gnu::noinline]] void Register(cRecord& rec, uint32_t nVer, LAYOUTSLOT& s, bool bVouch) {
        m_lease.emplace(rec);
        RECORDLAYOUT& own = m_lease->Scratch();
        rec.RegisterFields(static_cast<int>(nVer));
        const RECORDTABLES& t = *rec.m_pTables;
        m_pLayout = &own;
        const int nSeenState = s.nState.load(std::memory_order_acquire);
        if (nSeenState != LAYOUT_PER_INSTANCE) {
            bool bShared = BuildLayout(rec, t.vFields, t.vStrings, true, own);
            // A layout that is set never changes: a registration that agrees
            // with it and vouches for nothing needs no lock.
            if (bShared && !bVouch && nSeenState != LAYOUT_NEW && own == s.layout) {
                m_pLayout = &s.layout;
                return;
            }
            std::lock_guard<std::mutex> lock(Registry().mutex);
            int nState = s.nState.load(std::memory_order_relaxed);
            if (bShared && nState == LAYOUT_NEW) {
                s.layout = own;
                nState = LAYOUT_CANDIDATE;
            } else if (nState != LAYOUT_PER_INSTANCE && (!bShared || !(own == s.layout))) {
                nState = LAYOUT_PER_INSTANCE;
            }
            if (nState == LAYOUT_CANDIDATE && bVouch) {
                bool bSeen = false;
                for (int i = 0; i < s.nSeen; i++) bSeen = bSeen || s.anSeen[i] == m_nBase;
                if (!bSeen) s.anSeen[s.nSeen++] = m_nBase;
                if (s.nSeen == VERIFY_INSTANCES) nState = LAYOUT_TRUSTED;
            }
            s.nState.store(nState, std::memory_order_release);
            if (nState != LAYOUT_PER_INSTANCE) {
                m_pLayout = &s.layout;
                return;
            }
        }
        BuildLayout(rec, t.vFields, t.vStrings, false, own);
    }

    uintptr_t m_nBase;
    const RECORDLAYOUT* m_pLayout = nullptr;
    std::optional<cRecordTableLease> m_lease;
};

namespace {

// Moves one field's bytes; the common widths as single moves.
inline void MoveField(void* pDst, const void* pSrc, uint32_t n) {
    switch (n) {
    case 1: std::memcpy(pDst, pSrc, 1); break;
    case 2: std::memcpy(pDst, pSrc, 2); break;
    case 4: std::memcpy(pDst, pSrc, 4); break;
    case 8: std::memcpy(pDst, pSrc, 8); break;
    default: if (n) std::memcpy(pDst, pSrc, n); break;
    }
}

void ReadStringTable(cDataFile* fp, const RECORDLAYOUT& lay, uintptr_t nBase) {
    int32_t m = fp->ReadI32();
    if (fp->IsFailed()) return;
    if (m < 0 || static_cast<size_t>(m) > lay.vStrings.size()) {
        fp->Fail();
        return;
    }
    for (int32_t i = 0; i < m; i++)
        if (!fp->ReadString(*lay.vStrings[static_cast<size_t>(i)].Str(nBase))) return;
}

void WriteStringTable(cDataFile* fp, const RECORDLAYOUT& lay, uintptr_t nBase) {
    fp->WriteI32(static_cast<int32_t>(lay.vStrings.size()));
    for (const LAYOUTENTRY& e : lay.vStrings) fp->WriteString(*e.Str(nBase));
}

void StripStrings(const RECORDLAYOUT& lay, uintptr_t nBase) {
    for (const LAYOUTENTRY& e : lay.vStrings) StripCRFromString(*e.Str(nBase));
}

}  // namespace

cRecord& cRecord::operator=(const cRecord& src) {
    if (this == &src) return *this;
    // The tables are working state that every operation rebuilds, so there is
    // nothing to rebase; no member value is copied here either: the derived
    // assignment copies its members.
    const_cast<cRecord&>(src).OnCopySource(static_cast<int>(nDataVer));
    return *this;
}

cRecord::~cRecord() { delete m_pTables; }

RECORDTABLES& cRecord::Tables() {
    if (!m_pTables) m_pTables = new RECORDTABLES();
    return *m_pTables;
}

const cChkVector<FIELDDATA>& cRecord::FieldTable() const {
    static const cChkVector<FIELDDATA> vNone;
    return m_pTables ? m_pTables->vFields : vNone;
}

const cChkVector<STRINGDATA>& cRecord::StringTable() const {
    static const cChkVector<STRINGDATA> vNone;
    return m_pTables ? m_pTables->vStrings : vNone;
}

void cRecord::ClearFieldTable() {
    RECORDTABLES& t = Tables();
    t.vFields.clear();
    t.vStrings.clear();
}

void cRecord::AddField(void* lpData, int nCount, int nSize) {
    FIELDDATA fd;
    fd.lpOwner = this;
    fd.lpData = lpData;
    fd.nCount = nCount;
    fd.bySize = static_cast<int8_t>(nSize);
    Tables().vFields.push_back(fd);
}

void cRecord::AddField8(void* lpData, int nCount) { AddField(lpData, nCount, 8); }
void cRecord::AddField4(void* lpData, int nCount) { AddField(lpData, nCount, 4); }
void cRecord::AddField2(void* lpData, int nCount) { AddField(lpData, nCount, 2); }
void cRecord::AddField1(void* lpData, int nCount) { AddField(lpData, nCount, 1); }

void cRecord::AddString(std::string* lpStr) {
    STRINGDATA sd;
    sd.lpOwner = this;
    sd.lpStr = lpStr;
    Tables().vStrings.push_back(sd);
}

void cRecord::Read(cDataFile* fp) {
    cRecordLayoutUse use(*this, nFileVer);
    const RECORDLAYOUT& lay = use.Layout();
    uintptr_t nBase = use.Base();

    // A count above the entries this version registers, or a negative one,
    // cannot come from a writer: the file is inconsistent.
    int32_t n = fp->ReadI32();
    if (!fp->IsFailed() && (n < 0 || static_cast<size_t>(n) > lay.vFields.size())) fp->Fail();
    if (!fp->IsFailed()) {
        if (static_cast<size_t>(n) == lay.vFields.size() && fp->BytesLeft() >= lay.nFieldBytes) {
            // All fields at once, straight from the file in memory.
            const uint8_t* p = fp->Take(lay.nFieldBytes);
            for (const LAYOUTENTRY& e : lay.vRuns) {
                MoveField(e.At(nBase), p, e.nBytes);
                p += e.nBytes;
            }
        } else {
            for (int32_t i = 0; i < n; i++) {
                const LAYOUTENTRY& e = lay.vFields[static_cast<size_t>(i)];
                if (!fp->ReadBytes(e.At(nBase), e.nBytes)) break;
            }
        }
    }
    if (!fp->IsFailed()) ReadStringTable(fp, lay, nBase);

    if (bDelCR) StripStrings(lay, nBase);
}

void cRecord::ReadStrings(cDataFile* fp) {
    cRecordLayoutUse use(*this, nFileVer);
    ReadStringTable(fp, use.Layout(), use.Base());
}

void cRecord::Write(cDataFile* fp) {
    cRecordLayoutUse use(*this, nDataVer);
    const RECORDLAYOUT& lay = use.Layout();
    uintptr_t nBase = use.Base();
    fp->WriteI32(static_cast<int32_t>(lay.vFields.size()));
    if (uint8_t* p = fp->Reserve(lay.nFieldBytes)) {
        for (const LAYOUTENTRY& e : lay.vRuns) {
            MoveField(p, e.At(nBase), e.nBytes);
            p += e.nBytes;
        }
    } else {
        for (const LAYOUTENTRY& e : lay.vFields) fp->WriteBytes(e.At(nBase), e.nBytes);
    }
    WriteStringTable(fp, lay, nBase);
}

void cRecord::WriteStrings(cDataFile* fp) {
    cRecordLayoutUse use(*this, nDataVer);
    WriteStringTable(fp, use.Layout(), use.Base());
}

int cRecord::Load(const char* path) {
    cDataFile* fp = OpenDataFile(path);
    if (!fp) return 0;
    Read(fp);
    return CloseDataFile(fp);
}

int cRecord::Save(const char* path) {
    cDataFile* fp = CreateDataFile(path);
    if (!fp) return 0;
    Write(fp);
    return CloseDataFile(fp);
}

void cRecord::Clear() {
    cRecordLayoutUse use(*this, nDataVer, false);
    const RECORDLAYOUT& lay = use.Layout();
    uintptr_t nBase = use.Base();
    for (const LAYOUTENTRY& e : lay.vRuns) {
        void* p = e.At(nBase);
        switch (e.nBytes) {
        case 1: *static_cast<uint8_t*>(p) = 0; break;
        case 2: std::memset(p, 0, 2); break;
        case 4: std::memset(p, 0, 4); break;
        case 8: std::memset(p, 0, 8); break;
        default: if (e.nBytes) std::memset(p, 0, e.nBytes); break;
        }
    }
    for (const LAYOUTENTRY& e : lay.vStrings) e.Str(nBase)->clear();
}

void cRecord::CopyFields(const cRecord& src) {
    if (this == &src) return;
    cRecord& from = const_cast<cRecord&>(src);
    cRecordLayoutUse useThis(*this, nDataVer);
    cRecordLayoutUse useFrom(from, nDataVer);
    const RECORDLAYOUT& a = useThis.Layout();
    const RECORDLAYOUT& b = useFrom.Layout();
    size_t nFields = std::min(a.vFields.size(), b.vFields.size());
    for (size_t i = 0; i < nFields; i++) {
        size_t n = std::min(a.vFields[i].nBytes, b.vFields[i].nBytes);
        if (n) std::memmove(a.vFields[i].At(useThis.Base()), b.vFields[i].At(useFrom.Base()), n);
    }
    size_t nStrings = std::min(a.vStrings.size(), b.vStrings.size());
    for (size_t i = 0; i < nStrings; i++) *a.vStrings[i].Str(useThis.Base()) = *b.vStrings[i].Str(useFrom.Base());
}

void StripCRFromString(std::string& s) {
    if (!std::memchr(s.data(), '\r', s.size())) return;
    s.erase(std::remove(s.begin(), s.end(), '\r'), s.end());
}

void cRecord::StripCR() {
    cRecordLayoutUse use(*this, nDataVer);
    StripStrings(use.Layout(), use.Base());
}
