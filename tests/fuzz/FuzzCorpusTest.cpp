#include <gtest/gtest.h>

#include "FuzzCorpus.h"

namespace {

// Size classes by hand: the bit length of the size.
TEST(FuzzCorpus, SizeClassIsTheBitLengthOfTheSize) {
    struct CASE { size_t nSize; uint32_t nClass; };
    const CASE cases[] = {{0, 0}, {1, 1}, {2, 2}, {3, 2}, {4, 3}, {63, 6}, {64, 7}, {127, 7}, {128, 8}, {65536, 17}};
    for (const CASE& c : cases) EXPECT_EQ(FuzzSizeClass(c.nSize), c.nClass) << c.nSize;
}

// An accepted input is kept for what it shows first: a size class or a
// feature no earlier input had; a repeat, or a refused input, is not kept.
TEST(FuzzCorpus, KeepsAnAcceptedInputThatReachesSomethingNew) {
    cFuzzCorpus corpus;
    const FUZZFEATURE v854{1, 854}, v500{1, 500}, bpp8{2, 8};
    struct STEP {
        const char* pszWhat;
        size_t nSize;
        bool bAccepted;
        std::vector<FUZZFEATURE> vFeatures;
        bool bKept;
        bool bKeepRefused = false;
    };
    const STEP steps[] = {
        {"the first seed: everything is new", 100, true, {v854}, true},
        {"same class (64..127), same version", 120, true, {v854}, false},
        {"a refused input of a new class", 300, false, {}, false},
        {"the class the refused input had, now accepted (256..511)", 300, true, {v854}, true},
        {"a new version at a seen size", 100, true, {v500}, true},
        {"the same version again", 90, true, {v500}, false},
        {"a second feature kind beside a seen one", 70, true, {v854, bpp8}, true},
        {"both again", 127, true, {bpp8, v854}, false},
        {"a refused input with a new feature", 100, false, {FUZZFEATURE{3, 1}}, false},
        {"the lower edge of the next class (128..255)", 128, true, {}, true},
        {"an empty input", 0, true, {}, true},
        {"an empty input again", 0, true, {}, false},
        {"a refused input its target marks worth keeping, of a new class (8192..16383)", 9000, false, {}, true, true},
        {"another such input of that class", 9999, false, {}, false, true},
        {"one marked worth keeping with a new feature", 100, false, {FUZZFEATURE{3, 2}}, true, true},
        {"a refused input not marked, of a new class (16384..32767)", 20000, false, {}, false},
    };
    for (const STEP& s : steps)
        EXPECT_EQ(corpus.Offer(s.nSize, s.bAccepted, s.vFeatures, s.bKeepRefused), s.bKept) << s.pszWhat;
    // Classes 7, 9, 8, 0, 14; versions 854 and 500; depth 8; feature {3, 2}
    // (the features of refused inputs not marked are not remembered).
    EXPECT_EQ(corpus.Features(), 9u);
}

TEST(FuzzCorpus, StopsKeepingAtItsBound) {
    cFuzzCorpus corpus(2);
    EXPECT_FALSE(corpus.Full());
    corpus.NoteKept();
    EXPECT_FALSE(corpus.Full());
    corpus.NoteKept();
    EXPECT_TRUE(corpus.Full());
    EXPECT_EQ(corpus.Kept(), 2u);
}

}  // namespace
