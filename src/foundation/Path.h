#pragma once
// Path and file-name functions on 260-byte buffers of Shift-JIS bytes.
// They return 1 on success, 0 on failure with the path unchanged.
// The extension functions search for the last dot after the last separator.
#include <string>

int MakeRelativePath(char* path);
int MakeRelativePath(std::string& path);
int MakeFullPath(char* path);
void StripPath(char* path);
void StripPath(std::string& path);
int ChangeExtension(char* dst, const char* src, const char* ext);
int RemoveExtension(char* path);
int RemoveExtension(std::string& path);
int GetExtension(char* dst, const char* path);
int MakeNumberedName(char* dst, const char* src, int n);
int FindLatestNumberedFile(char* dst, const char* path, const char* ext);
int FindLatestNumberedFile(std::string& dst, const char* path, const char* ext);
