// Ogg Vorbis music. A refused file leaves the voice with the music it had;
// an accepted one plays samples that are finite numbers.
#include <cmath>

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
    if (!pVoice->Open("fuzz.ogg")) {
        FuzzCheck(pVoice->IsOpen());
        return 0;
    }
    FuzzAccepted();
    pVoice->SetLoop(1);
    pVoice->Play();
    for (int i = 0; i < 4; ++i) {
        mixer.Render(vOut.data(), 2048);
        for (float f : vOut) FuzzCheck(std::isfinite(f));
    }
    pVoice->Stop();
    return 0;
}
