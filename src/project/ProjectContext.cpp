#include "project/ProjectContext.h"

#include "project/Database.h"
#include "project/GameState.h"
#include "project/ReplayLog.h"
#include "project/SystemData.h"
#include "stage/CommonPalette.h"

cProjectContext ctxProject;

const cDatabase& cProjectContext::Database() const { return m_lpDatabase ? *m_lpDatabase : recDatabase; }
const cSystemData& cProjectContext::System() const { return m_lpSystem ? *m_lpSystem : recSystem; }

bool cProjectContext::SystemKeepsTestFlows() const { return System().m_bKeepTestFlows != 0; }

int cProjectContext::DatabaseCount(int nList) const { return Database().GetListCount(nList); }

std::vector<int> cProjectContext::SwordPartTimes(int nType) const {
    std::vector<int> v;
    const cDatabase& db = Database();
    if (!db.m_vSwordType.IsValid(nType)) return v;
    for (const cSwordPart& part : db.m_vSwordType[nType].m_vPart) v.push_back(part.m_nTime);
    return v;
}

const cCommonPalette& cProjectContext::CommonPalette() const { return m_lpCommon ? *m_lpCommon : recCommonPalette; }

const cChkVector<cBlockData>* cProjectContext::BlockPalette(int nType) const {
    return nType == PALETTE_COMMON ? &CommonPalette().m_vBlockPalette : nullptr;
}
const cChkVector<cCharaData>* cProjectContext::CharaPalette(int nType) const {
    return nType == PALETTE_COMMON ? &CommonPalette().m_vCharaPalette : nullptr;
}
const cChkVector<cItemData>* cProjectContext::ItemPalette(int nType) const {
    return nType == PALETTE_COMMON ? &CommonPalette().m_vItemPalette : nullptr;
}

int cProjectContext::ReplayPlaybackVersion() const {
    if (GetGameState().m_nPlayType != PLAYTYPE_REPLAY) return 0;
    return static_cast<int>(recReplayA.m_nFileVersion);
}
