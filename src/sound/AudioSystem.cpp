#include "sound/AudioSystem.h"

#include "foundation/Log.h"
#include "platform/AudioDevice.h"

namespace {

struct AUDIOSYSTEM {
    std::mutex lock;          // guards the holds and the device (never taken by the audio thread)
    int nHolds = 0;
    bool bDeviceEnabled = true;
    cAudioDevice device;
};

AUDIOSYSTEM& System()
{
    // Never destroyed: global objects of other files may release their
    // holds while the process ends.
    static AUDIOSYSTEM* p = new AUDIOSYSTEM;
    return *p;
}

void PullFrames(void* pArg, float* pOut, int nFrames)
{
    static_cast<cAudioMixer*>(pArg)->Render(pOut, nFrames);
}

}  // namespace

cAudioMixer& GetAudioMixer()
{
    static cAudioMixer* p = new cAudioMixer(AUDIO_RATE);
    return *p;
}

bool AudioAcquire()
{
    AUDIOSYSTEM& s = System();
    std::lock_guard<std::mutex> lock(s.lock);
    ++s.nHolds;
    if (!s.device.IsOpen() && s.bDeviceEnabled) {
        if (s.device.Open(AUDIO_RATE, AUDIO_BUFFER_FRAMES, &PullFrames, &GetAudioMixer())) {
            WriteReport("Audio device : %s", s.device.Describe().c_str());
        } else {
            WriteReport("Audio device : %s; the game is silent", s.device.GetError().c_str());
        }
    }
    return s.device.IsOpen();
}

void AudioRelease()
{
    AUDIOSYSTEM& s = System();
    std::lock_guard<std::mutex> lock(s.lock);
    if (s.nHolds > 0) --s.nHolds;
    if (s.nHolds == 0) s.device.Close();
}

bool IsAudioDeviceOpen()
{
    AUDIOSYSTEM& s = System();
    std::lock_guard<std::mutex> lock(s.lock);
    return s.device.IsOpen();
}

void SetAudioDeviceEnabled(bool bEnabled)
{
    AUDIOSYSTEM& s = System();
    std::lock_guard<std::mutex> lock(s.lock);
    s.bDeviceEnabled = bEnabled;
    if (!bEnabled) s.device.Close();
}
