#include "foundation/ErrorBox.h"

#include <cstdarg>
#include <mutex>
#include <string>

#include "foundation/Log.h"
#include "foundation/Text.h"
#include "platform/CloseRequest.h"
#include "platform/MainThread.h"
#include "platform/MessageBox.h"

namespace {

constexpr size_t BOX_TEXT_SIZE = 1024;

std::mutex mtxHandler;
std::function<int(const char*, const char*, unsigned)> fnFullScreenBox;

}  // namespace

void SetFullScreenBoxHandler(std::function<int(const char*, const char*, unsigned)> fn)
{
    std::lock_guard<std::mutex> lock(mtxHandler);
    fnFullScreenBox = std::move(fn);
}

int ShowMesBox(const char* text, const char* caption, unsigned type)
{
    const char* pszText = text ? text : "";
    const char* pszCaption = caption ? caption : "";
    int nResult = 0;
    bool bRan = RunOnMainThread([&] {
        std::function<int(const char*, const char*, unsigned)> fn;
        {
            std::lock_guard<std::mutex> lock(mtxHandler);
            fn = fnFullScreenBox;
        }
        if (fn) {
            nResult = fn(pszText, pszCaption, type);
            if (nResult >= 0) return;
        }
        nResult = GetMessageBoxService().Show(pszText, pszCaption, type);
    });
    return bRan ? nResult : 0;
}

int ErrorBoxText(const char* text)
{
    return ShowMesBox(text, "エラー", MB_OK);
}

int ErrorBox(const char* fmt, ...)
{
    va_list ap;
    va_start(ap, fmt);
    std::string s = VFormatBounded(BOX_TEXT_SIZE, fmt, ap);
    va_end(ap);
    return ShowMesBox(s.c_str(), "エラー", MB_OK);
}

int ErrorBoxEC(const char* fmt, ...)
{
    if (!bECLog.load()) return 0;
    va_list ap;
    va_start(ap, fmt);
    std::string s = VFormatBounded(BOX_TEXT_SIZE, fmt, ap);
    va_end(ap);
    return ShowMesBox(s.c_str(), "エラー", MB_OK);
}

int ErrNoMemory()
{
    ErrorBoxText("メモリが不足しています！");
    PostCloseRequest(CLOSE_FATAL);
    return 1;
}
