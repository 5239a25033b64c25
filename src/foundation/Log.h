#pragma once
// The run log Report_Game.txt and the diagnostic step log EC_Game.txt.
//
// Every write opens the file, appends one line and closes it, so nothing
// stays buffered between calls. Texts are Shift-JIS; the logs are written as
// UTF-8 with LF line ends. Any thread may write; a line is never torn.
#include <atomic>
#include <functional>
#include <string>

// Creates (or empties) the report log and remembers its path, made absolute
// against the current directory. 1, or 0 when it cannot be created: the path
// is then forgotten and the failure is also printed to standard error.
int InitReport(const char* path);
// One printf-formatted line in the report log. 0 when the log cannot be
// opened (for example before InitReport); the line is then dropped.
int WriteReport(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
// A line (at most 1023 bytes, cut on a character boundary) in the report
// log and in the step log. 0, writing nothing, when the report log cannot be
// opened.
int WriteReportEC(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
// As WriteReportEC, then the same text in an error box. The box is shown
// even when the log cannot be written (the result is 0 then).
int WriteReportErr(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
// The seven lines of the system report. 0 when the log cannot be opened.
int WriteSystemReport();
// The video report, from the provider the graphics layer installs.
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
    std::string strDriverInfo;      // extra lines of the Direct3D section (Shift-JIS)
};
void SetVideoReportProvider(std::function<VIDEOREPORTINFO()> fn);
// The text of the video report for the given facts (lines ending in LF).
std::string FormatVideoReport(const VIDEOREPORTINFO& info);

// name: the operating system text (uname), at most 255 bytes and the
// terminator. The version pair answers as version 6.1.
void GetWinVersionName(char* name, int* pMajor, int* pMinor);
int IsWinVerOrLater(int nMajor, int nMinor);

struct CPUINFO {
    char szVendor[256];
    char szName[256];
    double dClock;
};
void GetCpuInfo(CPUINFO* pInfo);
// The processor clock in Hz as the system reports it (no measurement);
// 0 when unknown.
double MeasureCpuClock();
// Bytes free to the user on the disk of dir (null: the current directory),
// capped at 2147483647; 0 when unknown.
int GetFreeDiskBytes(const char* dir);
void GetVRAM(int* pFreeMB, int* pTotalMB);
void SetVramProvider(std::function<void(int*, int*)> fn);
int GetDDIVersion();

// The facts of the system report and their lines (for tests).
struct SYSTEMREPORTFACTS {
    std::string strOs;
    std::string strCpuVendor, strCpuName;
    double dCpuClock = 0;           // Hz
    double dMemTotal = 0, dMemFree = 0, dVirTotal = 0, dVirFree = 0;   // bytes
    int nDiskFree = 0;              // bytes, as GetFreeDiskBytes gives them
};
SYSTEMREPORTFACTS GetSystemReportFacts();
std::string FormatSystemReport(const SYSTEMREPORTFACTS& facts);
// The cap of GetFreeDiskBytes.
int CapFreeDiskBytes(unsigned long long nBytes);

// Sets the step log (enabled or not) and its path; the next write starts
// the file anew.
void InitECLog(int bEnable, const char* path);
// A line in the step log: 1 when written, 0 when the log is disabled or
// cannot be opened. The first write of a run truncates the file.
int WriteECText(const char* text);
int WriteECLine(const char* text);
int WriteEC(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
// A line (at most 1023 bytes) in the step log and in the report log, then a
// fatal close request.
int WriteECAndClose(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

extern std::atomic<int> bECLog;
