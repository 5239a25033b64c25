#include "foundation/StopPoint.h"

namespace stoppoint_detail {
thread_local bool bStopPointsOpen = false;

void ThrowThreadStop() { throw cThreadStop{}; }
}  // namespace stoppoint_detail
