#include "play/TestDisplayColor.h"

#include "graphics/DDSurface.h"
#include "play/PlayContext.h"
#include "project/SystemData.h"

namespace {
constexpr int CYCLE_STEPS = 32;
constexpr int CYCLE_FRAMES_PER_COLOR = 8;
}  // namespace

uint32_t TestDisplayColor(int nColor, int nCycle) {
    const cSystemData* pSys = PlayCtx().lpSystem;
    const bool bFixed = pSys && pSys->m_bRuleFixedRangeColor && nScreenBpp == 8;
    return static_cast<uint32_t>(nColor + (bFixed ? 0 : nCycle / CYCLE_FRAMES_PER_COLOR));
}

int NextTestDisplayCycle(int nCycle) { return nCycle + 1 >= CYCLE_STEPS ? 0 : nCycle + 1; }
