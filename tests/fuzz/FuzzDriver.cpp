// The plain fuzz driver: a main() for a target built with any compiler.
//
//   fuzz_<target> [options] [FILE|FOLDER ...]
//     --runs N          random mutations after the replay (default 0)
//     --seconds S       mutate for S seconds (as well as or instead of --runs)
//     --sweep           every cut and byte change of each seed
//     --sweep-budget N  inputs of one seed's sweep, a stride beyond (default 40000)
//     --seed K          seed of the mutation generator (default 1)
//     --max-len N       longest mutated input (default 4 x largest seed, at least 4096)
//     --timeout S       fail an input that runs longer than S seconds (default 20)
//     --max-alloc-mb N  allocation bound per input (the target's own when not given)
//     --write-seeds DIR write the target's seeds to DIR and stop
//     --keep DIR        where a failing input is written (default: the current folder),
//                       and the inputs the run kept, in DIR/corpus-<target>/
//     --check-seeds     fail when the reader refuses a seed not marked as refused
//
// First the target's seeds (from our own writers) and the files given are
// replayed, then the sweep, then random mutation of them and of the inputs
// the run keeps: an accepted input that reached a feature (its size class or
// one its target reports) that no earlier input had (FuzzCorpus.h). A
// failing input is written to DIR/fuzz-fail-<target>-<n>.bin before the run
// ends.
#include <dirent.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "FuzzCorpus.h"
#include "FuzzTarget.h"

void FuzzMarkInputStart();
void FuzzTakeFeatures(std::vector<FUZZFEATURE>& out);
extern void (*pfnFuzzKeepInput)();

extern "C" void __sanitizer_set_death_callback(void (*)(void)) __attribute__((weak));

namespace {

const char* pszTarget = "target";
std::string strKeepDir = ".";
const uint8_t* volatile pCurrent = nullptr;
volatile size_t nCurrent = 0;
volatile sig_atomic_t bKept = 0;

// Async-signal-safe: open, write, close.
void KeepInput() {
    if (bKept) return;
    bKept = 1;
    char szName[1024];
    std::snprintf(szName, sizeof szName, "%s/fuzz-fail-%s-%d.bin", strKeepDir.c_str(), pszTarget,
                  static_cast<int>(getpid()));
    FILE* f = std::fopen(szName, "wb");
    if (!f) return;
    if (nCurrent) std::fwrite(const_cast<const uint8_t*>(pCurrent), 1, nCurrent, f);
    std::fclose(f);
    std::fprintf(stderr, "failing input (%zu bytes) written to %s\n", static_cast<size_t>(nCurrent), szName);
}

void OnSignal(int nSig) {
    if (nSig == SIGALRM) std::fprintf(stderr, "fuzz input ran past the time limit\n");
    KeepInput();
    signal(nSig, SIG_DFL);
    if (nSig == SIGALRM) nSig = SIGABRT;
    raise(nSig);
}

unsigned nTimeout = 20;

// Runs one input: true when the target accepted it; vFeatures gets what it
// reported and bKeepRefused whether the target marked a refused input worth
// keeping.
bool RunOne(const FUZZBYTES& v, std::vector<FUZZFEATURE>& vFeatures, bool& bKeepRefused) {
    // A copy of exactly the input's size, so that a read past it is seen.
    FUZZBYTES c(v);
    pCurrent = c.data();
    nCurrent = c.size();
    long long nAcceptedBefore = FuzzAcceptedCount();
    long long nKeepBefore = FuzzKeepRefusedCount();
    FuzzMarkInputStart();
    alarm(nTimeout);
    LLVMFuzzerTestOneInput(c.empty() ? nullptr : c.data(), c.size());
    alarm(0);
    pCurrent = nullptr;
    nCurrent = 0;
    FuzzTakeFeatures(vFeatures);
    bKeepRefused = FuzzKeepRefusedCount() > nKeepBefore;
    return FuzzAcceptedCount() > nAcceptedBefore;
}

// The inputs of the run: the seeds and files given first, then what the
// corpus keeps (written to the keep folder when there is one).
struct POOL {
    std::vector<FUZZBYTES> vInputs;
    cFuzzCorpus corpus;
    std::string strDir;   // where kept inputs are written; empty: nowhere
    long long nRun = 0;
    std::vector<FUZZFEATURE> vFeatures;

    // Runs v; a new accepted signature keeps it when bKeep.
    bool Run(const FUZZBYTES& v, bool bKeep) {
        ++nRun;
        bool bKeepRefused = false;
        bool bAccepted = RunOne(v, vFeatures, bKeepRefused);
        if (corpus.Offer(v.size(), bAccepted, vFeatures, bKeepRefused) && bKeep && !corpus.Full()) {
            corpus.NoteKept();
            vInputs.push_back(v);
            if (!strDir.empty()) {
                std::string name = strDir + "/kept-" + std::to_string(corpus.Kept()) + ".bin";
                FuzzWriteFile(name.c_str(), v.data(), v.size());
            }
        }
        return bAccepted;
    }
};

POOL* pPool = nullptr;
void RunOne(const FUZZBYTES& v) { pPool->Run(v, true); }

void AddPath(const std::string& path, std::vector<FUZZBYTES>& out) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0) {
        std::fprintf(stderr, "%s: no such file or folder\n", path.c_str());
        std::exit(2);
    }
    if (S_ISDIR(st.st_mode)) {
        DIR* d = opendir(path.c_str());
        if (!d) return;
        std::vector<std::string> names;
        while (dirent* e = readdir(d))
            if (e->d_name[0] != '.') names.push_back(e->d_name);
        closedir(d);
        std::sort(names.begin(), names.end());
        for (const auto& n : names) AddPath(path + "/" + n, out);
        return;
    }
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return;
    FUZZBYTES v;
    uint8_t buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) v.insert(v.end(), buf, buf + n);
    std::fclose(f);
    out.push_back(std::move(v));
}

// Values that often sit on a reader's edge.
const uint8_t aEdge[] = {0x00, 0x01, 0x02, 0x7F, 0x80, 0xF0, 0xF7, 0xFE, 0xFF};
const uint32_t aEdge32[] = {0, 1, 2, 0x7F, 0xFF, 0x100, 0xFFFF, 0x10000, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 0xFFFFFFFE, 4096, 16384};

void Mutate(FUZZBYTES& v, const std::vector<FUZZBYTES>& pool, std::mt19937_64& rng, size_t nMaxLen) {
    auto pick = [&](size_t n) { return n ? static_cast<size_t>(rng() % n) : 0; };
    int nSteps = 1 + static_cast<int>(rng() % 4);
    for (int s = 0; s < nSteps; ++s) {
        switch (rng() % 9) {
        case 0:  // flip a bit
            if (!v.empty()) v[pick(v.size())] ^= static_cast<uint8_t>(1u << (rng() % 8));
            break;
        case 1:  // an edge byte
            if (!v.empty()) v[pick(v.size())] = aEdge[pick(sizeof aEdge)];
            break;
        case 2:  // a random byte
            if (!v.empty()) v[pick(v.size())] = static_cast<uint8_t>(rng());
            break;
        case 3: {  // an edge 32-bit word, little-endian
            if (v.size() < 4) break;
            size_t i = pick(v.size() - 3);
            uint32_t w = aEdge32[pick(sizeof aEdge32 / sizeof aEdge32[0])];
            if (rng() & 1) w = 0u - w;   // the negated word, wrapping
            for (int k = 0; k < 4; ++k) v[i + static_cast<size_t>(k)] = static_cast<uint8_t>(w >> (8 * k));
            break;
        }
        case 4: {  // add to a 32-bit word
            if (v.size() < 4) break;
            size_t i = pick(v.size() - 3);
            uint32_t w = 0;
            for (int k = 0; k < 4; ++k) w |= uint32_t(v[i + static_cast<size_t>(k)]) << (8 * k);
            w += static_cast<uint32_t>(static_cast<int>(rng() % 33) - 16);
            for (int k = 0; k < 4; ++k) v[i + static_cast<size_t>(k)] = static_cast<uint8_t>(w >> (8 * k));
            break;
        }
        case 5: {  // cut a piece out
            if (v.empty()) break;
            size_t i = pick(v.size());
            size_t n = 1 + pick(std::min<size_t>(v.size() - i, 64));
            v.erase(v.begin() + static_cast<std::ptrdiff_t>(i), v.begin() + static_cast<std::ptrdiff_t>(i + n));
            break;
        }
        case 6: {  // repeat a piece
            if (v.empty() || v.size() >= nMaxLen) break;
            size_t i = pick(v.size());
            size_t n = 1 + pick(std::min<size_t>(v.size() - i, 64));
            FUZZBYTES piece(v.begin() + static_cast<std::ptrdiff_t>(i), v.begin() + static_cast<std::ptrdiff_t>(i + n));
            size_t at = pick(v.size() + 1);
            v.insert(v.begin() + static_cast<std::ptrdiff_t>(at), piece.begin(), piece.end());
            break;
        }
        case 7:  // cut the end
            if (!v.empty()) v.resize(pick(v.size()));
            break;
        case 8: {  // splice a piece of another input
            const FUZZBYTES& o = pool[pick(pool.size())];
            if (o.empty() || v.empty()) break;
            size_t i = pick(o.size());
            size_t n = 1 + pick(std::min<size_t>(o.size() - i, 256));
            size_t at = pick(v.size());
            for (size_t k = 0; k < n && at + k < v.size(); ++k) v[at + k] = o[i + k];
            break;
        }
        }
    }
    if (v.size() > nMaxLen) v.resize(nMaxLen);
}

// Every cut and byte changes at every position; a long seed gets a stride,
// so that one seed's sweep stays near nBudget inputs.
void Sweep(const FUZZBYTES& seed, size_t nBudget) {
    static const uint8_t aValues[] = {0x00, 0x01, 0x7F, 0x80, 0xF0, 0xF7, 0xFF};
    size_t nPlaces = std::max<size_t>(1, nBudget / (1 + sizeof aValues));
    size_t nStride = 1 + seed.size() / nPlaces;
    for (size_t n = 0; n < seed.size(); n += nStride)
        RunOne(FUZZBYTES(seed.begin(), seed.begin() + static_cast<std::ptrdiff_t>(n)));
    for (size_t i = 0; i < seed.size(); i += nStride) {
        for (uint8_t b : aValues) {
            if (seed[i] == b) continue;
            FUZZBYTES v(seed);
            v[i] = b;
            RunOne(v);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    const char* pszBase = std::strrchr(argv[0], '/');
    pszBase = pszBase ? pszBase + 1 : argv[0];
    if (std::strncmp(pszBase, "fuzz_", 5) == 0) pszBase += 5;
    pszTarget = pszBase;

    long long nRuns = 0;
    double dSeconds = 0;
    bool bSweep = false;
    size_t nSweepBudget = 40000;
    uint64_t nSeed = 1;
    size_t nMaxLen = 0;
    long long nMaxAllocMb = -1;
    std::string strWriteSeeds;
    bool bKeepGiven = false;
    bool bCheckSeeds = false;
    std::vector<std::string> vPaths;
    char cwd[4096];
    std::string strCwd = getcwd(cwd, sizeof cwd) ? cwd : ".";
    auto abs = [&](const std::string& p) { return (p.empty() || p[0] == '/') ? p : strCwd + "/" + p; };
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto next = [&]() -> std::string {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "%s needs a value\n", a.c_str());
                std::exit(2);
            }
            return argv[++i];
        };
        if (a == "--runs") nRuns = std::atoll(next().c_str());
        else if (a == "--seconds") dSeconds = std::atof(next().c_str());
        else if (a == "--sweep") bSweep = true;
        else if (a == "--sweep-budget") nSweepBudget = std::strtoull(next().c_str(), nullptr, 10);
        else if (a == "--seed") nSeed = std::strtoull(next().c_str(), nullptr, 10);
        else if (a == "--max-len") nMaxLen = std::strtoull(next().c_str(), nullptr, 10);
        else if (a == "--timeout") nTimeout = static_cast<unsigned>(std::atoi(next().c_str()));
        else if (a == "--max-alloc-mb") nMaxAllocMb = std::atoll(next().c_str());
        else if (a == "--write-seeds") strWriteSeeds = abs(next());
        else if (a == "--keep") {
            strKeepDir = abs(next());
            bKeepGiven = true;
        } else if (a == "--check-seeds") bCheckSeeds = true;
        else if (a == "--help" || a == "-h") {
            std::printf("usage: %s [--runs N] [--seconds S] [--sweep] [--sweep-budget N] [--seed K] [--max-len N] [--timeout S]\n"
                        "       [--max-alloc-mb N] [--write-seeds DIR] [--keep DIR] [--check-seeds] [FILE|FOLDER ...]\n",
                        argv[0]);
            return 0;
        } else if (!a.empty() && a[0] == '-') {
            std::fprintf(stderr, "unknown option %s (see --help)\n", a.c_str());
            return 2;
        } else
            vPaths.push_back(abs(a));
    }
    strKeepDir = abs(strKeepDir == "." ? strCwd : strKeepDir);

    FuzzInitOnce();
    if (nMaxAllocMb >= 0) FuzzSetAllocLimit(static_cast<size_t>(nMaxAllocMb) << 20);
    pfnFuzzKeepInput = KeepInput;
    if (__sanitizer_set_death_callback) __sanitizer_set_death_callback(KeepInput);
    for (int nSig : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGALRM}) signal(nSig, OnSignal);

    POOL pool;
    pPool = &pool;
    std::vector<FUZZBYTES>& vPool = pool.vInputs;
    vPool = FuzzSeeds();
    if (!strWriteSeeds.empty()) {
        for (size_t i = 1; i <= strWriteSeeds.size(); ++i)
            if (i == strWriteSeeds.size() || strWriteSeeds[i] == '/') mkdir(strWriteSeeds.substr(0, i).c_str(), 0777);
        for (size_t i = 0; i < vPool.size(); ++i) {
            std::string name = strWriteSeeds + "/seed-" + std::to_string(i);
            FuzzWriteFile(name.c_str(), vPool[i].data(), vPool[i].size());
        }
        std::printf("%zu seeds written to %s\n", vPool.size(), strWriteSeeds.c_str());
        return 0;
    }
    size_t nSeeds = vPool.size();
    for (const std::string& p : vPaths) AddPath(p, vPool);

    auto now = []() {
        timespec ts;
        clock_gettime(CLOCK_MONOTONIC, &ts);
        return static_cast<double>(ts.tv_sec) + 1e-9 * static_cast<double>(ts.tv_nsec);
    };
    if (bKeepGiven) {
        // A fresh folder of kept inputs for this run.
        pool.strDir = strKeepDir + "/corpus-" + pszTarget;
        mkdir(pool.strDir.c_str(), 0777);
        if (DIR* d = opendir(pool.strDir.c_str())) {
            while (dirent* e = readdir(d))
                if (std::strncmp(e->d_name, "kept-", 5) == 0) unlink((pool.strDir + "/" + e->d_name).c_str());
            closedir(d);
        }
    }

    double tStart = now();
    long long nDone = 0;
    size_t nGiven = vPool.size();
    int nBadSeeds = 0;
    for (size_t i = 0; i < nGiven; ++i) {
        FUZZBYTES v = vPool[i];
        bool bAccepted = pool.Run(v, false);
        ++nDone;
        if (bCheckSeeds && i < nSeeds && !bAccepted && !FuzzIsRefusedSeed(v)) {
            std::fprintf(stderr, "%s: seed %zu (%zu bytes) is refused by its reader\n", pszTarget, i, v.size());
            ++nBadSeeds;
        }
    }
    if (nBadSeeds) return 1;
    if (bSweep)
        for (size_t i = 0; i < nSeeds; ++i)
            if (!FuzzIsUnsweptSeed(vPool[i])) Sweep(FUZZBYTES(vPool[i]), nSweepBudget);

    if (vPool.empty()) vPool.push_back({});
    if (!nMaxLen) {
        for (const FUZZBYTES& v : vPool) nMaxLen = std::max(nMaxLen, 4 * v.size());
        nMaxLen = std::max<size_t>(nMaxLen, 4096);
    }
    std::mt19937_64 rng(nSeed);
    long long nMutated = 0;
    auto elapsed = [&]() { return now() - tStart; };
    while ((nRuns > 0 && nMutated < nRuns) || (dSeconds > 0 && elapsed() < dSeconds)) {
        FUZZBYTES v = vPool[static_cast<size_t>(rng() % vPool.size())];
        Mutate(v, vPool, rng, nMaxLen);
        RunOne(v);
        ++nMutated;
    }
    double dElapsed = elapsed();
    std::printf("%s: %lld inputs replayed (%zu seeds), %s%lld mutated, %lld accepted in all, %zu kept (%zu features), "
                "%lld inputs in %.1f s (%.0f a second), no failure\n",
                pszTarget, nDone, nSeeds, bSweep ? "sweep done, " : "", nMutated, FuzzAcceptedCount(), pool.corpus.Kept(),
                pool.corpus.Features(), pool.nRun, dElapsed, dElapsed > 0 ? static_cast<double>(pool.nRun) / dElapsed : 0.0);
    return 0;
}
