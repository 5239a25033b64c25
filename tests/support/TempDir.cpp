#include "TempDir.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <system_error>
#include <unistd.h>

namespace fs = std::filesystem;

cTempDir::cTempDir() {
    std::error_code ec;
    m_strPrevious = fs::current_path(ec).string();
    const char* base = std::getenv("TMPDIR");
    std::string tmpl = std::string(base && *base ? base : "/tmp") + "/mossgrove-test-XXXXXX";
    if (!mkdtemp(tmpl.data())) throw std::runtime_error("cannot create a temporary folder");
    m_strPath = tmpl;
    if (chdir(m_strPath.c_str()) != 0) throw std::runtime_error("cannot enter the temporary folder");
}

cTempDir::~cTempDir() {
    if (!m_strPrevious.empty() && chdir(m_strPrevious.c_str()) != 0) {
        // Nothing sensible to do: the folder is still removed below.
    }
    std::error_code ec;
    fs::remove_all(m_strPath, ec);
}

bool cTempDir::WriteFile(const std::string& name, const std::vector<uint8_t>& bytes) const {
    fs::path p = fs::path(m_strPath) / name;
    std::error_code ec;
    if (p.has_parent_path()) fs::create_directories(p.parent_path(), ec);
    FILE* fp = std::fopen(p.c_str(), "wb");
    if (!fp) return false;
    bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), fp) == bytes.size();
    return std::fclose(fp) == 0 && ok;
}

bool cTempDir::WriteFile(const std::string& name, const std::string& text) const {
    return WriteFile(name, std::vector<uint8_t>(text.begin(), text.end()));
}

bool cTempDir::MakeDir(const std::string& name) const {
    std::error_code ec;
    fs::create_directories(fs::path(m_strPath) / name, ec);
    return fs::is_directory(fs::path(m_strPath) / name, ec);
}

bool cTempDir::Exists(const std::string& name) const {
    std::error_code ec;
    return fs::exists(fs::path(m_strPath) / name, ec);
}
