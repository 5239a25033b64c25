#pragma once
// Shared set-up of the project tests: the data version of this build, CR
// stripping on, a temporary current folder, and captured load reports.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/Record.h"
#include "support/ByteBuilder.h"
#include "support/TempDir.h"

class cProjectTest : public ::testing::Test {
protected:
    cProjectTest() {
        nDataVer = DATA_VERSION;
        bDelCR = 1;
        bFileVerErr = 0;
    }
    // Host path of a data path inside the temporary folder.
    std::string Host(const std::string& strData) const {
        std::string s = strData;
        for (char& c : s)
            if (c == '\\') c = '/';
        return m_dir.File(s);
    }
    bool Write(const std::string& strData, const cByteBuilder& b) {
        return m_dir.WriteFile(Host(strData).substr(m_dir.Path().size() + 1), b.Bytes());
    }
    cTempDir m_dir;
};

// Bytes a record writes as a file body (after the version word).
template <class T>
std::vector<uint8_t> RecordBytes(T& rec, const char* pszPath = "rec.tmp.dat") {
    rec.Save(pszPath);
    return ReadHostFile(pszPath);
}
