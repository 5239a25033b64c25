#pragma once
// The game thread's requests for window-thread work. The dialog requests and
// the display restore are typed calls queued to the main thread; the caller
// blocks until it was served or cancelled by the shutdown (a cancelled
// request counts as cancelled by the player). On the main thread itself the
// work runs at once.
#include <string>

// Dialog requests. Results: 1 the player confirmed (and the follow-up work
// succeeded), 0 cancelled, failed or shut down.
int RequestNameEntry();
int RequestLoadStage();
int RequestLoadReplay();
int RequestSaveReplay(int nWhich);   // 0 the current stage's log, 1 the previous stage's
// Sound and music: served at once on the calling thread (the audio layer is
// thread-safe), so a frame never waits for the window thread to play a sound.
void RequestPlaySE(int nIndex);
void RequestBgm(int nSlot, int n);
// The display's device reset after a failed present.
void RequestRestore();

// File dialog modes.
enum : int { FILEDLG_LOADSTAGE = 0, FILEDLG_LOADREPLAY = 1, FILEDLG_SAVEREPLAY = 2 };

// What serves the requests on the window thread. The subsystems that own the
// dialogs, stage and replay files and the project's music table install
// their parts; the default plays the loaded sounds, drives the music manager
// and the display's restore, and cancels the dialogs with a log line until
// they exist.
class IRequestServices {
public:
    virtual ~IRequestServices() = default;
    // Dialogs: 1 confirmed, 0 cancelled, -1 the dialog could not be shown.
    virtual int RunNameDialog() = 0;
    virtual int RunFileDialog(int nMode, std::string& strPath) = 0;
    virtual void SetDialogMode(int bOn) = 0;
    // Follow-up work of the file dialogs: 1 success, 0 failure (told to the
    // player by the start). The stage dialog's file may be a replay, which
    // then starts its playback.
    virtual int StartFreeGame(const std::string& strPath) = 0;
    virtual int LoadReplay(const std::string& strPath) = 0;
    virtual int SaveReplay(int nWhich, const std::string& strPath) = 0;
    virtual int MakeReplayFileName(std::string& strName) = 0;
    // Sounds: the loaded sound table.
    virtual int SoundCount() = 0;
    virtual void PlaySound(int nIndex) = 0;
    // Music. Scene slots 0..3 map to a music number and loop flag; music
    // numbers name Bgm.dat records (checked access inside).
    virtual int GetSceneBgm(int nSlot, int* pbLoop) = 0;
    virtual void GetBgmFile(int n, std::string& strFile, int* pnVolume) = 0;
    virtual void SetStageBgm(int n) = 0;
    virtual int GetStageBgmLoop() = 0;
    virtual void BgmSetFile(int nSlot, const std::string& strFile, int nVolume) = 0;
    virtual void BgmPlay(int nChannel, int nSlot, int bLoop, int nArg, int bForce) = 0;
    virtual void BgmStop() = 0;
    virtual void RestoreDisplay() = 0;
};

IRequestServices& GetRequestServices();
void SetRequestServices(IRequestServices* p);   // null restores the default

// The handlers, run on the window thread (exposed for tests).
int ServeNameEntry();
int ServeFileRequest(int nMode, int nWhich);
void ServePlaySE(int nIndex);
void ServeBgm(int nSlot, int n);
