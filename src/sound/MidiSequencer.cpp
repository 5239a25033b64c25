#include "sound/MidiSequencer.h"

#include <algorithm>

namespace {

using u128 = unsigned __int128;

// Past this many microsecond-ticks the times are far beyond any song; they
// stop growing so that no product overflows.
const u128 TIME_LIMIT = static_cast<u128>(1) << 100;

uint64_t ToSample(u128 nNumerator, u128 nDenominator)
{
    u128 v = nNumerator / nDenominator;
    return v > static_cast<u128>(UINT64_MAX / 2) ? UINT64_MAX / 2 : static_cast<uint64_t>(v);
}

}  // namespace

std::vector<uint64_t> ComputeEventSamples(const cSmfFile& smf, int nRate)
{
    std::vector<uint64_t> v(smf.m_vEvents.size(), 0);
    uint16_t nDivision = smf.GetDivision();
    if (nDivision == 0 || nRate <= 0) return v;
    if (nDivision & 0x8000) {
        // Time code: a fixed number of ticks per second (29 means 29.97).
        int nFps = -static_cast<int8_t>(nDivision >> 8);
        u128 nFps100 = nFps == 29 ? 2997 : static_cast<u128>(nFps) * 100;
        u128 nDen = nFps100 * (nDivision & 0xFF);
        for (size_t i = 0; i < v.size(); ++i) {
            u128 t = smf.m_vEvents[i].nTime;
            v[i] = ToSample(t * static_cast<u128>(nRate) * 100, nDen);
        }
        return v;
    }
    // Ticks per quarter note: time in µs = sum of ticks × tempo / division.
    const u128 nDen = static_cast<u128>(nDivision) * 1000000u;
    u128 nAcc = 0;            // µs × division up to the last tempo change
    uint64_t nTempoTick = 0;
    uint32_t nTempo = SMF_DEFAULT_TEMPO;
    const uint8_t* pImage = smf.m_pTrack.data();
    for (size_t i = 0; i < v.size(); ++i) {
        const SMFEVENT& e = smf.m_vEvents[i];
        u128 t = nAcc + static_cast<u128>(e.nTime - nTempoTick) * nTempo;
        if (t > TIME_LIMIT) t = TIME_LIMIT;
        v[i] = ToSample(t * static_cast<u128>(nRate), nDen);
        uint8_t nType = 0;
        const uint8_t* pPay = nullptr;
        uint32_t nPay = 0;
        if (GetMetaEvent(pImage + e.nOffset, e.nLength, &nType, &pPay, &nPay) && nType == 0x51 && nPay == 3) {
            nAcc = t;
            nTempoTick = e.nTime;
            nTempo = static_cast<uint32_t>(pPay[0]) << 16 | static_cast<uint32_t>(pPay[1]) << 8 | pPay[2];
        }
    }
    return v;
}

void cMidiSequencer::Load(const cSmfFile* pSmf, int nRate)
{
    m_pSmf = pSmf;
    m_vSample = pSmf != nullptr ? ComputeEventSamples(*pSmf, nRate) : std::vector<uint64_t>();
    m_nEndSample = m_vSample.empty() ? 0 : m_vSample.back();
    m_nNext = 0;
    m_nSample = 0;
    m_nState = SEQ_STOPPED;
    m_vSysEx.clear();
    m_bSysExOpen = false;
}

void cMidiSequencer::Start(bool bLoop)
{
    m_bLoop = bLoop;
    if (m_vSample.empty()) return;
    m_nState = SEQ_PLAYING;
}

void cMidiSequencer::Pause()
{
    if (m_nState == SEQ_PLAYING) m_nState = SEQ_PAUSED;
}

void cMidiSequencer::Stop(IMidiSink* pSink)
{
    m_nState = SEQ_STOPPED;
    m_nNext = 0;
    m_nSample = 0;
    m_vSysEx.clear();
    m_bSysExOpen = false;
    if (pSink != nullptr) pSink->AllNotesOff();
}

void cMidiSequencer::Dispatch(size_t i, IMidiSink& sink)
{
    const SMFEVENT& e = m_pSmf->m_vEvents[i];
    const uint8_t* p = m_pSmf->m_pTrack.data() + e.nOffset;
    uint8_t nStatus = p[0];
    if (nStatus >= 0x80 && nStatus <= 0xEF) {
        uint8_t d1 = e.nLength > 1 ? static_cast<uint8_t>(p[1] & 0x7F) : 0;
        uint8_t d2 = e.nLength > 2 ? static_cast<uint8_t>(p[2] & 0x7F) : 0;
        sink.ShortMessage(nStatus, d1, d2);
    } else if (nStatus == 0xF0 || nStatus == 0xF7) {
        const uint8_t* pPay = nullptr;
        uint32_t nPay = 0;
        if (GetSysExEvent(p, e.nLength, &pPay, &nPay)) SendLongEvent(nStatus, pPay, nPay, sink);
    }
    // Meta events act through the sample times.
}

// A system-exclusive message (F0) is sent without its end byte; one whose
// end byte has not come yet waits for the F7 packets that carry its rest. An
// F7 packet on its own carries any message: a whole system-exclusive one, or
// a channel message, which is sent as such; other system messages have no
// meaning for the synthesizer.
void cMidiSequencer::SendLongEvent(uint8_t nStatus, const uint8_t* pPay, uint32_t nPay, IMidiSink& sink)
{
    if (nStatus == 0xF0) {
        m_vSysEx.assign(pPay, pPay + nPay);
        m_bSysExOpen = true;
    } else if (m_bSysExOpen) {
        m_vSysEx.insert(m_vSysEx.end(), pPay, pPay + nPay);
    } else {
        if (nPay == 0) return;
        if (pPay[0] == 0xF0) {
            m_vSysEx.assign(pPay + 1, pPay + nPay);
            m_bSysExOpen = true;
        } else {
            if (pPay[0] >= 0x80 && pPay[0] <= 0xEF) {
                uint32_t nData = (pPay[0] >= 0xC0 && pPay[0] <= 0xDF) ? 1 : 2;
                uint8_t d1 = nPay > 1 ? static_cast<uint8_t>(pPay[1] & 0x7F) : 0;
                uint8_t d2 = nData > 1 && nPay > 2 ? static_cast<uint8_t>(pPay[2] & 0x7F) : 0;
                sink.ShortMessage(pPay[0], d1, d2);
            }
            return;
        }
    }
    if (!m_vSysEx.empty() && m_vSysEx.back() == 0xF7) {
        m_vSysEx.pop_back();
        if (!m_vSysEx.empty()) sink.SysEx(m_vSysEx.data(), static_cast<uint32_t>(m_vSysEx.size()));
        m_vSysEx.clear();
        m_bSysExOpen = false;
    }
}

void cMidiSequencer::Render(float* pOut, int nFrames, IMidiSink& sink, float fGain)
{
    if (m_nState == SEQ_PAUSED || nFrames <= 0) return;
    int nDone = 0;
    while (nDone < nFrames) {
        if (m_nState == SEQ_PLAYING) {
            while (m_nNext < m_vSample.size() && m_vSample[m_nNext] <= m_nSample) {
                size_t i = m_nNext++;
                if (i + 1 == m_vSample.size()) {
                    // The end of the song: rewind, and play on when looping
                    // (a song with no length at all does not loop).
                    bool bLoop = m_bLoop && m_nEndSample > 0;
                    Stop(&sink);
                    if (bLoop) m_nState = SEQ_PLAYING;
                    break;
                }
                Dispatch(i, sink);
            }
        }
        int nChunk = nFrames - nDone;
        if (m_nState == SEQ_PLAYING && m_nNext < m_vSample.size()) {
            uint64_t nUntil = m_vSample[m_nNext] - m_nSample;
            if (nUntil < static_cast<uint64_t>(nChunk)) nChunk = static_cast<int>(nUntil);
        }
        if (nChunk <= 0) continue;
        sink.Render(pOut + 2 * static_cast<size_t>(nDone), nChunk, fGain);
        nDone += nChunk;
        if (m_nState == SEQ_PLAYING) m_nSample += static_cast<uint64_t>(nChunk);
    }
}
