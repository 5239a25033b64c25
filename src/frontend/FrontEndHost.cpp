#include "frontend/FrontEndHost.h"

namespace {
IFrontEndHost DefaultFrontEndHost;
IFrontEndHost* lpFrontEndHost = &DefaultFrontEndHost;
}  // namespace

IFrontEndHost& GetFrontEndHost() { return *lpFrontEndHost; }
void SetFrontEndHost(IFrontEndHost* p) { lpFrontEndHost = p ? p : &DefaultFrontEndHost; }
