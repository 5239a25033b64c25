// Record file speed: writes and reads a record file of about 50 MB (many
// small records with strings) and prints the times as ratios to a plain
// write and read of the same bytes. A record save is durable (a temporary
// file, its sync, the rename over the target and the folder's sync), so the
// plain write here does the same four steps with one write of the bytes.
// The aims: writing within 2x of the plain write, reading within 3x of the
// plain read.
#include <fcntl.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <time.h>
#include <unistd.h>
#include <vector>

#include "foundation/Record.h"
#include "foundation/Text.h"

namespace {

class cSmallRec : public cRecord {
public:
    int32_t m_nA = 0, m_nB = 0;
    int16_t m_wC[4] = {};
    int8_t m_byD = 0;
    double m_dE = 0;
    std::string m_strName, m_strText;

    cSmallRec() { Clear(); }
    void RegisterFields(int nVer) override {
        (void)nVer;
        ClearFieldTable();
        AddField4(&m_nA);
        AddField4(&m_nB);
        AddField2(m_wC, 4);
        AddField1(&m_byD);
        AddField8(&m_dE);
        AddString(&m_strName);
        AddString(&m_strText);
    }
};

class cBigFile : public cRecord {
public:
    int32_t m_nId = 0;
    std::vector<cSmallRec> m_vRecs;

    cBigFile() { Clear(); }
    void RegisterFields(int nVer) override {
        (void)nVer;
        ClearFieldTable();
        AddField4(&m_nId);
    }
    void Read(cDataFile* fp) override {
        cRecord::Read(fp);
        ReadRecordList(fp, m_vRecs);
    }
    void Write(cDataFile* fp) override {
        cRecord::Write(fp);
        WriteRecordList(fp, m_vRecs);
    }
};

// <chrono> cannot be included under the CP932 execution character set (its
// unit suffixes hold a character CP932 lacks), so the clock is read directly.
struct Clock {
    static double now() {
        timespec ts;
        clock_gettime(CLOCK_MONOTONIC, &ts);
        return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
    }
};

double Seconds(double a, double b) { return b - a; }

std::vector<uint8_t> PlainRead(const char* path) {
    std::vector<uint8_t> v;
    FILE* fp = std::fopen(path, "rb");
    if (!fp) return v;
    std::fseek(fp, 0, SEEK_END);
    long n = std::ftell(fp);
    std::rewind(fp);
    v.resize(static_cast<size_t>(n));
    size_t got = std::fread(v.data(), 1, v.size(), fp);
    v.resize(got);
    std::fclose(fp);
    return v;
}

// The bytes written as a save is: to a temporary file, synced, renamed over
// the target, the folder synced.
bool PlainWrite(const char* path, const std::vector<uint8_t>& v) {
    const std::string strTemp = std::string(path) + ".tmp";
    int fd = open(strTemp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return false;
    bool ok = true;
    for (size_t nDone = 0; ok && nDone < v.size();) {
        ssize_t n = write(fd, v.data() + nDone, v.size() - nDone);
        if (n <= 0) ok = false;
        else nDone += static_cast<size_t>(n);
    }
    if (ok && fsync(fd) != 0) ok = false;
    if (close(fd) != 0) ok = false;
    if (ok && std::rename(strTemp.c_str(), path) != 0) ok = false;
    int dir = open(".", O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
        fsync(dir);
        close(dir);
    }
    return ok;
}

}  // namespace

int main() {
    nDataVer = DATA_VERSION;
    namespace fs = std::filesystem;
    std::string strTmpl = (fs::temp_directory_path() / "bench_record_io_XXXXXX").string();
    if (!mkdtemp(strTmpl.data())) return 1;
    std::string strPrev = fs::current_path().string();
    if (chdir(strTmpl.c_str()) != 0) return 1;

    cBigFile big;
    const int nRecords = 560000;  // about 50 MB
    big.m_vRecs.resize(nRecords);
    SeedRandom(7);
    for (int i = 0; i < nRecords; i++) {
        cSmallRec& r = big.m_vRecs[static_cast<size_t>(i)];
        r.m_nA = i;
        r.m_nB = GetRandom(0, 100000);
        for (int k = 0; k < 4; k++) r.m_wC[k] = static_cast<int16_t>(GetRandom(-300, 300));
        r.m_byD = static_cast<int8_t>(i & 0x7F);
        r.m_dE = i * 0.25;
        FormatString(r.m_strName, "record %d", i);
        r.m_strText.assign(static_cast<size_t>(20 + GetRandom(0, 30)), static_cast<char>('a' + i % 26));
    }

    const int nRuns = 3;
    double dWrite = 1e9, dRead = 1e9, dPlainWrite = 1e9, dPlainRead = 1e9;
    size_t nBytes = 0;
    bool bOk = true;
    for (int run = 0; run < nRuns; run++) {
        auto t0 = Clock::now();
        if (!big.Save("big.dat")) bOk = false;
        auto t1 = Clock::now();
        dWrite = std::min(dWrite, Seconds(t0, t1));

        cBigFile back;
        t0 = Clock::now();
        if (!back.Load("big.dat") || back.m_vRecs.size() != big.m_vRecs.size()) bOk = false;
        t1 = Clock::now();
        dRead = std::min(dRead, Seconds(t0, t1));

        t0 = Clock::now();
        std::vector<uint8_t> bytes = PlainRead("big.dat");
        t1 = Clock::now();
        dPlainRead = std::min(dPlainRead, Seconds(t0, t1));
        nBytes = bytes.size();

        t0 = Clock::now();
        if (!PlainWrite("plain.dat", bytes)) bOk = false;
        t1 = Clock::now();
        dPlainWrite = std::min(dPlainWrite, Seconds(t0, t1));
    }

    if (chdir(strPrev.c_str()) != 0) bOk = false;
    std::error_code ec;
    fs::remove_all(strTmpl, ec);

    std::printf("record file: %zu bytes, %d records (best of %d runs)\n", nBytes, nRecords, nRuns);
    std::printf("write: %.1f ms, plain write %.1f ms, ratio %.2f (aim: 2 or less; both synced and renamed)\n",
                dWrite * 1e3, dPlainWrite * 1e3, dWrite / dPlainWrite);
    std::printf("read:  %.1f ms, plain read  %.1f ms, ratio %.2f (aim: 3 or less)\n", dRead * 1e3,
                dPlainRead * 1e3, dRead / dPlainRead);
    if (!bOk) {
        std::printf("FAILED: a save or load did not succeed\n");
        return 1;
    }
    return 0;
}
