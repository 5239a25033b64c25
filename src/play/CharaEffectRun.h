#pragma once
// A character effect running on a character (burst, split, wave, blink,
// rotation, circle, enlarge, lens, colour change, translucent, mosaic,
// blur): the run of one character-effect record of the database, whose
// value runs from a start to an end value over a time, normally, reversed or
// back and forth, once or in a loop.
#include <cstdint>

#include "foundation/ChkContainers.h"

constexpr int CHARA_EFFECT_KINDS = 17;   // 0 none .. 16 blur

class cCharaEffectRun {
public:
    void Clear();
    // Prepares the run of entry nEffect (reversed: start and end exchanged).
    void Init(int nEffect, int bReversed);
    void CopyFrom(const cCharaEffectRun& prepared) { *this = prepared; }
    // Copies the prepared run (reversed for type 1) and starts it.
    void Start(int nEffect, int nType, int bLoop);
    // The next pass: type 2 turns round.
    void Restart();
    // One drawn frame; 1 when the run has ended (the effect becomes none).
    int Step();

    // Parameter n (1..5) of the definition: 1 time, 2 start, 3 end, 4 and 5
    // the extra parameters.
    int P(int n) const { return (n >= 1 && n <= 5) ? m_anParam[n - 1] : 0; }

    int32_t m_nKind = 0;      // the definition's kind; 0 none
    int32_t m_nEffect = 0;    // entry of the character-effect list
    int32_t m_nRunType = 0;   // 0 normal, 1 reversed, 2 back and forth
    int32_t m_bLoop = 0;
    int32_t m_nStep = 0;      // frames since the (re)start
    int32_t m_nTime = 0;      // 1/10 s
    int32_t m_bReversed = 0;  // the reversed preparation is in use
    int32_t m_anParam[5] = {};
    int32_t m_nStart = 0, m_nEnd = 0;
    double m_dValue = 0;
    double m_dStepSize = 0;
    double m_dElapsed = 0;
    int32_t m_nExtra1 = 0, m_nExtra2 = 0;
};

// The prepared runs of every character-effect entry, forward and reversed.
extern cChkVector<cCharaEffectRun> vecCharaEffectRun;
extern cChkVector<cCharaEffectRun> vecCharaEffectRunRev;
