#pragma once
// The animation pattern sequencer: turns a table of patterns into one frame
// (cell) number per game tick.
//
// A pattern is a list of steps; its last step carries a negative control code
// in nFrame: -1 stay on the step before it, -2 loop to step 0, -3 jump to
// pattern nTime (forced), any other negative value ends the pattern (the step
// stays current and its code is returned to the caller).
#include "foundation/ChkContainers.h"

struct ANIMSTEP {
    int nFrame = 0;  // cell shown, or a negative control code
    int nTime = 0;   // ticks the step lasts; the target pattern of a -3 step
    int bLock = 0;   // non-zero: an unforced pattern change is refused
};

enum : int {
    ANIMCODE_STAY = -1,
    ANIMCODE_RESTART = -2,
    ANIMCODE_JUMP = -3,
    ANIMCODE_END = -4,  // the end code the database builders write
};

class cAnimPattern {
public:
    cAnimPattern() = default;
    cAnimPattern(const cAnimPattern& o) { *this = o; }
    cAnimPattern& operator=(const cAnimPattern& o);

    // Rebuilds the table from rows of (frame, time, flag) triples, each row
    // ended by its first triple with a negative frame (which belongs to the
    // pattern); the row array ends with a null pointer. A null array keeps
    // everything as it is.
    void SetPatterns(const int* const* lplpRows);

    // Reads the patterns from a table that outlives this sequencer and never
    // changes (objects of one kind made by the thousand share one) instead
    // of a copy of its own; m_vPattern stays empty meanwhile. It starts at
    // pattern 0, step 0, as after SetPatterns; SetPatterns and Clear end the
    // sharing.
    void ShareTable(const cChkVector<cChkVector<ANIMSTEP>>* lpTable);

    // Selects pattern n at step 0 (also when n is the current pattern).
    // Unless forced, refused (0) while the current step is locked.
    int SetPattern(int n, int bForce);
    // As SetPattern, but selecting the running pattern changes nothing.
    int ChangePattern(int n, int bForce);

    // One tick; returns the frame of the step now current.
    int Update();
    // The current frame without ticking.
    int GetFrame();
    void Clear();

    // Direct filling: callers size the table and each pattern themselves,
    // then set m_nStep and m_nCount to 0.
    cChkVector<cChkVector<ANIMSTEP>> m_vPattern;
    int m_nPattern = 0;
    int m_nStep = 0;
    int m_nCount = 0;

private:
    const cChkVector<cChkVector<ANIMSTEP>>& Table() const { return m_pShared ? *m_pShared : m_vPattern; }
    const ANIMSTEP& CurrentStep() const;
    const cChkVector<cChkVector<ANIMSTEP>>* m_pShared = nullptr;
};
