#include "Audio.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "foundation/Text.h"
#include "platform/FileSystem.h"

namespace {

bool WriteBytes(const char* pszDataPath, const std::vector<uint8_t>& b) {
    FILE* fp = FsOpen(pszDataPath, "wb");
    if (!fp) return false;
    bool bOk = std::fwrite(b.data(), 1, b.size(), fp) == b.size();
    return std::fclose(fp) == 0 && bOk;
}

void LE(std::vector<uint8_t>& b, uint32_t v, int n) {
    for (int i = 0; i < n; i++) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void BE(std::vector<uint8_t>& b, uint32_t v, int n) {
    for (int i = n - 1; i >= 0; i--) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void VarLen(std::vector<uint8_t>& b, uint32_t v) {
    uint8_t buf[5];
    int n = 0;
    buf[n++] = v & 0x7F;
    while ((v >>= 7) != 0) buf[n++] = static_cast<uint8_t>(0x80 | (v & 0x7F));
    while (n > 0) b.push_back(buf[--n]);
}

}  // namespace

bool WriteWave(const char* pszDataPath, const std::vector<TONE>& vTones) {
    const int nRate = 22050;
    std::vector<int16_t> vSample;
    double dPhase = 0;
    for (const TONE& t : vTones) {
        int n = nRate * t.nMillis / 1000;
        for (int i = 0; i < n; i++) {
            double f = t.dFreqFrom + (t.dFreqTo - t.dFreqFrom) * i / n;
            dPhase += f / nRate;
            dPhase -= std::floor(dPhase);
            double v;
            if (t.nWave == 0) v = dPhase < 0.5 ? 1.0 : -1.0;
            else if (t.nWave == 1) v = 4.0 * std::fabs(dPhase - 0.5) - 1.0;
            else v = GetRandom(-1000, 1000) / 1000.0;
            double env = 1.0 - static_cast<double>(i) / n;   // linear decay
            if (i < 64) env *= i / 64.0;
            vSample.push_back(static_cast<int16_t>(v * env * 9000.0));
        }
    }
    std::vector<uint8_t> b;
    uint32_t nData = static_cast<uint32_t>(vSample.size() * 2);
    b.insert(b.end(), {'R', 'I', 'F', 'F'});
    LE(b, 36 + nData, 4);
    b.insert(b.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    LE(b, 16, 4);
    LE(b, 1, 2);              // PCM
    LE(b, 1, 2);              // mono
    LE(b, nRate, 4);
    LE(b, nRate * 2, 4);
    LE(b, 2, 2);
    LE(b, 16, 2);
    b.insert(b.end(), {'d', 'a', 't', 'a'});
    LE(b, nData, 4);
    for (int16_t s : vSample) LE(b, static_cast<uint16_t>(s), 2);
    return WriteBytes(pszDataPath, b);
}

bool WriteMidi(const char* pszDataPath, const std::vector<NOTE>& vMelody, const std::vector<NOTE>& vBass,
               int nProgram, int nTempoBpm, int nRepeat) {
    const int nDivision = 96;   // ticks per quarter note
    const int nEighth = nDivision / 2;
    struct EVENT {
        uint32_t nTick;
        uint8_t a, b, c;
    };
    std::vector<EVENT> ev;
    auto AddLine = [&](const std::vector<NOTE>& v, uint8_t ch, uint8_t vel) {
        uint32_t t = 0;
        for (int r = 0; r < nRepeat; r++)
            for (const NOTE& n : v) {
                uint32_t nLen = static_cast<uint32_t>(n.nEighths * nEighth);
                if (n.nKey > 0) {
                    ev.push_back({t, static_cast<uint8_t>(0x90 | ch), static_cast<uint8_t>(n.nKey), vel});
                    ev.push_back({t + nLen - 4, static_cast<uint8_t>(0x80 | ch), static_cast<uint8_t>(n.nKey), 0});
                }
                t += nLen;
            }
    };
    AddLine(vMelody, 0, 100);
    AddLine(vBass, 1, 80);
    std::stable_sort(ev.begin(), ev.end(), [](const EVENT& x, const EVENT& y) { return x.nTick < y.nTick; });

    std::vector<uint8_t> trk;
    VarLen(trk, 0);
    trk.insert(trk.end(), {0xFF, 0x51, 0x03});
    BE(trk, static_cast<uint32_t>(60000000 / nTempoBpm), 3);
    VarLen(trk, 0);
    trk.insert(trk.end(), {0xC0, static_cast<uint8_t>(nProgram)});
    VarLen(trk, 0);
    trk.insert(trk.end(), {0xC1, 33});   // bass
    uint32_t nLast = 0;
    for (const EVENT& e : ev) {
        VarLen(trk, e.nTick - nLast);
        nLast = e.nTick;
        trk.insert(trk.end(), {e.a, e.b, e.c});
    }
    VarLen(trk, nEighth);
    trk.insert(trk.end(), {0xFF, 0x2F, 0x00});

    std::vector<uint8_t> b = {'M', 'T', 'h', 'd'};
    BE(b, 6, 4);
    BE(b, 0, 2);
    BE(b, 1, 2);
    BE(b, nDivision, 2);
    b.insert(b.end(), {'M', 'T', 'r', 'k'});
    BE(b, static_cast<uint32_t>(trk.size()), 4);
    b.insert(b.end(), trk.begin(), trk.end());
    return WriteBytes(pszDataPath, b);
}

// The melody as a soft two-voice tune (triangle lead, sine bass) at 22050 Hz
// stereo, encoded with libvorbisenc.
bool WriteOgg(const char* pszDataPath, const std::vector<NOTE>& vMelody, const std::vector<NOTE>& vBass, int nTempoBpm,
              int nRepeat) {
    const int nRate = 22050;
    const double dEighth = 30.0 / std::max(nTempoBpm, 1);
    auto Render = [&](const std::vector<NOTE>& v, bool bTriangle, double dGain) {
        std::vector<float> vOut;
        for (int r = 0; r < nRepeat; r++)
            for (const NOTE& n : v) {
                const int nLen = static_cast<int>(n.nEighths * dEighth * nRate);
                const double f = n.nKey ? 440.0 * std::pow(2.0, (n.nKey - 69) / 12.0) : 0.0;
                for (int i = 0; i < nLen; i++) {
                    double ph = std::fmod(f * i / nRate, 1.0);
                    double s = f == 0.0 ? 0.0 : bTriangle ? 4.0 * std::fabs(ph - 0.5) - 1.0 : std::sin(ph * 6.283185307179586);
                    double env = std::min(1.0, i / 200.0) * (1.0 - 0.6 * i / std::max(nLen, 1));
                    vOut.push_back(static_cast<float>(s * env * dGain));
                }
            }
        return vOut;
    };
    std::vector<float> vLead = Render(vMelody, true, 0.30), vLow = Render(vBass, false, 0.25);
    const size_t nFrames = std::max(vLead.size(), vLow.size());
    vLead.resize(nFrames, 0.0f);
    vLow.resize(nFrames, 0.0f);

    std::vector<uint8_t> vFile;
    vorbis_info vi;
    vorbis_info_init(&vi);
    if (vorbis_encode_init_vbr(&vi, 2, nRate, 0.3f) != 0) {
        vorbis_info_clear(&vi);
        return false;
    }
    vorbis_comment vc;
    vorbis_comment_init(&vc);
    vorbis_comment_add_tag(&vc, "TITLE", "Mossgrove demo");
    vorbis_dsp_state vd;
    vorbis_analysis_init(&vd, &vi);
    vorbis_block vb;
    vorbis_block_init(&vd, &vb);
    ogg_stream_state os;
    ogg_stream_init(&os, 20);
    ogg_page og;
    ogg_packet op, h1, h2, h3;
    auto PutPage = [&](const ogg_page& page) {
        vFile.insert(vFile.end(), page.header, page.header + page.header_len);
        vFile.insert(vFile.end(), page.body, page.body + page.body_len);
    };
    vorbis_analysis_headerout(&vd, &vc, &h1, &h2, &h3);
    ogg_stream_packetin(&os, &h1);
    ogg_stream_packetin(&os, &h2);
    ogg_stream_packetin(&os, &h3);
    while (ogg_stream_flush(&os, &og) != 0) PutPage(og);
    size_t nDone = 0;
    for (bool bEnd = false; !bEnd;) {
        if (nDone < nFrames) {
            const int n = static_cast<int>(std::min<size_t>(1024, nFrames - nDone));
            float** pp = vorbis_analysis_buffer(&vd, n);
            for (int i = 0; i < n; i++) {
                pp[0][i] = vLead[nDone + i] * 0.8f + vLow[nDone + i] * 0.5f;
                pp[1][i] = vLead[nDone + i] * 0.5f + vLow[nDone + i] * 0.8f;
            }
            vorbis_analysis_wrote(&vd, n);
            nDone += static_cast<size_t>(n);
        } else {
            vorbis_analysis_wrote(&vd, 0);
            bEnd = true;
        }
        while (vorbis_analysis_blockout(&vd, &vb) == 1) {
            vorbis_analysis(&vb, nullptr);
            vorbis_bitrate_addblock(&vb);
            while (vorbis_bitrate_flushpacket(&vd, &op) != 0) {
                ogg_stream_packetin(&os, &op);
                while (ogg_stream_pageout(&os, &og) != 0) PutPage(og);
            }
        }
    }
    while (ogg_stream_flush(&os, &og) != 0) PutPage(og);
    ogg_stream_clear(&os);
    vorbis_block_clear(&vb);
    vorbis_dsp_clear(&vd);
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&vi);
    return WriteBytes(pszDataPath, vFile);
}
