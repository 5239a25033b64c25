#include "shell/EditLimit.h"

#include <algorithm>

#include "foundation/Text.h"

namespace {

constexpr int MAX_CUT_STEPS = 999999;

long long TextLength(const EDITLIMIT& lim, const std::string& s) {
    if (!lim.bCountChar) return static_cast<long long>(s.size());
    return GetCharCount(s.c_str());
}

}  // namespace

int CountEditLines(const std::string& s) {
    if (s.empty()) return 0;
    return 1 + static_cast<int>(std::count(s.begin(), s.end(), '\n'));
}

std::string ReadEditBuffer(const EDITLIMIT& lim, const std::string& strShown) {
    long long nBuf = lim.bCountChar ? 2LL * lim.nSize - 1 : lim.nSize;
    if (nBuf < 1) nBuf = 1;
    std::string s = strShown.substr(0, strShown.find('\0'));
    size_t nMax = static_cast<size_t>(nBuf - 1);
    if (s.size() > nMax) s.resize(SjisSafeLength(s.c_str(), s.size(), nMax));
    return s;
}

EDITSTATE EditLimitPass(const EDITLIMIT& lim, const std::string& strPrev, const EDITSTATE& cur, bool bBackspace,
                        bool bBinding) {
    std::string t = cur.strText;
    int s = cur.nSelStart, e = cur.nSelEnd;
    const int nSavedS = s, nSavedE = e;

    auto finish = [&](std::string text, int ss, int ee) {
        EDITSTATE r;
        size_t z = text.find('\0');
        if (z != std::string::npos) text.resize(z);
        int n = static_cast<int>(text.size());
        r.strText = std::move(text);
        r.nSelStart = std::clamp(ss, 0, n);
        r.nSelEnd = std::clamp(ee, 0, n);
        return r;
    };

    if (lim.nMaxLines <= 0 && lim.nMaxPerLine <= 0) return finish(t, s, e);

    // Backspace that would join two lines into one too long: refused.
    if (bBackspace && s == e && strPrev.size() == t.size() + 2 && CountEditLines(t) < CountEditLines(strPrev)) {
        std::string u = strPrev.substr(0, std::min<size_t>(static_cast<size_t>(std::max(s, 0)), strPrev.size()));
        size_t nl = u.rfind('\n');
        if (nl != std::string::npos) u = u.substr(nl);
        if (TextLength(lim, u) >= lim.nMaxPerLine) return finish(strPrev, s, e);
    }

    // Lines longer than the limit are broken; the cut bytes begin the
    // following line.
    size_t nStart = 0;
    for (int nLine = 0; nLine < lim.nMaxLines; nLine++) {
        size_t nEnd = t.find('\r', nStart);
        if (nEnd == std::string::npos) nEnd = t.size();
        std::string strLine = t.substr(std::min(nStart, t.size()), nEnd - std::min(nStart, nEnd));
        size_t nKeep = strLine.size();
        for (int i = 0; i < MAX_CUT_STEPS && nKeep > 0 && TextLength(lim, strLine.substr(0, nKeep)) > lim.nMaxPerLine; i++)
            nKeep--;
        if (nKeep < strLine.size()) {
            size_t nAt = nStart + nKeep;
            t.insert(nAt, "\r\n");
            if (s >= static_cast<int>(nAt)) s += 2;
            if (e >= static_cast<int>(nAt)) e += 2;
            size_t nBreak = t.find('\r', nAt + 2);
            if (nBreak != std::string::npos) t.erase(nBreak, 2);
        }
        size_t nNext = t.find('\r', nStart);
        if (nNext == std::string::npos) break;
        nStart = nNext + 2;
    }

    if (CountEditLines(t) > lim.nMaxLines) {
        if (bBinding) {
            t = strPrev;
            for (int i = 0; i < MAX_CUT_STEPS && !t.empty() && TextLength(lim, t) > lim.nMaxPerLine; i++) t.pop_back();
        } else {
            t = strPrev;
            s = nSavedS;
            e = nSavedE;
        }
    }

    // A caret never rests between "\r" and "\n".
    if (s >= 0 && s < static_cast<int>(t.size()) && t[s] == '\n') s++;
    if (e >= 0 && e < static_cast<int>(t.size()) && t[e] == '\n') e++;
    return finish(t, s, e);
}
