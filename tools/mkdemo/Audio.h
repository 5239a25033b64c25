#pragma once
// Generated sounds of the demo project: short wave effects and a MIDI tune.
#include <string>
#include <vector>

// A sound effect: a tone sweeping from one frequency to another, with a
// waveform (0 square, 1 triangle, 2 noise) and a length in milliseconds.
struct TONE {
    double dFreqFrom;
    double dFreqTo;
    int nWave;
    int nMillis;
};
// Writes a 22050 Hz 16-bit mono wave file of the tones played one after another.
bool WriteWave(const char* pszDataPath, const std::vector<TONE>& vTones);

// A melody note: MIDI key (0 a rest) and length in eighth notes.
struct NOTE {
    int nKey;
    int nEighths;
};
// Writes a format-0 standard MIDI file: the melody on channel 0 (program
// nProgram) over a bass line on channel 1, at nTempoBpm, looped nRepeat times.
bool WriteMidi(const char* pszDataPath, const std::vector<NOTE>& vMelody, const std::vector<NOTE>& vBass,
               int nProgram, int nTempoBpm, int nRepeat);
// Writes an Ogg Vorbis file (22050 Hz stereo) of the melody over the bass.
bool WriteOgg(const char* pszDataPath, const std::vector<NOTE>& vMelody, const std::vector<NOTE>& vBass, int nTempoBpm,
              int nRepeat);
