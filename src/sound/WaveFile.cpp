#include "sound/WaveFile.h"

#include <cstdio>
#include <cstring>

#include "foundation/Log.h"
#include "platform/FileSystem.h"

namespace {

constexpr size_t WAVE_FILE_MAX = 0x7FFFFFFF;

uint32_t Le32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

uint16_t Le16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

// A chunk found by a search: where its data begins and its declared size.
struct CHUNK {
    uint64_t nData = 0;
    uint64_t nSize = 0;
};

// Searches the chunks between nPos and nEnd for the id (and, for "RIFF",
// the form type), stepping over each chunk with its pad byte, as the
// multimedia file functions descend.
bool FindChunk(const uint8_t* p, uint64_t nPos, uint64_t nEnd, const char* pszId, const char* pszForm, CHUNK* pChunk)
{
    while (nPos + 8 <= nEnd) {
        uint64_t nSize = Le32(p + nPos + 4);
        bool bId = std::memcmp(p + nPos, pszId, 4) == 0;
        if (bId && pszForm == nullptr) {
            pChunk->nData = nPos + 8;
            pChunk->nSize = nSize;
            return true;
        }
        if (bId && nPos + 12 <= nEnd && nSize >= 4 && std::memcmp(p + nPos + 8, pszForm, 4) == 0) {
            pChunk->nData = nPos + 12;
            pChunk->nSize = nSize - 4;
            return true;
        }
        nPos += 8 + nSize + (nSize & 1);
    }
    return false;
}

}  // namespace

bool ReadWaveFromMemory(const char* szFile, const uint8_t* pData, size_t nSize, WAVEDATA* pWave)
{
    *pWave = WAVEDATA{};
    const uint64_t nFileEnd = nSize;

    CHUNK riff;
    if (pData == nullptr || !FindChunk(pData, 0, nFileEnd, "RIFF", "WAVE", &riff)) {
        WriteReport("%s の読み込みに失敗しました…\n不正なファイルです。", szFile);
        return false;
    }
    // The form's chunks end with the form or with the file, whichever is first.
    uint64_t nFormEnd = riff.nData + riff.nSize;
    if (nFormEnd > nFileEnd) nFormEnd = nFileEnd;

    CHUNK fmt;
    if (!FindChunk(pData, riff.nData, nFormEnd, "fmt ", nullptr, &fmt)) return false;
    // A format of 16 to 18 bytes, all of it in the file. A shorter one would
    // leave fields unread.
    if (fmt.nSize > 18 || fmt.nSize < 16 || fmt.nData + fmt.nSize > nFileEnd) {
        WriteReport("%s の読み込みに失敗しました…\n対応していない形式か、不正なwavファイルです。\n本ソフトではPCM形式のみ再生できます。",
                    szFile);
        return false;
    }
    const uint8_t* f = pData + fmt.nData;
    WAVEFORMATEX& w = pWave->wfx;
    w.wFormatTag = Le16(f);
    w.nChannels = Le16(f + 2);
    w.nSamplesPerSec = Le32(f + 4);
    w.nAvgBytesPerSec = Le32(f + 8);
    w.nBlockAlign = Le16(f + 12);
    w.wBitsPerSample = Le16(f + 14);
    w.cbSize = fmt.nSize >= 18 ? Le16(f + 16) : 0;
    if (w.wFormatTag != WAVE_FORMAT_PCM) {
        WriteReport("%s の読み込みに失敗しました…\nPCM形式以外の形式です。\n本ソフトではPCM形式のみ再生できます。", szFile);
        return false;
    }

    // The data chunk follows the format chunk.
    uint64_t nAfterFmt = fmt.nData + fmt.nSize + (fmt.nSize & 1);
    CHUNK data;
    if (!FindChunk(pData, nAfterFmt, nFormEnd, "data", nullptr, &data)) return false;
    // Only the bytes the file holds, in whole blocks.
    uint64_t nBytes = data.nSize;
    if (data.nData >= nFileEnd) nBytes = 0;
    else if (nBytes > nFileEnd - data.nData) nBytes = nFileEnd - data.nData;
    if (w.nBlockAlign > 0) nBytes -= nBytes % w.nBlockAlign;
    if (nBytes == 0 || nBytes > 0xFFFFFFFFu) return false;
    pWave->vSamples.assign(pData + data.nData, pData + data.nData + nBytes);
    pWave->dwSize = static_cast<uint32_t>(nBytes);
    return true;
}

bool DS_ReadWave(const char* szFile, WAVEDATA* pWave)
{
    *pWave = WAVEDATA{};
    if (szFile == nullptr) return false;
    std::vector<uint8_t> vFile;
    if (!FsReadFile(szFile, vFile, WAVE_FILE_MAX)) return false;
    return ReadWaveFromMemory(szFile, vFile.data(), vFile.size(), pWave);
}
