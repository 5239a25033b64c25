#include <gtest/gtest.h>

#include <SDL.h>

#include <atomic>
#include <cstdlib>

#include "platform/AudioDevice.h"

namespace {

struct PULL {
    std::atomic<int> nCalls{0};
    std::atomic<int> nFrames{0};
};

void Pull(void* pArg, float* pOut, int nFrames)
{
    PULL* p = static_cast<PULL*>(pArg);
    for (int i = 0; i < 2 * nFrames; ++i) pOut[i] = 0.0f;
    p->nFrames = nFrames;
    ++p->nCalls;
}

}  // namespace

// Opens the output device with SDL's dummy driver: the device takes our
// format as asked and pulls frames on its own thread until it is closed.
TEST(AudioDevice, OpensPullsAndClosesWithTheDummyDriver)
{
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    PULL pull;
    cAudioDevice device;
    ASSERT_TRUE(device.Open(44100, 512, &Pull, &pull)) << device.GetError();
    EXPECT_TRUE(device.IsOpen());
    EXPECT_EQ(device.GetDriverName(), "dummy");
    // Wait (bounded) for the audio thread to ask for frames.
    for (int i = 0; i < 2000 && pull.nCalls.load() == 0; ++i) SDL_Delay(1);
    EXPECT_GT(pull.nCalls.load(), 0);
    EXPECT_EQ(pull.nFrames.load(), 512);
    device.Close();
    EXPECT_FALSE(device.IsOpen());
    int nAfter = pull.nCalls.load();
    SDL_Delay(30);
    EXPECT_EQ(pull.nCalls.load(), nAfter);
    device.Close();    // twice is harmless
}
