// The reworked wave, blur, mosaic, lens and rotation loops against the loops they
// replaced (tests/graphics/EffectOracle.cpp): random pictures under every
// profile, with and without the key, areas cut by both surfaces; every
// destination pixel must come out the same.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <random>
#include <vector>

#include "graphics/DDEffect.h"
#include "graphics/EffectOracle.h"
#include "support/DDTestSupport.h"

namespace {

// Raw pixels of a surface, row by row.
std::vector<uint32_t> Snapshot(DDSURFACEDATA* sd)
{
    DDPIXELS* p = DDGetPixels(sd);
    std::vector<uint32_t> v;
    for (int y = 0; y < p->nHeight; y++)
        for (int x = 0; x < p->nWidth; x++) v.push_back(DDGetRaw(*p, x, y));
    return v;
}

void Restore(DDSURFACEDATA* sd, const std::vector<uint32_t>& v)
{
    DDPIXELS* p = DDGetPixels(sd);
    size_t k = 0;
    for (int y = 0; y < p->nHeight; y++)
        for (int x = 0; x < p->nWidth; x++) DDPutRaw(*p, x, y, v[k++]);
}

// Random raw pixels; about one in five is the profile's transparent pixel
// (Direct3D: alpha 0, or a 16-bit texel without the bits 0xA0 of its high
// byte; DirectDraw: dwTransColor), under Direct3D 32 bits one in five
// fully opaque so that every blend case occurs, and under DirectDraw one in
// ten a bit away from the key.
void FillRandom(DDSURFACEDATA* sd, std::mt19937& rng)
{
    DDPIXELS* p = DDGetPixels(sd);
    const uint32_t dwMask = p->nBytes == 4 ? 0xFFFFFFFFu : p->nBytes == 2 ? 0xFFFFu : 0xFFu;
    for (int y = 0; y < p->nHeight; y++)
        for (int x = 0; x < p->nWidth; x++) {
            uint32_t v = static_cast<uint32_t>(rng()) & dwMask;
            const uint32_t nPick = static_cast<uint32_t>(rng()) % 10;
            if (nPick < 2) {
                if (!lpDTCon) v = dwTransColor & dwMask;
                else if (p->nBytes == 4) v &= 0x00FFFFFFu;
                else v &= ~0xA000u;
            } else if (nPick < 4 && lpDTCon && p->nBytes == 4) {
                v |= 0xFF000000u;
            } else if (nPick == 4 && !lpDTCon) {
                // One bit away from the key: a colour that may become the key
                // once its fields are reduced or its alpha byte dropped.
                v = (dwTransColor ^ (1u << (static_cast<uint32_t>(rng()) % (8u * static_cast<uint32_t>(p->nBytes))))) & dwMask;
            }
            DDPutRaw(*p, x, y, v);
        }
}

// Runs an effect through the oracle and through the program on the same
// random destination and counts the pixels that differ.
class cEffectMatch {
public:
    explicit cEffectMatch(uint32_t nSeed) : m_rng(nSeed) {}

    void Compare(DDSURFACEDATA* dst, DDSURFACEDATA* src, const std::function<long long()>& fnOracle,
                 const std::function<long long()>& fnNew, const char* pszWhat)
    {
        FillRandom(dst, m_rng);
        if (src != dst) FillRandom(src, m_rng);
        const std::vector<uint32_t> vDst0 = Snapshot(dst), vSrc0 = Snapshot(src);
        const long long nOld = fnOracle();
        const std::vector<uint32_t> vOld = Snapshot(dst);
        Restore(dst, vDst0);
        Restore(src, vSrc0);
        const long long nNew = fnNew();
        const std::vector<uint32_t> vNew = Snapshot(dst);
        EXPECT_EQ(nNew, nOld) << pszWhat;
        ASSERT_EQ(vNew.size(), vOld.size());
        const int W = DDGetPixels(dst)->nWidth;
        int nWrong = 0;
        for (size_t k = 0; k < vOld.size(); k++) {
            if (vOld[k] == vNew[k]) continue;
            if (nWrong++ == 0)
                ADD_FAILURE() << pszWhat << ": first difference at (" << k % W << ", " << k / W << "): " << std::hex
                              << vNew[k] << " instead of " << vOld[k];
        }
        EXPECT_EQ(nWrong, 0) << pszWhat;
        m_nCompared++;
        m_nChanged += vOld != vDst0;
    }

    int m_nCompared = 0;
    int m_nChanged = 0;  // comparisons whose oracle drew something

private:
    std::mt19937 m_rng;
};

class EffectMatchTest : public testing::TestWithParam<DDPROFILE> {
protected:
    void SetUp() override { ASSERT_TRUE(DDStartProfile(GetParam(), 64, 48)); }
    void TearDown() override
    {
        DDReleaseSurface(&m_src);
        DDReleaseSurface(&m_dst);
        DDRelease();
    }
    // A source of 53 x 41 and a destination of 47 x 37: sizes that are no
    // multiple of anything the loops work in.
    void Make(int nSrcMemory, int nDstWidth = 47, int nDstHeight = 37)
    {
        DDReleaseSurface(&m_src);
        DDReleaseSurface(&m_dst);
        ASSERT_TRUE(DDCreateSurface(&m_src, 53, 41, 1, 0, nSrcMemory, nullptr, 0));
        ASSERT_TRUE(DDMakeTarget(&m_dst, nDstWidth, nDstHeight, 1));
    }
    DDSURFACEDATA m_src, m_dst;
};

// Areas: whole, cut on every side by either surface, and wider than both.
struct AREA {
    int x, y, w, h, sx, sy;
};
const AREA aAreas[] = {
    {0, 0, 47, 37, 0, 0}, {3, 2, 30, 25, 5, 7},   {-4, -3, 40, 30, 2, 1}, {10, 8, 60, 50, -6, -5},
    {0, 0, 53, 41, 0, 0}, {5, 6, 17, 1, 0, 0},    {2, 1, 1, 19, 3, 3},    {-20, -20, 100, 90, -10, -12},
};

TEST_P(EffectMatchTest, BlurMatchesTheOldLoops)
{
    cEffectMatch m(1);
    // Radii: the usual small box, uneven ones, and boxes too wide to pack.
    const int aRadii[][2] = {{1, 1}, {2, 2}, {3, 1}, {1, 4}, {5, 3}, {24, 24}, {40, 2}};
    for (int nMemory : {DTMEMORYTYPE_VIDEO_RT, DTMEMORYTYPE_SYSTEM}) {
        Make(nMemory);
        for (const AREA& a : aAreas)
            for (const auto& r : aRadii)
                for (int nMode : {0, 1}) {
                    m.Compare(
                        &m_dst, &m_src,
                        [&] { return fxoracle::BlurBlt(&m_dst, a.x, a.y, a.w, a.h, r[0], r[1], &m_src, a.sx, a.sy, nMode); },
                        [&] { return DDBlurBlt(&m_dst, a.x, a.y, a.w, a.h, r[0], r[1], &m_src, a.sx, a.sy, nMode); },
                        "blur");
                }
        // A blur onto its own pixels.
        for (int nMode : {0, 1})
            m.Compare(
                &m_dst, &m_dst, [&] { return fxoracle::BlurBlt(&m_dst, 2, 3, 30, 20, 2, 2, &m_dst, 4, 1, nMode); },
                [&] { return DDBlurBlt(&m_dst, 2, 3, 30, 20, 2, 2, &m_dst, 4, 1, nMode); }, "blur in place");
    }
    EXPECT_GT(m.m_nCompared, 0);
    if (nScreenBpp != 8) { EXPECT_GT(m.m_nChanged, m.m_nCompared / 2); }
}

TEST_P(EffectMatchTest, MosaicMatchesTheOldLoops)
{
    cEffectMatch m(2);
    Make(DTMEMORYTYPE_VIDEO_RT);
    for (const AREA& a : aAreas)
        for (int n : {1, 2, 3, 8, 100})
            for (int nMode : {0, 1})
                m.Compare(
                    &m_dst, &m_src, [&] { return fxoracle::MosaicBlt(&m_dst, a.x, a.y, a.w, a.h, n, &m_src, a.sx, a.sy, nMode); },
                    [&] { return DDMosaicBlt(&m_dst, a.x, a.y, a.w, a.h, n, &m_src, a.sx, a.sy, nMode); }, "mosaic");
    EXPECT_GT(m.m_nChanged, m.m_nCompared / 2);
}

TEST_P(EffectMatchTest, LensMatchesTheOldLoops)
{
    cEffectMatch m(3);
    struct LENS {
        int cx, cy, R, d, scx, scy;
    };
    // Inside, cut by the destination, bigger than both surfaces, shallow and
    // deep, the source centre near an edge; wider than 1024 dots (no table of
    // offsets is kept for those), with the centre inside, and far outside so
    // that the surfaces see the lens's rim on the left and on the top.
    const LENS aLens[] = {{23, 18, 10, 5, 26, 20},      {5, 30, 20, 40, 40, 10},   {23, 18, 60, 30, 26, 20},
                          {40, 4, 15, 1, 2, 38},        {23, 18, 3, 0, 26, 20},    {-5, -5, 12, 12, 0, 0},
                          {23, 18, 1500, 3000, 26, 20}, {10, 40, 1025, 900, 30, 10}, {-600, 300, 1200, 2000, 26, 20},
                          {-1100, 24, 1125, 300, -1100, 24}, {32, -1100, 1125, 300, 32, -1100}};
    Make(DTMEMORYTYPE_VIDEO_RT);
    for (const LENS& l : aLens)
        for (int nKey : {0, 1})
            for (int bClear : {0, 1})
                m.Compare(
                    &m_dst, &m_src, [&] { return fxoracle::LensBlt(&m_dst, l.cx, l.cy, l.R, l.d, &m_src, l.scx, l.scy, nKey, bClear); },
                    [&] { return DDLensBlt(&m_dst, l.cx, l.cy, l.R, l.d, &m_src, l.scx, l.scy, nKey, bClear); }, "lens");
    EXPECT_GT(m.m_nChanged, m.m_nCompared / 2);
}

TEST_P(EffectMatchTest, RotateMatchesTheOldLoops)
{
    cEffectMatch m(4);
    struct TURN {
        int dx, dy, w, h, px, py, sx, sy;
    };
    const TURN aTurns[] = {{23, 18, 53, 41, 26, 20, 0, 0}, {10, 30, 30, 20, 5, 15, 4, 6},
                           {40, 5, 60, 50, 30, 25, -5, -3}, {23, 18, 7, 9, 3, 4, 40, 30}};
    const int aAngles[] = {0, 1, 30, 45, 90, 137, 180, 200, 270, 359, -30, 400};
    // Under Direct3D a render-target source is drawn by the device, a
    // system-memory one by the locked loops.
    for (int nMemory : {DTMEMORYTYPE_VIDEO_RT, DTMEMORYTYPE_SYSTEM}) {
        Make(nMemory);
        for (const TURN& t : aTurns)
            for (int nAngle : aAngles)
                for (int nKey : {0, 1})
                    m.Compare(
                        &m_dst, &m_src,
                        [&] { return fxoracle::RotateBlt(&m_dst, t.dx, t.dy, t.w, t.h, t.px, t.py, nAngle, &m_src, t.sx, t.sy, nKey); },
                        [&] { return DDRotateBlt(&m_dst, t.dx, t.dy, t.w, t.h, t.px, t.py, nAngle, &m_src, t.sx, t.sy, nKey); },
                        "rotate");
    }
    // A turn onto its own pixels reads what it has already written (a
    // surface larger than the tiles the loops may work in).
    Make(DTMEMORYTYPE_VIDEO_RT, 300, 200);
    for (int nAngle : {30, 200})
        for (int nKey : {0, 1})
            m.Compare(
                &m_dst, &m_dst, [&] { return fxoracle::RotateBlt(&m_dst, 150, 100, 250, 180, 120, 90, nAngle, &m_dst, 5, 4, nKey); },
                [&] { return DDRotateBlt(&m_dst, 150, 100, 250, 180, 120, 90, nAngle, &m_dst, 5, 4, nKey); }, "rotate in place");
    if (lpDTCon) {
        // The device with a tinting stage: every texel blended.
        Make(DTMEMORYTYPE_VIDEO_RT);
        lpDTCon->dwBltColor = 0x80C08040u;
        for (int nAngle : aAngles)
            m.Compare(
                &m_dst, &m_src, [&] { return fxoracle::RotateBlt(&m_dst, 23, 18, 53, 41, 26, 20, nAngle, &m_src, 0, 0, 0); },
                [&] { return DDRotateBlt(&m_dst, 23, 18, 53, 41, 26, 20, nAngle, &m_src, 0, 0, 0); }, "rotate tinted");
        lpDTCon->dwBltColor = 0xFFFFFFFFu;
    }
    // A mirrored copy sharing the source's texture is read backwards (the
    // whole picture, and a part of one cell of 10 x 8), by the device from a
    // render target, by the locked loops from system memory.
    for (int nMemory : {DTMEMORYTYPE_VIDEO_RT, DTMEMORYTYPE_SYSTEM}) {
        if (!lpDTCon) break;
        Make(nMemory);
        DDSURFACEDATA mirror;
        ASSERT_TRUE(DDCreateSurface(&mirror, 53, 41, 1, 0, nMemory, &m_src, 0));
        mirror.lpMirrorSD = &m_src;
        struct MIRROR {
            int nCellW, nCellH;
            TURN t;
        };
        const MIRROR aMirrors[] = {{53, 41, {23, 18, 53, 41, 26, 20, 0, 0}}, {10, 8, {23, 18, 7, 6, 3, 4, 20, 16}},
                                   {53, 0, {20, 15, 53, 30, 20, 10, 0, 5}}};
        for (const MIRROR& mi : aMirrors) {
            mirror.nMirrorWidth = mi.nCellW;
            mirror.nMirrorHeight = mi.nCellH;
            const TURN& t = mi.t;
            for (int nAngle : aAngles)
                m.Compare(
                    &m_dst, &m_src,
                    [&] { return fxoracle::RotateBlt(&m_dst, t.dx, t.dy, t.w, t.h, t.px, t.py, nAngle, &mirror, t.sx, t.sy, 0); },
                    [&] { return DDRotateBlt(&m_dst, t.dx, t.dy, t.w, t.h, t.px, t.py, nAngle, &mirror, t.sx, t.sy, 0); },
                    "rotate mirrored");
            for (int nAngle : {30, 200})
                m.Compare(
                    &m_dst, &m_src,
                    [&] { return fxoracle::RotateBlt(&m_dst, t.dx, t.dy, t.w, t.h, t.px, t.py, nAngle, &mirror, t.sx, t.sy, 1); },
                    [&] { return DDRotateBlt(&m_dst, t.dx, t.dy, t.w, t.h, t.px, t.py, nAngle, &mirror, t.sx, t.sy, 1); },
                    "rotate mirrored with the key");
        }
        DDReleaseSurface(&mirror);
    }
    EXPECT_GT(m.m_nChanged, m.m_nCompared / 2);
}

TEST_P(EffectMatchTest, WaveMatchesTheOldLoop)
{
    cEffectMatch m(6);
    struct WAVE {
        int nFrequency;
        double dAmplitude;
        int nPhase;
    };
    // Gentle and steep waves, none at all, a negative amplitude, and one so
    // large that every shift saturates.
    const WAVE aWaves[] = {{4, 8.0, 0}, {1, 2.5, 77}, {3, 0.0, 10}, {7, -30.0, 300}, {2, 1e20, 5}};
    for (int nMemory : {DTMEMORYTYPE_VIDEO_RT, DTMEMORYTYPE_SYSTEM}) {
        Make(nMemory);
        for (const AREA& a : aAreas)
            for (const WAVE& v : aWaves)
                for (int nAxis : {0, 1})
                    for (int nBand : {1, 2, 3, 7})
                        for (int nFlags : {0, 1})
                            m.Compare(
                                &m_dst, &m_src,
                                [&] {
                                    fxoracle::WaveBlt(&m_dst, a.x, a.y, a.w, a.h, v.nFrequency, v.dAmplitude, v.nPhase,
                                                      nBand, &m_src, a.sx, a.sy, nFlags, nAxis);
                                    return 0LL;
                                },
                                [&] {
                                    DDWaveBlt(&m_dst, a.x, a.y, a.w, a.h, v.nFrequency, v.dAmplitude, v.nPhase, nBand,
                                              &m_src, a.sx, a.sy, nFlags, nAxis);
                                    return 0LL;
                                },
                                "wave");
    }
    // Onto its own pixels, reading two columns or rows to either side: a
    // band may read what the one before it wrote.
    Make(DTMEMORYTYPE_VIDEO_RT);
    for (int nShift : {-2, 2})
        for (int nAxis : {0, 1})
            for (int nFlags : {0, 1})
                m.Compare(
                    &m_dst, &m_dst,
                    [&] {
                        fxoracle::WaveBlt(&m_dst, 4, 3, 40, 30, 1, 3.0, 0, 2, &m_dst, 4 + nShift, 3 + nShift, nFlags,
                                          nAxis);
                        return 0LL;
                    },
                    [&] {
                        DDWaveBlt(&m_dst, 4, 3, 40, 30, 1, 3.0, 0, 2, &m_dst, 4 + nShift, 3 + nShift, nFlags, nAxis);
                        return 0LL;
                    },
                    "wave in place");
    // A mirrored copy of cells of 10 x 8 sharing the source's texture.
    if (lpDTCon) {
        Make(DTMEMORYTYPE_VIDEO_RT);
        DDSURFACEDATA mirror;
        ASSERT_TRUE(DDCreateSurface(&mirror, 53, 41, 1, 0, DTMEMORYTYPE_VIDEO_RT, &m_src, 0));
        mirror.lpMirrorSD = &m_src;
        mirror.nMirrorWidth = 10;
        mirror.nMirrorHeight = 8;
        for (int nAxis : {0, 1})
            m.Compare(
                &m_dst, &m_src,
                [&] {
                    fxoracle::WaveBlt(&m_dst, 2, 2, 40, 32, 1, 1.5, 0, 3, &mirror, 0, 0, 0, nAxis);
                    return 0LL;
                },
                [&] {
                    DDWaveBlt(&m_dst, 2, 2, 40, 32, 1, 1.5, 0, 3, &mirror, 0, 0, 0, nAxis);
                    return 0LL;
                },
                "wave from a mirrored copy");
        DDReleaseSurface(&mirror);
    }
    if (nScreenBpp != 8) { EXPECT_GT(m.m_nChanged, m.m_nCompared / 2); }
}

// The full-screen back buffer as the destination (under Direct3D 16 bits the
// fields move to its layout).
TEST_P(EffectMatchTest, EffectsOntoTheBackBufferMatchTheOldLoops)
{
    cEffectMatch m(5);
    Make(DTMEMORYTYPE_SYSTEM);
    DDSURFACEDATA* back = &BackBuffer;
    for (int nKey : {0, 1}) {
        m.Compare(
            back, &m_src, [&] { return fxoracle::BlurBlt(back, -3, 2, 60, 40, 2, 2, &m_src, 0, 0, nKey); },
            [&] { return DDBlurBlt(back, -3, 2, 60, 40, 2, 2, &m_src, 0, 0, nKey); }, "blur onto the back buffer");
        for (int n : {1, 4})
            m.Compare(
                back, &m_src, [&] { return fxoracle::MosaicBlt(back, 4, -2, 50, 45, n, &m_src, 1, 0, nKey); },
                [&] { return DDMosaicBlt(back, 4, -2, 50, 45, n, &m_src, 1, 0, nKey); }, "mosaic onto the back buffer");
        m.Compare(
            back, &m_src, [&] { return fxoracle::LensBlt(back, 32, 24, 30, 20, &m_src, 26, 20, nKey, 1); },
            [&] { return DDLensBlt(back, 32, 24, 30, 20, &m_src, 26, 20, nKey, 1); }, "lens onto the back buffer");
        m.Compare(
            back, &m_src, [&] { return fxoracle::RotateBlt(back, 32, 24, 53, 41, 26, 20, 33, &m_src, 0, 0, nKey); },
            [&] { return DDRotateBlt(back, 32, 24, 53, 41, 26, 20, 33, &m_src, 0, 0, nKey); }, "rotate onto the back buffer");
        for (int nAxis : {0, 1})
            m.Compare(
                back, &m_src,
                [&] {
                    fxoracle::WaveBlt(back, -2, 1, 60, 45, 4, 6.0, 30, 2, &m_src, 0, 0, nKey, nAxis);
                    return 0LL;
                },
                [&] {
                    DDWaveBlt(back, -2, 1, 60, 45, 4, 6.0, 30, 2, &m_src, 0, 0, nKey, nAxis);
                    return 0LL;
                },
                "wave onto the back buffer");
    }
}

INSTANTIATE_TEST_SUITE_P(Profiles, EffectMatchTest, testing::ValuesIn(DDAllProfiles()), DDProfileName);

}  // namespace
