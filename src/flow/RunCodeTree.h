#pragma once
// The parsed form of a run-code text (shared by the parser and the
// evaluator of the run-code language).
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "flow/RunCode.h"

// Operators by number: "=" 0, "+" 1, "-" 2, "*" 3, "/" 4, "%" 5; the level
// reduced first is 0 ("*", "/", "%"), then 1, then 2 ("=").
constexpr int CODE_OP_COUNT = 6;
constexpr int anCodeOpLevel[CODE_OP_COUNT] = {2, 1, 1, 0, 0, 0};

// Common and stage variables 0..1000.
constexpr int CODE_VAR_COUNT = 1001;

// Units of a line's text: a byte, or a parenthesised word or call whose
// value takes its place (CODE_GROUP_UNIT + its index in the line's groups).
constexpr int CODE_GROUP_UNIT = 256;

enum : int { CODESUBJ_MY = 0, CODESUBJ_PL = 5, CODESUBJ_SYS = 6 };   // 1..4 targets 1..4

enum : int { CODEGROUP_PAREN = 0, CODEGROUP_CALL = 1, CODEGROUP_ERROR = 2 };

struct CODEGROUP {
    int nKind = CODEGROUP_PAREN;
    std::shared_ptr<CODELINE> pLine;               // CODEGROUP_PAREN
    std::string strName;                           // CODEGROUP_CALL: the function
    std::vector<std::shared_ptr<CODELINE>> vArg;   // its non-empty arguments
    bool bUnterminated = false;                    // the text ended before its ")"
    std::string strError;                          // CODEGROUP_ERROR: the message
};

enum : int {
    CODEITEM_NUMBER = 0,
    CODEITEM_SPLICE = 1,    // a group's value with the digits that follow it
    CODEITEM_VAR = 2,
    CODEITEM_STATUS = 3,
    CODEITEM_SYSTEM = 4,
    CODEITEM_OPERATOR = 5,
    CODEITEM_ERROR = 6,     // a word the line cannot go past
};

struct CODEITEM {
    int nKind = CODEITEM_NUMBER;
    int32_t nValue = 0;          // number, operator, variable number, status or system index
    int nVarKind = 0;            // 0 common, 1 stage
    int nSubject = CODESUBJ_MY;
    int nGroup = 0;              // CODEITEM_SPLICE
    std::string strDigits;       // CODEITEM_SPLICE
    std::string strError;        // CODEITEM_ERROR: message (a %s takes the word)
    std::vector<int> vWord;      // CODEITEM_ERROR: the word in units
};

struct CODELINE {
    std::vector<int> vUnits;        // the text after the pre-pass
    std::vector<CODEGROUP> vGroup;  // in evaluation order; a CODEGROUP_ERROR ends it
    std::vector<CODEITEM> vItem;
    bool bPrePassError = false;     // the pre-pass stopped at an error (no items)
    bool bMalformed = false;        // an operator lacks an operand
};

// One step of parsing or evaluating (see CodeStepCount).
void CountCodeStep();

// Leading digits with an optional sign, saturated; 0 without digits.
int32_t ParseCodeNumber(const std::string& s);
// Status and system value names; -1 when not one.
int FindCodeStatus(const std::string& w);
int FindCodeSystem(const std::string& w);
