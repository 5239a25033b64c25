#pragma once
// Conversion between the game's Shift-JIS (CP932) bytes and UTF-8, used only
// at the edges: drawing text, showing it in a box or dialog, writing the logs,
// and naming files.
#include <string>
#include <string_view>

// Shift-JIS bytes to UTF-8. Bytes that CP932 cannot decode become U+FFFD and
// the conversion goes on.
std::string SjisToUtf8(std::string_view sjis);

// UTF-8 to Shift-JIS bytes. Returns false (and leaves out untouched) when a
// character has no CP932 form or the input is not valid UTF-8.
bool Utf8ToSjis(std::string_view utf8, std::string& out);

// True when the bytes form valid UTF-8 (plain ASCII included).
bool IsValidUtf8(std::string_view text);
