#include "foundation/StopPoint.h"

namespace stoppoint_detail {
void ThrowThreadStop() { throw cThreadStop{}; }
}  // namespace stoppoint_detail
