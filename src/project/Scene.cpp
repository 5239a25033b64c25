#include "project/Scene.h"

#include "foundation/InputState.h"

namespace {
cInputState DefaultMenuInput;
cInputState* lpMenuInput = &DefaultMenuInput;
}  // namespace

cInputState& GetMenuInput() { return *lpMenuInput; }
void SetMenuInput(cInputState* p) { lpMenuInput = p ? p : &DefaultMenuInput; }

void cScene::RunFrontEnd(int nLatchMask) {
    cInputState& dev = GetMenuInput();
    dev.ApplyKeyRepeat();
    dev.LatchButtons(nLatchMask);
    RunStates();
}

void cScene::RunStates() {
    if (m_nState == -1) {
        Init();
        m_nState = 0;
    }
    RunState(m_nState);
}
