#include "sound/BgmManager.h"

#include <cstring>

#include "foundation/ErrorBox.h"
#include "foundation/Text.h"
#include "sound/AudioSystem.h"
#include "sound/MidiSynth.h"
#include "sound/MusicFile.h"

cBgmManager Bgm_Main;

const OGGFILEDATA aOggBgmFiles[BGM_SLOT_COUNT] = {
    {"bgm\\Title.ogg", 0},  {"bgm\\WorldMap.ogg", 0}, {"bgm\\Challenge.ogg", 0},
    {"bgm\\Option.ogg", 0}, {"bgm\\Stage.ogg", 0},
};
const MIDIFILEDATA aMidiBgmFiles[BGM_SLOT_COUNT] = {
    {"bgm\\Title.mid", 0, 0},  {"bgm\\WorldMap.mid", 0, 0}, {"bgm\\Challenge.mid", 0, 0},
    {"bgm\\Option.mid", 0, 0}, {"bgm\\Stage.mid", 0, 0},
};

namespace {

constexpr int BGM_MAX_CHANNELS = 16;
constexpr int BGM_MAX_SLOTS = 256;

void CopyName(char (&dst)[260], const char* src)
{
    SjisCopy(dst, sizeof(dst), src != nullptr ? src : "");
}

}  // namespace

BGMINITDATA MakeBgmInitData(int bDirectMusic)
{
    return BGMINITDATA{1, aOggBgmFiles, aMidiBgmFiles, BGM_SLOT_COUNT, bDirectMusic};
}

cBgmManager::~cBgmManager()
{
    Release();
}

bool cBgmManager::Init(const BGMINITDATA& rec)
{
    std::lock_guard<std::recursive_mutex> lock(m_Lock);
    if (m_bSetUp) Release();
    if (rec.nChannels < 1 || rec.nChannels > BGM_MAX_CHANNELS || rec.nSlots < 1 || rec.nSlots > BGM_MAX_SLOTS ||
        rec.pOggFiles == nullptr || rec.pMidiFiles == nullptr) {
        return false;
    }
    // The DirectMusic setting chose a device of the outside MIDI library;
    // MIDI here always goes through the synthesiser.
    m_bOgg = m_Vox.Load();
    if (!m_bOgg) ErrorBox("oggの初期化に失敗！");
    SetChannels(rec.nChannels);

    m_pOggFiles.assign(rec.pOggFiles, rec.pOggFiles + rec.nSlots);
    m_pMidiFiles.assign(rec.pMidiFiles, rec.pMidiFiles + rec.nSlots);
    for (OGGFILEDATA& d : m_pOggFiles) d.szFileName[sizeof(d.szFileName) - 1] = 0;
    for (MIDIFILEDATA& d : m_pMidiFiles) d.szFileName[sizeof(d.szFileName) - 1] = 0;
    m_vecSlotType.assign(static_cast<size_t>(rec.nSlots), BGMSLOT_UNDECIDED);
    m_nCurSlot = -1;
    if (!m_bDevice) {
        AudioAcquire();
        m_bDevice = true;
    }
    // The synthesiser starts loading its soundfont now, at the start, so
    // that the report says which soundfont plays (or why MIDI is silent)
    // and the first music of a stage finds it ready.
    cMidiSynth::Get();
    m_bSetUp = 1;
    return true;
}

void cBgmManager::SetChannels(int nCount)
{
    std::lock_guard<std::recursive_mutex> lock(m_Lock);
    if (nCount < 0 || nCount > BGM_MAX_CHANNELS) nCount = 0;
    m_Streams.SetChannels(nCount);
    if (m_bOgg && !m_Vox.CreatePlayers(nCount)) m_bOgg = false;
    m_vecChannelKind.assign(static_cast<size_t>(nCount), BGMCHANNEL_NONE);
}

int cBgmManager::SetFile(int nSlot, const char* szPath, int nVolume)
{
    std::lock_guard<std::recursive_mutex> lock(m_Lock);
    if (!m_bSetUp || nSlot < 0 || static_cast<size_t>(nSlot) >= m_vecSlotType.size()) return 0;
    OGGFILEDATA& ogg = m_pOggFiles[static_cast<size_t>(nSlot)];
    MIDIFILEDATA& midi = m_pMidiFiles[static_cast<size_t>(nSlot)];
    int32_t& nType = m_vecSlotType[static_cast<size_t>(nSlot)];
    bool bHasExt = false;
    int nKind = GetMusicKind(szPath, &bHasExt);
    // The name is kept as given; its case on disk is found when it is opened.
    if (nKind == MUSIC_MIDI) {
        CopyName(midi.szFileName, szPath);
        midi.nVolume = nVolume;
        nType = BGMSLOT_MIDI;
        return 1;
    }
    if (nKind == MUSIC_OGG) {
        CopyName(ogg.szFileName, szPath);
        ogg.nVolume = nVolume;
        nType = BGMSLOT_OGG;
        return 1;
    }
    if (bHasExt) {
        CopyName(midi.szFileName, szPath);
        CopyName(ogg.szFileName, szPath);
        midi.nVolume = nVolume;
        ogg.nVolume = nVolume;
    } else {
        midi.szFileName[0] = 0;
        ogg.szFileName[0] = 0;
        midi.nVolume = 0;
        ogg.nVolume = 0;
    }
    nType = BGMSLOT_UNDECIDED;
    return 0;
}

bool cBgmManager::PlayOggSlot(int nChannel, int nSlot, int bLoop)
{
    if (!m_bOgg) return false;
    const OGGFILEDATA& d = m_pOggFiles[static_cast<size_t>(nSlot)];
    return m_Vox.PlayOgg(nChannel, &d, bLoop, d.nVolume);
}

bool cBgmManager::PlayMidiSlot(int nChannel, int nSlot, int bLoop)
{
    const MIDIFILEDATA& d = m_pMidiFiles[static_cast<size_t>(nSlot)];
    return m_Streams.PlayFile(nChannel, d.szFileName, bLoop, d.nVolume);
}

void cBgmManager::StopMidi(int bPause)
{
    m_Streams.StopAll(bPause);
}

void cBgmManager::StopOgg()
{
    m_Vox.StopPlaying();
}

bool cBgmManager::Play(int nChannel, int nSlot, int bLoop, int bPauseOther, int bForce)
{
    std::lock_guard<std::recursive_mutex> lock(m_Lock);
    if (!m_bSetUp) return true;
    if (nSlot == m_nCurSlot && !bForce) return true;
    bool bSlotOk = nSlot >= 0 && static_cast<size_t>(nSlot) < m_vecSlotType.size();
    bool bChannelOk = nChannel >= 0 && static_cast<size_t>(nChannel) < m_vecChannelKind.size();
    if (bSlotOk && bChannelOk) {
        m_nCurSlot = nSlot;
        int32_t& nKind = m_vecChannelKind[static_cast<size_t>(nChannel)];
        int nType = m_vecSlotType[static_cast<size_t>(nSlot)];
        if (nType == BGMSLOT_UNDECIDED || nType == BGMSLOT_OGG) {
            if (PlayOggSlot(nChannel, nSlot, bLoop)) {
                nKind = BGMCHANNEL_OGG;
                StopMidi(nType == BGMSLOT_UNDECIDED ? bPauseOther : 0);
                return true;
            }
        }
        if (nType == BGMSLOT_UNDECIDED || nType == BGMSLOT_MIDI) {
            if (PlayMidiSlot(nChannel, nSlot, bLoop)) {
                nKind = BGMCHANNEL_MIDI;
                StopOgg();
                return true;
            }
        }
        nKind = BGMCHANNEL_NONE;
    }
    m_nCurSlot = -1;
    StopOgg();
    StopMidi(0);
    return false;
}

void cBgmManager::Stop()
{
    std::lock_guard<std::recursive_mutex> lock(m_Lock);
    StopMidi(0);
    StopOgg();
}

void cBgmManager::Release()
{
    std::lock_guard<std::recursive_mutex> lock(m_Lock);
    m_Vox.Release();
    m_bOgg = false;
    m_Streams.Clear();
    m_vecChannelKind.clear();
    m_nCurSlot = -1;
    m_bSetUp = 0;
    if (m_bDevice) {
        m_bDevice = false;
        AudioRelease();
    }
}

bool cBgmManager::IsSetUp() const
{
    std::lock_guard<std::recursive_mutex> lock(m_Lock);
    return m_bSetUp != 0;
}

int cBgmManager::GetCurSlot() const
{
    std::lock_guard<std::recursive_mutex> lock(m_Lock);
    return m_nCurSlot;
}

int cBgmManager::GetSlotType(int nSlot) const
{
    std::lock_guard<std::recursive_mutex> lock(m_Lock);
    if (nSlot < 0 || static_cast<size_t>(nSlot) >= m_vecSlotType.size()) return BGMSLOT_UNDECIDED;
    return m_vecSlotType[static_cast<size_t>(nSlot)];
}

int cBgmManager::GetChannelKind(int nChannel) const
{
    std::lock_guard<std::recursive_mutex> lock(m_Lock);
    if (nChannel < 0 || static_cast<size_t>(nChannel) >= m_vecChannelKind.size()) return BGMCHANNEL_NONE;
    return m_vecChannelKind[static_cast<size_t>(nChannel)];
}

bool cBgmManager::IsOggAvailable() const
{
    std::lock_guard<std::recursive_mutex> lock(m_Lock);
    return m_bOgg;
}

OGGFILEDATA cBgmManager::GetOggSlot(int nSlot) const
{
    std::lock_guard<std::recursive_mutex> lock(m_Lock);
    OGGFILEDATA d{};
    if (nSlot >= 0 && static_cast<size_t>(nSlot) < m_pOggFiles.size()) d = m_pOggFiles[static_cast<size_t>(nSlot)];
    return d;
}

MIDIFILEDATA cBgmManager::GetMidiSlot(int nSlot) const
{
    std::lock_guard<std::recursive_mutex> lock(m_Lock);
    MIDIFILEDATA d{};
    if (nSlot >= 0 && static_cast<size_t>(nSlot) < m_pMidiFiles.size()) d = m_pMidiFiles[static_cast<size_t>(nSlot)];
    return d;
}
