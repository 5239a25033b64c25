#pragma once
// A character effect running on a character (blink, tint, shake ...): the
// run of one character-effect record of the database.
#include <cstdint>

class cCharaEffectRun {
public:
    int32_t m_nKind = 0;   // 0 none
    int32_t m_nEffect = 0;
    int32_t m_nRunType = 0;
    int32_t m_bLoop = 0;
    int32_t m_nStep = 0;
    int32_t m_nTime = 0;
};
