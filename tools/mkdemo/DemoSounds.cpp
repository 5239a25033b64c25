// The demo's sounds: the 17 system sounds, the database sounds and three
// MIDI tunes.
#include <cstdio>

#include "Audio.h"
#include "DemoProject.h"

namespace {

struct WAVEFILE {
    const char* pszPath;
    std::vector<TONE> vTones;
};

const WAVEFILE atblWave[] = {
    {"wave\\Cursor.wav", {{880, 880, 0, 40}}},
    {"wave\\Decide.wav", {{660, 660, 0, 50}, {990, 990, 0, 80}}},
    {"wave\\Cancel.wav", {{660, 330, 0, 90}}},
    {"wave\\Buzzer.wav", {{110, 100, 0, 200}}},
    {"wave\\Open.wav", {{440, 880, 1, 120}}},
    {"wave\\Save.wav", {{523, 523, 1, 80}, {659, 659, 1, 80}, {784, 784, 1, 160}}},
    {"wave\\Switch.wav", {{700, 900, 0, 60}}},
    {"wave\\Pause.wav", {{600, 600, 1, 60}, {400, 400, 1, 60}}},
    {"wave\\Damage.wav", {{400, 120, 2, 150}}},
    {"wave\\Defeat.wav", {{300, 60, 2, 300}}},
    {"wave\\Miss.wav", {{600, 100, 1, 600}}},
    {"wave\\Clear.wav", {{523, 523, 1, 120}, {659, 659, 1, 120}, {784, 784, 1, 120}, {1046, 1046, 1, 300}}},
    {"wave\\GameOver.wav", {{392, 392, 1, 250}, {330, 330, 1, 250}, {262, 262, 1, 500}}},
    {"wave\\Item.wav", {{988, 988, 0, 60}, {1319, 1319, 0, 150}}},
    {"wave\\Warn.wav", {{880, 880, 0, 100}, {0, 0, 1, 60}, {880, 880, 0, 100}}},
    {"wave\\ExtraLife.wav", {{660, 1320, 1, 300}}},
    {"wave\\Step.wav", {{200, 150, 2, 40}}},
    {"wave\\Jump.wav", {{300, 900, 0, 150}}},
    {"wave\\Coin.wav", {{988, 988, 0, 50}, {1319, 1319, 0, 200}}},
    {"wave\\Hit.wav", {{800, 200, 2, 120}}},
};

// A small tune in C major: melody and bass in eighth notes.
const std::vector<NOTE> vTitleMelody = {
    {72, 2}, {76, 2}, {79, 2}, {76, 2}, {77, 2}, {74, 2}, {71, 4},
    {72, 2}, {76, 2}, {79, 2}, {84, 2}, {83, 4}, {79, 4},
    {81, 2}, {79, 2}, {77, 2}, {76, 2}, {74, 2}, {72, 2}, {74, 4},
    {76, 2}, {74, 2}, {72, 4}, {0, 8},
};
const std::vector<NOTE> vTitleBass = {
    {48, 4}, {48, 4}, {43, 4}, {43, 4}, {45, 4}, {45, 4}, {43, 4}, {43, 4},
    {41, 4}, {41, 4}, {43, 4}, {43, 4}, {48, 4}, {43, 4}, {48, 8},
};
const std::vector<NOTE> vMapMelody = {
    {67, 3}, {69, 1}, {71, 2}, {74, 2}, {72, 4}, {71, 4}, {69, 3}, {71, 1}, {72, 2}, {69, 2}, {67, 8},
};
const std::vector<NOTE> vMapBass = {{43, 8}, {48, 8}, {45, 8}, {43, 8}};
const std::vector<NOTE> vStageMelody = {
    {76, 1}, {76, 1}, {0, 1}, {76, 1}, {0, 1}, {72, 1}, {76, 2}, {79, 4}, {67, 4},
    {72, 3}, {67, 3}, {64, 2}, {69, 2}, {71, 2}, {70, 1}, {69, 3},
};
const std::vector<NOTE> vStageBass = {{38, 4}, {38, 4}, {43, 4}, {31, 4}, {36, 6}, {31, 6}, {28, 4}, {33, 4}};

}  // namespace

bool WriteDemoSounds() {
    bool bOk = true;
    for (const WAVEFILE& w : atblWave) {
        if (!WriteWave(w.pszPath, w.vTones)) {
            std::fprintf(stderr, "mkdemo: cannot write %s\n", w.pszPath);
            bOk = false;
        }
    }
    bOk = WriteMidi("bgm\\Title.mid", vTitleMelody, vTitleBass, 0, 120, 2) && bOk;
    bOk = WriteMidi("bgm\\Map.mid", vMapMelody, vMapBass, 73, 96, 4) && bOk;
    bOk = WriteMidi("bgm\\Stage.mid", vStageMelody, vStageBass, 80, 150, 4) && bOk;
    bOk = WriteOgg("bgm\\Hills.ogg", vMapMelody, vMapBass, 120, 3) && bOk;
    return bOk;
}

// The system sound names in system-sound order (0 cursor .. 16 step).
const char* GetDemoSystemSound(int n) {
    return n >= 0 && n < 17 ? atblWave[n].pszPath : "";
}
