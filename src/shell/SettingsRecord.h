#pragma once
// Reading one of the player's settings files (the start-dialog choice, the
// window placement) into its record.

// Reads the file at path into rec: 1 when read. A file that is missing or
// refused (damaged, newer) leaves the record as it was, so a half-read file
// never mixes its values into the ones in use.
template <class T>
int LoadSettingsRecord(T& rec, const char* path) {
    T read(rec);
    if (!read.Load(path)) return 0;
    rec = read;
    return 1;
}
