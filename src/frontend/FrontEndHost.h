#pragma once
// What the front-end scenes ask of the shell: the window-thread requests
// (file and name dialogs), the scene music, the system sounds and the close
// path. The shell installs the real one; the default answers "cancelled"
// and plays nothing (tests install a scripted one).

class IFrontEndHost {
public:
    virtual ~IFrontEndHost() = default;
    // The stage-file dialog; 1 when a stage was chosen and loaded into a new
    // free game, 0 when cancelled or it failed (the failure was reported).
    virtual int RequestLoadStage() { return 0; }
    // The replay-file dialog; 1 when a replay was loaded.
    virtual int RequestLoadReplay() { return 0; }
    // The name-entry dialog; 1 on OK.
    virtual int RequestNameEntry() { return 0; }
    // The scene music (cGameMain::RequestBgm).
    virtual void RequestBgm(int nBgm, int bLoop, int nIndex) { (void)nBgm; (void)bLoop; (void)nIndex; }
    // A system sound, through the window thread's sound request.
    virtual void PlaySystemSound(int n) { (void)n; }
    // The main window's close path (the player's close: the quit question
    // may be asked).
    virtual void RequestClose() {}
    // A close because the game cannot go on (its error was shown): nothing
    // is asked and the run ends with a failure status.
    virtual void RequestErrorClose() { RequestClose(); }
    // One step of the animated system colours.
    virtual void AnimateSystemColor() {}
    // The 8-bit palette variant n (the options' palette edit).
    virtual void LoadHbtPalette(int n) { (void)n; }
    // Starts or stops the title music after the options changed it.
    virtual void ApplyBgmOption() {}
    // Shows an error box (caption "エラー").
    virtual void ErrorBox(const char* pszText) { (void)pszText; }
};

IFrontEndHost& GetFrontEndHost();
void SetFrontEndHost(IFrontEndHost* p);   // null restores the default
