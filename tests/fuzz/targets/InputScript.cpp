// Scripted keys of unattended runs. Whatever the text, a parse gives the
// same keys twice, a refused line is named, and every key held lasts one
// frame at least.
#include "FuzzTarget.h"

#include "shell/InputScript.h"

std::vector<FUZZBYTES> FuzzSeeds() {
    std::string a = "# walk right, jump\n0 right 120\n30 z\n60 x 5\n200 escape\n";
    std::string b = "10 37 3\n  15 enter # comment\n\n20 f1\n";
    return {FUZZBYTES(a.begin(), a.end()), FUZZBYTES(b.begin(), b.end())};
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    std::string strText(reinterpret_cast<const char*>(pData), nSize);
    std::vector<SCRIPTKEY> v1, v2;
    std::string e1, e2;
    bool b1 = ParseInputScript(strText, v1, e1);
    bool b2 = ParseInputScript(strText, v2, e2);
    FuzzCheck(b1 == b2 && e1 == e2 && v1.size() == v2.size());
    if (!b1) {
        FuzzCheck(!e1.empty());
        return 0;
    }
    FuzzAccepted();
    for (size_t i = 0; i < v1.size(); ++i) {
        FuzzCheck(v1[i].nFrom == v2[i].nFrom && v1[i].nFrames == v2[i].nFrames && v1[i].nVk == v2[i].nVk);
        FuzzCheck(v1[i].nFrames >= 1);
        FuzzCheck(IsScriptKeyHeld(v1, v1[i].nFrom, v1[i].nVk));
    }
    return 0;
}
