#include "platform/MessageBox.h"

#include <SDL.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

#include "platform/MainThread.h"
#include "platform/TextCodec.h"

namespace {

std::atomic<IMessageBoxService*> pInstalledService{nullptr};
std::atomic<SDL_Window*> pBoxParent{nullptr};

const char* TypeName(unsigned nType)
{
    switch (nType & 0xF) {
    case MB_OKCANCEL: return "OK/Cancel";
    case MB_YESNO: return "Yes/No";
    default: return "OK";
    }
}

std::mutex mtxWindowBox;
WINDOWBOXFN fnWindowBox;

int LogBox(const char* pszText, const char* pszCaption, unsigned nType, const char* pszWhy, int nAnswer)
{
    static std::mutex mtxLog;
    std::string strText = SjisToUtf8(pszText ? pszText : "");
    std::string strCaption = SjisToUtf8(pszCaption ? pszCaption : "");
    std::lock_guard<std::mutex> lock(mtxLog);
    std::fprintf(stderr, "[message box, %s] %s: %s (%s; answered %d)\n", pszWhy, strCaption.c_str(), strText.c_str(),
                 TypeName(nType), nAnswer);
    std::fflush(stderr);
    return nAnswer;
}

// Shows the box with SDL; runs on the main thread. -1 when SDL failed.
int ShowSdlBox(const char* pszText, const char* pszCaption, unsigned nType)
{
    std::string strText = SjisToUtf8(pszText ? pszText : "");
    std::string strCaption = SjisToUtf8(pszCaption ? pszCaption : "");

    SDL_MessageBoxButtonData aButtons[2];
    int nButtons = 0;
    const bool bSecondDefault = (nType & MB_DEFBUTTON2) != 0;
    auto AddButton = [&](int nId, const char* pszLabel, bool bDefault, bool bEscape) {
        Uint32 nFlags = 0;
        if (bDefault) nFlags |= SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
        if (bEscape) nFlags |= SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
        aButtons[nButtons++] = SDL_MessageBoxButtonData{nFlags, nId, pszLabel};
    };
    switch (nType & 0xF) {
    case MB_YESNO:
        AddButton(IDYES, reinterpret_cast<const char*>(u8"はい"), !bSecondDefault, false);
        AddButton(IDNO, reinterpret_cast<const char*>(u8"いいえ"), bSecondDefault, true);
        break;
    case MB_OKCANCEL:
        AddButton(IDOK, "OK", !bSecondDefault, false);
        AddButton(IDCANCEL, reinterpret_cast<const char*>(u8"キャンセル"), bSecondDefault, true);
        break;
    default:
        AddButton(IDOK, "OK", true, true);
        break;
    }

    Uint32 nFlags = SDL_MESSAGEBOX_INFORMATION;
    switch (nType & 0xF0) {
    case MB_ICONERROR: nFlags = SDL_MESSAGEBOX_ERROR; break;
    case MB_ICONWARNING: nFlags = SDL_MESSAGEBOX_WARNING; break;
    default: break;
    }

    SDL_MessageBoxData data{};
    data.flags = nFlags;
    data.window = pBoxParent.load();
    data.title = strCaption.c_str();
    data.message = strText.c_str();
    data.numbuttons = nButtons;
    data.buttons = aButtons;
    data.colorScheme = nullptr;
    int nHit = -1;
    if (SDL_ShowMessageBox(&data, &nHit) != 0) return -1;
    if (nHit < 0) return CancelBoxAnswer(nType);   // closed without a button
    return nHit;
}

class cSdlMessageBoxService : public IMessageBoxService {
public:
    int Show(const char* pszText, const char* pszCaption, unsigned nType) override
    {
        if (IsHeadlessDisplay()) return LogBox(pszText, pszCaption, nType, "headless", DefaultBoxAnswer(nType));
        if (!IsMainThread() && !IsMainLoopServing())
            return LogBox(pszText, pszCaption, nType, "no main loop to show it", CancelBoxAnswer(nType));
        int nResult = 0;
        std::string strWhy;
        bool bRan = RunOnMainThread([&] {
            WINDOWBOXFN fn;
            {
                std::lock_guard<std::mutex> lock(mtxWindowBox);
                fn = fnWindowBox;
            }
            if (fn) {
                nResult = fn(pszText, pszCaption, nType);
                if (nResult >= 0) return;
            }
            nResult = ShowSdlBox(pszText, pszCaption, nType);
            if (nResult < 0) strWhy = SDL_GetError();
        });
        if (!bRan) return 0;
        if (nResult < 0)
            return LogBox(pszText, pszCaption, nType, ("not shown: " + strWhy).c_str(), CancelBoxAnswer(nType));
        return nResult;
    }
};

cSdlMessageBoxService& DefaultService()
{
    static cSdlMessageBoxService svc;
    return svc;
}

}  // namespace

int DefaultBoxAnswer(unsigned nType)
{
    switch (nType & 0xF) {
    case MB_YESNO: return (nType & MB_DEFBUTTON2) ? IDNO : IDYES;
    case MB_OKCANCEL: return (nType & MB_DEFBUTTON2) ? IDCANCEL : IDOK;
    default: return IDOK;
    }
}

int CancelBoxAnswer(unsigned nType)
{
    switch (nType & 0xF) {
    case MB_YESNO: return IDNO;
    case MB_OKCANCEL: return IDCANCEL;
    default: return IDOK;
    }
}

void SetWindowBoxHandler(WINDOWBOXFN fn)
{
    std::lock_guard<std::mutex> lock(mtxWindowBox);
    fnWindowBox = std::move(fn);
}

bool IsHeadlessDisplay()
{
    const char* pszDriver = std::getenv("SDL_VIDEODRIVER");
    if (pszDriver && (std::strcmp(pszDriver, "dummy") == 0 || std::strcmp(pszDriver, "offscreen") == 0)) return true;
    const char* pszDisplay = std::getenv("DISPLAY");
    const char* pszWayland = std::getenv("WAYLAND_DISPLAY");
    return (!pszDisplay || !*pszDisplay) && (!pszWayland || !*pszWayland);
}

IMessageBoxService& GetMessageBoxService()
{
    IMessageBoxService* p = pInstalledService.load(std::memory_order_acquire);
    return p ? *p : DefaultService();
}

void SetMessageBoxService(IMessageBoxService* pService)
{
    pInstalledService.store(pService, std::memory_order_release);
}

void SetMessageBoxParent(SDL_Window* pWindow)
{
    pBoxParent.store(pWindow);
}
