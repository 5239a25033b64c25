// Surface records and the state of the drawing layer.
#include "graphics/DDSurface.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "graphics/DDCreate.h"

int bUseD3D = 0;
int bDDInitDone = 0;
int bDDInitOnce = 0;
void* hDDWnd = nullptr;
int nScreenWidth = 0, nScreenHeight = 0, nScreenBpp = 0, nScreenBytes = 0;
int bDDWindowed = 1, nVSyncMode = 0, nBackBuffers = 1, nRefreshRate = 60, bSetRefresh = 0;
DDSURFACEDATA* lpImageSD = nullptr;
IMAGEDATA* lpImageData = nullptr;
int nImageCount = 0;

DTCONDATA* lpDTCon = nullptr;
DDCONDATA* lpDDCon = nullptr;

uint32_t dwTransColor = 0;
DDPIXELFORMAT pfDraw;
DDPIXELFORMAT pfBack;
PALETTEENTRY aPalette[256];
PALETTEENTRY aPalEntry[256];
PALETTEENTRY aDisplayPalette[256];
uint8_t aBlendTable[65536];

// Never destroyed: records of other files release into it at exit.
std::list<DTDATA*>& lstDTSurface = *new std::list<DTDATA*>();

DDSURFACEDATA sdPrimary, BackBuffer, sdScreenCopy, VirBackBuffer, WorkSD;

// Every Direct3D part in existence (never destroyed: see lstDTSurface).
static std::vector<DTDATA*>& AllDTData() {
    static auto* p = new std::vector<DTDATA*>();
    return *p;
}

DTDATA* DDNewDTData(DDSURFACEDATA* sd) {
    DTDATA* dt = new DTDATA();
    dt->lpOwner = sd;
    AllDTData().push_back(dt);
    return dt;
}

void DDDeleteDTData(DTDATA* dt) {
    if (!dt) return;
    auto& v = AllDTData();
    v.erase(std::remove(v.begin(), v.end(), dt), v.end());
    lstDTSurface.remove(dt);
    delete dt;
}

void DDSURFACEDATA::CopyPlain(const DDSURFACEDATA& o) {
    std::memcpy(szType, o.szType, sizeof(szType));
    nWidth = o.nWidth;
    nHeight = o.nHeight;
    nTexWidth = o.nTexWidth;
    nTexHeight = o.nTexHeight;
    std::memcpy(szFileName, o.szFileName, sizeof(szFileName));
    nMemory = o.nMemory;
    nMirrorWidth = o.nMirrorWidth;
    nMirrorHeight = o.nMirrorHeight;
    lpMirrorSD = o.lpMirrorSD;
    bLost = o.bLost;
}

DDSURFACEDATA& DDSURFACEDATA::operator=(const DDSURFACEDATA& o) {
    if (this != &o) {
        DDReleaseSurfaceData(this);
        CopyPlain(o);
    }
    return *this;
}

void DDSURFACEDATA::TakeFrom(DDSURFACEDATA& o) noexcept {
    CopyPlain(o);
    lpDT = o.lpDT;
    lpDDS = o.lpDDS;
    o.lpDT = nullptr;
    o.lpDDS = nullptr;
    if (lpDT) lpDT->lpOwner = this;
    // A record that shares the moved record's texture follows it.
    for (DTDATA* p : AllDTData())
        if (p->lpOwner && p->lpOwner->lpMirrorSD == &o) p->lpOwner->lpMirrorSD = this;
}

DDSURFACEDATA::DDSURFACEDATA(DDSURFACEDATA&& o) noexcept { TakeFrom(o); }

DDSURFACEDATA& DDSURFACEDATA::operator=(DDSURFACEDATA&& o) noexcept {
    if (this != &o) {
        DDReleaseSurfaceData(this);
        TakeFrom(o);
    }
    return *this;
}

DDSURFACEDATA::~DDSURFACEDATA() {
    DDReleaseSurfaceData(this);
    // Records that shared this one's texture are left without a source.
    for (DTDATA* p : AllDTData())
        if (p->lpOwner && p->lpOwner->lpMirrorSD == this) p->lpOwner->lpMirrorSD = nullptr;
}

void DDAllocBackEndData(DDSURFACEDATA* sd) {
    if (!sd) return;
    if (bUseD3D) {
        if (!sd->lpDT) sd->lpDT = DDNewDTData(sd);
    } else if (!sd->lpDDS) {
        sd->lpDDS = new DDDATA();
    }
}

void DDResolveShared(DDSURFACEDATA** sd) {
    if (!lpDTCon || !sd || !*sd) return;
    // A chain of shares ends at the owner; a cycle is cut after a few links.
    for (int i = 0; i < 8 && (*sd)->lpMirrorSD; i++) *sd = (*sd)->lpMirrorSD;
}

int DDIsFullScreenBack(const DDSURFACEDATA* sd) { return (sd == &BackBuffer && !bDDWindowed) ? 1 : 0; }

DDPIXELS* DDGetPixels(DDSURFACEDATA* sd) {
    if (!sd) return nullptr;
    if (lpDTCon) {
        DDResolveShared(&sd);
        return sd->lpDT ? sd->lpDT->lpSurface : nullptr;
    }
    return sd->lpDDS ? sd->lpDDS->lpSurface : nullptr;
}
