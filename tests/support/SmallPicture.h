#pragma once
// Pictures of the window tests: binary PPM files (P6, maxval 255) and their
// box-average shrink to a small size, compared loosely with a reference.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

struct RGBIMAGE {
    int w = 0, h = 0;
    std::vector<uint8_t> rgb;
};

inline bool ReadPpm(const std::string& strPath, RGBIMAGE& img) {
    std::ifstream in(strPath, std::ios::binary);
    std::string strMagic;
    int nMax = 0;
    if (!(in >> strMagic >> img.w >> img.h >> nMax) || strMagic != "P6" || nMax != 255 || img.w <= 0 || img.h <= 0 ||
        img.w > 4096 || img.h > 4096)
        return false;
    in.get();
    img.rgb.resize(static_cast<size_t>(img.w) * img.h * 3);
    return static_cast<bool>(in.read(reinterpret_cast<char*>(img.rgb.data()), static_cast<std::streamsize>(img.rgb.size())));
}

inline bool WritePpm(const std::string& strPath, const RGBIMAGE& img) {
    std::ofstream out(strPath, std::ios::binary);
    out << "P6\n" << img.w << " " << img.h << "\n255\n";
    out.write(reinterpret_cast<const char*>(img.rgb.data()), static_cast<std::streamsize>(img.rgb.size()));
    return static_cast<bool>(out);
}

// Box average down to w x h.
inline RGBIMAGE Shrink(const RGBIMAGE& src, int w, int h) {
    RGBIMAGE dst;
    dst.w = w;
    dst.h = h;
    dst.rgb.assign(static_cast<size_t>(w) * h * 3, 0);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            const int x0 = x * src.w / w, x1 = std::max(x0 + 1, (x + 1) * src.w / w);
            const int y0 = y * src.h / h, y1 = std::max(y0 + 1, (y + 1) * src.h / h);
            for (int c = 0; c < 3; c++) {
                long nSum = 0;
                for (int sy = y0; sy < y1; sy++)
                    for (int sx = x0; sx < x1; sx++) nSum += src.rgb[(static_cast<size_t>(sy) * src.w + sx) * 3 + c];
                dst.rgb[(static_cast<size_t>(y) * w + x) * 3 + c] = static_cast<uint8_t>(nSum / ((x1 - x0) * (y1 - y0)));
            }
        }
    return dst;
}

// How two small pictures of one size differ: the mean of the largest channel
// difference per cell, and the cells that differ by more than 48.
struct PICTUREDIFF {
    double dMean = 0;
    int nFar = 0;
};
inline PICTUREDIFF ComparePictures(const RGBIMAGE& a, const RGBIMAGE& b) {
    PICTUREDIFF d;
    long nTotal = 0;
    for (size_t i = 0; i + 2 < a.rgb.size() && i + 2 < b.rgb.size(); i += 3) {
        int n = 0;
        for (int c = 0; c < 3; c++) n = std::max(n, std::abs(a.rgb[i + c] - b.rgb[i + c]));
        nTotal += n;
        if (n > 48) d.nFar++;
    }
    d.dMean = a.w * a.h > 0 ? static_cast<double>(nTotal) / (a.w * a.h) : 0;
    return d;
}
