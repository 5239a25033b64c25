// The run-code language: splitting a text into its tree, once per text.
#include <atomic>
#include <cstring>
#include <map>
#include <set>
#include <mutex>

#include "flow/RunCodeTree.h"

namespace {

std::atomic<uint64_t> g_nCodeSteps{0};

const char* const aszOperator[CODE_OP_COUNT] = {"=", "+", "-", "*", "/", "%"};
// "tg" is target 1.
const char* const aszObject[] = {"my", "tg", "tg1", "tg2", "tg3", "tg4", "pl", "sys"};
const int anObjectSubject[] = {CODESUBJ_MY, 1, 1, 2, 3, 4, CODESUBJ_PL, CODESUBJ_SYS};

bool IsGroupUnit(int u) { return u >= CODE_GROUP_UNIT; }

std::string UnitsText(const std::vector<int>& v, size_t b, size_t e, bool* pHasGroup) {
    std::string s;
    if (pHasGroup) *pHasGroup = false;
    for (size_t i = b; i < e && i < v.size(); i++) {
        CountCodeStep();
        if (IsGroupUnit(v[i])) {
            if (pHasGroup) *pHasGroup = true;
            continue;
        }
        s.push_back(static_cast<char>(v[i]));
    }
    return s;
}

// The index of the ")" matching the "(" at p, or -1.
long FindClose(const std::vector<int>& v, size_t p) {
    int nDepth = 0;
    for (size_t q = p; q < v.size(); q++) {
        CountCodeStep();
        if (v[q] == '(') nDepth++;
        else if (v[q] == ')' && --nDepth == 0) return static_cast<long>(q);
    }
    return -1;
}

// Whether the units [b, e) spell the name, with no group among them.
bool UnitsAre(const std::vector<int>& v, size_t b, size_t e, const char* pszName) {
    size_t n = std::strlen(pszName);
    if (e - b != n) return false;
    for (size_t i = 0; i < n; i++)
        if (v[b + i] != static_cast<unsigned char>(pszName[i])) return false;
    return true;
}

class cCodeParser {
public:
    std::shared_ptr<CODELINE> Parse(const std::string& text, int nDepth);

private:
    void PrePass(CODELINE& line, int nDepth);
    void FlatPass(CODELINE& line);
    void EmitWord(CODELINE& line, const std::vector<int>& word, int nSubject);
};

std::shared_ptr<CODELINE> cCodeParser::Parse(const std::string& text, int nDepth) {
    auto pLine = std::make_shared<CODELINE>();
    pLine->vUnits.reserve(text.size());
    for (unsigned char c : text) pLine->vUnits.push_back(c);
    PrePass(*pLine, nDepth);
    if (!pLine->bPrePassError) FlatPass(*pLine);
    return pLine;
}

// Parenthesised words and function calls, in the order the text has them;
// each is replaced by one unit that stands for its value. The text is read
// once from the left into a new unit list: a group's unit takes the place
// of its text (a call's unit also that of the name before it), and reading
// goes on after its ")".
void cCodeParser::PrePass(CODELINE& line, int nDepth) {
    const std::vector<int> W = std::move(line.vUnits);
    std::vector<int>& O = line.vUnits;
    O.clear();
    O.reserve(W.size());
    size_t p = 0;
    size_t s = 0;   // where the current word begins in O
    auto Fail = [&](const std::string& msg) {
        CODEGROUP g;
        g.nKind = CODEGROUP_ERROR;
        g.strError = msg;
        line.vGroup.push_back(std::move(g));
        line.bPrePassError = true;
        O.insert(O.end(), W.begin() + static_cast<long>(p), W.end());
    };
    while (p < W.size()) {
        CountCodeStep();
        int c = W[p];
        if (c == ' ') {
            O.push_back(c);
            s = O.size();
            p++;
            continue;
        }
        if (c != '(') {
            O.push_back(c);
            p++;
            continue;
        }
        if (O.size() == s) {
            long nClose = FindClose(W, p);
            if (nClose < 0) return Fail("\")\"が見つかりません！");
            if (nDepth + 1 > CODE_MAX_DEPTH) return Fail("括弧が深すぎます！");
            CODEGROUP g;
            g.nKind = CODEGROUP_PAREN;
            g.pLine = Parse(UnitsText(W, p + 1, static_cast<size_t>(nClose), nullptr), nDepth + 1);
            O.push_back(CODE_GROUP_UNIT + static_cast<int>(line.vGroup.size()));
            line.vGroup.push_back(std::move(g));
            p = static_cast<size_t>(nClose) + 1;
            continue;
        }
        if (!UnitsAre(O, s, O.size(), "rand")) {
            O.push_back(c);   // the "(" stays in the word
            p++;
            continue;
        }
        if (nDepth + 1 > CODE_MAX_DEPTH) return Fail("括弧が深すぎます！");
        CODEGROUP g;
        g.nKind = CODEGROUP_CALL;
        g.strName = UnitsText(O, s, O.size(), nullptr);
        size_t nArg = p + 1;
        int nParen = 0;
        long nClose = -1;
        for (size_t q = p + 1; q < W.size(); q++) {
            CountCodeStep();
            int u = W[q];
            if (u == '(') {
                nParen++;
            } else if (u == ')' && nParen > 0) {
                nParen--;
            } else if ((u == ')' || u == ',') && nParen == 0) {
                if (q > nArg) g.vArg.push_back(Parse(UnitsText(W, nArg, q, nullptr), nDepth + 1));
                nArg = q + 1;
                if (u == ')') {
                    nClose = static_cast<long>(q);
                    break;
                }
            }
        }
        if (nClose < 0) {
            g.bUnterminated = true;
            line.vGroup.push_back(std::move(g));
            line.bPrePassError = true;
            O.insert(O.end(), W.begin() + static_cast<long>(p), W.end());
            return;
        }
        O.resize(s);
        O.push_back(CODE_GROUP_UNIT + static_cast<int>(line.vGroup.size()));
        line.vGroup.push_back(std::move(g));
        p = static_cast<size_t>(nClose) + 1;
    }
}

// Words, object prefixes and tokens of the text the pre-pass left.
void cCodeParser::FlatPass(CODELINE& line) {
    std::vector<int> word;
    int nSubject = CODESUBJ_MY;
    bool bAnyWord = false, bPrevPrefix = false;
    const std::vector<int>& W = line.vUnits;
    for (size_t i = 0; i <= W.size(); i++) {
        CountCodeStep();
        int u = i < W.size() ? W[i] : ' ';
        if (u == ' ') {
            if (!word.empty()) {
                EmitWord(line, word, nSubject);
                if (!line.vItem.empty() && line.vItem.back().nKind == CODEITEM_ERROR) return;
                word.clear();
                nSubject = CODESUBJ_MY;
                bAnyWord = true;
                bPrevPrefix = false;
            }
            continue;
        }
        if (u != '.') {
            word.push_back(u);
            continue;
        }
        bool bGroup = false;
        std::string strPrefix = UnitsText(word, 0, word.size(), &bGroup);
        int nFound = -1;
        for (size_t k = 0; !bGroup && k < sizeof aszObject / sizeof aszObject[0]; k++)
            if (strPrefix == aszObject[k]) nFound = static_cast<int>(k);
        if (nFound >= 0) {
            nSubject = anObjectSubject[nFound];
            bPrevPrefix = true;
        } else if (!bAnyWord || bPrevPrefix) {
            CODEITEM e;
            e.nKind = CODEITEM_ERROR;
            e.strError = "オブジェクト \"%s.\" が認識できません！";
            e.vWord = word;
            line.vItem.push_back(std::move(e));
            return;
        } else {
            nSubject = CODESUBJ_MY;
        }
        bAnyWord = true;
        word.clear();
    }
    // An operator needs an operand on both sides.
    for (size_t i = 0; i < line.vItem.size(); i++) {
        if (line.vItem[i].nKind != CODEITEM_OPERATOR) continue;
        bool bLeft = i > 0 && line.vItem[i - 1].nKind != CODEITEM_OPERATOR;
        bool bRight = i + 1 < line.vItem.size() && line.vItem[i + 1].nKind != CODEITEM_OPERATOR;
        if (!bLeft || !bRight) line.bMalformed = true;
    }
}

void cCodeParser::EmitWord(CODELINE& line, const std::vector<int>& word, int nSubject) {
    CODEITEM it;
    it.nSubject = nSubject;
    if (IsGroupUnit(word[0])) {
        // A value spliced in: the number of its decimal text followed by the
        // rest of the word.
        it.nKind = CODEITEM_SPLICE;
        it.nGroup = word[0] - CODE_GROUP_UNIT;
        for (size_t i = 1; i < word.size() && word[i] >= '0' && word[i] <= '9'; i++) it.strDigits.push_back(static_cast<char>(word[i]));
        line.vItem.push_back(std::move(it));
        return;
    }
    std::string w = UnitsText(word, 0, word.size(), nullptr);
    for (int k = 0; k < CODE_OP_COUNT; k++) {
        if (w == aszOperator[k]) {
            it.nKind = CODEITEM_OPERATOR;
            it.nValue = k;
            line.vItem.push_back(std::move(it));
            return;
        }
    }
    if (w[0] == 'C' || w[0] == 'S') {
        it.nKind = CODEITEM_VAR;
        it.nVarKind = w[0] == 'C' ? 0 : 1;
        it.nValue = ParseCodeNumber(w.substr(1));
        if (it.nValue < 0 || it.nValue >= CODE_VAR_COUNT) {
            it.nKind = CODEITEM_ERROR;
            it.strError = "オブジェクトの設定エラー!";
            it.vWord = word;
        }
        line.vItem.push_back(std::move(it));
        return;
    }
    int nStatus = FindCodeStatus(w);
    if (nStatus >= 0) {
        if (nSubject == CODESUBJ_SYS) {
            it.nKind = CODEITEM_ERROR;
            it.strError = "オブジェクトの設定エラー!";
        } else {
            it.nKind = CODEITEM_STATUS;
            it.nValue = nStatus;
        }
        line.vItem.push_back(std::move(it));
        return;
    }
    int nSystem = FindCodeSystem(w);
    if (nSystem >= 0) {
        it.nKind = CODEITEM_SYSTEM;
        it.nValue = nSystem;
        line.vItem.push_back(std::move(it));
        return;
    }
    it.nKind = CODEITEM_NUMBER;
    it.nValue = ParseCodeNumber(w);
    line.vItem.push_back(std::move(it));
}

std::mutex g_CacheLock;
std::map<std::string, std::shared_ptr<const CODELINE>>& Cache() {
    static std::map<std::string, std::shared_ptr<const CODELINE>> m;
    return m;
}
// The cache and the reported texts are bounded by the bytes of their texts
// (a tree takes some tens of bytes per byte of text); past the bound they
// start over. A text longer than a command runs is not kept.
constexpr size_t CODE_CACHE_MAX_BYTES = 1u << 20;
size_t g_nCacheBytes = 0;
size_t g_nReportedBytes = 0;

std::mutex g_ReportedLock;
std::set<std::string>& Reported() {
    static std::set<std::string> s;
    return s;
}

}  // namespace

void CountCodeStep() { g_nCodeSteps.fetch_add(1, std::memory_order_relaxed); }

uint64_t CodeStepCount() { return g_nCodeSteps.load(std::memory_order_relaxed); }

int32_t ParseCodeNumber(const std::string& s) {
    size_t i = 0;
    bool bNeg = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) bNeg = s[i++] == '-';
    int64_t n = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; i++) {
        n = n * 10 + (s[i] - '0');
        if (n > 2147483648LL) n = 2147483648LL;   // saturates
    }
    if (bNeg) n = -n;
    if (n > INT32_MAX) n = INT32_MAX;
    return static_cast<int32_t>(n);
}

std::shared_ptr<const CODELINE> ParseCode(const std::string& strText) {
    {
        std::lock_guard<std::mutex> lock(g_CacheLock);
        auto it = Cache().find(strText);
        if (it != Cache().end()) return it->second;
    }
    cCodeParser parser;
    std::shared_ptr<const CODELINE> p = parser.Parse(strText, 0);
    std::lock_guard<std::mutex> lock(g_CacheLock);
    if (strText.size() > CODE_MAX_TEXT) return p;
    if (g_nCacheBytes + strText.size() + 1 > CODE_CACHE_MAX_BYTES) {
        Cache().clear();
        g_nCacheBytes = 0;
    }
    if (Cache().emplace(strText, p).second) g_nCacheBytes += strText.size() + 1;
    return p;
}

void ClearCodeCache() {
    {
        std::lock_guard<std::mutex> lock(g_CacheLock);
        Cache().clear();
        g_nCacheBytes = 0;
    }
    std::lock_guard<std::mutex> lock(g_ReportedLock);
    Reported().clear();
    g_nReportedBytes = 0;
}

bool CodeReported(const std::string& strText) {
    std::lock_guard<std::mutex> lock(g_ReportedLock);
    return Reported().count(strText) != 0;
}

void MarkCodeReported(const std::string& strText) {
    std::lock_guard<std::mutex> lock(g_ReportedLock);
    if (g_nReportedBytes + strText.size() + 1 > CODE_CACHE_MAX_BYTES) {
        Reported().clear();
        g_nReportedBytes = 0;
    }
    if (Reported().insert(strText).second) g_nReportedBytes += strText.size() + 1;
}

std::string CodeParseError(const CODELINE& line) {
    for (const CODEGROUP& g : line.vGroup) {
        if (g.nKind == CODEGROUP_ERROR) return g.strError;
        if (g.nKind == CODEGROUP_PAREN) {
            std::string s = CodeParseError(*g.pLine);
            if (!s.empty()) return s;
        }
        if (g.nKind == CODEGROUP_CALL) {
            for (const auto& a : g.vArg) {
                std::string s = CodeParseError(*a);
                if (!s.empty()) return s;
            }
            if (g.bUnterminated) return "関数 %s で\")\"が見つかりません！";
            if (g.vArg.size() != 2) return "関数 %s の引数が不正です！";
        }
    }
    for (const CODEITEM& it : line.vItem)
        if (it.nKind == CODEITEM_ERROR) return it.strError;
    if (line.bMalformed) return "演算子のエラー（未定義？）";
    return "";
}
