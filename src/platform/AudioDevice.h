#pragma once
// The sound output device: SDL's audio device, opened for interleaved stereo
// 32-bit float frames at a fixed rate. SDL converts to whatever the hardware
// takes, so the caller always sees exactly the format it asked for. The pull
// function runs on SDL's audio thread.
#include <string>

typedef void (*AUDIOPULLPROC)(void* pArg, float* pOut, int nFrames);

class cAudioDevice {
public:
    cAudioDevice() = default;
    ~cAudioDevice();
    cAudioDevice(const cAudioDevice&) = delete;
    cAudioDevice& operator=(const cAudioDevice&) = delete;

    // Opens the default output device and starts pulling. False (with the
    // reason in GetError) when no device could be opened.
    bool Open(int nRate, int nFramesPerBuffer, AUDIOPULLPROC pProc, void* pArg);
    // Stops the audio thread (the pull function is not called afterwards) and
    // closes the device. Safe when nothing is open.
    void Close();
    bool IsOpen() const { return m_nDevice != 0; }
    const std::string& GetError() const { return m_strError; }
    // The name of the SDL audio driver in use, empty when closed.
    std::string GetDriverName() const;
    // What was opened, for the report: the driver, the device's own rate,
    // channels and buffer ("pulseaudio, 44100 Hz, 2 channels, 1024 frames");
    // empty when closed.
    std::string Describe() const;

private:
    static void Callback(void* pUser, unsigned char* pStream, int nLen);
    unsigned m_nDevice = 0;
    int m_nHaveRate = 0, m_nHaveChannels = 0, m_nHaveFrames = 0;
    bool m_bSubsystem = false;
    AUDIOPULLPROC m_pProc = nullptr;
    void* m_pArg = nullptr;
    std::string m_strError;
};
