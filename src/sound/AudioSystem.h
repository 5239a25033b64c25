#pragma once
// The process's one mixer and its output device.
//
// The wave sounds and the music manager each hold the device while they are
// set up (AudioAcquire / AudioRelease); it is opened by the first holder and
// closed by the last. Without a usable device the mixer still exists and
// everything works silently (nothing pulls frames, so music does not advance).
#include "sound/AudioMixer.h"

constexpr int AUDIO_RATE = 44100;
constexpr int AUDIO_BUFFER_FRAMES = 1024;

// The mixer; lives until the process ends.
cAudioMixer& GetAudioMixer();

// Takes a hold on the device, opening it on the first hold. Returns whether a
// device is open; a failed open is logged once per attempt.
bool AudioAcquire();
void AudioRelease();
bool IsAudioDeviceOpen();

// Tests: with the device disabled, holds never open it and the test renders
// the mixer itself.
void SetAudioDeviceEnabled(bool bEnabled);
