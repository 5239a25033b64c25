#pragma once
// The one boundary between the data's paths and the file system.
//
// Paths stay as the data has them: Shift-JIS bytes, backslashes, relative to
// the current directory. Here each path is mapped to a host path: separators
// become '/', except a 0x5C that is the trail byte of a double-byte
// character; each component is looked up case-insensitively, and a Shift-JIS
// name is tried both as its bytes and as UTF-8.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// Host path for a data path. Components that exist are resolved to their
// on-disk spelling; the rest are kept as given (converted to UTF-8 when the
// bytes are not valid UTF-8 already), so the result can name a new file.
std::string HostPath(const char* pszDataPath);

FILE* FsOpen(const char* pszDataPath, const char* pszMode);
bool FsExists(const char* pszDataPath);          // any entry
bool FsIsDirectory(const char* pszDataPath);
bool FsIsFile(const char* pszDataPath);
bool FsMakeDirectory(const char* pszDataPath);    // one level; true when it exists afterwards
bool FsRename(const char* pszFrom, const char* pszTo);  // replaces an existing file
// Durability of a replacing save: the written file's data reach the disk
// before the rename, and the folder's entry after it.
bool FsSyncFile(FILE* fp);
bool FsSyncParentDirectory(const char* pszDataPath);
bool FsRemove(const char* pszDataPath);           // a file or an empty directory
bool FsRemoveTree(const char* pszDataPath);       // a directory with everything in it
bool FsCopyTree(const char* pszFrom, const char* pszTo);
long long FsFileSize(const char* pszDataPath);    // -1 when missing

// Reads a whole file into out. False when it cannot be opened or read, or is
// larger than nMaxBytes (out is then untouched).
bool FsReadFile(const char* pszDataPath, std::vector<uint8_t>& out, size_t nMaxBytes = SIZE_MAX);

// Names (not paths) of the entries of a directory, as data names (Shift-JIS
// bytes when the host name is valid UTF-8 with a CP932 form, else the raw
// host bytes). Sorted by byte value.
std::vector<std::string> FsListDirectory(const char* pszDataPath);

// The current directory, as an absolute host path.
std::string FsCurrentDirectory();
