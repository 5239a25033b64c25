#pragma once
// Reference pictures of the play tests: 24-bit PNG files whose image data is
// zlib "stored" blocks (no compression), so a few lines write and read them
// without an image library. The reader takes only files of this form.
#include <cstdint>
#include <string>
#include <vector>

struct GOLDENIMAGE {
    int nWidth = 0, nHeight = 0;
    std::vector<uint32_t> vRGB;   // 0x00RRGGBB, row-major
};

// Writes the picture; false when the file cannot be written.
bool WriteGoldenPng(const std::string& strPath, const GOLDENIMAGE& img);
// Reads a picture written by WriteGoldenPng; false for anything else.
bool ReadGoldenPng(const std::string& strPath, GOLDENIMAGE* pImg);
