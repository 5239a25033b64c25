#include "GoldenPng.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

namespace {

uint32_t Crc32(const uint8_t* p, size_t n, uint32_t c = 0xFFFFFFFFu) {
    for (size_t i = 0; i < n; i++) {
        c ^= p[i];
        for (int k = 0; k < 8; k++) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
    }
    return c;
}

uint32_t Adler32(const std::vector<uint8_t>& v) {
    uint32_t a = 1, b = 0;
    for (uint8_t x : v) {
        a = (a + x) % 65521;
        b = (b + a) % 65521;
    }
    return b << 16 | a;
}

void Put32(std::vector<uint8_t>& v, uint32_t x) {
    for (int s = 24; s >= 0; s -= 8) v.push_back(static_cast<uint8_t>(x >> s));
}
uint32_t Get32(const uint8_t* p) { return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]; }

void Chunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
    Put32(out, static_cast<uint32_t>(data.size()));
    std::vector<uint8_t> body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    out.insert(out.end(), body.begin(), body.end());
    Put32(out, Crc32(body.data(), body.size()) ^ 0xFFFFFFFFu);
}

const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

}  // namespace

bool WriteGoldenPng(const std::string& strPath, const GOLDENIMAGE& img) {
    std::vector<uint8_t> raw;
    for (int y = 0; y < img.nHeight; y++) {
        raw.push_back(0);   // filter: none
        for (int x = 0; x < img.nWidth; x++) {
            const uint32_t c = img.vRGB[static_cast<size_t>(y) * img.nWidth + x];
            raw.push_back(static_cast<uint8_t>(c >> 16));
            raw.push_back(static_cast<uint8_t>(c >> 8));
            raw.push_back(static_cast<uint8_t>(c));
        }
    }
    std::vector<uint8_t> z = {0x78, 0x01};
    size_t nPos = 0;
    do {
        const size_t n = std::min<size_t>(65535, raw.size() - nPos);
        z.push_back(nPos + n == raw.size() ? 1 : 0);
        z.push_back(static_cast<uint8_t>(n));
        z.push_back(static_cast<uint8_t>(n >> 8));
        z.push_back(static_cast<uint8_t>(~n));
        z.push_back(static_cast<uint8_t>(~n >> 8));
        z.insert(z.end(), raw.begin() + static_cast<long>(nPos), raw.begin() + static_cast<long>(nPos + n));
        nPos += n;
    } while (nPos < raw.size());
    Put32(z, Adler32(raw));
    std::vector<uint8_t> out(kSignature, kSignature + 8);
    std::vector<uint8_t> ihdr;
    Put32(ihdr, static_cast<uint32_t>(img.nWidth));
    Put32(ihdr, static_cast<uint32_t>(img.nHeight));
    ihdr.insert(ihdr.end(), {8, 2, 0, 0, 0});   // 8 bits, RGB, deflate, filter 0, no interlace
    Chunk(out, "IHDR", ihdr);
    Chunk(out, "IDAT", z);
    Chunk(out, "IEND", {});
    std::ofstream f(strPath, std::ios::binary);
    f.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
    return static_cast<bool>(f);
}

bool ReadGoldenPng(const std::string& strPath, GOLDENIMAGE* pImg) {
    std::ifstream f(strPath, std::ios::binary);
    std::vector<uint8_t> d((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    if (d.size() < 8 || std::memcmp(d.data(), kSignature, 8) != 0) return false;
    size_t p = 8;
    std::vector<uint8_t> z;
    int w = 0, h = 0;
    while (p + 12 <= d.size()) {
        const uint32_t n = Get32(&d[p]);
        if (n > d.size() - p - 12) return false;
        const std::string type(reinterpret_cast<const char*>(&d[p + 4]), 4);
        const uint8_t* body = &d[p + 8];
        if (type == "IHDR") {
            if (n != 13 || body[8] != 8 || body[9] != 2 || body[12] != 0) return false;
            w = static_cast<int>(Get32(body));
            h = static_cast<int>(Get32(body + 4));
        } else if (type == "IDAT") {
            z.insert(z.end(), body, body + n);
        } else if (type == "IEND") {
            break;
        }
        p += 12 + n;
    }
    if (w <= 0 || h <= 0 || w > 4096 || h > 4096 || z.size() < 2) return false;
    std::vector<uint8_t> raw;
    size_t q = 2;
    for (;;) {
        if (q + 5 > z.size()) return false;
        const bool bLast = z[q] & 1;
        if ((z[q] >> 1) != 0) return false;   // only stored blocks
        const size_t n = z[q + 1] | z[q + 2] << 8;
        q += 5;
        if (q + n > z.size()) return false;
        raw.insert(raw.end(), z.begin() + static_cast<long>(q), z.begin() + static_cast<long>(q + n));
        q += n;
        if (bLast) break;
    }
    const size_t nRow = 1 + static_cast<size_t>(w) * 3;
    if (raw.size() != nRow * static_cast<size_t>(h)) return false;
    pImg->nWidth = w;
    pImg->nHeight = h;
    pImg->vRGB.assign(static_cast<size_t>(w) * h, 0);
    for (int y = 0; y < h; y++) {
        const uint8_t* r = &raw[nRow * y];
        if (r[0] != 0) return false;
        for (int x = 0; x < w; x++)
            pImg->vRGB[static_cast<size_t>(y) * w + x] =
                uint32_t(r[1 + 3 * x]) << 16 | uint32_t(r[2 + 3 * x]) << 8 | r[3 + 3 * x];
    }
    return true;
}
