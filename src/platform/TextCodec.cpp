#include "platform/TextCodec.h"

#include <cerrno>
#include <cstdint>
#include <iconv.h>

namespace {

// One conversion descriptor per direction and thread: iconv_t keeps shift
// state and must not be shared between threads.
class cIconv {
public:
    cIconv(const char* pszTo, const char* pszFrom) : m_cd(iconv_open(pszTo, pszFrom)) {}
    ~cIconv()
    {
        if (Valid()) iconv_close(m_cd);
    }
    cIconv(const cIconv&) = delete;
    cIconv& operator=(const cIconv&) = delete;

    bool Valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
    void Reset() { iconv(m_cd, nullptr, nullptr, nullptr, nullptr); }

    // Converts as much as possible. Returns 0 when all input was taken, else
    // the errno that stopped it; in/left tell where it stopped.
    int Convert(const char*& pIn, size_t& nLeft, std::string& out)
    {
        char buf[1024];
        while (nLeft > 0) {
            char* pOut = buf;
            size_t nRoom = sizeof(buf);
            size_t r = iconv(m_cd, const_cast<char**>(&pIn), &nLeft, &pOut, &nRoom);
            int nErr = (r == static_cast<size_t>(-1)) ? errno : 0;
            out.append(buf, static_cast<size_t>(pOut - buf));
            if (nErr == E2BIG) continue;
            if (nErr != 0) return nErr;
        }
        return 0;
    }

private:
    iconv_t m_cd;
};

cIconv& SjisDecoder()
{
    thread_local cIconv cv("UTF-8", "CP932");
    return cv;
}

cIconv& SjisEncoder()
{
    thread_local cIconv cv("CP932", "UTF-8");
    return cv;
}

const char szReplacement[] = "\xEF\xBF\xBD";  // U+FFFD

}  // namespace

std::string SjisToUtf8(std::string_view sjis)
{
    std::string out;
    out.reserve(sjis.size() + sjis.size() / 2);
    cIconv& cv = SjisDecoder();
    if (!cv.Valid()) {
        // No CP932 tables: keep ASCII, mark everything else.
        for (unsigned char c : sjis) {
            if (c < 0x80) out.push_back(static_cast<char>(c));
            else out += szReplacement;
        }
        return out;
    }
    cv.Reset();
    const char* p = sjis.data();
    size_t nLeft = sjis.size();
    while (nLeft > 0) {
        int nErr = cv.Convert(p, nLeft, out);
        if (nErr == 0) break;
        // An undecodable byte (0x80, 0xA0, 0xFD..., a lead byte without a
        // valid trail, or a lead byte at the end): substitute and go on
        // with the next byte.
        out += szReplacement;
        ++p;
        --nLeft;
        cv.Reset();
    }
    return out;
}

bool Utf8ToSjis(std::string_view utf8, std::string& out)
{
    cIconv& cv = SjisEncoder();
    if (!cv.Valid()) return false;
    if (!IsValidUtf8(utf8)) return false;
    cv.Reset();
    std::string res;
    res.reserve(utf8.size());
    const char* p = utf8.data();
    size_t nLeft = utf8.size();
    if (cv.Convert(p, nLeft, res) != 0) return false;
    out = std::move(res);
    return true;
}

bool IsValidUtf8(std::string_view text)
{
    size_t i = 0;
    const size_t n = text.size();
    while (i < n) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        size_t nMore;
        uint32_t cp;
        if (c >= 0xC2 && c <= 0xDF) { nMore = 1; cp = c & 0x1F; }
        else if (c >= 0xE0 && c <= 0xEF) { nMore = 2; cp = c & 0x0F; }
        else if (c >= 0xF0 && c <= 0xF4) { nMore = 3; cp = c & 0x07; }
        else return false;
        if (n - i - 1 < nMore) return false;
        for (size_t k = 1; k <= nMore; ++k) {
            unsigned char t = static_cast<unsigned char>(text[i + k]);
            if ((t & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (t & 0x3F);
        }
        // Overlong forms, surrogates and values above U+10FFFF.
        if ((nMore == 2 && cp < 0x800) || (nMore == 3 && (cp < 0x10000 || cp > 0x10FFFF))) return false;
        if (cp >= 0xD800 && cp <= 0xDFFF) return false;
        i += nMore + 1;
    }
    return true;
}
