#include "platform/WriteBehind.h"

#include <fcntl.h>

void FsStartWriteBack(FILE* fp, uint64_t nFrom, uint64_t nBytes) {
    if (!fp || nBytes == 0) return;
    if (std::fflush(fp) != 0) return;
#ifdef SYNC_FILE_RANGE_WRITE
    (void)sync_file_range(fileno(fp), static_cast<off_t>(nFrom), static_cast<off_t>(nBytes), SYNC_FILE_RANGE_WRITE);
#else
    (void)nFrom;
#endif
}
