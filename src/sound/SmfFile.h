#pragma once
// Standard MIDI file reader. A file of format 0 or 1 is read, its tracks
// are merged by time into one track, and the result is kept as the image of a
// format-0 file (status bytes written out, no running status) together with
// the list of its events at their absolute times.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// One event of the merged track: absolute time in ticks and where its status
// byte and data lie in the image.
struct SMFEVENT {
    uint64_t nTime = 0;
    uint32_t nOffset = 0;     // status byte in m_pTrack
    uint32_t nLength = 0;     // status byte and data
};

// Reads a variable-length quantity of at most 4 bytes from p[0..nLeft).
// Returns the bytes read, 0 when the fourth byte still has the high bit or
// the bytes run out.
int ReadVarLen(const uint8_t* p, size_t nLeft, uint32_t* pValue);
// Writes v (at most 0x0FFFFFFF) as 1 to 4 bytes; returns the count.
int WriteVarLen(uint8_t* p, uint32_t v);

constexpr size_t SMF_IMAGE_HEAD = 22;    // header chunk and track chunk head
constexpr uint32_t SMF_DEFAULT_TEMPO = 500000;

class cSmfFile {
public:
    cSmfFile() = default;
    explicit cSmfFile(const char* szFile);
    virtual ~cSmfFile() = default;

    // Reads and merges the file; on failure the image is empty and the
    // reason is in the report log.
    bool Load(const char* szFile);
    // Merges a file already in memory; m_strFile names it in messages.
    bool LoadFromMemory(const char* szFile, const uint8_t* pData, size_t nSize);

    bool HasImage() const { return !m_pTrack.empty(); }
    uint16_t GetDivision() const;

    std::vector<uint8_t> m_pTrack;    // merged image, empty when refused
    std::string m_strFile;
    double m_dLength = 0.0;           // seconds
    std::vector<SMFEVENT> m_vEvents;  // the events of the image, in order

protected:
    bool CheckAndMerge(const uint8_t* pData, size_t nSize);
};

// The parts of a meta (0xFF) or system-exclusive (0xF0, 0xF7) event of the
// image: for a meta its type; then the payload after the length. False for
// other events or when the event is malformed.
bool GetMetaEvent(const uint8_t* pEvent, uint32_t nLength, uint8_t* pType, const uint8_t** ppPayload, uint32_t* pPayload);
bool GetSysExEvent(const uint8_t* pEvent, uint32_t nLength, const uint8_t** ppPayload, uint32_t* pPayload);
