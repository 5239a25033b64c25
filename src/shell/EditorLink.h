#pragma once
// The link to the editor during a test play: it is told when the game has
// started, when its window goes, and when the start failed. There is no
// editor on this platform; the default link only writes the notifications
// to the step log.
class IEditorLink {
public:
    virtual ~IEditorLink() = default;
    // kind 1 value 1: started; kind 0 value 1: window destroyed; kind 0 value 0: start failed.
    virtual void Notify(int nKind, int nValue) = 0;
};
IEditorLink& GetEditorLink();
void SetEditorLink(IEditorLink* p);   // null restores the default

void NotifyEditor(int nValue);
void NotifyEditorStarted();
