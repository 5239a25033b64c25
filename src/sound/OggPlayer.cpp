#include "sound/OggPlayer.h"

#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/FileSystem.h"
#include "sound/AudioSystem.h"

struct OGGSTREAM {
    std::vector<uint8_t> vData;
    size_t nPos = 0;
    OggVorbis_File vf;
    bool bOpen = false;
    // The decoder failed on this stream (a stream whose set-up it could not
    // build): nothing is decoded from it again, for a second try would
    // decode with the half-built set-up the first one left behind.
    bool bBroken = false;
    int nRate = 0;
    ~OGGSTREAM()
    {
        if (bOpen) ov_clear(&vf);
    }
};

namespace {

constexpr size_t OGG_FILE_MAX = 0x7FFFFFFF;
constexpr int OGG_DECODE_FRAMES = 1024;

size_t MemRead(void* pDst, size_t nSize, size_t nCount, void* pSource)
{
    OGGSTREAM* s = static_cast<OGGSTREAM*>(pSource);
    if (nSize == 0) return 0;
    size_t nLeft = s->vData.size() - s->nPos;
    size_t nItems = std::min(nCount, nLeft / nSize);
    std::memcpy(pDst, s->vData.data() + s->nPos, nItems * nSize);
    s->nPos += nItems * nSize;
    return nItems;
}

int MemSeek(void* pSource, ogg_int64_t nOffset, int nWhence)
{
    OGGSTREAM* s = static_cast<OGGSTREAM*>(pSource);
    int64_t nBase = 0;
    if (nWhence == SEEK_CUR) nBase = static_cast<int64_t>(s->nPos);
    else if (nWhence == SEEK_END) nBase = static_cast<int64_t>(s->vData.size());
    else if (nWhence != SEEK_SET) return -1;
    if ((nOffset > 0 && nBase > INT64_MAX - nOffset)) return -1;
    int64_t nNew = nBase + nOffset;
    if (nNew < 0 || static_cast<uint64_t>(nNew) > s->vData.size()) return -1;
    s->nPos = static_cast<size_t>(nNew);
    return 0;
}

long MemTell(void* pSource)
{
    return static_cast<long>(static_cast<OGGSTREAM*>(pSource)->nPos);
}

bool ReadWholeFile(const char* szFile, std::vector<uint8_t>& v)
{
    return FsReadFile(szFile, v, OGG_FILE_MAX) && !v.empty();
}

}  // namespace

cOggVoice::cOggVoice(cAudioMixer& mixer) : m_Mixer(mixer)
{
    std::lock_guard<std::mutex> lock(m_Mixer.GetLock());
    m_Mixer.AddSource(this);
}

cOggVoice::~cOggVoice()
{
    std::unique_ptr<OGGSTREAM> pOld;
    {
        std::lock_guard<std::mutex> lock(m_Mixer.GetLock());
        m_Mixer.RemoveSource(this);
        pOld = std::move(m_pStream);
    }
}

bool cOggVoice::Open(const char* szFile)
{
    if (szFile == nullptr || szFile[0] == 0) return false;
    auto pNew = std::make_unique<OGGSTREAM>();
    if (!ReadWholeFile(szFile, pNew->vData)) return false;
    ov_callbacks cb;
    cb.read_func = &MemRead;
    cb.seek_func = &MemSeek;
    cb.close_func = nullptr;
    cb.tell_func = &MemTell;
    if (ov_open_callbacks(pNew.get(), &pNew->vf, nullptr, 0, cb) != 0) return false;
    pNew->bOpen = true;
    vorbis_info* pInfo = ov_info(&pNew->vf, -1);
    if (pInfo == nullptr || pInfo->rate <= 0 || pInfo->rate > 1000000 || pInfo->channels < 1) return false;
    pNew->nRate = static_cast<int>(pInfo->rate);
    // Builds the first stream's decoder now, so that a file whose set-up
    // cannot be built is refused here rather than failing while it plays.
    if (ov_pcm_seek(&pNew->vf, 0) != 0) return false;

    std::unique_ptr<OGGSTREAM> pOld;
    {
        std::lock_guard<std::mutex> lock(m_Mixer.GetLock());
        pOld = std::move(m_pStream);
        m_pStream = std::move(pNew);
        m_bPlaying = false;
        m_vBuf.clear();
        m_nBufFrames = 0;
        m_nPos = 0;
        m_bEnded = false;
    }
    return true;
}

void cOggVoice::Play()
{
    std::lock_guard<std::mutex> lock(m_Mixer.GetLock());
    if (!m_pStream) return;
    if (m_bEnded && !m_pStream->bBroken && (m_nPos >> 32) >= m_nBufFrames) {
        ov_pcm_seek(&m_pStream->vf, 0);
        m_vBuf.clear();
        m_nBufFrames = 0;
        m_nPos = 0;
        m_bEnded = false;
    }
    m_bPlaying = true;
}

void cOggVoice::Stop()
{
    std::lock_guard<std::mutex> lock(m_Mixer.GetLock());
    m_bPlaying = false;
}

void cOggVoice::Discard()
{
    std::unique_ptr<OGGSTREAM> pOld;
    std::lock_guard<std::mutex> lock(m_Mixer.GetLock());
    pOld = std::move(m_pStream);
    m_bPlaying = false;
    m_vBuf.clear();
    m_nBufFrames = 0;
    m_nPos = 0;
    m_bEnded = false;
}

void cOggVoice::SetLoop(int nCount)
{
    std::lock_guard<std::mutex> lock(m_Mixer.GetLock());
    m_nLoop = std::max(nCount, 0);
}

void cOggVoice::SetVolume(float fVolume)
{
    std::lock_guard<std::mutex> lock(m_Mixer.GetLock());
    m_fVolume = std::clamp(fVolume, 0.0f, 1.0f);
}

bool cOggVoice::IsPlaying() const
{
    std::lock_guard<std::mutex> lock(m_Mixer.GetLock());
    return m_bPlaying;
}

bool cOggVoice::IsOpen() const
{
    std::lock_guard<std::mutex> lock(m_Mixer.GetLock());
    return m_pStream != nullptr;
}

// Appends decoded frames; at the end of the stream seeks back to its start
// while repeats are left. False when nothing more will come.
bool cOggVoice::Decode()
{
    if (!m_pStream || m_bEnded || m_pStream->bBroken) return false;
    bool bRewound = false;
    for (;;) {
        float** ppPcm = nullptr;
        int nLink = 0;
        long n = ov_read_float(&m_pStream->vf, &ppPcm, OGG_DECODE_FRAMES, &nLink);
        if (n == OV_HOLE) continue;
        if (n > 0) {
            vorbis_info* pInfo = ov_info(&m_pStream->vf, nLink);
            int nCh = pInfo != nullptr ? pInfo->channels : 1;
            size_t nOld = m_vBuf.size();
            m_vBuf.resize(nOld + 2 * static_cast<size_t>(n));
            for (long i = 0; i < n; ++i) {
                float l = ppPcm[0][i];
                float r = nCh > 1 ? ppPcm[1][i] : l;
                m_vBuf[nOld + 2 * static_cast<size_t>(i)] = l;
                m_vBuf[nOld + 2 * static_cast<size_t>(i) + 1] = r;
            }
            m_nBufFrames += static_cast<size_t>(n);
            return true;
        }
        if (n < 0) {
            // Not a gap but a failure (a later stream's set-up that cannot
            // be built, a read error): what was decoded plays out, and the
            // stream is not touched again.
            m_pStream->bBroken = true;
            m_bEnded = true;
            return false;
        }
        // The end.
        if (m_nLoop > 0 && !bRewound && ov_pcm_seek(&m_pStream->vf, 0) == 0) {
            if (m_nLoop != OGG_LOOP_FOREVER) --m_nLoop;
            bRewound = true;   // a pass that gives no frame at all ends here
            continue;
        }
        m_bEnded = true;
        return false;
    }
}

void cOggVoice::MixInto(float* pOut, int nFrames, int nRate)
{
    if (!m_bPlaying || !m_pStream || nRate <= 0) return;
    const uint64_t nStep = (static_cast<uint64_t>(static_cast<uint32_t>(m_pStream->nRate)) << 32) / static_cast<uint64_t>(nRate);
    for (int i = 0; i < nFrames; ++i) {
        size_t k = static_cast<size_t>(m_nPos >> 32);
        while (k + 1 >= m_nBufFrames && Decode()) {
        }
        if (k >= m_nBufFrames) {
            m_bPlaying = false;
            break;
        }
        size_t k1 = k + 1 < m_nBufFrames ? k + 1 : k;
        uint32_t nFrac = static_cast<uint32_t>(m_nPos & 0xFFFFFFFFu);
        float l = m_vBuf[2 * k];
        float r = m_vBuf[2 * k + 1];
        if (nFrac != 0) {
            float t = static_cast<float>(nFrac * (1.0 / 4294967296.0));
            l += (m_vBuf[2 * k1] - l) * t;
            r += (m_vBuf[2 * k1 + 1] - r) * t;
        }
        pOut[2 * i] += l * m_fVolume;
        pOut[2 * i + 1] += r * m_fVolume;
        m_nPos += nStep;
        // Drop what has been played. A step of more than a frame (a file of
        // more than twice the output rate) can pass the frames decoded so
        // far: only those are dropped, and the rest of the step waits for
        // the next decode.
        size_t nDone = std::min(static_cast<size_t>(m_nPos >> 32), m_nBufFrames);
        if (nDone >= 4096) {
            m_vBuf.erase(m_vBuf.begin(), m_vBuf.begin() + static_cast<std::ptrdiff_t>(2 * nDone));
            m_nBufFrames -= nDone;
            m_nPos -= static_cast<uint64_t>(nDone) << 32;
        }
    }
}

cVoxPlayer::~cVoxPlayer()
{
    Release();
}

bool cVoxPlayer::Load()
{
    m_bLoaded = true;
    return true;
}

bool cVoxPlayer::CreatePlayers(int nCount)
{
    m_vPlayer.clear();
    m_nPlaying = -1;
    if (!m_bLoaded || nCount < 0 || nCount > 64) return false;
    for (int i = 0; i < nCount; ++i) m_vPlayer.push_back(std::make_unique<cOggVoice>(GetAudioMixer()));
    return true;
}

bool cVoxPlayer::PlayOgg(int nChannel, const OGGFILEDATA* pSlot, int bLoop, int nVolume)
{
    if (pSlot == nullptr || pSlot->szFileName[0] == 0 || nChannel < 0 || nChannel >= GetCount()) {
        m_nPlaying = -1;
        return false;
    }
    StopPlaying();
    cOggVoice& v = *m_vPlayer[static_cast<size_t>(nChannel)];
    v.Discard();
    char szName[260];
    std::memcpy(szName, pSlot->szFileName, sizeof(szName));
    szName[sizeof(szName) - 1] = 0;
    if (!v.Open(szName)) {
        m_nPlaying = -1;
        return false;
    }
    // Every song gets its own volume; 100 or more is full volume.
    v.SetVolume(static_cast<float>(std::clamp(nVolume, 0, 100)) / 100.0f);
    v.SetLoop(bLoop ? OGG_LOOP_FOREVER : 0);
    v.Play();
    m_nPlaying = nChannel;
    return true;
}

void cVoxPlayer::StopPlaying()
{
    if (m_nPlaying >= 0 && m_nPlaying < GetCount()) m_vPlayer[static_cast<size_t>(m_nPlaying)]->Stop();
}

void cVoxPlayer::Release()
{
    m_vPlayer.clear();
    m_nPlaying = -1;
    m_bLoaded = false;
}
