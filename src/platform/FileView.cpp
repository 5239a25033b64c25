#include "platform/FileView.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "platform/FileSystem.h"

void cFileView::Close() {
    if (m_pMap) munmap(m_pMap, m_nMapSize);
    m_pMap = nullptr;
    m_nMapSize = 0;
    m_pData = nullptr;
    m_nSize = 0;
    std::vector<uint8_t>().swap(m_vBuffer);
}

bool cFileView::Open(const char* pszDataPath, size_t nMaxBytes) {
    Close();
    std::string host = HostPath(pszDataPath);
    if (host.empty()) return false;
    int fd = ::open(host.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st;
    bool bOk = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size >= 0;
    size_t nSize = bOk ? static_cast<size_t>(st.st_size) : 0;
    if (bOk && nSize > nMaxBytes) bOk = false;
    if (bOk && nSize >= MAP_FROM) {
        void* p = mmap(nullptr, nSize, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
        if (p != MAP_FAILED) {
            m_pMap = p;
            m_nMapSize = nSize;
            m_pData = static_cast<const uint8_t*>(p);
            m_nSize = nSize;
            ::close(fd);
            return true;
        }
    }
    if (bOk) {
        // Read to the end, whatever the size said: a file may grow meanwhile.
        m_vBuffer.resize(nSize);
        size_t nGot = 0;
        for (;;) {
            if (nGot == m_vBuffer.size()) {
                if (m_vBuffer.size() >= nMaxBytes) {
                    // One byte beyond the limit tells a file that grew too far.
                    uint8_t by;
                    ssize_t r = ::read(fd, &by, 1);
                    if (r != 0) bOk = false;
                    break;
                }
                size_t nGrow = m_vBuffer.size() < 65536 ? 65536 : m_vBuffer.size();
                if (nGrow > nMaxBytes - m_vBuffer.size()) nGrow = nMaxBytes - m_vBuffer.size();
                m_vBuffer.resize(m_vBuffer.size() + nGrow);
            }
            ssize_t r = ::read(fd, m_vBuffer.data() + nGot, m_vBuffer.size() - nGot);
            if (r < 0 && errno == EINTR) continue;
            if (r < 0) {
                bOk = false;
                break;
            }
            if (r == 0) break;
            nGot += static_cast<size_t>(r);
        }
        m_vBuffer.resize(nGot);
    }
    ::close(fd);
    if (!bOk) {
        Close();
        return false;
    }
    m_pData = m_vBuffer.data();
    m_nSize = m_vBuffer.size();
    return true;
}
