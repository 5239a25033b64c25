#include "shell/WindowData.h"

#include <algorithm>

cWindowData Window_Data;

namespace {
std::function<DISPLAYAREA()> fnUsableDisplay;
}

cWindowData::cWindowData() {
    RegisterFields(static_cast<int>(DATA_VERSION));
}

void cWindowData::RegisterFields(int nVer) {
    (void)nVer;
    ClearFieldTable();
    AddField4(&m_nX);
    AddField4(&m_nY);
    AddField4(&m_nWidth);
    AddField4(&m_nHeight);
    AddField4(&m_bMaximized);
}

void cWindowData::Read(cDataFile* fp) {
    cRecord::Read(fp);
    ClampWindowPlacement(*this, GetUsableDisplayArea());
}

void cWindowData::Set(int nX, int nY, int nWidth, int nHeight, int bMaximized) {
    m_nX = nX;
    m_nY = nY;
    m_nWidth = nWidth;
    m_nHeight = nHeight;
    m_bMaximized = bMaximized;
}

void ClampWindowPlacement(cWindowData& d, const DISPLAYAREA& a) {
    int nMaxW = std::max(a.nWidth, WINDOW_MIN_CLIENT);
    int nMaxH = std::max(a.nHeight, WINDOW_MIN_CLIENT);
    d.m_nWidth = std::clamp<int32_t>(d.m_nWidth, WINDOW_MIN_CLIENT, nMaxW);
    d.m_nHeight = std::clamp<int32_t>(d.m_nHeight, WINDOW_MIN_CLIENT, nMaxH);
    long long nRight = static_cast<long long>(a.nX) + a.nWidth - d.m_nWidth;
    long long nBottom = static_cast<long long>(a.nY) + a.nHeight - d.m_nHeight;
    long long x = std::clamp<long long>(d.m_nX, a.nX, std::max<long long>(a.nX, nRight));
    long long y = std::clamp<long long>(d.m_nY, a.nY, std::max<long long>(a.nY, nBottom));
    d.m_nX = static_cast<int32_t>(x);
    d.m_nY = static_cast<int32_t>(y);
    d.m_bMaximized = d.m_bMaximized ? 1 : 0;
}

DISPLAYAREA GetUsableDisplayArea() {
    if (fnUsableDisplay) return fnUsableDisplay();
    return DISPLAYAREA{0, 0, 1920, 1080};
}

void SetUsableDisplayProvider(std::function<DISPLAYAREA()> fn) { fnUsableDisplay = std::move(fn); }
