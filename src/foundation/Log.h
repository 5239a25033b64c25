#pragma once
// The run log Report_Game.txt and the diagnostic step log EC_Game.txt.
//
// Every write opens the file, appends one line and closes it. Texts are
// Shift-JIS; the logs are written as UTF-8 with LF line ends.
#include <functional>
#include <string>

int InitReport(const char* path);
int WriteReport(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
int WriteReportEC(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
int WriteReportErr(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
int WriteSystemReport();
int WriteVideoReport(int bFormats);

// The lines of the video report come from the display; the graphics layer
// installs the provider once the display exists.
struct VIDEOREPORTINFO {
    bool bWindowed = true;
    int nBpp = 32;
    bool bDirectDraw = false;       // DirectDraw profile: VRAM and refresh lines
    double dVramTotalMB = 0, dVramFreeMB = 0;
    unsigned nRefreshRate = 0;
    bool bDirect3D = false;         // Direct3D profile: its section
    std::string strDriverInfo;      // extra lines of the Direct3D section
};
void SetVideoReportProvider(std::function<VIDEOREPORTINFO()> fn);

void GetWinVersionName(char* name, int* pMajor, int* pMinor);
int IsWinVerOrLater(int nMajor, int nMinor);

struct CPUINFO {
    char szVendor[256];
    char szName[256];
    double dClock;
};
void GetCpuInfo(CPUINFO* pInfo);
double MeasureCpuClock();
int GetFreeDiskBytes(const char* dir);
void GetVRAM(int* pFreeMB, int* pTotalMB);
void SetVramProvider(std::function<void(int*, int*)> fn);
int GetDDIVersion();

void InitECLog(int bEnable, const char* path);
int WriteECText(const char* text);
int WriteECLine(const char* text);
int WriteEC(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
// A step-log line, also written to the report log, then a close request.
int WriteECAndClose(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

extern int bECLog;
