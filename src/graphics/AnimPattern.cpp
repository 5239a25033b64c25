#include "graphics/AnimPattern.h"

cAnimPattern& cAnimPattern::operator=(const cAnimPattern& o)
{
    if (this == &o) return *this;
    m_vPattern = o.m_vPattern;
    m_pShared = o.m_pShared;
    m_nPattern = o.m_nPattern;
    m_nStep = o.m_nStep;
    m_nCount = o.m_nCount;
    return *this;
}

void cAnimPattern::SetPatterns(const int* const* lplpRows)
{
    if (lplpRows == nullptr) return;
    Clear();

    int nRows = 0;
    while (lplpRows[nRows] != nullptr) nRows++;
    m_vPattern.resize(nRows);

    for (int n = 0; n < nRows; n++) {
        const int* lpRow = lplpRows[n];
        int nSteps = 0;
        while (lpRow[nSteps * 3] >= 0) nSteps++;
        nSteps++;  // the code triple belongs to the pattern
        cChkVector<ANIMSTEP>& vSteps = m_vPattern.At(n);
        vSteps.assign(nSteps, ANIMSTEP{});
        for (int k = 0; k < nSteps; k++) {
            ANIMSTEP& step = vSteps.At(k);
            step.nFrame = lpRow[k * 3];
            step.nTime = lpRow[k * 3 + 1];
            step.bLock = lpRow[k * 3 + 2] & 255;
        }
    }
}

void cAnimPattern::ShareTable(const cChkVector<cChkVector<ANIMSTEP>>* lpTable)
{
    Clear();
    m_pShared = lpTable;
}

const ANIMSTEP& cAnimPattern::CurrentStep() const
{
    return Table().At(m_nPattern).At(m_nStep);
}

int cAnimPattern::SetPattern(int n, int bForce)
{
    // An empty table has no current step, so nothing can be locked.
    if (!bForce && !Table().empty() && CurrentStep().bLock != 0) return 0;
    m_nPattern = n;
    m_nStep = 0;
    m_nCount = 0;
    return 1;
}

int cAnimPattern::ChangePattern(int n, int bForce)
{
    if (n == m_nPattern) return 1;
    return SetPattern(n, bForce);
}

int cAnimPattern::Update()
{
    if (Table().empty()) return 0;

    // A step that shows a code is an end step (codes -1 to -3 act the moment
    // the sequencer reaches them and never stay current): it stays where it
    // is, so ticking on keeps returning the code instead of running past the
    // pattern's last step.
    const ANIMSTEP& cur = CurrentStep();
    if (cur.nFrame < 0) return cur.nFrame;

    m_nCount++;
    if (m_nCount >= cur.nTime) {
        m_nCount = 0;
        m_nStep++;
        const cChkVector<ANIMSTEP>& vSteps = Table().At(m_nPattern);
        if (m_nStep >= static_cast<int>(vSteps.size())) {
            // A directly filled pattern without its code step: keep the last
            // step shown rather than read past the end.
            m_nStep = static_cast<int>(vSteps.size()) - 1;
            if (m_nStep < 0) m_nStep = 0;
        } else {
            const ANIMSTEP& next = CurrentStep();
            switch (next.nFrame) {
            case ANIMCODE_JUMP: SetPattern(next.nTime, 1); break;
            case ANIMCODE_RESTART: m_nStep = 0; break;
            case ANIMCODE_STAY: m_nStep -= 1; break;
            default: break;
            }
        }
    }
    return CurrentStep().nFrame;
}

int cAnimPattern::GetFrame()
{
    if (Table().empty()) return 0;
    return CurrentStep().nFrame;
}

void cAnimPattern::Clear()
{
    m_vPattern.clear();
    m_pShared = nullptr;
    m_nPattern = 0;
    m_nStep = 0;
    m_nCount = 0;
}
