#include "foundation/Log.h"

#include <sys/resource.h>
#include <sys/statvfs.h>
#include <sys/sysinfo.h>
#include <sys/utsname.h>
#include <unistd.h>
#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#endif

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "foundation/ErrorBox.h"
#include "foundation/Text.h"
#include "platform/CloseRequest.h"
#include "platform/FileSystem.h"
#include "platform/TextCodec.h"

std::atomic<int> bECLog{0};

namespace {

constexpr size_t LOG_LINE_SIZE = 1024;       // lines that pass through a line buffer
constexpr size_t REPORT_LINE_LIMIT = 65536;  // any other report line

struct LOGSTATE {
    std::mutex mtx;
    std::string strReportPath;   // host path; empty until InitReport succeeded
    std::string strECPath;
    bool bECOpened = false;
    std::function<VIDEOREPORTINFO()> fnVideo;
    std::function<void(int*, int*)> fnVram;
};

LOGSTATE& State()
{
    static LOGSTATE st;
    return st;
}

// The Shift-JIS text as the log stores it: UTF-8, LF line ends.
std::string ToLogText(const std::string& sjis)
{
    std::string out = SjisToUtf8(sjis);
    std::string res;
    res.reserve(out.size());
    for (size_t i = 0; i < out.size(); ++i) {
        if (out[i] == '\r' && (i + 1 == out.size() || out[i + 1] == '\n')) continue;
        res.push_back(out[i]);
    }
    return res;
}

// Appends text to the report log. False when it cannot be opened.
bool AppendReport(const std::string& text)
{
    LOGSTATE& st = State();
    std::lock_guard<std::mutex> lock(st.mtx);
    if (st.strReportPath.empty()) return false;
    FILE* fp = FsOpen(st.strReportPath.c_str(), "r+b");
    if (!fp) return false;
    std::string out = ToLogText(text);
    bool bOk = std::fseek(fp, 0, SEEK_END) == 0;
    bOk = bOk && std::fwrite(out.data(), 1, out.size(), fp) == out.size();
    bOk = (std::fclose(fp) == 0) && bOk;
    return bOk;
}

bool AppendEC(const std::string& text)
{
    if (!bECLog.load()) return false;
    LOGSTATE& st = State();
    std::lock_guard<std::mutex> lock(st.mtx);
    const char* pszMode = st.bECOpened ? "ab" : "wb";
    st.bECOpened = true;   // set even when the open fails: later lines append
    FILE* fp = FsOpen(st.strECPath.c_str(), pszMode);
    if (!fp) return false;
    std::string out = ToLogText(text);
    bool bOk = std::fwrite(out.data(), 1, out.size(), fp) == out.size();
    bOk = (std::fclose(fp) == 0) && bOk;
    return bOk;
}

std::string ReadFirstLineValue(const char* pszFile, const char* pszKey)
{
    FILE* fp = std::fopen(pszFile, "r");
    if (!fp) return std::string();
    char szLine[512];
    std::string strValue;
    size_t nKey = std::strlen(pszKey);
    while (std::fgets(szLine, sizeof(szLine), fp)) {
        if (std::strncmp(szLine, pszKey, nKey) != 0) continue;
        const char* p = std::strchr(szLine, ':');
        if (!p) continue;
        ++p;
        while (*p == ' ' || *p == '\t') ++p;
        strValue = p;
        while (!strValue.empty() && (strValue.back() == '\n' || strValue.back() == '\r')) strValue.pop_back();
        break;
    }
    std::fclose(fp);
    return strValue;
}

void CopyText(char* dst, size_t nSize, const std::string& src)
{
    size_t n = src.size() < nSize - 1 ? src.size() : nSize - 1;
    std::memcpy(dst, src.data(), n);
    dst[n] = '\0';
}

}  // namespace

// ---------------------------------------------------------------- report log

int InitReport(const char* path)
{
    LOGSTATE& st = State();
    std::string strHost;
    if (path && *path) {
        strHost = HostPath(path);
        if (!strHost.empty() && strHost[0] != '/') strHost = FsCurrentDirectory() + "/" + strHost;
    }
    FILE* fp = strHost.empty() ? nullptr : FsOpen(strHost.c_str(), "wb");
    if (!fp || std::fclose(fp) != 0) {
        std::lock_guard<std::mutex> lock(st.mtx);
        st.strReportPath.clear();
        std::fprintf(stderr, "cannot create the report log %s\n", strHost.empty() ? "(no path)" : strHost.c_str());
        return 0;
    }
    std::lock_guard<std::mutex> lock(st.mtx);
    st.strReportPath = strHost;
    return 1;
}

int WriteReport(const char* fmt, ...)
{
    va_list ap;
    va_start(ap, fmt);
    std::string s = VFormatBounded(REPORT_LINE_LIMIT, fmt, ap);
    va_end(ap);
    return AppendReport(s + "\n") ? 1 : 0;
}

int WriteReportEC(const char* fmt, ...)
{
    va_list ap;
    va_start(ap, fmt);
    std::string s = VFormatBounded(LOG_LINE_SIZE, fmt, ap);
    va_end(ap);
    if (!AppendReport(s + "\n")) return 0;
    WriteECText(s.c_str());
    return 1;
}

int WriteReportErr(const char* fmt, ...)
{
    va_list ap;
    va_start(ap, fmt);
    std::string s = VFormatBounded(LOG_LINE_SIZE, fmt, ap);
    va_end(ap);
    int nResult = 0;
    if (AppendReport(s + "\n")) {
        WriteECText(s.c_str());
        nResult = 1;
    }
    ErrorBoxText(s.c_str());
    return nResult;
}

// ------------------------------------------------------------- system report

void GetWinVersionName(char* name, int* pMajor, int* pMinor)
{
    if (name) {
        struct utsname un;
        std::string s;
        if (uname(&un) == 0) {
            s = std::string(un.sysname) + " " + un.release + " " + un.version + " " + un.machine;
        }
        CopyText(name, 256, s);
    }
    // Everything that asks for a version gets the answer of the newest
    // system the game knew by name.
    if (pMajor) *pMajor = 6;
    if (pMinor) *pMinor = 1;
}

int IsWinVerOrLater(int nMajor, int nMinor)
{
    int nMyMajor = 0, nMyMinor = 0;
    GetWinVersionName(nullptr, &nMyMajor, &nMyMinor);
    return (nMyMajor > nMajor || (nMyMajor == nMajor && nMyMinor >= nMinor)) ? 1 : 0;
}

void GetCpuInfo(CPUINFO* pInfo)
{
    if (!pInfo) return;
    pInfo->szVendor[0] = '\0';
    pInfo->szName[0] = '\0';
    bool bFound = false;
#if defined(__i386__) || defined(__x86_64__)
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (__get_cpuid(0, &a, &b, &c, &d) && a >= 1) {
        char szVendor[13];
        std::memcpy(szVendor, &b, 4);
        std::memcpy(szVendor + 4, &d, 4);
        std::memcpy(szVendor + 8, &c, 4);
        szVendor[12] = '\0';
        CopyText(pInfo->szVendor, sizeof(pInfo->szVendor), szVendor);
        bFound = true;
        unsigned nMaxExt = __get_cpuid_max(0x80000000u, nullptr);
        if (nMaxExt >= 0x80000004u) {
            char szName[49];
            for (unsigned i = 0; i < 3; ++i) {
                __get_cpuid(0x80000002u + i, &a, &b, &c, &d);
                std::memcpy(szName + i * 16, &a, 4);
                std::memcpy(szName + i * 16 + 4, &b, 4);
                std::memcpy(szName + i * 16 + 8, &c, 4);
                std::memcpy(szName + i * 16 + 12, &d, 4);
            }
            szName[48] = '\0';
            CopyText(pInfo->szName, sizeof(pInfo->szName), szName);
        }
    }
#endif
    if (!bFound) {
        CopyText(pInfo->szVendor, sizeof(pInfo->szVendor), ReadFirstLineValue("/proc/cpuinfo", "vendor_id"));
        CopyText(pInfo->szName, sizeof(pInfo->szName), ReadFirstLineValue("/proc/cpuinfo", "model name"));
    }
    pInfo->dClock = MeasureCpuClock();
}

double MeasureCpuClock()
{
    // The rate the system knows: the highest frequency of the first core,
    // else the current one from /proc/cpuinfo.
    if (FILE* fp = std::fopen("/sys/devices/system/cpu/cpu0/cpufreq/cpuinfo_max_freq", "r")) {
        unsigned long long nKHz = 0;
        int n = std::fscanf(fp, "%llu", &nKHz);
        std::fclose(fp);
        if (n == 1 && nKHz > 0) return static_cast<double>(nKHz) * 1000.0;
    }
    std::string strMHz = ReadFirstLineValue("/proc/cpuinfo", "cpu MHz");
    if (!strMHz.empty()) return std::strtod(strMHz.c_str(), nullptr) * 1000000.0;
    return 0.0;
}

int CapFreeDiskBytes(unsigned long long nBytes)
{
    return nBytes > 2147483647ULL ? 2147483647 : static_cast<int>(nBytes);
}

int GetFreeDiskBytes(const char* dir)
{
    std::string host = (dir && *dir) ? HostPath(dir) : std::string(".");
    struct statvfs sv;
    if (statvfs(host.c_str(), &sv) != 0) return 0;
    return CapFreeDiskBytes(static_cast<unsigned long long>(sv.f_bavail) * sv.f_frsize);
}

void SetVramProvider(std::function<void(int*, int*)> fn)
{
    LOGSTATE& st = State();
    std::lock_guard<std::mutex> lock(st.mtx);
    st.fnVram = std::move(fn);
}

void GetVRAM(int* pFreeMB, int* pTotalMB)
{
    std::function<void(int*, int*)> fn;
    {
        LOGSTATE& st = State();
        std::lock_guard<std::mutex> lock(st.mtx);
        fn = st.fnVram;
    }
    int nFree = 0, nTotal = 0;
    if (fn) fn(&nFree, &nTotal);
    if (pFreeMB) *pFreeMB = nFree;
    if (pTotalMB) *pTotalMB = nTotal;
}

int GetDDIVersion()
{
    // Every system we run on is newer than the one that needed asking.
    return IsWinVerOrLater(6, 0) ? 9 : 99999;
}

SYSTEMREPORTFACTS GetSystemReportFacts()
{
    SYSTEMREPORTFACTS f;
    char szOs[256];
    GetWinVersionName(szOs, nullptr, nullptr);
    f.strOs = szOs;
    CPUINFO cpu;
    GetCpuInfo(&cpu);
    f.strCpuVendor = cpu.szVendor;
    f.strCpuName = cpu.szName;
    f.dCpuClock = cpu.dClock;

    struct sysinfo si;
    if (sysinfo(&si) == 0) {
        f.dMemTotal = static_cast<double>(si.totalram) * si.mem_unit;
        f.dMemFree = static_cast<double>(si.freeram) * si.mem_unit;
    }
    // The address space of the process: its limit, else the user half of a
    // 48-bit address space; free is what the process has not mapped.
    struct rlimit rl;
    double dVirTotal = 140737488355328.0;
    if (getrlimit(RLIMIT_AS, &rl) == 0 && rl.rlim_cur != RLIM_INFINITY) dVirTotal = static_cast<double>(rl.rlim_cur);
    double dMapped = 0;
    if (FILE* fp = std::fopen("/proc/self/statm", "r")) {
        unsigned long long nPages = 0;
        if (std::fscanf(fp, "%llu", &nPages) == 1) dMapped = static_cast<double>(nPages) * sysconf(_SC_PAGESIZE);
        std::fclose(fp);
    }
    f.dVirTotal = dVirTotal;
    f.dVirFree = dVirTotal > dMapped ? dVirTotal - dMapped : 0;
    f.nDiskFree = GetFreeDiskBytes(nullptr);
    return f;
}

std::string FormatSystemReport(const SYSTEMREPORTFACTS& f)
{
    const double dMB = 1048576.0;
    std::string s;
    s += FormatBounded(LOG_LINE_SIZE, "OS : %s\n", f.strOs.c_str());
    s += FormatBounded(LOG_LINE_SIZE, "CPU : %s %s %d\n", f.strCpuVendor.c_str(), f.strCpuName.c_str(),
                       static_cast<int>(f.dCpuClock * 0.000001));
    s += FormatBounded(LOG_LINE_SIZE, "Mem Total : %.3fMB\n", f.dMemTotal / dMB);
    s += FormatBounded(LOG_LINE_SIZE, "Mem Free : %3.fMB\n", f.dMemFree / dMB);
    s += FormatBounded(LOG_LINE_SIZE, "Vir Total : %.3fMB\n", f.dVirTotal / dMB);
    s += FormatBounded(LOG_LINE_SIZE, "Vir Free : %3.fMB\n", f.dVirFree / dMB);
    s += FormatBounded(LOG_LINE_SIZE, "HD Free : %3.fMB\n", f.nDiskFree / dMB);
    return s;
}

int WriteSystemReport()
{
    return AppendReport(FormatSystemReport(GetSystemReportFacts())) ? 1 : 0;
}

void SetVideoReportProvider(std::function<VIDEOREPORTINFO()> fn)
{
    LOGSTATE& st = State();
    std::lock_guard<std::mutex> lock(st.mtx);
    st.fnVideo = std::move(fn);
}

std::string FormatVideoReport(const VIDEOREPORTINFO& info)
{
    std::string s = info.bWindowed ? "Mode : Window\n" : "Mode : Fullscreen\n";
    s += FormatBounded(LOG_LINE_SIZE, "Bpp : %d\n", info.nBpp);
    if (info.bDirectDraw) {
        s += FormatBounded(LOG_LINE_SIZE, "VRAM Total : %.3fMB\n", info.dVramTotalMB);
        s += FormatBounded(LOG_LINE_SIZE, "VRAM Free : %.3fMB\n", info.dVramFreeMB);
        s += FormatBounded(LOG_LINE_SIZE, "RR : %u\n", info.nRefreshRate);
    }
    if (info.bDirect3D && !info.strDriverInfo.empty()) {
        s += info.strDriverInfo;
        if (s.back() != '\n') s += '\n';
    }
    return s;
}

int WriteVideoReport(int bFormats)
{
    (void)bFormats;   // the provider decides what its section holds
    std::function<VIDEOREPORTINFO()> fn;
    {
        LOGSTATE& st = State();
        std::lock_guard<std::mutex> lock(st.mtx);
        fn = st.fnVideo;
    }
    VIDEOREPORTINFO info = fn ? fn() : VIDEOREPORTINFO();
    return AppendReport(FormatVideoReport(info)) ? 1 : 0;
}

// ------------------------------------------------------------------ step log

void InitECLog(int bEnable, const char* path)
{
    LOGSTATE& st = State();
    std::lock_guard<std::mutex> lock(st.mtx);
    bECLog.store(bEnable ? 1 : 0);
    st.strECPath = path ? path : "";
    st.bECOpened = false;
}

int WriteECText(const char* text)
{
    if (!bECLog.load()) return 0;
    return AppendEC(std::string(text ? text : "") + "\n") ? 1 : 0;
}

int WriteECLine(const char* text)
{
    return WriteECText(text);
}

int WriteEC(const char* fmt, ...)
{
    if (!bECLog.load()) return 0;
    va_list ap;
    va_start(ap, fmt);
    std::string s = VFormatBounded(REPORT_LINE_LIMIT, fmt, ap);
    va_end(ap);
    return WriteECText(s.c_str());
}

int WriteECAndClose(const char* fmt, ...)
{
    va_list ap;
    va_start(ap, fmt);
    std::string s = VFormatBounded(LOG_LINE_SIZE, fmt, ap);
    va_end(ap);
    WriteECText(s.c_str());
    AppendReport(s + "\n");
    PostCloseRequest(CLOSE_FATAL);
    return 1;
}
