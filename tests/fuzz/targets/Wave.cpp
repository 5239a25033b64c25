// The wave file reader. An accepted wave is PCM, holds whole blocks only and
// no more sample bytes than the file; a refused one leaves no samples behind.
#include "FuzzTarget.h"

#include "sound/SoundFixtures.h"
#include "sound/WaveFile.h"

using namespace soundtest;

std::vector<FUZZBYTES> FuzzSeeds() {
    std::vector<FUZZBYTES> v;
    WAVSPEC w;
    w.nChannels = 2;
    w.vSamples = Pcm16({1, 2, 3, 4, 5, 6, 7, 8});
    v.push_back(BuildWav(w));
    w.nFmtSize = 18;
    w.bJunkBeforeFmt = true;
    v.push_back(BuildWav(w));
    return v;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    FuzzSetAllocLimit(nSize + (size_t(1) << 20));
    WAVEDATA w;
    w.dwSize = 3;
    w.vSamples = {1, 2, 3};
    if (!ReadWaveFromMemory("fuzz.wav", pData, nSize, &w)) {
        FuzzCheck(w.dwSize == 0 && w.vSamples.empty());
        return 0;
    }
    FuzzAccepted();
    FuzzCheck(w.dwSize > 0 && w.dwSize == w.vSamples.size() && w.dwSize <= nSize);
    if (w.wfx.nBlockAlign > 0) FuzzCheck(w.dwSize % w.wfx.nBlockAlign == 0);
    FuzzCheck(w.wfx.wFormatTag == WAVE_FORMAT_PCM);
    return 0;
}
