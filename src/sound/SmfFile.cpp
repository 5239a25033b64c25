#include "sound/SmfFile.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "foundation/Log.h"
#include "platform/FileSystem.h"

namespace {

constexpr size_t SMF_FILE_MAX = 0x7FFFFFFF;
constexpr uint32_t VARLEN_MAX = 0x0FFFFFFF;

uint32_t Be32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 | static_cast<uint32_t>(p[2]) << 8 | p[3];
}

uint16_t Be16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] << 8 | p[1]);
}

// An event of one source track.
struct SMFNODE {
    uint64_t nTime;
    uint32_t nData;      // offset of the data in the source (after the status)
    uint32_t nLength;    // data bytes
    uint8_t nStatus;
};

enum TRACKRESULT { TRACK_OK, TRACK_BAD };

// Reads a variable-length number; distinguishes a number longer than four
// bytes (bad data) from one cut off by the end of the track.
enum VARLENRESULT { VARLEN_OK, VARLEN_CUT, VARLEN_TOO_LONG };
VARLENRESULT ReadTrackVarLen(const uint8_t* p, size_t nLeft, uint32_t* pValue, int* pCount)
{
    *pCount = ReadVarLen(p, nLeft, pValue);
    if (*pCount > 0) return VARLEN_OK;
    if (nLeft >= 4 && (p[0] & p[1] & p[2] & p[3] & 0x80)) return VARLEN_TOO_LONG;
    return VARLEN_CUT;
}

uint64_t AddSaturate(uint64_t a, uint64_t b)
{
    return a > UINT64_MAX - b ? UINT64_MAX : a + b;
}

// Reads the events of one track between nPos and nEnd. The track ends at its
// end-of-track event, or at the end of its chunk or of the file; an event cut
// off by that end is dropped. *pEnd gets the time at which the track ends.
TRACKRESULT ReadTrack(const uint8_t* p, size_t nPos, size_t nEnd, std::vector<SMFNODE>& vNodes, uint64_t* pEnd)
{
    uint64_t nTime = 0;
    uint64_t nLastTime = 0;
    uint8_t nRunning = 0;
    while (nPos < nEnd) {
        uint32_t nDelta = 0;
        int k = 0;
        VARLENRESULT r = ReadTrackVarLen(p + nPos, nEnd - nPos, &nDelta, &k);
        if (r == VARLEN_TOO_LONG) return TRACK_BAD;
        if (r == VARLEN_CUT) break;
        nPos += static_cast<size_t>(k);
        if (nPos >= nEnd) break;
        nTime = AddSaturate(nTime, nDelta);

        uint8_t nStatus;
        if (p[nPos] & 0x80) {
            nStatus = p[nPos++];
            if (nStatus < 0xF0) nRunning = nStatus;
        } else {
            // Running status: only a channel message can be repeated.
            if (nRunning == 0) return TRACK_BAD;
            nStatus = nRunning;
        }
        size_t nData = nPos;
        size_t nNeed;
        bool bEnd = false;
        if (nStatus >= 0xC0 && nStatus <= 0xDF) {
            nNeed = 1;
        } else if (nStatus == 0xF0 || nStatus == 0xF7) {
            uint32_t nLen = 0;
            r = ReadTrackVarLen(p + nPos, nEnd - nPos, &nLen, &k);
            if (r == VARLEN_TOO_LONG) return TRACK_BAD;
            if (r == VARLEN_CUT) break;
            nNeed = static_cast<size_t>(k) + nLen;
        } else if (nStatus == 0xFF) {
            if (nPos >= nEnd) break;
            uint8_t nType = p[nPos];
            uint32_t nLen = 0;
            r = ReadTrackVarLen(p + nPos + 1, nEnd - nPos - 1, &nLen, &k);
            if (r == VARLEN_TOO_LONG) return TRACK_BAD;
            if (r == VARLEN_CUT) break;
            nNeed = 1 + static_cast<size_t>(k) + nLen;
            bEnd = nType == 0x2F;
        } else {
            nNeed = 2;
        }
        if (nNeed > nEnd - nPos) break;
        nPos += nNeed;
        if (bEnd) {
            nLastTime = nTime;
            *pEnd = nLastTime;
            return TRACK_OK;
        }
        vNodes.push_back(SMFNODE{nTime, static_cast<uint32_t>(nData), static_cast<uint32_t>(nNeed), nStatus});
        nLastTime = nTime;
    }
    *pEnd = nLastTime;
    return TRACK_OK;
}

void PutBe32(uint8_t* p, uint32_t v)
{
    p[0] = static_cast<uint8_t>(v >> 24);
    p[1] = static_cast<uint8_t>(v >> 16);
    p[2] = static_cast<uint8_t>(v >> 8);
    p[3] = static_cast<uint8_t>(v);
}

void AppendVarLen(std::vector<uint8_t>& v, uint32_t nValue)
{
    uint8_t a[4];
    int n = WriteVarLen(a, nValue);
    v.insert(v.end(), a, a + n);
}

}  // namespace

int ReadVarLen(const uint8_t* p, size_t nLeft, uint32_t* pValue)
{
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) {
        if (static_cast<size_t>(i) >= nLeft) {
            *pValue = 0;
            return 0;
        }
        v = (v << 7) | (p[i] & 0x7F);
        if ((p[i] & 0x80) == 0) {
            *pValue = v;
            return i + 1;
        }
    }
    *pValue = 0;
    return 0;
}

int WriteVarLen(uint8_t* p, uint32_t v)
{
    if (v > VARLEN_MAX) v = VARLEN_MAX;
    uint8_t a[4];
    int n = 0;
    do {
        a[n++] = static_cast<uint8_t>(v & 0x7F);
        v >>= 7;
    } while (v != 0 && n < 4);
    for (int i = 0; i < n; ++i) p[i] = static_cast<uint8_t>(a[n - 1 - i] | (i + 1 < n ? 0x80 : 0));
    return n;
}

bool GetMetaEvent(const uint8_t* pEvent, uint32_t nLength, uint8_t* pType, const uint8_t** ppPayload, uint32_t* pPayload)
{
    if (nLength < 3 || pEvent[0] != 0xFF) return false;
    uint32_t nLen = 0;
    int k = ReadVarLen(pEvent + 2, nLength - 2, &nLen);
    if (k == 0 || nLen > nLength - 2 - static_cast<uint32_t>(k)) return false;
    *pType = pEvent[1];
    *ppPayload = pEvent + 2 + k;
    *pPayload = nLen;
    return true;
}

bool GetSysExEvent(const uint8_t* pEvent, uint32_t nLength, const uint8_t** ppPayload, uint32_t* pPayload)
{
    if (nLength < 2 || (pEvent[0] != 0xF0 && pEvent[0] != 0xF7)) return false;
    uint32_t nLen = 0;
    int k = ReadVarLen(pEvent + 1, nLength - 1, &nLen);
    if (k == 0 || nLen > nLength - 1 - static_cast<uint32_t>(k)) return false;
    *ppPayload = pEvent + 1 + k;
    *pPayload = nLen;
    return true;
}

cSmfFile::cSmfFile(const char* szFile)
{
    Load(szFile);
}

uint16_t cSmfFile::GetDivision() const
{
    return m_pTrack.size() >= 14 ? Be16(m_pTrack.data() + 12) : 0;
}

bool cSmfFile::Load(const char* szFile)
{
    m_strFile = szFile != nullptr ? szFile : "";
    m_pTrack.clear();
    m_vEvents.clear();
    m_dLength = 0.0;
    std::vector<uint8_t> vFile;
    if (szFile == nullptr || !FsReadFile(szFile, vFile, SMF_FILE_MAX)) {
        WriteReport("Midi %s Create ファイルが開けません", m_strFile.c_str());
        return false;
    }
    return CheckAndMerge(vFile.data(), vFile.size());
}

bool cSmfFile::LoadFromMemory(const char* szFile, const uint8_t* pData, size_t nSize)
{
    m_strFile = szFile != nullptr ? szFile : "";
    return CheckAndMerge(pData, nSize);
}

bool cSmfFile::CheckAndMerge(const uint8_t* p, size_t n)
{
    m_pTrack.clear();
    m_vEvents.clear();
    m_dLength = 0.0;
    const char* szFile = m_strFile.c_str();
    if (p == nullptr || n < 4 || std::memcmp(p, "MThd", 4) != 0) {
        WriteReport("Midi %s Init 標準MIDIでない(4)", szFile);
        return false;
    }
    if (n < 14 || Be32(p + 4) != 6) {
        WriteReport("Midi %s Init 標準MIDIでない(6)", szFile);
        return false;
    }
    uint16_t nFormat = Be16(p + 8);
    if (nFormat == 2) {
        WriteReport("Midi %s Init 対応フォーマットが2でない", szFile);
        return false;
    }
    if (nFormat > 2) {
        WriteReport("Midi %s Init 対応フォーマットが0または1でない", szFile);
        return false;
    }
    if (n < 18 || std::memcmp(p + 14, "MTrk", 4) != 0) {
        WriteReport("Midi %s Init 標準MIDIでない(4)", szFile);
        return false;
    }
    uint16_t nTracks = Be16(p + 10);
    uint16_t nDivision = Be16(p + 12);
    // A division of 0 ticks per quarter note gives no time at all.
    bool bBadDivision = nDivision == 0;
    if ((nDivision & 0x8000) != 0) bBadDivision = -static_cast<int8_t>(nDivision >> 8) <= 0 || (nDivision & 0xFF) == 0;
    if (bBadDivision) {
        WriteReport("Midi %s Init 標準MIDIでない(6)", szFile);
        return false;
    }

    // Split: each track chunk is read within its own bytes; chunks of other
    // kinds are stepped over; fewer chunks than the header says end the list.
    std::vector<SMFNODE> vAll;
    uint64_t nEndTime = 0;
    size_t nPos = 14;
    for (unsigned t = 0; t < nTracks; ++t) {
        while (nPos + 8 <= n && std::memcmp(p + nPos, "MTrk", 4) != 0) {
            uint64_t nNext = static_cast<uint64_t>(nPos) + 8 + Be32(p + nPos + 4);
            nPos = nNext > n ? n : static_cast<size_t>(nNext);
        }
        if (nPos + 8 > n) break;
        uint64_t nChunkEnd = static_cast<uint64_t>(nPos) + 8 + Be32(p + nPos + 4);
        size_t nEnd = nChunkEnd > n ? n : static_cast<size_t>(nChunkEnd);
        uint64_t nTrackEnd = 0;
        if (ReadTrack(p, nPos + 8, nEnd, vAll, &nTrackEnd) != TRACK_OK) {
            WriteReport("Midi %s Init トラックのデータが不正", szFile);
            return false;
        }
        nEndTime = std::max(nEndTime, nTrackEnd);
        nPos = nEnd;
    }

    // Merge by time; at equal times the earlier track, then the earlier event.
    std::stable_sort(vAll.begin(), vAll.end(), [](const SMFNODE& a, const SMFNODE& b) { return a.nTime < b.nTime; });

    std::vector<uint8_t> vImage(SMF_IMAGE_HEAD, 0);
    std::memcpy(vImage.data(), "MThd", 4);
    PutBe32(vImage.data() + 4, 6);
    vImage[8] = 0;
    vImage[9] = 0;
    vImage[10] = 0;
    vImage[11] = 1;
    vImage[12] = static_cast<uint8_t>(nDivision >> 8);
    vImage[13] = static_cast<uint8_t>(nDivision);
    std::memcpy(vImage.data() + 14, "MTrk", 4);
    std::vector<SMFEVENT> vEvents;
    vEvents.reserve(vAll.size() + 1);

    uint64_t nPrev = 0;
    auto PutEvent = [&](uint64_t nTime, uint8_t nStatus, const uint8_t* pData, uint32_t nLength) {
        uint64_t nDelta = nTime - nPrev;
        // A gap longer than a delta time can hold is carried by empty text
        // events, so that no time is lost.
        while (nDelta > VARLEN_MAX) {
            AppendVarLen(vImage, VARLEN_MAX);
            const uint8_t aFiller[3] = {0xFF, 0x01, 0x00};
            vImage.insert(vImage.end(), aFiller, aFiller + 3);
            nDelta -= VARLEN_MAX;
        }
        AppendVarLen(vImage, static_cast<uint32_t>(nDelta));
        SMFEVENT e;
        e.nTime = nTime;
        e.nOffset = static_cast<uint32_t>(vImage.size());
        e.nLength = nLength + 1;
        vImage.push_back(nStatus);
        vImage.insert(vImage.end(), pData, pData + nLength);
        vEvents.push_back(e);
        nPrev = nTime;
    };
    for (const SMFNODE& node : vAll) {
        if (vImage.size() > 0xF0000000u) {
            WriteReport("Midi %s Init トラックのデータが不正", szFile);
            return false;
        }
        PutEvent(node.nTime, node.nStatus, p + node.nData, node.nLength);
    }
    const uint8_t aEnd[2] = {0x2F, 0x00};
    PutEvent(nEndTime, 0xFF, aEnd, 2);
    PutBe32(vImage.data() + 18, static_cast<uint32_t>(vImage.size() - SMF_IMAGE_HEAD));

    // The song's length: tempo 500000 until the first tempo event.
    double dLength = 0.0;
    bool bSmpte = (nDivision & 0x8000) != 0;
    if (bSmpte) {
        int nFps = -static_cast<int8_t>(nDivision >> 8);
        double dFps = nFps == 29 ? 29.97 : static_cast<double>(nFps);
        double dTicksPerSec = dFps * static_cast<double>(nDivision & 0xFF);
        dLength = dTicksPerSec > 0 ? static_cast<double>(nEndTime) / dTicksPerSec : 0.0;
    } else {
        uint32_t nTempo = SMF_DEFAULT_TEMPO;
        uint64_t nTempoTime = 0;
        for (const SMFEVENT& e : vEvents) {
            uint8_t nType = 0;
            const uint8_t* pPay = nullptr;
            uint32_t nPay = 0;
            if (!GetMetaEvent(vImage.data() + e.nOffset, e.nLength, &nType, &pPay, &nPay)) continue;
            if (nType == 0x51 && nPay == 3) {
                dLength += 0.000001 * nTempo * static_cast<double>(e.nTime - nTempoTime) / nDivision;
                nTempo = static_cast<uint32_t>(pPay[0]) << 16 | static_cast<uint32_t>(pPay[1]) << 8 | pPay[2];
                nTempoTime = e.nTime;
            }
        }
        dLength += 0.000001 * nTempo * static_cast<double>(nEndTime - nTempoTime) / nDivision;
    }

    m_pTrack = std::move(vImage);
    m_vEvents = std::move(vEvents);
    m_dLength = dLength;
    return true;
}
