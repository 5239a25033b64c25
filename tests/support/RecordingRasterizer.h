#pragma once
// A glyph rasteriser for tests that records every text the fonts render, as
// the bytes were given, in order: a font made with a cell width of 0 renders
// whole lines, so a test can ask which texts a frame wrote. Its glyphs fill
// their whole box (8 dots a byte, 16 high) in the font's colour.
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "graphics/GlyphRasterizer.h"

inline std::vector<std::string>& RenderedTexts() {
    static std::vector<std::string> v;
    return v;
}

inline bool WasRendered(const std::string& s) {
    const std::vector<std::string>& v = RenderedTexts();
    return std::find(v.begin(), v.end(), s) != v.end();
}

class cRecordingRasterizer final : public cGlyphRasterizer {
public:
    void MeasureText(const char*, int n, int* w, int* h) override {
        *w = 8 * n;
        *h = 16;
    }
    void RenderText(const char* p, int n, bool, DDGLYPHIMAGE* img) override {
        RenderedTexts().emplace_back(p, static_cast<size_t>(n));
        MeasureText(p, n, &img->nWidth, &img->nHeight);
        img->vCoverage.assign(static_cast<size_t>(img->nWidth) * img->nHeight, 255);
    }
};

// Every font made from now on records; an empty factory restores the real
// rasteriser (DDSetRasterizerFactory(nullptr)).
inline void UseRecordingRasterizer() {
    DDSetRasterizerFactory([](const char*, int, int) { return std::make_unique<cRecordingRasterizer>(); });
    RenderedTexts().clear();
}
