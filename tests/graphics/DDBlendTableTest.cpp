// The 8-bit blend table built from a palette, on a small palette whose
// halfway colours are worked out by hand.
#include <gtest/gtest.h>

#include <vector>

#include "graphics/DDBlendTable.h"

namespace {

// Every entry white except:
//   0 magenta (transparent), 3 (50, 50, 50) and 5 (20, 20, 20) system colours,
//   10 black, 11 (100, 100, 100), 12 (200, 200, 200), 13 (60, 0, 0),
//   14 (30, 0, 0), 15 (0, 0, 90), 16 (1, 0, 0).
std::vector<PALETTEENTRY> SmallPalette()
{
    std::vector<PALETTEENTRY> p(256, PALETTEENTRY{255, 255, 255, 0});
    p[0] = {255, 0, 255, 0};
    p[3] = {50, 50, 50, 0};
    p[5] = {20, 20, 20, 0};
    p[10] = {0, 0, 0, 0};
    p[11] = {100, 100, 100, 0};
    p[12] = {200, 200, 200, 0};
    p[13] = {60, 0, 0, 0};
    p[14] = {30, 0, 0, 0};
    p[15] = {0, 0, 90, 0};
    p[16] = {1, 0, 0, 0};
    return p;
}

TEST(DDBlendTable, HalfwayColoursOfAHandWorkedPalette)
{
    std::vector<PALETTEENTRY> pal = SmallPalette();
    std::vector<uint8_t> t(BLEND_TABLE_SIZE, 0xEE);
    DDBuildBlendTable(pal.data(), t.data());
    struct { int a, b, want; const char* why; } aCase[] = {
        {10, 12, 11, "(0,0,0)+(200,200,200) -> (100,100,100), entry 11 exactly"},
        {12, 10, 11, "the same pair the other way"},
        {10, 13, 14, "(0,0,0)+(60,0,0) -> (30,0,0), entry 14"},
        {10, 11, 13, "-> (50,50,50): system colour 3 is left out; 13 is 5100 away, 14 5400, 10 and 11 7500"},
        {10, 15, 10, "-> (0,0,45): 10 and 15 both 2025 away, the lower wins; 14 is 2925"},
        {13, 15, 14, "-> (30,0,45): 14 is 2025 away; 10, 13 and 15 are 2925"},
        {10, 16, 10, "-> (0,0,0): halves round down, so black itself rather than 16"},
        {12, 12, 12, "a colour with itself"},
        {5, 5, 5, "a system colour with itself stays"},
        {12, 0, 12, "a transparent source leaves the destination"},
        {0, 12, 12, "an empty destination takes the source"},
        {11, 255, 12, "(100,100,100)+(255,255,255) -> (177,177,177): 12 is 1587 away, white 18252"},
    };
    for (auto& c : aCase) EXPECT_EQ(t[static_cast<size_t>(c.a) * 256 + c.b], c.want) << c.why;
    // No blend of two colours lands on the transparent entry or a system colour.
    for (int a = 1; a < 256; a++)
        for (int b = 1; b < 256; b++) {
            if (a == b) continue;
            ASSERT_GE(t[static_cast<size_t>(a) * 256 + b], BLEND_FIRST_RESULT) << a << " " << b;
        }
}

}  // namespace
