#include "foundation/Record.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cstring>

#include "platform/FileSystem.h"

static_assert(std::endian::native == std::endian::little,
              "record fields are moved as raw little-endian bytes");

uint32_t nDataVer = DATA_VERSION;   // before any static record registers its fields
uint32_t nFileVer = 0;
int bFileVerErr = 0;
int bDelCR = 0;
int32_t nDummyField = 0;
int16_t wDummyField = 0;
int8_t byDummyField = 0;

namespace {

// Bytes the writer collects before it hands them to the file.
constexpr size_t WRITE_CHUNK = 256 << 10;

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
    std::memcpy(p, m_vData.data() + m_nPos, n);
    m_nPos += n;
    return true;
}

int32_t cDataFile::ReadI32() {
    int32_t v;
    ReadBytes(&v, 4);
    return v;
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

bool cDataFile::WriteBytes(const void* p, size_t n) {
    if (m_bFailed || m_bReading) {
        m_bFailed = true;
        return false;
    }
    if (n == 0) return true;
    if (n > m_vData.size() - m_nPos) {
        if (!Flush()) return false;
        if (n >= m_vData.size()) {
            // Larger than the buffer: straight to the file.
            if (std::fwrite(p, 1, n, m_fp) != n) m_bFailed = true;
            else m_nFlushed += n;
            return !m_bFailed;
        }
    }
    std::memcpy(m_vData.data() + m_nPos, p, n);
    m_nPos += n;
    return true;
}

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
    const char* p = reinterpret_cast<const char*>(m_vData.data() + m_nPos);
    const void* z = std::memchr(p, 0, static_cast<size_t>(nLen));
    size_t nText = z ? static_cast<size_t>(static_cast<const char*>(z) - p) : static_cast<size_t>(nLen);
    s.assign(p, nText);
    m_nPos += static_cast<size_t>(nLen);
    return true;
}

void cDataFile::WriteString(std::string& s) {
    size_t nZero = s.find('\0');
    if (nZero != std::string::npos) s.resize(nZero);
    if (s.size() >= static_cast<size_t>(INT32_MAX)) {
        m_bFailed = true;
        return;
    }
    int32_t nLen = static_cast<int32_t>(s.size() + 1);
    WriteI32(nLen);
    if (nLen != 1) WriteBytes(s.c_str(), s.size() + 1);
}

void cDataFile::WriteI32(int32_t v) { WriteBytes(&v, 4); }
void cDataFile::WriteU32(uint32_t v) { WriteBytes(&v, 4); }
void cDataFile::WriteI16(int16_t v) { WriteBytes(&v, 2); }
void cDataFile::WriteU8(uint8_t v) { WriteBytes(&v, 1); }
void cDataFile::WriteF64(double v) { WriteBytes(&v, 8); }

bool cDataFile::Flush() {
    if (m_bReading) return !m_bFailed;
    if (!m_fp) {
        m_bFailed = true;
        return false;
    }
    if (m_nPos > 0 && !m_bFailed) {
        if (std::fwrite(m_vData.data(), 1, m_nPos, m_fp) != m_nPos) m_bFailed = true;
        else m_nFlushed += m_nPos;
    }
    m_nPos = 0;
    return !m_bFailed;
}

cDataFile* cDataFile::FromBytes(const std::vector<uint8_t>& bytes) {
    cDataFile* fp = new cDataFile();
    fp->m_bReading = true;
    fp->m_vData = bytes;
    return fp;
}

cDataFile* OpenDataFile(const char* path) {
    std::string strPath = (path && *path) ? path : "err";
    std::vector<uint8_t> data;
    if (!FsReadFile(strPath.c_str(), data)) return nullptr;
    // A file that cannot be read, or is too short to hold its version word,
    // counts as one that cannot be opened.
    if (data.size() < 4) return nullptr;

    uint32_t nVer;
    std::memcpy(&nVer, data.data(), 4);
    nFileVer = nVer;
    if (nVer > nDataVer) {
        bFileVerErr = 1;
        return nullptr;
    }
    bFileVerErr = 0;

    cDataFile* fp = new cDataFile();
    fp->m_bReading = true;
    fp->m_vData = std::move(data);
    fp->m_nPos = 4;
    fp->m_nVersion = nVer;
    return fp;
}

cDataFile* CreateDataFile(const char* path) {
    if (!path || !*path) return nullptr;
    cDataFile* fp = new cDataFile();
    fp->m_bReading = false;
    fp->m_strTarget = path;
    fp->m_strTemp = fp->m_strTarget + ".tmp";
    fp->m_fp = FsOpen(fp->m_strTemp.c_str(), "wb");
    if (!fp->m_fp) {
        delete fp;
        return nullptr;
    }
    fp->m_vData.resize(WRITE_CHUNK);
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

// Lends a record table storage from the calling thread's pool for one
// operation and takes it back afterwards, emptied. Leases nest (CopyFields
// holds two); beyond the pool's depth a record simply uses its own tables.
class cRecordTableLease {
public:
    explicit cRecordTableLease(cRecord& rec) : m_rec(rec) {
        if (s_nDepth < POOL_DEPTH) {
            m_pSlot = &s_aPool[s_nDepth++];
            m_rec.m_vFieldData.swap(m_pSlot->vFields);
            m_rec.m_vStringData.swap(m_pSlot->vStrings);
        }
    }
    ~cRecordTableLease() {
        m_rec.m_vFieldData.clear();
        m_rec.m_vStringData.clear();
        if (m_pSlot) {
            m_rec.m_vFieldData.swap(m_pSlot->vFields);
            m_rec.m_vStringData.swap(m_pSlot->vStrings);
            s_nDepth--;
        }
    }
    cRecordTableLease(const cRecordTableLease&) = delete;
    cRecordTableLease& operator=(const cRecordTableLease&) = delete;

private:
    struct POOLED {
        cChkVector<FIELDDATA> vFields;
        cChkVector<STRINGDATA> vStrings;
    };
    static constexpr int POOL_DEPTH = 8;
    static thread_local POOLED s_aPool[POOL_DEPTH];
    static thread_local int s_nDepth;
    cRecord& m_rec;
    POOLED* m_pSlot = nullptr;
};

thread_local cRecordTableLease::POOLED cRecordTableLease::s_aPool[cRecordTableLease::POOL_DEPTH];
thread_local int cRecordTableLease::s_nDepth = 0;

cRecord& cRecord::operator=(const cRecord& src) {
    if (this == &src) return *this;
    // The tables are working state that every operation rebuilds, so there is
    // nothing to rebase; no member value is copied here either: the derived
    // assignment copies its members.
    const_cast<cRecord&>(src).OnCopySource(static_cast<int>(nDataVer));
    return *this;
}

void cRecord::ClearFieldTable() {
    m_vFieldData.clear();
    m_vStringData.clear();
}

void cRecord::AddField(void* lpData, int nCount, int nSize) {
    FIELDDATA fd;
    fd.lpOwner = this;
    fd.lpData = lpData;
    fd.nCount = nCount;
    fd.bySize = static_cast<int8_t>(nSize);
    m_vFieldData.push_back(fd);
}

void cRecord::AddField8(void* lpData, int nCount) { AddField(lpData, nCount, 8); }
void cRecord::AddField4(void* lpData, int nCount) { AddField(lpData, nCount, 4); }
void cRecord::AddField2(void* lpData, int nCount) { AddField(lpData, nCount, 2); }
void cRecord::AddField1(void* lpData, int nCount) { AddField(lpData, nCount, 1); }

void cRecord::AddString(std::string* lpStr) {
    STRINGDATA sd;
    sd.lpOwner = this;
    sd.lpStr = lpStr;
    m_vStringData.push_back(sd);
}

void cRecord::Read(cDataFile* fp) {
    cRecordTableLease lease(*this);
    RegisterFields(static_cast<int>(nFileVer));

    // A count above the entries this version registers, or a negative one,
    // cannot come from a writer: the file is inconsistent.
    int32_t n = fp->ReadI32();
    if (!fp->IsFailed() && (n < 0 || static_cast<size_t>(n) > m_vFieldData.size())) fp->Fail();
    if (!fp->IsFailed()) {
        for (int32_t i = 0; i < n; i++) {
            const FIELDDATA& fd = m_vFieldData[static_cast<size_t>(i)];
            if (!fp->ReadBytes(fd.lpData, FieldBytes(fd))) break;
        }
    }
    if (!fp->IsFailed()) ReadStringTable(fp);

    if (bDelCR)
        for (const STRINGDATA& sd : m_vStringData) StripCRFromString(*sd.lpStr);
}

void cRecord::ReadStringTable(cDataFile* fp) {
    int32_t m = fp->ReadI32();
    if (fp->IsFailed()) return;
    if (m < 0 || static_cast<size_t>(m) > m_vStringData.size()) {
        fp->Fail();
        return;
    }
    for (int32_t i = 0; i < m; i++)
        if (!fp->ReadString(*m_vStringData[static_cast<size_t>(i)].lpStr)) return;
}

void cRecord::ReadStrings(cDataFile* fp) {
    cRecordTableLease lease(*this);
    RegisterFields(static_cast<int>(nFileVer));
    ReadStringTable(fp);
}

void cRecord::Write(cDataFile* fp) {
    cRecordTableLease lease(*this);
    RegisterFields(static_cast<int>(nDataVer));
    fp->WriteI32(static_cast<int32_t>(m_vFieldData.size()));
    for (const FIELDDATA& fd : m_vFieldData) fp->WriteBytes(fd.lpData, FieldBytes(fd));
    WriteStringTable(fp);
}

void cRecord::WriteStringTable(cDataFile* fp) {
    fp->WriteI32(static_cast<int32_t>(m_vStringData.size()));
    for (const STRINGDATA& sd : m_vStringData) fp->WriteString(*sd.lpStr);
}

void cRecord::WriteStrings(cDataFile* fp) {
    cRecordTableLease lease(*this);
    RegisterFields(static_cast<int>(nDataVer));
    WriteStringTable(fp);
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
    cRecordTableLease lease(*this);
    RegisterFields(static_cast<int>(nDataVer));
    for (const FIELDDATA& fd : m_vFieldData) {
        size_t n = FieldBytes(fd);
        if (n) std::memset(fd.lpData, 0, n);
    }
    for (const STRINGDATA& sd : m_vStringData) sd.lpStr->clear();
}

void cRecord::CopyFields(const cRecord& src) {
    if (this == &src) return;
    cRecord& from = const_cast<cRecord&>(src);
    cRecordTableLease leaseThis(*this);
    cRecordTableLease leaseFrom(from);
    RegisterFields(static_cast<int>(nDataVer));
    from.RegisterFields(static_cast<int>(nDataVer));
    size_t nFields = std::min(m_vFieldData.size(), from.m_vFieldData.size());
    for (size_t i = 0; i < nFields; i++) {
        const FIELDDATA& d = m_vFieldData[i];
        size_t n = std::min(FieldBytes(d), FieldBytes(from.m_vFieldData[i]));
        if (n) std::memmove(d.lpData, from.m_vFieldData[i].lpData, n);
    }
    size_t nStrings = std::min(m_vStringData.size(), from.m_vStringData.size());
    for (size_t i = 0; i < nStrings; i++) *m_vStringData[i].lpStr = *from.m_vStringData[i].lpStr;
}

void StripCRFromString(std::string& s) {
    s.erase(std::remove(s.begin(), s.end(), '\r'), s.end());
}

void cRecord::StripCR() {
    cRecordTableLease lease(*this);
    RegisterFields(static_cast<int>(nDataVer));
    for (const STRINGDATA& sd : m_vStringData) StripCRFromString(*sd.lpStr);
}
