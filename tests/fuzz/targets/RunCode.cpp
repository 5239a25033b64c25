// The run-code language: any text parses and runs against a small stage
// without closing the game; a text the parser refuses never succeeds; the
// variables stay within their range; a run is reproducible.
#include "FuzzTarget.h"
#include "RecordFuzz.h"

#include <memory>

#include "flow/RunCode.h"
#include "play/Chara.h"
#include "play/Hero.h"
#include "play/PlayContext.h"
#include "play/PlayScene.h"
#include "platform/CloseRequest.h"
#include "project/Progress.h"
#include "project/SystemData.h"
#include "stage/Stage.h"

namespace {

struct FUZZSTAGE {
    cPlayContext ctx;
    cStage stage;
    cSystemData sys;
    cProgress progress;
    cPlayScene scene;
    cChara* pMe = nullptr;
    FUZZSTAGE() {
        InstallPlayContext(&ctx);
        stage.m_nSubStep = 1;
        stage.m_dStepFactor = 1;
        ctx.lpStage = &stage;
        ctx.lpSystem = &sys;
        ctx.lpProgress = &progress;
        ctx.lpPlayScene = &scene;
        ctx.vecPlayer.push_back(std::make_unique<cHero>());
        ctx.lstChara.push_back(std::make_unique<cChara>());
        pMe = ctx.lstChara.back().get();
        ctx.lstChara.push_back(std::make_unique<cChara>());
        pMe->m_vecTarget[0] = cObjRef(ctx.lstChara.back().get());
    }
    void Reset() {
        progress.m_vCommonVar.assign(PROGRESS_COMMON_VARS, 0);
        scene.m_vecStageVar.assign(scene.m_vecStageVar.size(), 0);
        pMe->m_Data.m_nMaxHp = 100;
        pMe->m_nHp = 50;
        pMe->m_vecVar.assign(9, 0);
        ctx.Random.Seed(7);
    }
    std::vector<int32_t> Vars() const {
        std::vector<int32_t> v(progress.m_vCommonVar.begin(), progress.m_vCommonVar.end());
        v.insert(v.end(), scene.m_vecStageVar.begin(), scene.m_vecStageVar.end());
        v.insert(v.end(), pMe->m_vecVar.begin(), pMe->m_vecVar.end());
        v.push_back(pMe->m_nHp);
        return v;
    }
};

}  // namespace

std::vector<FUZZBYTES> FuzzSeeds() {
    const char* seeds[] = {
        "my.hp = my.hp + rand(1,6) * 10", "C1 = (1 + 2) * 3", "S2 = ((4)", "C1 = C2 = 3",
        "tg.v1 = tg1.v2 - pl.hp % 7",     "C1 = 2*(1 + 2)",   "xyz.hp = 1", "C1 = 7 / 0",
        "score = score * 3",              "C1000 = S1000 + (rand(3,-3))",
    };
    std::vector<FUZZBYTES> v;
    for (const char* s : seeds) v.emplace_back(s, s + std::string(s).size());
    // Long texts: a sum of groups and calls past what a command runs, and
    // one just within it. Mutation grows inputs up to 64 KB (the CTest line).
    std::string sum = "C1 = 0", within = "C3 = 1";
    while (sum.size() < 6000) sum += " + ((1) * (2)) + rand(1,2) * x(";
    while (within.size() < CODE_MAX_TEXT - 4) within += " + 1";
    for (const std::string* p : {&sum, &within}) v.emplace_back(p->begin(), p->end());
    // Texts no run succeeds with: an open group, a chained assignment, an
    // unknown name, a division by zero, the sum past the text limit.
    for (size_t i : {2, 3, 6, 7, 10}) v[i] = FuzzRefusedSeed(v[i]);
    return v;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    static cFuzzMessageBox box;
    static FUZZSTAGE* pStage = new FUZZSTAGE();
    std::string text(reinterpret_cast<const char*>(pData), nSize);
    ResetCloseRequests();

    pStage->Reset();
    int r1 = RunCode(text, pStage->pMe);
    std::vector<int32_t> after1 = pStage->Vars();
    FuzzCheck(GetCloseRequestCount() == 0);
    if (!CodeParseError(*ParseCode(text)).empty()) FuzzCheck(r1 == 0);
    for (int32_t n : after1) FuzzCheck(n >= -999999 && n <= 999999);

    pStage->Reset();
    int r2 = RunCode(text, pStage->pMe);
    FuzzCheck(r1 == r2);
    FuzzCheck(after1 == pStage->Vars());
    // What the text reached: the parser's first error (its message, which
    // names no word of the text), the length limit, the run's result.
    const std::string strError = CodeParseError(*ParseCode(text));
    uint64_t nErrorHash = 0;
    for (unsigned char c : strError) nErrorHash = (nErrorHash ^ c) * 1099511628211ull;
    FuzzFeature(1, nErrorHash);
    FuzzFeature(2, text.size() > CODE_MAX_TEXT ? 1 : 0);
    FuzzFeature(3, static_cast<uint64_t>(r1));
    // A refused text went through the parser all the same (a long one too):
    // the corpus keeps it when it reached something new, so that the long
    // texts and the broken ones are mutated further.
    if (r1) FuzzAccepted();
    else FuzzKeepRefused();
    return 0;
}
