#include "shell/EditorLink.h"

#include "foundation/Log.h"

namespace {
class cLogEditorLink : public IEditorLink {
public:
    void Notify(int nKind, int nValue) override { WriteEC("editor: kind %d value %d", nKind, nValue); }
};
cLogEditorLink LogEditorLink;
IEditorLink* lpEditorLink = &LogEditorLink;
}  // namespace

IEditorLink& GetEditorLink() { return *lpEditorLink; }
void SetEditorLink(IEditorLink* p) { lpEditorLink = p ? p : &LogEditorLink; }
void NotifyEditor(int nValue) { GetEditorLink().Notify(0, nValue); }
void NotifyEditorStarted() { GetEditorLink().Notify(1, 1); }
