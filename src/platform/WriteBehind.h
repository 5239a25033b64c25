#pragma once
// Write-behind for large saves: the disk write of a range already handed to
// an open file is started without waiting for it, so that a save synced
// before its rename waits only for what is left. A hint: nothing happens, and
// nothing fails, where the system offers no such call.
#include <cstdint>
#include <cstdio>

void FsStartWriteBack(FILE* fp, uint64_t nFrom, uint64_t nBytes);
