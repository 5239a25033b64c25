#pragma once
// The run-code language: a one-line text of integer assignments and
// arithmetic over variables, character statuses and system values, e.g.
// "my.hp = my.hp + rand(1,6) * 10".
//
// A line is words separated by blanks. A word that begins with "(" is a
// parenthesised line evaluated first, and "rand(a,b)" a function call; their
// values take their place in the word. A prefix "my.", "tg.", "tg1." ...
// "tg4.", "pl." or "sys." names whose status the next word is. Operators are
// words of their own: "*", "/", "%" bind first, then "+", "-", then "=",
// each from the left. Variables and statuses are read when the line is
// split into words, before any operator is reduced, so every "=" of a line
// assigns after all arithmetic of that line.
//
// A text is parsed once into a tree (the cache is keyed by the text); each
// run evaluates the tree. Errors show a box with their message, stop the
// line and leave what was already assigned.
#include <memory>
#include <string>

class cCharaBase;
struct CODELINE;

// Runs a text with a character as "my"; 0 on an error, 1 otherwise.
int RunCode(const std::string& strText, cCharaBase* pChara);

// The parsed tree of a text (cached; never null).
std::shared_ptr<const CODELINE> ParseCode(const std::string& strText);
// What a parse found wrong before anything runs, "" for a well-formed text
// (tests and fuzzing: the first error message of the text, as it would be
// shown when the run reaches it).
std::string CodeParseError(const CODELINE& line);
// Drops the parsed trees.
void ClearCodeCache();

// Limits: nesting of parentheses and calls, words of one line.
constexpr int CODE_MAX_DEPTH = 32;
constexpr size_t CODE_MAX_TEXT = 4096;
