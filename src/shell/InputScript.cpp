#include "shell/InputScript.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "foundation/Log.h"
#include "shell/InputDevice.h"
#include "shell/KeyState.h"
#include "shell/MainWindow.h"

namespace {

struct KEYNAME {
    const char* pszName;
    int nVk;
};
const KEYNAME atblKeyName[] = {
    {"left", VK_LEFT}, {"right", VK_RIGHT}, {"up", VK_UP},        {"down", VK_DOWN},   {"z", 'Z'},
    {"x", 'X'},        {"c", 'C'},          {"v", 'V'},           {"a", 'A'},          {"s", 'S'},
    {"d", 'D'},        {"f", 'F'},          {"space", VK_SPACE},  {"escape", VK_ESCAPE}, {"enter", VK_RETURN},
    {"f1", VK_F1},     {"f2", VK_F1 + 1},   {"f3", VK_F1 + 2},
};

int KeyFromName(const std::string& s) {
    std::string l;
    for (char ch : s) l += static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    for (const KEYNAME& k : atblKeyName)
        if (l == k.pszName) return k.nVk;
    char* end = nullptr;
    long n = std::strtol(s.c_str(), &end, 0);
    if (end && *end == 0 && n > 0 && n < 256) return static_cast<int>(n);
    return 0;
}

class cScriptedInputSource : public IInputSource {
public:
    bool IsKeyHeld(int nVk) override { return IsScriptKeyHeld(vKeys, GetFrameCount(), nVk); }
    bool GetJoyPos(int, JOYINFO*) override { return false; }
    std::vector<SCRIPTKEY> vKeys;
    std::vector<bool> vEscapeTaken;   // per entry: its Escape press was taken
    bool bInstalled = false;
};
cScriptedInputSource ScriptedInput;

}  // namespace

bool ParseInputScript(const std::string& strText, std::vector<SCRIPTKEY>& vKeys, std::string& strError) {
    vKeys.clear();
    std::istringstream in(strText);
    std::string strLine;
    int nLine = 0;
    while (std::getline(in, strLine)) {
        nLine++;
        size_t nHash = strLine.find('#');
        if (nHash != std::string::npos) strLine.resize(nHash);
        std::istringstream ls(strLine);
        std::string strFrame, strKey, strFrames;
        if (!(ls >> strFrame)) continue;
        char* end = nullptr;
        unsigned long nFrom = std::strtoul(strFrame.c_str(), &end, 10);
        bool bOk = end && *end == 0 && nFrom < 100000000 && (ls >> strKey);
        int nVk = bOk ? KeyFromName(strKey) : 0;
        unsigned long nFrames = 1;
        if (bOk && (ls >> strFrames)) nFrames = std::strtoul(strFrames.c_str(), &end, 10), bOk = end && *end == 0;
        if (!bOk || nVk == 0 || nFrames == 0 || nFrames > 100000000) {
            strError = "line " + std::to_string(nLine) + ": " + strLine;
            return false;
        }
        vKeys.push_back(SCRIPTKEY{static_cast<unsigned>(nFrom), static_cast<unsigned>(nFrames), nVk});
    }
    return true;
}

bool IsScriptKeyHeld(const std::vector<SCRIPTKEY>& vKeys, unsigned nFrame, int nVk) {
    for (const SCRIPTKEY& k : vKeys)
        if (k.nVk == nVk && nFrame >= k.nFrom && nFrame - k.nFrom < k.nFrames) return true;
    return false;
}

bool InstallInputScript(const char* pszPath) {
    std::string strText, strError;
    FILE* fp = std::fopen(pszPath, "rb");
    if (fp) {
        char buf[4096];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, fp)) > 0 && strText.size() < (1u << 24)) strText.append(buf, n);
        std::fclose(fp);
    }
    if (!fp) {
        strError = "cannot be read";
    } else if (ParseInputScript(strText, ScriptedInput.vKeys, strError)) {
        ScriptedInput.vEscapeTaken.assign(ScriptedInput.vKeys.size(), false);
        ScriptedInput.bInstalled = true;
        SetInputSource(&ScriptedInput);
        return true;
    }
    std::fprintf(stderr, "mossgrove: input script %s: %s\n", pszPath, strError.c_str());
    WriteReport("input script %s: %s", pszPath, strError.c_str());
    return false;
}

int FindScriptPress(const std::vector<SCRIPTKEY>& vKeys, std::vector<bool>& vTaken, unsigned nFrame, int nVk) {
    for (size_t i = 0; i < vKeys.size(); i++) {
        const SCRIPTKEY& k = vKeys[i];
        if (k.nVk != nVk || nFrame < k.nFrom || nFrame - k.nFrom >= k.nFrames) continue;
        if (i < vTaken.size() && vTaken[i]) continue;
        if (i < vTaken.size()) vTaken[i] = true;
        return static_cast<int>(i);
    }
    return -1;
}

bool IsInputScriptInstalled() { return ScriptedInput.bInstalled; }

bool TakeScriptedEscape() {
    if (!ScriptedInput.bInstalled) return false;
    return FindScriptPress(ScriptedInput.vKeys, ScriptedInput.vEscapeTaken, GetFrameCount(), VK_ESCAPE) >= 0;
}
