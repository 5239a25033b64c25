#include "sound/AudioMixer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

float VolumeToGain(int nVolume)
{
    if (nVolume <= MIX_VOLUME_MIN) return 0.0f;
    if (nVolume >= MIX_VOLUME_MAX) return 1.0f;
    return static_cast<float>(std::pow(10.0, static_cast<double>(nVolume) / 2000.0));
}

cAudioMixer::cAudioMixer(int nRate) : m_nRate(nRate > 0 ? nRate : 44100) {}

cAudioMixer::MIXVOICE* cAudioMixer::Voice(int nVoice)
{
    if (nVoice < 0 || static_cast<size_t>(nVoice) >= m_vVoice.size()) return nullptr;
    MIXVOICE& v = m_vVoice[static_cast<size_t>(nVoice)];
    return v.bUsed ? &v : nullptr;
}

const cAudioMixer::MIXVOICE* cAudioMixer::Voice(int nVoice) const
{
    if (nVoice < 0 || static_cast<size_t>(nVoice) >= m_vVoice.size()) return nullptr;
    const MIXVOICE& v = m_vVoice[static_cast<size_t>(nVoice)];
    return v.bUsed ? &v : nullptr;
}

int cAudioMixer::CreateVoice(std::shared_ptr<const MIXSAMPLES> pSamples)
{
    if (!pSamples || pSamples->nRate <= 0 || pSamples->nChannels < 1 || pSamples->nChannels > 2) return -1;
    if (pSamples->vData.size() < static_cast<size_t>(pSamples->nFrames) * static_cast<size_t>(pSamples->nChannels)) return -1;
    size_t i = 0;
    while (i < m_vVoice.size() && m_vVoice[i].bUsed) ++i;
    if (i == m_vVoice.size()) {
        if (m_vVoice.size() >= 0x7FFFFFFF) return -1;
        m_vVoice.emplace_back();
    }
    MIXVOICE& v = m_vVoice[i];
    v = MIXVOICE{};
    v.pSamples = std::move(pSamples);
    v.bUsed = true;
    return static_cast<int>(i);
}

int cAudioMixer::DuplicateVoice(int nVoice)
{
    const MIXVOICE* p = Voice(nVoice);
    if (p == nullptr) return -1;
    std::shared_ptr<const MIXSAMPLES> pSamples = p->pSamples;
    int nVolume = p->nVolume;
    int nNew = CreateVoice(pSamples);
    // A duplicate starts with the parameters of its original, stopped.
    if (nNew >= 0) SetVoiceVolume(nNew, nVolume);
    return nNew;
}

void cAudioMixer::ReleaseVoice(int nVoice)
{
    MIXVOICE* p = Voice(nVoice);
    if (p != nullptr) *p = MIXVOICE{};
}

bool cAudioMixer::HasVoice(int nVoice) const
{
    return Voice(nVoice) != nullptr;
}

void cAudioMixer::PlayVoice(int nVoice, bool bLoop)
{
    MIXVOICE* p = Voice(nVoice);
    if (p == nullptr) return;
    p->bPlaying = true;
    p->bLoop = bLoop;
}

void cAudioMixer::StopVoice(int nVoice)
{
    MIXVOICE* p = Voice(nVoice);
    if (p != nullptr) p->bPlaying = false;
}

void cAudioMixer::SetVoicePosition(int nVoice, uint32_t nFrame)
{
    MIXVOICE* p = Voice(nVoice);
    if (p == nullptr) return;
    uint32_t nMax = p->pSamples->nFrames;
    p->nPos = static_cast<uint64_t>(std::min(nFrame, nMax)) << 32;
}

bool cAudioMixer::IsVoicePlaying(int nVoice) const
{
    const MIXVOICE* p = Voice(nVoice);
    return p != nullptr && p->bPlaying;
}

void cAudioMixer::SetVoiceVolume(int nVoice, int nVolume)
{
    MIXVOICE* p = Voice(nVoice);
    if (p == nullptr) return;
    p->nVolume = std::clamp(nVolume, MIX_VOLUME_MIN, MIX_VOLUME_MAX);
    p->fGain = VolumeToGain(p->nVolume);
}

int cAudioMixer::GetVoiceVolume(int nVoice) const
{
    const MIXVOICE* p = Voice(nVoice);
    return p != nullptr ? p->nVolume : 0;
}

int cAudioMixer::GetVoiceCount() const
{
    int n = 0;
    for (const MIXVOICE& v : m_vVoice) n += v.bUsed ? 1 : 0;
    return n;
}

void cAudioMixer::AddSource(cMixSource* pSource)
{
    if (pSource == nullptr) return;
    if (std::find(m_vSource.begin(), m_vSource.end(), pSource) == m_vSource.end()) m_vSource.push_back(pSource);
}

void cAudioMixer::RemoveSource(cMixSource* pSource)
{
    m_vSource.erase(std::remove(m_vSource.begin(), m_vSource.end(), pSource), m_vSource.end());
}

// Adds one voice into the output, resampled from its own rate by linear
// interpolation. At equal rates every output frame is exactly a source frame.
void cAudioMixer::MixVoice(MIXVOICE& v, float* pOut, int nFrames)
{
    const MIXSAMPLES& s = *v.pSamples;
    if (s.nFrames == 0) {
        v.bPlaying = false;
        return;
    }
    const uint64_t nStep = (static_cast<uint64_t>(static_cast<uint32_t>(s.nRate)) << 32) / static_cast<uint64_t>(m_nRate);
    const uint64_t nEnd = static_cast<uint64_t>(s.nFrames) << 32;
    const float* d = s.vData.data();
    const float fGain = v.fGain;
    for (int i = 0; i < nFrames; ++i) {
        if (v.nPos >= nEnd) {
            if (!v.bLoop) {
                v.bPlaying = false;
                return;
            }
            v.nPos %= nEnd;
        }
        uint32_t k = static_cast<uint32_t>(v.nPos >> 32);
        uint32_t k1 = k + 1 < s.nFrames ? k + 1 : (v.bLoop ? 0 : k);
        uint32_t nFrac = static_cast<uint32_t>(v.nPos & 0xFFFFFFFFu);
        float l, r;
        if (s.nChannels == 1) {
            float a = d[k];
            if (nFrac != 0) a += (d[k1] - a) * static_cast<float>(nFrac * (1.0 / 4294967296.0));
            l = r = a;
        } else {
            l = d[2 * static_cast<size_t>(k)];
            r = d[2 * static_cast<size_t>(k) + 1];
            if (nFrac != 0) {
                float t = static_cast<float>(nFrac * (1.0 / 4294967296.0));
                l += (d[2 * static_cast<size_t>(k1)] - l) * t;
                r += (d[2 * static_cast<size_t>(k1) + 1] - r) * t;
            }
        }
        pOut[2 * i] += l * fGain;
        pOut[2 * i + 1] += r * fGain;
        v.nPos += nStep;
    }
}

void cAudioMixer::Render(float* pOut, int nFrames)
{
    if (pOut == nullptr || nFrames <= 0) return;
    std::memset(pOut, 0, sizeof(float) * 2 * static_cast<size_t>(nFrames));
    std::lock_guard<std::mutex> lock(m_Lock);
    for (MIXVOICE& v : m_vVoice) {
        // A silent voice still advances, as a buffer playing at -10000 does.
        if (v.bUsed && v.bPlaying) MixVoice(v, pOut, nFrames);
    }
    for (cMixSource* p : m_vSource) p->MixInto(pOut, nFrames, m_nRate);
    for (size_t i = 0; i < 2 * static_cast<size_t>(nFrames); ++i) pOut[i] = std::clamp(pOut[i], -1.0f, 1.0f);
    m_nFramesRendered += static_cast<uint64_t>(nFrames);
}
