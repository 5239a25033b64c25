#pragma once
// Wave sound effects. Every sound is loaded once into a sound entry with one
// or more buffers (the first from the file, the others duplicates sharing its
// samples); playing an entry restarts its next buffer, round robin.
//
// The functions may be called from any thread: each takes the mixer's lock
// for its whole operation.
#include <cstdint>
#include <vector>

// One entry of the list of sounds to load.
struct SOUNDFILE {
    char szFileName[260];
    int32_t nBufferCount;
    int32_t nVolume;     // hundredths of a decibel; 0: the caller's volume applies
    int32_t bUse;
};

// One loaded sound. lpBuffers holds the mixer's voice ids: [0] made from the
// file, the rest its duplicates.
struct SOUNDDATA {
    char szFileName[260] = {};
    std::vector<int> lpBuffers;
    int32_t nBufferCount = 0;
    int32_t nNext = 0;
};

constexpr uint32_t DSBPLAY_LOOPING = 1;
constexpr int DS_MAX_BUFFERS = 256;

extern std::vector<SOUNDDATA> vecWave;
extern std::vector<SOUNDFILE> vecSoundFile;

// Sets up the sound output. The requested rate, depth and channels are those
// of the original primary buffer; the mixer has its own fixed output format,
// so they are accepted and ignored. hWnd is not used either.
bool DS_Init(void* hWnd, int nSamplesPerSec, int nBitsPerSample, int nChannels);
int DS_LoadSounds(std::vector<SOUNDDATA>& vecSoundData, std::vector<SOUNDFILE>& vecFile, int nVolume);
bool DS_MakeBuffers(SOUNDDATA* pData, const char* szFile, int nCount, int nVolume);
// Makes a voice from a wave file; *pBuffer gets its id.
bool DS_CreateBuffer(int* pBuffer, const char* szFile);
void DS_Play(SOUNDDATA* pData, uint32_t dwFlags);
int DS_SetVolume(SOUNDDATA* pData, int nIndex, int nVolume, int bRelative);
int DS_GetVolume(SOUNDDATA* pData, int nIndex);
void DS_FreeBuffers(SOUNDDATA* pData);
void DS_Release();
bool DS_IsInit();
