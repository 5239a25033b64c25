#include "sound/MidiSynth.h"

#include <fluidsynth.h>

#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <system_error>
#include <thread>

#include "foundation/Log.h"
#include "sound/AudioSystem.h"

namespace {

std::mutex g_FontLock;
std::string g_strFontPath;

fluid_synth_t* Synth(void* p)
{
    return static_cast<fluid_synth_t*>(p);
}

// FluidSynth's own messages: errors go to the report log, the rest nowhere.
void FluidLog(int nLevel, const char* pszMessage, void*)
{
    if (nLevel <= FLUID_ERR && pszMessage != nullptr) WriteReport("Midi FluidSynth %s", pszMessage);
}

bool IsFile(const std::string& s)
{
    std::error_code ec;
    return !s.empty() && std::filesystem::is_regular_file(s, ec);
}

}  // namespace

void SetMidiSoundFontPath(const char* pszHostPath)
{
    std::lock_guard<std::mutex> lock(g_FontLock);
    g_strFontPath = pszHostPath != nullptr ? pszHostPath : "";
}

std::string FindMidiSoundFont()
{
    {
        std::lock_guard<std::mutex> lock(g_FontLock);
        if (IsFile(g_strFontPath)) return g_strFontPath;
    }
    const char* pszEnv = std::getenv("MOSSGROVE_SOUNDFONT");
    if (pszEnv != nullptr && IsFile(pszEnv)) return pszEnv;
    static const char* const aszSystem[] = {
        "/usr/share/sounds/sf2/default-GM.sf2",
        "/usr/share/sounds/sf2/TimGM6mb.sf2",
        "/usr/share/sounds/sf2/FluidR3_GM.sf2",
        "/usr/share/sounds/sf3/default-GM.sf3",
        "/usr/share/sounds/sf3/MuseScore_General.sf3",
        "/usr/share/soundfonts/default.sf2",
        "/usr/share/soundfonts/FluidR3_GM.sf2",
        "/usr/local/share/soundfonts/default.sf2",
    };
    for (const char* psz : aszSystem) {
        if (IsFile(psz)) return psz;
    }
    return std::string();
}

cMidiSynth& cMidiSynth::Get()
{
    // Kept to the end of the process: players held by global objects may
    // still release it while the process ends.
    static cMidiSynth* p = [] {
        cMidiSynth* q = new cMidiSynth(GetAudioMixer().GetRate());
        std::atexit(&cMidiSynth::JoinLoader);
        return q;
    }();
    return *p;
}

namespace {
std::atomic<cMidiSynth*> g_pLoading{nullptr};
}  // namespace

cMidiSynth::cMidiSynth(int nRate)
{
    g_pLoading = this;
    try {
        m_thLoad = std::thread([this, nRate] { Load(nRate); });
    } catch (const std::system_error&) {
        // No thread to be had: the load runs here.
        Load(nRate);
    }
}

void cMidiSynth::JoinLoader()
{
    cMidiSynth* p = g_pLoading.load();
    if (p == nullptr) return;
    p->m_bStop = true;
    if (p->m_thLoad.joinable() && p->m_thLoad.get_id() != std::this_thread::get_id()) p->m_thLoad.join();
}

bool cMidiSynth::WaitUntilReady()
{
    std::unique_lock<std::mutex> lock(m_mxReady);
    m_cvReady.wait(lock, [this] { return m_bReady.load(); });
    return m_bSoundFont.load();
}

// The loader thread: the synthesiser and its soundfont are made here and put
// in place under the mixer's lock when complete. A stop asked for at close
// ends it between steps.
void cMidiSynth::Load(int nRate)
{
    fluid_settings_t* pSettings = nullptr;
    fluid_synth_t* pSynth = nullptr;
    bool bFont = false;
    for (int nLevel = FLUID_PANIC; nLevel < LAST_LOG_LEVEL; ++nLevel) fluid_set_log_function(nLevel, &FluidLog, nullptr);
    pSettings = new_fluid_settings();
    if (pSettings == nullptr) {
        WriteReport("Midi FluidSynth settings could not be made: MIDI music is silent");
    } else {
        fluid_settings_setnum(pSettings, "synth.sample-rate", static_cast<double>(nRate));
        fluid_settings_setint(pSettings, "synth.cpu-cores", 1);
        fluid_settings_setint(pSettings, "synth.threadsafe-api", 0);
        // Samples are read when a song selects their instrument, not all at
        // once: the load is short, and the close that waits for it too.
        fluid_settings_setint(pSettings, "synth.dynamic-sample-loading", 1);
        pSynth = new_fluid_synth(pSettings);
        if (pSynth == nullptr) {
            delete_fluid_settings(pSettings);
            pSettings = nullptr;
            WriteReport("Midi FluidSynth could not be made: MIDI music is silent");
        }
    }
    if (pSynth != nullptr && !m_bStop) {
        std::string strFont = FindMidiSoundFont();
        if (strFont.empty()) {
            WriteReport("Midi soundfont not found: MIDI music is silent");
        } else if (fluid_synth_sfload(pSynth, strFont.c_str(), 1) == FLUID_FAILED) {
            WriteReport("Midi soundfont %s could not be loaded: MIDI music is silent", strFont.c_str());
        } else {
            bFont = true;
            WriteReport("Midi soundfont : %s", strFont.c_str());
        }
    }
    {
        std::lock_guard<std::mutex> lock(GetAudioMixer().GetLock());
        m_pSettings = pSettings;
        m_pSynth = pSynth;
        m_bSoundFont = bFont;
    }
    {
        std::lock_guard<std::mutex> lock(m_mxReady);
        m_bReady = true;
    }
    m_cvReady.notify_all();
}

void cMidiSynth::SetOwner(const void* pOwner)
{
    if (m_pOwner == pOwner) return;
    AllNotesOff();
    Reset();
    m_pOwner = pOwner;
}

void cMidiSynth::ReleaseOwner(const void* pOwner)
{
    if (m_pOwner != pOwner) return;
    AllNotesOff();
    Reset();
    m_pOwner = nullptr;
}

void cMidiSynth::ShortMessage(uint8_t nStatus, uint8_t d1, uint8_t d2)
{
    if (m_pSynth == nullptr) return;
    fluid_synth_t* s = Synth(m_pSynth);
    int nChannel = nStatus & 0x0F;
    switch (nStatus & 0xF0) {
    case 0x80: fluid_synth_noteoff(s, nChannel, d1); break;
    case 0x90:
        if (d2 == 0) fluid_synth_noteoff(s, nChannel, d1);
        else fluid_synth_noteon(s, nChannel, d1, d2);
        break;
    case 0xA0: fluid_synth_key_pressure(s, nChannel, d1, d2); break;
    case 0xB0: fluid_synth_cc(s, nChannel, d1, d2); break;
    case 0xC0: fluid_synth_program_change(s, nChannel, d1); break;
    case 0xD0: fluid_synth_channel_pressure(s, nChannel, d1); break;
    case 0xE0: fluid_synth_pitch_bend(s, nChannel, d1 | d2 << 7); break;
    default: break;
    }
}

void cMidiSynth::SysEx(const uint8_t* pData, uint32_t nLength)
{
    if (m_pSynth == nullptr || nLength == 0 || nLength > 0x7FFFFFFF) return;
    fluid_synth_sysex(Synth(m_pSynth), reinterpret_cast<const char*>(pData), static_cast<int>(nLength), nullptr, nullptr,
                      nullptr, 0);
}

void cMidiSynth::AllNotesOff()
{
    if (m_pSynth == nullptr) return;
    fluid_synth_all_notes_off(Synth(m_pSynth), -1);
}

void cMidiSynth::Reset()
{
    if (m_pSynth == nullptr) return;
    fluid_synth_system_reset(Synth(m_pSynth));
}

void cMidiSynth::Render(float* pOut, int nFrames, float fGain)
{
    if (m_pSynth == nullptr || nFrames <= 0) return;
    if (m_vLeft.size() < static_cast<size_t>(nFrames)) {
        m_vLeft.resize(static_cast<size_t>(nFrames));
        m_vRight.resize(static_cast<size_t>(nFrames));
    }
    fluid_synth_write_float(Synth(m_pSynth), nFrames, m_vLeft.data(), 0, 1, m_vRight.data(), 0, 1);
    if (!m_bSoundFont || fGain == 0.0f) return;
    for (int i = 0; i < nFrames; ++i) {
        pOut[2 * i] += m_vLeft[static_cast<size_t>(i)] * fGain;
        pOut[2 * i + 1] += m_vRight[static_cast<size_t>(i)] * fGain;
    }
}
