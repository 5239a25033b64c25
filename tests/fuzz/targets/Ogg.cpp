// Ogg Vorbis music. A refused file leaves the voice with the music it had;
// an accepted one plays samples that are finite numbers.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "FuzzCorpus.h"
#include "FuzzTarget.h"

#include "sound/AudioMixer.h"
#include "sound/OggFixture.h"
#include "sound/OggPlayer.h"

using namespace soundtest;

std::vector<FUZZBYTES> FuzzSeeds() {
    std::vector<float> vSine(2000);
    for (size_t i = 0; i < vSine.size(); ++i) vSine[i] = 0.3f * static_cast<float>(std::sin(0.05 * static_cast<double>(i)));
    std::vector<float> vStereo(2 * 600);
    for (size_t i = 0; i < vStereo.size(); ++i) vStereo[i] = (i % 2 ? 0.2f : -0.2f);
    return {EncodeOgg(vSine, 1, 22050), EncodeOgg(vStereo, 2, 44100)};
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    static cAudioMixer mixer(44100);
    static cOggVoice* pVoice = [] {
        auto* p = new cOggVoice(mixer);
        FUZZBYTES seed = FuzzSeeds()[0];
        FuzzWriteFile("keep.ogg", seed.data(), seed.size());
        FuzzCheck(p->Open("keep.ogg"));
        return p;
    }();
    static std::vector<float> vOut(2 * 2048);
    FuzzWriteFile("fuzz.ogg", pData, nSize);
    FUZZBYTES vMended;
    if (!pVoice->Open("fuzz.ogg")) {
        FuzzCheck(pVoice->IsOpen());
        // Once more with the page checksums made right: the decoder then
        // reads what the mutation changed.
        vMended = WithPageChecksums(FUZZBYTES(pData, pData + nSize));
        if (std::equal(vMended.begin(), vMended.end(), pData)) return 0;
        FuzzWriteFile("fuzz.ogg", vMended.data(), nSize);
        if (!pVoice->Open("fuzz.ogg")) {
            FuzzCheck(pVoice->IsOpen());
            return 0;
        }
        pData = vMended.data();
    }
    FuzzAccepted();
    // What the file holds: the channels and rate of its first stream (the
    // identification packet after the first page's header) and the size
    // class of its page count.
    if (nSize >= 44 && std::memcmp(pData + 28, "\x01vorbis", 7) == 0) {
        FuzzFeature(1, pData[39]);
        uint32_t nRate;
        std::memcpy(&nRate, pData + 40, 4);
        FuzzFeature(2, nRate);
    }
    size_t nPages = 0;
    for (size_t i = 0; i + 4 <= nSize; ++i)
        if (pData[i] == 'O' && std::memcmp(pData + i, "OggS", 4) == 0) ++nPages;
    FuzzFeature(3, FuzzSizeClass(nPages));
    pVoice->SetLoop(1);
    pVoice->Play();
    for (int i = 0; i < 4; ++i) {
        mixer.Render(vOut.data(), 2048);
        for (float f : vOut) FuzzCheck(std::isfinite(f));
    }
    pVoice->Stop();
    return 0;
}
