#include "foundation/Path.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "foundation/Text.h"
#include "platform/FileSystem.h"
#include "platform/TextCodec.h"

// Paths keep the data's form: Shift-JIS bytes with backslashes. A 0x5C that
// is the trail byte of a double-byte character is part of a name, never a
// separator. The buffer forms work on buffers of MAX_PATH_SIZE bytes and
// fail, leaving the path unchanged, when a result would not fit.

namespace {

bool IsSep(unsigned char c) { return c == '\\' || c == '/'; }

// Index of the first byte after the last separator of s[0..nLen) (0 when
// there is none). With bSkipLast, a separator in the last byte does not count.
size_t NameStart(const char* s, size_t nLen, bool bSkipLast) {
    const unsigned char* u = reinterpret_cast<const unsigned char*>(s);
    size_t nEnd = bSkipLast && nLen > 0 ? nLen - 1 : nLen;
    size_t nStart = 0;
    size_t i = 0;
    while (i < nEnd) {
        if (IsSJISLead(u[i]) && i + 1 < nLen && IsSJISTrail(u[i + 1])) {
            i += 2;
            continue;
        }
        if (IsSep(u[i])) nStart = i + 1;
        i++;
    }
    return nStart;
}

// Position of the extension's dot: the last dot after the last separator.
size_t ExtensionDot(const std::string& s) {
    size_t nStart = NameStart(s.data(), s.size(), false);
    size_t nDot = s.rfind('.');  // 0x2E is never a trail byte
    if (nDot == std::string::npos || nDot < nStart) return std::string::npos;
    return nDot;
}

// The text of a buffer up to its terminator.
std::string FromBuffer(const char* p) { return p ? std::string(p) : std::string(); }

// Stores s into a MAX_PATH_SIZE buffer; false (buffer untouched) when it does not fit.
bool ToBuffer(char* dst, const std::string& s) {
    if (s.size() >= static_cast<size_t>(MAX_PATH_SIZE)) return false;
    std::memmove(dst, s.c_str(), s.size() + 1);
    return true;
}

bool IsAbsolute(const std::string& s) {
    if (s.empty()) return false;
    if (IsSep(static_cast<unsigned char>(s[0]))) return true;
    unsigned char c = static_cast<unsigned char>(s[0]);
    return s.size() >= 2 && ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) && s[1] == ':';
}

// An absolute path split into its root ("" for a path from the file system's
// root, or a drive such as "C:") and its components, with "." dropped and
// ".." applied.
struct SPLITPATH {
    std::string strRoot;
    std::vector<std::string> vParts;
};

SPLITPATH SplitAbsolute(const std::string& s) {
    SPLITPATH sp;
    size_t i = 0;
    if (!s.empty() && !IsSep(static_cast<unsigned char>(s[0]))) {
        sp.strRoot = s.substr(0, 2);  // the drive
        i = 2;
    }
    const unsigned char* u = reinterpret_cast<const unsigned char*>(s.data());
    std::string strPart;
    auto flush = [&] {
        if (strPart.empty() || strPart == ".") {
        } else if (strPart == "..") {
            if (!sp.vParts.empty()) sp.vParts.pop_back();
        } else {
            sp.vParts.push_back(strPart);
        }
        strPart.clear();
    };
    while (i < s.size()) {
        if (IsSJISLead(u[i]) && i + 1 < s.size() && IsSJISTrail(u[i + 1])) {
            strPart.append(s, i, 2);
            i += 2;
            continue;
        }
        if (IsSep(u[i])) flush();
        else strPart.push_back(s[i]);
        i++;
    }
    flush();
    return sp;
}

std::string JoinAbsolute(const SPLITPATH& sp) {
    std::string s = sp.strRoot;
    if (sp.vParts.empty()) return s + "\\";
    for (const std::string& p : sp.vParts) {
        s += '\\';
        s += p;
    }
    return s;
}

// Compares names as the file system of the data's origin does: single-byte
// letters without regard to case, double-byte characters byte for byte.
bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    const unsigned char* x = reinterpret_cast<const unsigned char*>(a.data());
    const unsigned char* y = reinterpret_cast<const unsigned char*>(b.data());
    for (size_t i = 0; i < a.size(); i++) {
        if (IsSJISLead(x[i]) && i + 1 < a.size() && IsSJISTrail(x[i + 1])) {
            if (x[i] != y[i] || x[i + 1] != y[i + 1]) return false;
            i++;
            continue;
        }
        unsigned char c = x[i], d = y[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<unsigned char>(c + 32);
        if (d >= 'A' && d <= 'Z') d = static_cast<unsigned char>(d + 32);
        if (c != d) return false;
    }
    return true;
}

// The current directory in the data's form (Shift-JIS, backslashes); false
// when it cannot be read.
bool DataCurrentDirectory(std::string& out) {
    std::string strHost = FsCurrentDirectory();
    if (strHost.empty()) return false;
    std::string strSjis;
    if (!Utf8ToSjis(strHost, strSjis)) strSjis = strHost;
    for (char& c : strSjis)
        if (c == '/') c = '\\';  // 0x2F is never a trail byte
    out = strSjis;
    return IsAbsolute(out);
}

int MakeFullPathString(std::string& path) {
    if (IsAbsolute(path)) return 1;
    std::string strCwd;
    if (!DataCurrentDirectory(strCwd)) return 0;
    path = JoinAbsolute(SplitAbsolute(strCwd + "\\" + path));
    return 1;
}

int MakeRelativePathString(std::string& path) {
    if (!IsAbsolute(path)) return 1;
    std::string strCwd;
    if (!DataCurrentDirectory(strCwd)) return 0;
    SPLITPATH from = SplitAbsolute(strCwd);
    SPLITPATH to = SplitAbsolute(path);
    if (!SameName(from.strRoot, to.strRoot)) return 0;
    size_t nCommon = 0;
    while (nCommon < from.vParts.size() && nCommon < to.vParts.size() &&
           SameName(from.vParts[nCommon], to.vParts[nCommon]))
        nCommon++;
    std::string s;
    if (nCommon == from.vParts.size()) {
        s += '.';
    } else {
        for (size_t i = nCommon; i < from.vParts.size(); i++) s += i == nCommon ? ".." : "\\..";
    }
    for (size_t i = nCommon; i < to.vParts.size(); i++) {
        s += '\\';
        s += to.vParts[i];
    }
    path = s;
    return 1;
}

void StripPathString(std::string& path) {
    if (path.size() < 2) return;
    size_t n = NameStart(path.data(), path.size(), true);
    if (n > 0) path.erase(0, n);
}

int RemoveExtensionString(std::string& path) {
    size_t nDot = ExtensionDot(path);
    if (nDot == std::string::npos) return 0;
    path.resize(nDot);
    return 1;
}

int FindLatestNumberedFileString(std::string& dst, const char* path, const char* ext) {
    std::string strBase = FromBuffer(path);
    size_t nDot = ExtensionDot(strBase);
    if (nDot != std::string::npos) {
        strBase.resize(nDot);
        if (ext) {
            strBase += '.';
            strBase += ext;
        }
    }
    char szSuffix[8];
    for (int n = 999; n >= 0; n--) {
        std::snprintf(szSuffix, sizeof szSuffix, "_%d%d%d", n / 100, n / 10 % 10, n % 10);
        std::string strName = strBase + szSuffix;
        if (FsExists(strName.c_str())) {
            dst = strName;
            return 1;
        }
    }
    return 0;
}

}  // namespace

int MakeRelativePath(char* path) {
    std::string s = FromBuffer(path);
    if (!MakeRelativePathString(s)) return 0;
    return ToBuffer(path, s) ? 1 : 0;
}

int MakeRelativePath(std::string& path) {
    std::string s = FromBuffer(path.c_str());
    if (!MakeRelativePathString(s)) return 0;
    path = s;
    return 1;
}

int MakeFullPath(char* path) {
    std::string s = FromBuffer(path);
    if (!MakeFullPathString(s)) return 0;
    return ToBuffer(path, s) ? 1 : 0;
}

void StripPath(char* path) {
    std::string s = FromBuffer(path);
    StripPathString(s);
    ToBuffer(path, s);  // never longer than before
}

void StripPath(std::string& path) {
    StrRefresh(path);
    StripPathString(path);
}

int ChangeExtension(char* dst, const char* src, const char* ext) {
    std::string s = FromBuffer(src);
    if (s.size() >= static_cast<size_t>(MAX_PATH_SIZE))
        s.resize(SjisSafeLength(s.data(), s.size(), MAX_PATH_SIZE - 1));
    size_t nDot = ExtensionDot(s);
    if (nDot == std::string::npos) {
        ToBuffer(dst, s);
        return 0;
    }
    std::string t = s.substr(0, nDot);
    if (ext) {
        t += '.';
        t += ext;
    }
    if (!ToBuffer(dst, t)) {
        ToBuffer(dst, s);
        return 0;
    }
    return 1;
}

int RemoveExtension(char* path) {
    std::string s = FromBuffer(path);
    if (!RemoveExtensionString(s)) return 0;
    ToBuffer(path, s);
    return 1;
}

int RemoveExtension(std::string& path) {
    std::string s = FromBuffer(path.c_str());
    if (!RemoveExtensionString(s)) return 0;
    path = s;
    return 1;
}

int GetExtension(char* dst, const char* path) {
    std::string s = FromBuffer(path);
    size_t nDot = ExtensionDot(s);
    if (nDot == std::string::npos) return 0;
    SjisCopy(dst, MAX_PATH_SIZE, s.c_str() + nDot + 1);
    return 1;
}

int MakeNumberedName(char* dst, const char* src, int n) {
    std::string s = FromBuffer(src);
    size_t nDot = ExtensionDot(s);
    if (nDot == std::string::npos) return 0;
    std::string t = FormatBounded(static_cast<size_t>(MAX_PATH_SIZE) * 2, "%s (%d).%s",
                                  s.substr(0, nDot).c_str(), n, s.c_str() + nDot + 1);
    return ToBuffer(dst, t) ? 1 : 0;
}

int FindLatestNumberedFile(char* dst, const char* path, const char* ext) {
    std::string s;
    if (!FindLatestNumberedFileString(s, path, ext)) return 0;
    return ToBuffer(dst, s) ? 1 : 0;
}

int FindLatestNumberedFile(std::string& dst, const char* path, const char* ext) {
    return FindLatestNumberedFileString(dst, path, ext);
}
