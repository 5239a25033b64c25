#include "project/ProjectContext.h"

#include "project/Database.h"
#include "project/SystemData.h"

namespace {
const cDatabase* lpContextDatabase = nullptr;
const cSystemData* lpContextSystem = nullptr;
}  // namespace

const cDatabase& GetContextDatabase() { return lpContextDatabase ? *lpContextDatabase : recDatabase; }
const cSystemData& GetContextSystem() { return lpContextSystem ? *lpContextSystem : recSystem; }
void SetContextDatabase(const cDatabase* lpDatabase) { lpContextDatabase = lpDatabase; }
void SetContextSystem(const cSystemData* lpSystem) { lpContextSystem = lpSystem; }

int GetContextListCount(int nList) { return GetContextDatabase().GetListCount(nList); }

int GetContextSwordTime(int nSwordType) {
    const cDatabase& db = GetContextDatabase();
    if (!db.m_vSwordType.IsValid(nSwordType)) return 0;
    return db.m_vSwordType[nSwordType].GetTotalTime();
}

bool GetContextKeepTestFlows() { return GetContextSystem().m_bKeepTestFlows != 0; }
