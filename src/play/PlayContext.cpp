#include "play/PlayContext.h"

#include <algorithm>

#include "play/CharaBase.h"
#include "play/Chara.h"
#include "play/Hero.h"
#include "play/Item.h"
#include "project/Progress.h"
#include "project/ProjectContext.h"
#include "stage/Stage.h"

namespace {
IPlayHost NullPlayHost;
cPlayContext* lpDefaultContext() {
    static cPlayContext ctx;
    return &ctx;
}
}  // namespace

cPlayContext* lpInstalledPlayContext = nullptr;

int cPlayRandom::Get(int a, int b) {
    int64_t nLow = a < b ? a : b;
    int64_t nSpan = static_cast<int64_t>(a < b ? b : a) - nLow + 1;
    return static_cast<int>(nLow + Next() % nSpan);
}

cPlayContext::cPlayContext()
    : lpStage(&recStage),
      lpPlayStage(&recPlayStage),
      lpCharaDef(&recCharaDef),
      lpSystem(&recSystem),
      lpDatabase(&recDatabase),
      lpProgress(&recProgress),
      lpInput(&Input),
      lpHost(&NullPlayHost) {}

cPlayContext::~cPlayContext() {
    // Objects unregister themselves from the context being destroyed.
    cPlayContextScope scope(*this);
    lstChara.clear();
    lstItem.clear();
    vecPlayer.clear();
}

const std::vector<cChara*>& cPlayContext::SolidCharas() {
    if (m_nSolidSerial != lstChara.GetSerial()) {
        m_vecSolid.clear();
        for (auto& u : lstChara)
            if (u->IsSolid()) m_vecSolid.push_back(u.get());
        m_nSolidSerial = lstChara.GetSerial();
    }
    return m_vecSolid;
}

cChara* cPlayContext::FirstCharaById(int32_t nId) {
    if (m_nByIdSerial != lstChara.GetSerial()) {
        m_vecById.clear();
        for (auto& u : lstChara) m_vecById.emplace_back(u->m_nId, u.get());
        std::stable_sort(m_vecById.begin(), m_vecById.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        m_nByIdSerial = lstChara.GetSerial();
    }
    auto it = std::lower_bound(m_vecById.begin(), m_vecById.end(), nId,
                               [](const auto& e, int32_t n) { return e.first < n; });
    return it != m_vecById.end() && it->first == nId ? it->second : nullptr;
}

cPlayContext::OBJHANDLE cPlayContext::RegisterObj(cObj* p) {
    uint32_t nSlot = m_nFreeHead;
    if (nSlot != 0) {
        m_nFreeHead = m_vecSlot[nSlot].nNextFree;
    } else {
        nSlot = static_cast<uint32_t>(m_vecSlot.size());
        m_vecSlot.emplace_back();
    }
    OBJSLOT& e = m_vecSlot[nSlot];
    e.pObj = p;
    e.nSerial = m_nNextSerial++;
    e.nNextFree = 0;
    return {e.nSerial, nSlot};
}

void cPlayContext::UnregisterObj(const OBJHANDLE& h) {
    if (h.nSlot == 0 || h.nSlot >= m_vecSlot.size()) return;
    OBJSLOT& e = m_vecSlot[h.nSlot];
    if (!e.pObj || e.nSerial != h.nSerial) return;
    e.pObj = nullptr;
    e.nSerial = 0;
    e.nNextFree = m_nFreeHead;
    m_nFreeHead = h.nSlot;
}

cPlayContext& DefaultPlayContext() { return *lpDefaultContext(); }
void InstallPlayContext(cPlayContext* p) { lpInstalledPlayContext = p; }
