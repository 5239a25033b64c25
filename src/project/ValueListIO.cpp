#include "project/ValueListIO.h"

#include <cstring>
#include <vector>

#include "foundation/Text.h"

void ReadByteList(cDataFile* fp, cChkVector<uint8_t>& v) {
    int n = fp->ReadCount(1);
    v.assign(static_cast<size_t>(n), 0);
    for (int i = 0; i < n; i++) v[i] = fp->ReadU8();
}

void ReadIntList(cDataFile* fp, cChkVector<int32_t>& v) {
    int n = fp->ReadCount(4);
    v.assign(static_cast<size_t>(n), 0);
    for (int i = 0; i < n; i++) v[i] = fp->ReadI32();
}

std::string ReadLooseString(cDataFile* fp) {
    int32_t nLen = fp->ReadI32();
    if (fp->IsFailed()) return std::string();
    if (nLen < 1 || static_cast<size_t>(nLen) > fp->BytesLeft()) {
        fp->Fail();
        return std::string();
    }
    if (nLen == 1) return std::string();
    std::vector<char> buf(static_cast<size_t>(nLen));
    fp->ReadBytes(buf.data(), buf.size());
    std::string s(buf.data(), strnlen(buf.data(), buf.size()));
    if (bDelCR) StripCRFromString(s);
    return s;
}

void ReadStringList(cDataFile* fp, cChkVector<std::string>& v) {
    int n = fp->ReadCount(4);
    v.clear();
    v.resize(static_cast<size_t>(n));
    for (int i = 0; i < n && !fp->IsFailed(); i++) v[i] = ReadLooseString(fp);
}

void WriteByteList(cDataFile* fp, const cChkVector<uint8_t>& v) {
    fp->WriteI32(static_cast<int32_t>(v.size()));
    for (uint8_t b : v) fp->WriteU8(b);
}

void WriteIntList(cDataFile* fp, const cChkVector<int32_t>& v) {
    fp->WriteI32(static_cast<int32_t>(v.size()));
    for (int32_t n : v) fp->WriteI32(n);
}

void WriteLooseString(cDataFile* fp, const std::string& s) {
    // The text up to its first zero, at its full length, as every string of
    // a record is written (the length word bounds it below 2 GiB).
    size_t nLen = strnlen(s.c_str(), s.size());
    nLen = SjisSafeLength(s.c_str(), nLen, 0x7FFFFFFE);
    fp->WriteI32(static_cast<int32_t>(nLen + 1));
    if (nLen == 0) return;
    fp->WriteBytes(s.data(), nLen);
    fp->WriteU8(0);
}

void WriteStringList(cDataFile* fp, const cChkVector<std::string>& v) {
    fp->WriteI32(static_cast<int32_t>(v.size()));
    for (const std::string& s : v) WriteLooseString(fp, s);
}
