#include "platform/AudioDevice.h"

#include <SDL.h>

#include <cstring>

cAudioDevice::~cAudioDevice()
{
    Close();
}

bool cAudioDevice::Open(int nRate, int nFramesPerBuffer, AUDIOPULLPROC pProc, void* pArg)
{
    Close();
    m_strError.clear();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        m_strError = SDL_GetError();
        return false;
    }
    m_bSubsystem = true;
    m_pProc = pProc;
    m_pArg = pArg;

    SDL_AudioSpec want;
    SDL_zero(want);
    want.freq = nRate;
    want.format = AUDIO_F32SYS;
    want.channels = 2;
    want.samples = static_cast<Uint16>(nFramesPerBuffer);
    want.callback = &cAudioDevice::Callback;
    want.userdata = this;
    SDL_AudioSpec have;
    SDL_zero(have);
    // No changes allowed: SDL converts our frames to the device's format.
    m_nDevice = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (m_nDevice == 0) {
        m_strError = SDL_GetError();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        m_bSubsystem = false;
        m_pProc = nullptr;
        m_pArg = nullptr;
        return false;
    }
    m_nHaveRate = have.freq;
    m_nHaveChannels = have.channels;
    m_nHaveFrames = have.samples;
    SDL_PauseAudioDevice(m_nDevice, 0);
    return true;
}

void cAudioDevice::Close()
{
    if (m_nDevice != 0) {
        // Closing waits for the audio thread to leave the callback.
        SDL_CloseAudioDevice(m_nDevice);
        m_nDevice = 0;
    }
    if (m_bSubsystem) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        m_bSubsystem = false;
    }
    m_pProc = nullptr;
    m_pArg = nullptr;
}

std::string cAudioDevice::GetDriverName() const
{
    if (m_nDevice == 0) return std::string();
    const char* p = SDL_GetCurrentAudioDriver();
    return p ? std::string(p) : std::string();
}

std::string cAudioDevice::Describe() const
{
    if (m_nDevice == 0) return std::string();
    return GetDriverName() + ", " + std::to_string(m_nHaveRate) + " Hz, " + std::to_string(m_nHaveChannels) +
           " channels, " + std::to_string(m_nHaveFrames) + " frames";
}

void cAudioDevice::Callback(void* pUser, unsigned char* pStream, int nLen)
{
    cAudioDevice* pThis = static_cast<cAudioDevice*>(pUser);
    int nFrames = nLen / static_cast<int>(2 * sizeof(float));
    if (pThis->m_pProc == nullptr || nFrames <= 0) {
        std::memset(pStream, 0, static_cast<size_t>(nLen));
        return;
    }
    pThis->m_pProc(pThis->m_pArg, reinterpret_cast<float*>(pStream), nFrames);
}
