#pragma once
// What a fuzz target file includes. A target is one file under
// tests/fuzz/targets/ that defines
//
//   extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize);
//   std::vector<std::vector<uint8_t>> FuzzSeeds();   // made by our own writers
//
// The same file builds as a plain program (FuzzDriver.cpp: replay, sweep and
// random mutation, any compiler) or, with clang, under libFuzzer.
//
// A target checks properties with FuzzCheck, not only that nothing crashes:
// a refused file leaves the previous state, an accepted file writes back to
// a fixed point. Every allocation made through operator new counts against a
// bound (FuzzSetAllocLimit); going past it fails the input.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize);
std::vector<std::vector<uint8_t>> FuzzSeeds();

using FUZZBYTES = std::vector<uint8_t>;

// Ends the run with a message and the current input kept (see the README).
[[noreturn]] void FuzzFail(const char* pszWhat);
#define FuzzCheck(cond)                                                              \
    do {                                                                            \
        if (!(cond)) FuzzFail(__FILE__ ":" FUZZ_STR_(__LINE__) ": " #cond);          \
    } while (0)
#define FUZZ_STR_(x) FUZZ_STR2_(x)
#define FUZZ_STR2_(x) #x

// The most bytes one input may hold allocated through operator new beyond
// what was live when it started (the default is 256 MiB).
void FuzzSetAllocLimit(size_t nBytes);
size_t FuzzAllocLimit();
// Bytes allocated through operator new and not yet freed.
size_t FuzzLiveBytes();

// The run's own empty working folder (the current directory while targets
// run): targets whose readers take a path write the input there.
const std::string& FuzzWorkDir();
// Writes bytes to a file of the working folder (a relative host path).
void FuzzWriteFile(const char* pszName, const uint8_t* pData, size_t nSize);
FUZZBYTES FuzzReadFile(const char* pszName);

// A target calls this for every input its reader accepted; the driver
// reports the count, so that a target that refuses everything shows.
void FuzzAccepted();
long long FuzzAcceptedCount();
// A target calls this for an input its reader refused that still went past
// the reader's door (a run-code text refused for its length or for an error
// found in it): the corpus keeps it as it keeps an accepted input, when it
// reached something new, so that mutation goes on from it.
void FuzzKeepRefused();
long long FuzzKeepRefusedCount();

// A target reports what an input reached: a feature of the data its reader
// accepted (a version word, a depth, a kind of record or event; nKind is
// the target's own numbering, below 0xFFFFFFFF). The plain driver keeps a
// mutated, accepted input that reached a feature no earlier input had, and
// mutates it further (FuzzCorpus.h).
void FuzzFeature(uint32_t nKind, uint64_t nValue);

// A seed that its reader is meant to refuse (a damaged file kept to mutate
// from). Every other seed must be accepted: the driver's --check-seeds
// fails the run for a seed that is not, so a seed that silently fails does
// not pass for one that feeds the reader.
FUZZBYTES FuzzRefusedSeed(FUZZBYTES v);
bool FuzzIsRefusedSeed(const FUZZBYTES& v);

// A seed that is replayed, checked and mutated from but not swept (every
// cut and byte change): for the many large seeds of one reader (every demo
// stage, every older layout), which would make the CTest sweep long.
FUZZBYTES FuzzUnsweptSeed(FUZZBYTES v);
bool FuzzIsUnsweptSeed(const FUZZBYTES& v);

// Set-up shared by both builds: headless SDL, the working folder, the data
// version of this build. Called once before the first input.
void FuzzInitOnce();
