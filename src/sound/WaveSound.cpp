#include "sound/WaveSound.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <new>

#include "foundation/Log.h"
#include "sound/AudioSystem.h"
#include "sound/WaveFile.h"

std::vector<SOUNDDATA> vecWave;
std::vector<SOUNDFILE> vecSoundFile;

namespace {

struct DSSTATE {
    std::atomic<bool> bInit{false};
    bool bDevice = false;                      // the device hold taken by DS_Init
    std::vector<SOUNDDATA>* pSoundData = nullptr;
    std::vector<SOUNDFILE>* pSoundFile = nullptr;
};

DSSTATE g_DS;

int32_t SignExtend24(const uint8_t* p)
{
    int32_t v = static_cast<int32_t>(p[0] | p[1] << 8 | p[2] << 16);
    return (v & 0x800000) ? v - 0x1000000 : v;
}

// The samples of a PCM wave as float frames; null when the format cannot be
// played (the sound buffer would not be created).
std::shared_ptr<MIXSAMPLES> ConvertWave(const WAVEDATA& wave)
{
    const WAVEFORMATEX& w = wave.wfx;
    int nBytes = w.wBitsPerSample / 8;
    if (w.wFormatTag != WAVE_FORMAT_PCM || (w.nChannels != 1 && w.nChannels != 2)) return nullptr;
    if (w.wBitsPerSample != 8 && w.wBitsPerSample != 16 && w.wBitsPerSample != 24 && w.wBitsPerSample != 32) return nullptr;
    if (w.nBlockAlign != w.nChannels * nBytes) return nullptr;
    if (w.nSamplesPerSec < 100 || w.nSamplesPerSec > 200000) return nullptr;
    size_t nSamples = wave.vSamples.size() / static_cast<size_t>(nBytes);
    size_t nFrames = nSamples / w.nChannels;
    if (nFrames == 0 || nFrames > 0xFFFFFFFFu) return nullptr;

    auto p = std::make_shared<MIXSAMPLES>();
    p->nRate = static_cast<int>(w.nSamplesPerSec);
    p->nChannels = w.nChannels;
    p->nFrames = static_cast<uint32_t>(nFrames);
    p->vData.resize(nFrames * w.nChannels);
    const uint8_t* s = wave.vSamples.data();
    for (size_t i = 0; i < p->vData.size(); ++i, s += nBytes) {
        float f = 0.0f;
        switch (nBytes) {
        case 1: f = static_cast<float>(static_cast<int>(s[0]) - 128) / 128.0f; break;
        case 2: f = static_cast<float>(static_cast<int16_t>(s[0] | s[1] << 8)) / 32768.0f; break;
        case 3: f = static_cast<float>(SignExtend24(s)) / 8388608.0f; break;
        default:
            f = static_cast<float>(static_cast<double>(static_cast<int32_t>(
                    static_cast<uint32_t>(s[0]) | static_cast<uint32_t>(s[1]) << 8 | static_cast<uint32_t>(s[2]) << 16 |
                    static_cast<uint32_t>(s[3]) << 24)) / 2147483648.0);
            break;
        }
        p->vData[i] = f;
    }
    return p;
}

bool BufferExists(const SOUNDDATA* pData, int nIndex)
{
    return pData != nullptr && nIndex >= 0 && static_cast<size_t>(nIndex) < pData->lpBuffers.size() &&
           pData->lpBuffers[static_cast<size_t>(nIndex)] >= 0;
}

}  // namespace

bool DS_IsInit()
{
    return g_DS.bInit.load();
}

bool DS_Init(void* /*hWnd*/, int /*nSamplesPerSec*/, int /*nBitsPerSample*/, int /*nChannels*/)
{
    if (g_DS.bInit.load()) return true;
    // Without a device the game goes on silently (logged by the audio system).
    g_DS.bDevice = true;
    AudioAcquire();
    g_DS.pSoundData = nullptr;
    g_DS.pSoundFile = nullptr;
    g_DS.bInit = true;
    return true;
}

int DS_LoadSounds(std::vector<SOUNDDATA>& vecSoundData, std::vector<SOUNDFILE>& vecFile, int nVolume)
{
    g_DS.pSoundData = &vecSoundData;
    g_DS.pSoundFile = &vecFile;
    size_t n = std::min(vecSoundData.size(), vecFile.size());
    for (size_t i = 0; i < n; ++i) {
        if (!vecSoundData[i].lpBuffers.empty()) continue;
        const SOUNDFILE& f = vecFile[i];
        char szName[260];
        std::memcpy(szName, f.szFileName, sizeof(szName));
        szName[sizeof(szName) - 1] = 0;
        DS_MakeBuffers(&vecSoundData[i], szName, f.nBufferCount, nVolume != 0 ? nVolume : f.nVolume);
    }
    return 1;
}

bool DS_MakeBuffers(SOUNDDATA* pData, const char* szFile, int nCount, int nVolume)
{
    if (!g_DS.bInit.load()) return true;
    if (pData == nullptr || szFile == nullptr) return false;
    DS_FreeBuffers(pData);
    nCount = std::clamp(nCount, 1, DS_MAX_BUFFERS);
    cAudioMixer& mixer = GetAudioMixer();
    std::vector<int> vBuffers;
    try {
        vBuffers.assign(static_cast<size_t>(nCount), -1);
    } catch (const std::bad_alloc&) {
        WriteReportEC("%sのメモリ確保失敗！", szFile);
        return false;
    }
    if (!DS_CreateBuffer(&vBuffers[0], szFile)) return false;
    {
        std::lock_guard<std::mutex> lock(mixer.GetLock());
        for (int i = 1; i < nCount; ++i) {
            vBuffers[static_cast<size_t>(i)] = mixer.DuplicateVoice(vBuffers[0]);
            if (vBuffers[static_cast<size_t>(i)] < 0) {
                for (int k = 0; k < i; ++k) mixer.ReleaseVoice(vBuffers[static_cast<size_t>(k)]);
                WriteReportEC("%sのメモリ共用バッファの生成失敗！", szFile);
                return false;
            }
        }
        pData->lpBuffers = std::move(vBuffers);
        pData->nBufferCount = nCount;
        pData->nNext = 0;
        std::strncpy(pData->szFileName, szFile, sizeof(pData->szFileName) - 1);
        pData->szFileName[sizeof(pData->szFileName) - 1] = 0;
    }
    if (nVolume != 0) {
        for (int i = 0; i < nCount; ++i) DS_SetVolume(pData, i, nVolume, 0);
    }
    return true;
}

bool DS_CreateBuffer(int* pBuffer, const char* szFile)
{
    *pBuffer = -1;
    WAVEDATA wave;
    if (!DS_ReadWave(szFile, &wave)) {
        WriteReport("%s の読み込みに失敗しました！", szFile);
        return false;
    }
    std::shared_ptr<MIXSAMPLES> pSamples = ConvertWave(wave);
    int nVoice = -1;
    if (pSamples) {
        cAudioMixer& mixer = GetAudioMixer();
        std::lock_guard<std::mutex> lock(mixer.GetLock());
        nVoice = mixer.CreateVoice(std::move(pSamples));
    }
    if (nVoice < 0) {
        WriteReportEC("%s生成失敗！", szFile);
        return false;
    }
    *pBuffer = nVoice;
    return true;
}

void DS_Play(SOUNDDATA* pData, uint32_t dwFlags)
{
    if (!g_DS.bInit.load() || pData == nullptr) return;
    cAudioMixer& mixer = GetAudioMixer();
    std::lock_guard<std::mutex> lock(mixer.GetLock());
    int nCount = static_cast<int>(pData->lpBuffers.size());
    if (nCount == 0) return;
    if (pData->nNext < 0 || pData->nNext >= nCount) pData->nNext = 0;
    int nVoice = pData->lpBuffers[static_cast<size_t>(pData->nNext)];
    if (nVoice < 0) return;
    mixer.StopVoice(nVoice);
    mixer.SetVoicePosition(nVoice, 0);
    mixer.PlayVoice(nVoice, (dwFlags & DSBPLAY_LOOPING) != 0);
    pData->nNext += 1;
    if (pData->nNext >= nCount) pData->nNext = 0;
}

int DS_SetVolume(SOUNDDATA* pData, int nIndex, int nVolume, int bRelative)
{
    if (!g_DS.bInit.load()) return 0;
    cAudioMixer& mixer = GetAudioMixer();
    std::lock_guard<std::mutex> lock(mixer.GetLock());
    if (!BufferExists(pData, nIndex)) return 0;
    int nVoice = pData->lpBuffers[static_cast<size_t>(nIndex)];
    int64_t nNew = nVolume;
    if (bRelative) nNew += mixer.GetVoiceVolume(nVoice);
    nNew = std::clamp<int64_t>(nNew, MIX_VOLUME_MIN, MIX_VOLUME_MAX);
    mixer.SetVoiceVolume(nVoice, static_cast<int>(nNew));
    return static_cast<int>(nNew);
}

int DS_GetVolume(SOUNDDATA* pData, int nIndex)
{
    if (!g_DS.bInit.load()) return 0;
    cAudioMixer& mixer = GetAudioMixer();
    std::lock_guard<std::mutex> lock(mixer.GetLock());
    if (!BufferExists(pData, nIndex)) return 0;
    return mixer.GetVoiceVolume(pData->lpBuffers[static_cast<size_t>(nIndex)]);
}

void DS_FreeBuffers(SOUNDDATA* pData)
{
    if (pData == nullptr) return;
    cAudioMixer& mixer = GetAudioMixer();
    std::lock_guard<std::mutex> lock(mixer.GetLock());
    // Duplicates first, then the original.
    for (size_t i = pData->lpBuffers.size(); i-- > 0;) mixer.ReleaseVoice(pData->lpBuffers[i]);
    pData->lpBuffers.clear();
    pData->nBufferCount = 0;
    pData->nNext = 0;
}

void DS_Release()
{
    if (!g_DS.bInit.load()) return;
    if (g_DS.pSoundData != nullptr) {
        for (SOUNDDATA& d : *g_DS.pSoundData) DS_FreeBuffers(&d);
    }
    g_DS.bInit = false;
    g_DS.pSoundData = nullptr;
    g_DS.pSoundFile = nullptr;
    if (g_DS.bDevice) {
        g_DS.bDevice = false;
        AudioRelease();
    }
}
