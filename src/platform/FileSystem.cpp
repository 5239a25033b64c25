#include "platform/FileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "platform/TextCodec.h"

namespace {

bool IsLead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }
bool IsTrail(unsigned char c) { return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC); }

// Splits a data path at '\' and '/', keeping a separator byte that is the
// trail byte of a double-byte character inside its component. Empty
// components (doubled separators) are dropped.
std::vector<std::string> SplitDataPath(const std::string& path, bool* pAbsolute, bool* pTrailingSep)
{
    std::vector<std::string> vParts;
    std::string cur;
    *pAbsolute = !path.empty() && (path[0] == '/' || path[0] == '\\');
    *pTrailingSep = false;
    // A path that is valid UTF-8 but not plain ASCII came from the host (the
    // current directory, a temporary folder): its bytes are no Shift-JIS.
    bool bHostPath = IsValidUtf8(path);
    for (size_t i = 0; i < path.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(path[i]);
        if (!bHostPath && IsLead(c) && i + 1 < path.size() && IsTrail(static_cast<unsigned char>(path[i + 1]))) {
            cur.push_back(path[i]);
            cur.push_back(path[i + 1]);
            ++i;
            *pTrailingSep = false;
            continue;
        }
        if (c == '\\' || c == '/') {
            if (!cur.empty()) vParts.push_back(cur);
            cur.clear();
            *pTrailingSep = true;
            continue;
        }
        *pTrailingSep = false;
        cur.push_back(path[i]);
    }
    if (!cur.empty()) vParts.push_back(cur);
    return vParts;
}

// ASCII case folding that leaves the second byte of a double-byte character
// alone (0x40-0x7E holds letters as trail bytes).
std::string FoldSjis(const std::string& s)
{
    std::string out = s;
    for (size_t i = 0; i < out.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(out[i]);
        if (IsLead(c) && i + 1 < out.size()) {
            ++i;
            continue;
        }
        if (c >= 'A' && c <= 'Z') out[i] = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

// ASCII case folding of UTF-8 (bytes of multi-byte sequences are >= 0x80).
std::string FoldUtf8(const std::string& s)
{
    std::string out = s;
    for (char& ch : out) {
        if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
    }
    return out;
}

bool EntryExists(const std::string& host)
{
    struct stat st;
    return lstat(host.c_str(), &st) == 0;
}

std::string JoinHost(const std::string& base, const std::string& name)
{
    if (base.empty()) return name;
    if (base.back() == '/') return base + name;
    return base + "/" + name;
}

std::vector<std::string> ReadHostDirectory(const std::string& host)
{
    std::vector<std::string> v;
    DIR* dir = opendir(host.empty() ? "." : host.c_str());
    if (!dir) return v;
    while (dirent* ent = readdir(dir)) {
        if (std::strcmp(ent->d_name, ".") == 0 || std::strcmp(ent->d_name, "..") == 0) continue;
        v.emplace_back(ent->d_name);
    }
    closedir(dir);
    std::sort(v.begin(), v.end());
    return v;
}

// The host form of one component when nothing on disk matches it.
std::string NewHostName(const std::string& part)
{
    if (IsValidUtf8(part)) return part;
    return SjisToUtf8(part);
}

// Finds the on-disk spelling of one component inside the host directory
// base. Empty when nothing matches.
std::string ResolveComponent(const std::string& base, const std::string& part)
{
    const bool bUtf8 = IsValidUtf8(part);
    const std::string strAsUtf8 = bUtf8 ? part : SjisToUtf8(part);
    // Exact spellings first: the bytes as given, then their UTF-8 form.
    if (EntryExists(JoinHost(base, part))) return part;
    if (!bUtf8 && EntryExists(JoinHost(base, strAsUtf8))) return strAsUtf8;

    const std::string strFoldSjis = FoldSjis(part);
    const std::string strFoldUtf8 = FoldUtf8(strAsUtf8);
    for (const std::string& entry : ReadHostDirectory(base)) {
        if (IsValidUtf8(entry)) {
            if (FoldUtf8(entry) == strFoldUtf8) return entry;
        } else if (FoldSjis(entry) == strFoldSjis) {
            return entry;   // a name stored as Shift-JIS bytes
        }
    }
    return std::string();
}

std::filesystem::path FsPath(const char* pszDataPath)
{
    return std::filesystem::path(HostPath(pszDataPath));
}

}  // namespace

std::string HostPath(const char* pszDataPath)
{
    if (!pszDataPath || !*pszDataPath) return std::string();
    bool bAbsolute = false, bTrailingSep = false;
    std::vector<std::string> vParts = SplitDataPath(pszDataPath, &bAbsolute, &bTrailingSep);

    std::string host = bAbsolute ? "/" : "";
    bool bResolving = true;
    for (const std::string& part : vParts) {
        std::string name;
        if (part == "." || part == "..") {
            name = part;
        } else if (bResolving) {
            name = ResolveComponent(host.empty() ? std::string(".") : host, part);
            if (name.empty()) {
                // Missing: keep the rest as given; it may name a new entry.
                bResolving = false;
                name = NewHostName(part);
            }
        } else {
            name = NewHostName(part);
        }
        host = JoinHost(host, name);
    }
    if (bTrailingSep && !host.empty() && host.back() != '/') host += '/';
    return host;
}

FILE* FsOpen(const char* pszDataPath, const char* pszMode)
{
    std::string host = HostPath(pszDataPath);
    if (host.empty()) return nullptr;
    return std::fopen(host.c_str(), pszMode);
}

bool FsExists(const char* pszDataPath)
{
    std::string host = HostPath(pszDataPath);
    return !host.empty() && EntryExists(host);
}

bool FsIsDirectory(const char* pszDataPath)
{
    std::string host = HostPath(pszDataPath);
    struct stat st;
    return !host.empty() && stat(host.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool FsIsFile(const char* pszDataPath)
{
    std::string host = HostPath(pszDataPath);
    struct stat st;
    return !host.empty() && stat(host.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool FsMakeDirectory(const char* pszDataPath)
{
    std::string host = HostPath(pszDataPath);
    if (host.empty()) return false;
    if (mkdir(host.c_str(), 0777) != 0 && errno != EEXIST) return false;
    struct stat st;
    return stat(host.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool FsRename(const char* pszFrom, const char* pszTo)
{
    std::string from = HostPath(pszFrom), to = HostPath(pszTo);
    if (from.empty() || to.empty()) return false;
    return std::rename(from.c_str(), to.c_str()) == 0;
}

bool FsSyncFile(FILE* fp)
{
    if (!fp) return false;
    if (std::fflush(fp) != 0) return false;
    return fsync(fileno(fp)) == 0;
}

bool FsSyncParentDirectory(const char* pszDataPath)
{
    std::string host = HostPath(pszDataPath);
    if (host.empty()) return false;
    size_t nSlash = host.rfind('/');
    std::string dir = nSlash == std::string::npos ? "." : (nSlash == 0 ? "/" : host.substr(0, nSlash));
    int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return false;
    bool bOk = fsync(fd) == 0;
    close(fd);
    return bOk;
}

bool FsRemove(const char* pszDataPath)
{
    std::string host = HostPath(pszDataPath);
    if (host.empty()) return false;
    return std::remove(host.c_str()) == 0;
}

bool FsRemoveTree(const char* pszDataPath)
{
    std::string host = HostPath(pszDataPath);
    if (host.empty()) return false;
    std::error_code ec;
    std::filesystem::remove_all(host, ec);
    return !ec && !EntryExists(host);
}

bool FsCopyTree(const char* pszFrom, const char* pszTo)
{
    std::error_code ec;
    std::filesystem::path from = FsPath(pszFrom), to = FsPath(pszTo);
    if (from.empty() || to.empty()) return false;
    std::filesystem::copy(from, to,
                          std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing,
                          ec);
    return !ec;
}

long long FsFileSize(const char* pszDataPath)
{
    std::string host = HostPath(pszDataPath);
    struct stat st;
    if (host.empty() || stat(host.c_str(), &st) != 0) return -1;
    return static_cast<long long>(st.st_size);
}

bool FsReadFile(const char* pszDataPath, std::vector<uint8_t>& out, size_t nMaxBytes)
{
    FILE* fp = FsOpen(pszDataPath, "rb");
    if (fp == nullptr) return false;
    std::vector<uint8_t> data;
    bool bOk = true;
    long nSize = -1;
    if (std::fseek(fp, 0, SEEK_END) == 0) {
        nSize = std::ftell(fp);
        if (std::fseek(fp, 0, SEEK_SET) != 0) nSize = -1;
    }
    if (nSize > 0 && static_cast<unsigned long long>(nSize) > nMaxBytes) bOk = false;
    if (bOk && nSize > 0) {
        // The whole file in one read; a file that grew meanwhile is read on below.
        data.resize(static_cast<size_t>(nSize));
        size_t nGot = std::fread(data.data(), 1, data.size(), fp);
        data.resize(nGot);
        if (nGot < static_cast<size_t>(nSize) && std::ferror(fp)) bOk = false;
    }
    uint8_t buf[65536];
    while (bOk) {
        size_t n = std::fread(buf, 1, sizeof buf, fp);
        if (n > 0) data.insert(data.end(), buf, buf + n);
        if (data.size() > nMaxBytes) bOk = false;
        if (n < sizeof buf) {
            if (std::ferror(fp)) bOk = false;
            break;
        }
    }
    std::fclose(fp);
    if (!bOk) return false;
    out.swap(data);
    return true;
}

std::vector<std::string> FsListDirectory(const char* pszDataPath)
{
    std::string host = HostPath(pszDataPath);
    std::vector<std::string> v;
    for (const std::string& entry : ReadHostDirectory(host.empty() ? std::string(".") : host)) {
        std::string sjis;
        if (IsValidUtf8(entry) && Utf8ToSjis(entry, sjis)) v.push_back(sjis);
        else v.push_back(entry);
    }
    std::sort(v.begin(), v.end());
    return v;
}

std::string FsCurrentDirectory()
{
    std::error_code ec;
    std::filesystem::path p = std::filesystem::current_path(ec);
    if (ec) return std::string(".");
    return p.string();
}
