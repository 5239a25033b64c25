#include "play/PlayContext.h"

uint64_t cPlayContext::StateHash() const { return Random.GetState(); }
