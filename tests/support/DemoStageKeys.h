#pragma once
// Key scripts (the program's MOSSGROVE_INPUT_SCRIPT lines) that play the
// demo's stages through, shared by the end-to-end runs of the story and of
// the challenge. Each takes the game frame it starts from.
#include <string>

// Right held with a jump of 12 frames every 30 (the hop clears a spring
// or a slime, the spring throws the hero over the next one).
inline std::string HopRight(int nBase, int nFrames) {
    std::string s = std::to_string(nBase) + " right " + std::to_string(nFrames) + "\n";
    for (int f = nBase + 18; f < nBase + nFrames; f += 30) s += std::to_string(f) + " z 12\n";
    return s;
}

// Right held, a shot every 30 frames and a hop between shots: in the castle
// the bats and the knight cost the first life, the second attempt reaches
// the flag.
inline std::string ShootRight(int nBase, int nFrames) {
    std::string s = HopRight(nBase, nFrames);
    for (int f = nBase + 30; f < nBase + nFrames; f += 30) s += std::to_string(f) + " x 8\n";
    return s;
}

// The hills from the frame nPlay of their first frame of play: the wing is
// taken on the way; at the spike pit the hero jumps onto the moving platform
// as it turns at the ledge, rides it with no key held and jumps off at its
// far turn; hops over the ice and past the slime; before the bricks flies
// (v) and rises on the wing (up), takes the key on the bricks and flies on
// over the knight and the bridge the key laid; then walks and hops under
// the turret to the flag, which it reaches about HILLS_CLEAR frames in.
constexpr int HILLS_KEYS_LENGTH = 1420;
constexpr int HILLS_CLEAR = 1303;
inline std::string HillsKeys(int nPlay) {
    auto at = [nPlay](int f) { return std::to_string(nPlay + f); };
    std::string s = at(40) + " right 352\n" + at(368) + " z 12\n" + at(530) + " z 12\n" + at(530) + " right 275\n";
    for (int f = 590; f < 760; f += 30) s += at(f) + " z 12\n";
    s += at(805) + " v 5\n" + at(810) + " up 58\n" + at(868) + " right 552\n";
    for (int f = 1140; f < 1300; f += 30) s += at(f) + " z 12\n";
    return s;
}
