#pragma once
// Reading RIFF wave files: the format and the samples of a PCM sound.
#include <cstddef>
#include <cstdint>
#include <vector>

// The wave format as the file stores it (the "fmt " chunk).
struct WAVEFORMATEX {
    uint16_t wFormatTag = 0;
    uint16_t nChannels = 0;
    uint32_t nSamplesPerSec = 0;
    uint32_t nAvgBytesPerSec = 0;
    uint16_t nBlockAlign = 0;
    uint16_t wBitsPerSample = 0;
    uint16_t cbSize = 0;
};

constexpr uint16_t WAVE_FORMAT_PCM = 1;

// A wave file read into memory: its format, then the samples and their byte
// count (whole blocks only).
struct WAVEDATA {
    WAVEFORMATEX wfx;
    std::vector<uint8_t> vSamples;
    uint32_t dwSize = 0;
};

// Reads szFile into pWave. False when the file cannot be opened or is not a
// PCM wave file; the refusals that explain themselves are written to the
// report log with the file name.
bool DS_ReadWave(const char* szFile, WAVEDATA* pWave);

// The same on a file already in memory; szFile only names it in messages.
bool ReadWaveFromMemory(const char* szFile, const uint8_t* pData, size_t nSize, WAVEDATA* pWave);
