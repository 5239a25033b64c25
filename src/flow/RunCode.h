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
// line and leave what was already assigned; a text shows its box once (a
// command runs its text at every step of its duration, so a failing text
// would otherwise raise a box every frame).
#include <cstdint>
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
// Drops the parsed trees and forgets which texts were reported.
void ClearCodeCache();
// Whether a text has failed before (its error box was shown then; later
// failures of the same text are silent), and marking it so.
bool CodeReported(const std::string& strText);
void MarkCodeReported(const std::string& strText);

// Units of work done by parsing and evaluating so far in the process: one
// for each unit of text read and each word reduced. Parsing and evaluating
// a text take steps in proportion to its length (tests count them).
uint64_t CodeStepCount();

// Limits: nesting of parentheses and calls; the longest text a command
// runs (a longer one is an error of the command and runs nothing).
constexpr int CODE_MAX_DEPTH = 32;
constexpr size_t CODE_MAX_TEXT = 4096;
