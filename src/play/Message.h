#pragma once
// A message window or a text pop-up of the stage-play scene.
#include <cstdint>

class cMessage {
public:
};
