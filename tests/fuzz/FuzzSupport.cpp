// The parts of the fuzz framework that both builds link: the allocation
// bound, failure reports, the working folder.
#include "FuzzTarget.h"
#include "FuzzCorpus.h"

#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <set>

#include "foundation/Record.h"

namespace {

std::atomic<size_t> nLive{0};
std::atomic<size_t> nLimit{size_t(256) << 20};
std::atomic<size_t> nBase{0};
std::string strWorkDir;
// What the current input reached (FuzzFeature).
std::vector<FUZZFEATURE> vFeatures;

void* Allocate(size_t n) {
    if (n > nLimit.load(std::memory_order_relaxed) ||
        nLive.load(std::memory_order_relaxed) + n > nBase.load(std::memory_order_relaxed) + nLimit.load(std::memory_order_relaxed)) {
        char sz[160];
        std::snprintf(sz, sizeof sz, "allocation of %zu bytes goes past the bound of %zu bytes", n,
                      nLimit.load());
        FuzzFail(sz);
    }
    void* p = std::malloc(n ? n : 1);
    if (!p) throw std::bad_alloc();
    nLive.fetch_add(malloc_usable_size(p), std::memory_order_relaxed);
    return p;
}

void Release(void* p) {
    if (!p) return;
    nLive.fetch_sub(malloc_usable_size(p), std::memory_order_relaxed);
    std::free(p);
}

}  // namespace

void* operator new(size_t n) { return Allocate(n); }
void* operator new[](size_t n) { return Allocate(n); }
void* operator new(size_t n, const std::nothrow_t&) noexcept {
    try {
        return Allocate(n);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](size_t n, const std::nothrow_t&) noexcept {
    try {
        return Allocate(n);
    } catch (...) {
        return nullptr;
    }
}
void operator delete(void* p) noexcept { Release(p); }
void operator delete[](void* p) noexcept { Release(p); }
void operator delete(void* p, size_t) noexcept { Release(p); }
void operator delete[](void* p, size_t) noexcept { Release(p); }

void FuzzSetAllocLimit(size_t n) { nLimit.store(n); }
size_t FuzzAllocLimit() { return nLimit.load(); }
size_t FuzzLiveBytes() { return nLive.load(); }
// The driver calls this before every input: the bound counts from here.
void FuzzMarkInputStart() {
    vFeatures.clear();
    nBase.store(nLive.load());
}

// Set by the driver: writes the current input beside the crash report.
void (*pfnFuzzKeepInput)() = nullptr;

void FuzzFail(const char* pszWhat) {
    std::fprintf(stderr, "fuzz check failed: %s\n", pszWhat);
    if (pfnFuzzKeepInput) pfnFuzzKeepInput();
    std::abort();
}

namespace {
std::atomic<long long> nAccepted{0};
std::atomic<long long> nKeepRefused{0};
std::set<FUZZBYTES> setRefusedSeeds;
std::set<FUZZBYTES> setUnsweptSeeds;
}  // namespace

void FuzzFeature(uint32_t nKind, uint64_t nValue) {
    if (vFeatures.size() < 4096) vFeatures.push_back(FUZZFEATURE{nKind, nValue});
}
void FuzzTakeFeatures(std::vector<FUZZFEATURE>& out) {
    out.swap(vFeatures);
    vFeatures.clear();
}

FUZZBYTES FuzzRefusedSeed(FUZZBYTES v) {
    setRefusedSeeds.insert(v);
    return v;
}
bool FuzzIsRefusedSeed(const FUZZBYTES& v) { return setRefusedSeeds.count(v) != 0; }

FUZZBYTES FuzzUnsweptSeed(FUZZBYTES v) {
    setUnsweptSeeds.insert(v);
    return v;
}
bool FuzzIsUnsweptSeed(const FUZZBYTES& v) { return setUnsweptSeeds.count(v) != 0; }

void FuzzAccepted() { nAccepted.fetch_add(1, std::memory_order_relaxed); }
long long FuzzAcceptedCount() { return nAccepted.load(); }
void FuzzKeepRefused() { nKeepRefused.fetch_add(1, std::memory_order_relaxed); }
long long FuzzKeepRefusedCount() { return nKeepRefused.load(); }

const std::string& FuzzWorkDir() { return strWorkDir; }

void FuzzWriteFile(const char* pszName, const uint8_t* pData, size_t nSize) {
    FILE* f = std::fopen(pszName, "wb");
    if (!f) FuzzFail("cannot write the input file in the working folder");
    if (nSize && std::fwrite(pData, 1, nSize, f) != nSize) FuzzFail("short write of the input file");
    std::fclose(f);
}

FUZZBYTES FuzzReadFile(const char* pszName) {
    FUZZBYTES v;
    FILE* f = std::fopen(pszName, "rb");
    if (!f) return v;
    uint8_t buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) v.insert(v.end(), buf, buf + n);
    std::fclose(f);
    return v;
}

namespace {
void RemoveWorkDir() {
    if (strWorkDir.empty()) return;
    if (chdir("/") != 0) return;
    std::string cmd = "rm -rf '" + strWorkDir + "'";
    if (std::system(cmd.c_str()) != 0) std::fprintf(stderr, "could not remove %s\n", strWorkDir.c_str());
}
}  // namespace

void FuzzInitOnce() {
    if (!strWorkDir.empty()) return;
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    // Saves sync their files: a folder in memory keeps that cheap.
    const char* pszTmp = std::getenv("MOSSGROVE_FUZZ_TMPDIR");
    std::string strTmp = pszTmp && *pszTmp ? pszTmp : "";
    struct stat st;
    if (strTmp.empty() && stat("/dev/shm", &st) == 0 && S_ISDIR(st.st_mode) && access("/dev/shm", W_OK) == 0)
        strTmp = "/dev/shm";
    if (strTmp.empty()) strTmp = "/tmp";
    std::string tmpl = strTmp + "/mossgrove-fuzz-XXXXXX";
    std::vector<char> buf(tmpl.begin(), tmpl.end());
    buf.push_back(0);
    if (!mkdtemp(buf.data()) || chdir(buf.data()) != 0) {
        std::perror("fuzz working folder");
        std::exit(1);
    }
    strWorkDir = buf.data();
    std::atexit(RemoveWorkDir);
    nDataVer = DATA_VERSION;
    nFileVer = DATA_VERSION;
    bDelCR = 1;
}

// Under libFuzzer: the same set-up; MOSSGROVE_FUZZ_WRITE_SEEDS=DIR writes
// the target's seeds there first (a corpus to start from).
#ifdef MOSSGROVE_LIBFUZZER
extern "C" int LLVMFuzzerInitialize(int* pArgc, char*** pArgv) {
    // The targets run in a folder of their own: corpus folders and files
    // named relative to where the program was started are made absolute,
    // and what libFuzzer keeps (crashes, slow inputs) goes there too.
    char cwd[4096];
    std::string strCwd = getcwd(cwd, sizeof cwd) ? cwd : ".";
    auto abs = [&](const std::string& p) { return (p.empty() || p[0] == '/') ? p : strCwd + "/" + p; };
    static std::vector<std::string> vArgs;
    static std::vector<char*> vArgv;
    bool bPrefix = false;
    for (int i = 0; i < *pArgc; i++) {
        std::string a = (*pArgv)[i];
        if (i > 0 && !a.empty() && a[0] != '-') a = abs(a);
        if (a.rfind("-artifact_prefix=", 0) == 0) bPrefix = true;
        vArgs.push_back(a);
    }
    if (!bPrefix) vArgs.push_back("-artifact_prefix=" + strCwd + "/");
    for (std::string& a : vArgs) vArgv.push_back(a.data());
    vArgv.push_back(nullptr);
    *pArgc = static_cast<int>(vArgs.size());
    *pArgv = vArgv.data();

    const char* pszSeeds = std::getenv("MOSSGROVE_FUZZ_WRITE_SEEDS");
    std::string strSeeds = pszSeeds ? abs(pszSeeds) : "";
    FuzzInitOnce();
    if (!strSeeds.empty()) {
        int i = 0;
        for (const FUZZBYTES& v : FuzzSeeds()) {
            std::string name = strSeeds + "/seed-" + std::to_string(i++);
            FuzzWriteFile(name.c_str(), v.data(), v.size());
        }
    }
    return 0;
}
#endif
