#pragma once
// A whole file's bytes, read-only in memory. Small files are read into a
// buffer; large ones are mapped from the page cache (a private, read-only
// mapping), which spares the copy and the zero-filled buffer a plain read
// costs. The bytes stay valid until the view is closed or destroyed.
//
// A mapped file that another program cuts short while it is open can no
// longer be read past its new end (the system stops the process); the
// program's own saves never do this: they write a new file and rename it.
#include <cstddef>
#include <cstdint>
#include <vector>

class cFileView {
public:
    cFileView() = default;
    ~cFileView() { Close(); }
    cFileView(const cFileView&) = delete;
    cFileView& operator=(const cFileView&) = delete;

    // Opens a data path. False when it cannot be opened or read, or is larger
    // than nMaxBytes; the view is then empty.
    bool Open(const char* pszDataPath, size_t nMaxBytes = SIZE_MAX);
    void Close();

    const uint8_t* Data() const { return m_pData; }
    size_t Size() const { return m_nSize; }
    bool IsMapped() const { return m_pMap != nullptr; }

    // Files of at least this many bytes are mapped.
    static constexpr size_t MAP_FROM = size_t{1} << 20;

private:
    const uint8_t* m_pData = nullptr;
    size_t m_nSize = 0;
    void* m_pMap = nullptr;
    size_t m_nMapSize = 0;
    std::vector<uint8_t> m_vBuffer;
};
