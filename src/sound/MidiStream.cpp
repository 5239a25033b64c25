#include "sound/MidiStream.h"

#include <algorithm>

#include "sound/AudioSystem.h"
#include "sound/MidiSynth.h"
#include "sound/MusicFile.h"

cMidiStream::cMidiStream(const char* szFile, IMidiSink* pSink, cAudioMixer* pMixer)
    : cSmfFile(szFile),
      m_pMixer(pMixer != nullptr ? pMixer : &GetAudioMixer()),
      m_pSink(pSink),
      m_bSynth(pSink == nullptr)
{
    if (!HasImage()) return;
    if (m_bSynth) m_pSink = &cMidiSynth::Get();
    std::lock_guard<std::mutex> lock(m_pMixer->GetLock());
    m_Seq.Load(this, m_pMixer->GetRate());
    m_pMixer->AddSource(this);
    m_bOpen = true;
}

cMidiStream::~cMidiStream()
{
    if (!m_bOpen) return;
    std::lock_guard<std::mutex> lock(m_pMixer->GetLock());
    m_pMixer->RemoveSource(this);
    if (m_bSynth) static_cast<cMidiSynth*>(m_pSink)->ReleaseOwner(this);
}

bool cMidiStream::OwnsSink() const
{
    return !m_bSynth || static_cast<const cMidiSynth*>(m_pSink)->GetOwner() == this;
}

void cMidiStream::Start(int bLoop)
{
    if (!m_bOpen) return;
    std::lock_guard<std::mutex> lock(m_pMixer->GetLock());
    // Taking the synthesiser over is a track change: notes off and a reset.
    if (m_bSynth) static_cast<cMidiSynth*>(m_pSink)->SetOwner(this);
    m_Seq.Start(bLoop != 0);
}

void cMidiStream::Stop(int bPause)
{
    if (!m_bOpen) return;
    std::lock_guard<std::mutex> lock(m_pMixer->GetLock());
    if (bPause) m_Seq.Pause();
    else m_Seq.Stop(OwnsSink() ? m_pSink : nullptr);
}

void cMidiStream::SetVolume(int nVolume)
{
    std::lock_guard<std::mutex> lock(m_pMixer->GetLock());
    m_fGain = static_cast<float>(std::clamp(nVolume, 0, 100)) / 100.0f;
}

int cMidiStream::GetState() const
{
    if (!m_bOpen) return SEQ_STOPPED;
    std::lock_guard<std::mutex> lock(m_pMixer->GetLock());
    return m_Seq.GetState();
}

void cMidiStream::MixInto(float* pOut, int nFrames, int /*nRate*/)
{
    if (!OwnsSink()) return;
    // The song waits for the synthesiser still loading its soundfont.
    if (m_bSynth && !static_cast<const cMidiSynth*>(m_pSink)->IsReady()) return;
    m_Seq.Render(pOut, nFrames, *m_pSink, m_fGain);
}

void cMidiStreamSet::SetChannels(int nCount)
{
    Clear();
    nCount = std::clamp(nCount, 0, 64);
    m_vecStream.resize(static_cast<size_t>(nCount));
    m_vecStreamParam.assign(static_cast<size_t>(nCount), 0);
}

void cMidiStreamSet::Clear()
{
    m_vecStream.clear();
    m_vecStreamParam.clear();
}

void cMidiStreamSet::StopAll(int bPause)
{
    for (auto& p : m_vecStream) {
        if (p) p->Stop(bPause);
    }
}

cMidiStream* cMidiStreamSet::GetPlayer(int nChannel) const
{
    if (nChannel < 0 || nChannel >= GetCount()) return nullptr;
    return m_vecStream[static_cast<size_t>(nChannel)].get();
}

bool cMidiStreamSet::PlayFile(int nChannel, const char* szFile, int bLoop, int nVolume)
{
    StopAll(1);
    for (auto& p : m_vecStream) p.reset();
    if (nChannel < 0 || nChannel >= GetCount() || szFile == nullptr) return false;
    if (GetMusicKind(szFile) != MUSIC_MIDI) return false;
    auto p = std::make_unique<cMidiStream>(szFile);
    if (!p->HasImage()) return false;
    p->SetVolume(nVolume);
    p->Start(bLoop);
    m_vecStream[static_cast<size_t>(nChannel)] = std::move(p);
    return true;
}
