#include "sound/MusicFile.h"

#include <cstring>
#include <strings.h>

#include "foundation/Path.h"

int GetMusicKind(const char* szFile, bool* pbHasExt)
{
    if (pbHasExt != nullptr) *pbHasExt = false;
    if (szFile == nullptr) return MUSIC_NONE;
    char szPath[260];
    std::strncpy(szPath, szFile, sizeof(szPath) - 1);
    szPath[sizeof(szPath) - 1] = 0;
    char szExt[260] = {};
    if (!GetExtension(szExt, szPath) || szExt[0] == 0) return MUSIC_NONE;
    if (pbHasExt != nullptr) *pbHasExt = true;
    if (strcasecmp(szExt, "mid") == 0) return MUSIC_MIDI;
    if (strcasecmp(szExt, "ogg") == 0) return MUSIC_OGG;
    return MUSIC_NONE;
}
