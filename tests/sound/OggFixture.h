#pragma once
// Encodes float samples into an Ogg Vorbis file in memory, for tests.
#include <vorbis/vorbisenc.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace soundtest {

// vFrames: interleaved samples of nChannels channels.
inline std::vector<uint8_t> EncodeOgg(const std::vector<float>& vFrames, int nChannels, int nRate)
{
    std::vector<uint8_t> vOut;
    vorbis_info vi;
    vorbis_info_init(&vi);
    if (vorbis_encode_init_vbr(&vi, nChannels, nRate, 0.5f) != 0) return vOut;
    vorbis_comment vc;
    vorbis_comment_init(&vc);
    vorbis_dsp_state vd;
    vorbis_analysis_init(&vd, &vi);
    vorbis_block vb;
    vorbis_block_init(&vd, &vb);
    ogg_stream_state os;
    ogg_stream_init(&os, 7);
    ogg_page og;
    ogg_packet op;
    auto PutPage = [&](const ogg_page& page) {
        vOut.insert(vOut.end(), page.header, page.header + page.header_len);
        vOut.insert(vOut.end(), page.body, page.body + page.body_len);
    };
    ogg_packet h1, h2, h3;
    vorbis_analysis_headerout(&vd, &vc, &h1, &h2, &h3);
    ogg_stream_packetin(&os, &h1);
    ogg_stream_packetin(&os, &h2);
    ogg_stream_packetin(&os, &h3);
    while (ogg_stream_flush(&os, &og) != 0) PutPage(og);

    size_t nFrames = vFrames.size() / static_cast<size_t>(nChannels);
    size_t nDone = 0;
    bool bEnd = false;
    while (!bEnd) {
        if (nDone < nFrames) {
            int n = static_cast<int>(std::min<size_t>(1024, nFrames - nDone));
            float** pp = vorbis_analysis_buffer(&vd, n);
            for (int i = 0; i < n; ++i)
                for (int c = 0; c < nChannels; ++c) pp[c][i] = vFrames[(nDone + static_cast<size_t>(i)) * static_cast<size_t>(nChannels) + static_cast<size_t>(c)];
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
    return vOut;
}

// n samples of a quiet sine (0.3 at most), one channel.
inline std::vector<float> Sine(size_t n)
{
    std::vector<float> v(n);
    for (size_t i = 0; i < n; ++i) v[i] = 0.3f * static_cast<float>(std::sin(0.05 * static_cast<double>(i)));
    return v;
}

// Where the header pages of an encoded file end: the first page (the
// identification header) and the one after it (the comments and the
// set-up); the audio follows.
inline size_t HeaderPagesEnd(const std::vector<uint8_t>& v)
{
    auto PageEnd = [&](size_t nAt) {
        size_t nBody = 0;
        for (size_t k = 0; k < v[nAt + 26]; ++k) nBody += v[nAt + 27 + k];
        return nAt + 27 + v[nAt + 26] + nBody;
    };
    return PageEnd(PageEnd(0));
}

// The page checksum of the Ogg format (polynomial 0x04C11DB7, not
// reflected, starting from zero, over the page with its checksum field
// zeroed).
inline uint32_t OggPageCrc(const uint8_t* p, size_t n)
{
    uint32_t nCrc = 0;
    for (size_t i = 0; i < n; ++i) {
        nCrc ^= static_cast<uint32_t>(p[i]) << 24;
        for (int k = 0; k < 8; ++k) nCrc = (nCrc & 0x80000000u) ? (nCrc << 1) ^ 0x04C11DB7u : nCrc << 1;
    }
    return nCrc;
}

// v with the checksum of every whole page it holds made right, so that a
// change inside a page reaches the decoder instead of the page being
// dropped for its checksum.
inline std::vector<uint8_t> WithPageChecksums(std::vector<uint8_t> v)
{
    size_t i = 0;
    while (i + 27 <= v.size()) {
        if (std::memcmp(v.data() + i, "OggS", 4) != 0) {
            ++i;
            continue;
        }
        const size_t nSegs = v[i + 26];
        if (i + 27 + nSegs > v.size()) break;
        size_t nBody = 0;
        for (size_t k = 0; k < nSegs; ++k) nBody += v[i + 27 + k];
        const size_t nPage = 27 + nSegs + nBody;
        if (i + nPage > v.size()) break;
        std::memset(v.data() + i + 22, 0, 4);
        const uint32_t nCrc = OggPageCrc(v.data() + i, nPage);
        std::memcpy(v.data() + i + 22, &nCrc, 4);
        i += nPage;
    }
    return v;
}

}  // namespace soundtest
