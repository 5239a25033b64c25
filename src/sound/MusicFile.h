#pragma once
// The kind of a music file, by its extension compared without regard to case.
enum : int { MUSIC_NONE = 0, MUSIC_OGG = 1, MUSIC_MIDI = 2 };

// MUSIC_MIDI for "mid", MUSIC_OGG for "ogg", else MUSIC_NONE. *pbHasExt (when
// given) tells whether the name has an extension at all.
int GetMusicKind(const char* szFile, bool* pbHasExt = nullptr);
