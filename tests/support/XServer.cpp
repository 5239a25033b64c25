#include "XServer.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "GameProcess.h"
#include "platform/Clock.h"

extern char** environ;

namespace {

const char* const XVFB = "/usr/bin/Xvfb";
const char* const OPENBOX = "/usr/bin/openbox";
const char* const XDOTOOL = "/usr/bin/xdotool";

// The environment with DISPLAY replaced.
std::vector<std::string> EnvWithDisplay(const std::string& strDisplay) {
    std::vector<std::string> v;
    for (char** e = environ; *e; e++)
        if (std::string(*e).rfind("DISPLAY=", 0) != 0) v.push_back(*e);
    v.push_back("DISPLAY=" + strDisplay);
    return v;
}

pid_t Spawn(const std::vector<std::string>& vArgs, const std::vector<std::string>& vEnv,
            posix_spawn_file_actions_t* pActions) {
    std::vector<std::string> a = vArgs, e = vEnv;
    std::vector<char*> argv, envp;
    for (auto& s : a) argv.push_back(s.data());
    argv.push_back(nullptr);
    for (auto& s : e) envp.push_back(s.data());
    envp.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], pActions, nullptr, argv.data(), envp.data()) != 0) return 0;
    return pid;
}

void Stop(pid_t& pid) {
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    int nStatus = 0;
    for (int i = 0; i < 300; i++) {
        if (waitpid(pid, &nStatus, WNOHANG) == pid) {
            pid = 0;
            return;
        }
        SleepMs(10);
    }
    kill(pid, SIGKILL);
    waitpid(pid, &nStatus, 0);
    pid = 0;
}

long CardinalProperty(Display* d, Window w, const char* pszName, int nIndex) {
    Atom a = XInternAtom(d, pszName, True);
    if (a == None) return -1;
    Atom type = None;
    int nFormat = 0;
    unsigned long nItems = 0, nAfter = 0;
    unsigned char* p = nullptr;
    long nValue = -1;
    if (XGetWindowProperty(d, w, a, 0, 16, False, AnyPropertyType, &type, &nFormat, &nItems, &nAfter, &p) ==
            Success &&
        p && nFormat == 32 && static_cast<unsigned long>(nIndex) < nItems)
        nValue = reinterpret_cast<long*>(p)[nIndex];
    if (p) XFree(p);
    return nValue;
}

// Depth-first over the window tree.
Window FindByPid(Display* d, Window w, long nPid, int nW, int nH) {
    XWindowAttributes wa;
    if (CardinalProperty(d, w, "_NET_WM_PID", 0) == nPid && XGetWindowAttributes(d, w, &wa) &&
        wa.map_state == IsViewable && wa.width == nW && wa.height == nH)
        return w;
    Window root = 0, parent = 0, *pChildren = nullptr;
    unsigned int n = 0;
    if (!XQueryTree(d, w, &root, &parent, &pChildren, &n)) return 0;
    Window found = 0;
    for (unsigned int i = 0; i < n && !found; i++) found = FindByPid(d, pChildren[i], nPid, nW, nH);
    if (pChildren) XFree(pChildren);
    return found;
}

// Windows come and go while a test walks the tree: an error about one that
// went is no reason to end the test program (Xlib's own handler exits).
int IgnoreXError(Display*, XErrorEvent*) { return 0; }

}  // namespace

cXServer::cXServer(bool bWindowManager) {
    XSetErrorHandler(IgnoreXError);
    if (access(XVFB, X_OK) != 0) {
        m_strMissing = "no Xvfb";
        return;
    }
    if (bWindowManager && access(OPENBOX, X_OK) != 0) {
        m_strMissing = "no openbox (scripts/install-deps.sh installs it)";
        return;
    }
    if (access(XDOTOOL, X_OK) != 0) {
        m_strMissing = "no xdotool (scripts/install-deps.sh installs it)";
        return;
    }
    // The server tells its display number on a pipe once it is ready.
    int aPipe[2];
    if (pipe(aPipe) != 0) {
        m_strMissing = "no pipe";
        return;
    }
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_adddup2(&fa, aPipe[1], 3);
    posix_spawn_file_actions_addopen(&fa, 2, "/dev/null", O_WRONLY, 0);
    m_pidServer = Spawn({XVFB, "-displayfd", "3", "-screen", "0", "1024x768x24", "-nolisten", "tcp"},
                        EnvWithDisplay(""), &fa);
    posix_spawn_file_actions_destroy(&fa);
    close(aPipe[1]);
    std::string strNumber;
    pollfd pfd{aPipe[0], POLLIN, 0};
    const uint32_t nStart = GetTicks();
    while (m_pidServer && GetTicks() - nStart < 20000 && strNumber.find('\n') == std::string::npos) {
        if (poll(&pfd, 1, 100) <= 0) continue;
        char c[16];
        ssize_t n = read(aPipe[0], c, sizeof c);
        if (n <= 0) break;
        strNumber.append(c, static_cast<size_t>(n));
    }
    close(aPipe[0]);
    if (strNumber.empty() || strNumber.find('\n') == std::string::npos) {
        m_strMissing = "Xvfb did not start";
        return;
    }
    m_strDisplay = ":" + strNumber.substr(0, strNumber.find('\n'));
    m_lpDisplay = XOpenDisplay(m_strDisplay.c_str());
    if (!m_lpDisplay) {
        m_strMissing = "cannot open " + m_strDisplay;
        return;
    }
    if (!bWindowManager) return;
    posix_spawn_file_actions_t fm;
    posix_spawn_file_actions_init(&fm);
    posix_spawn_file_actions_addopen(&fm, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&fm, 2, "/dev/null", O_WRONLY, 0);
    m_pidManager = Spawn({OPENBOX}, EnvWithDisplay(m_strDisplay), &fm);
    posix_spawn_file_actions_destroy(&fm);
    // Ready once it has set the root's check window.
    const uint32_t nWm = GetTicks();
    while (GetTicks() - nWm < 20000 && CardinalProperty(m_lpDisplay, DefaultRootWindow(m_lpDisplay),
                                                         "_NET_SUPPORTING_WM_CHECK", 0) <= 0)
        SleepMs(20);
    if (CardinalProperty(m_lpDisplay, DefaultRootWindow(m_lpDisplay), "_NET_SUPPORTING_WM_CHECK", 0) <= 0)
        m_strMissing = "openbox did not start";
}

cXServer::~cXServer() {
    if (m_lpDisplay) XCloseDisplay(m_lpDisplay);
    Stop(m_pidManager);
    Stop(m_pidServer);
}

unsigned long cXServer::FindWindow(pid_t pid, int w, int h, unsigned nMs, int* pX, int* pY) {
    if (!m_lpDisplay) return 0;
    const uint32_t nStart = GetTicks();
    for (;;) {
        Window found = FindByPid(m_lpDisplay, DefaultRootWindow(m_lpDisplay), pid, w, h);
        if (found) {
            WindowPlace(found, pX, pY);
            return found;
        }
        if (GetTicks() - nStart >= nMs) return 0;
        SleepMs(50);
    }
}

bool cXServer::WindowPlace(unsigned long nWindow, int* pX, int* pY, int* pFrameLeft, int* pFrameTop) {
    if (!m_lpDisplay) return false;
    Window child = 0;
    int x = 0, y = 0;
    if (!XTranslateCoordinates(m_lpDisplay, nWindow, DefaultRootWindow(m_lpDisplay), 0, 0, &x, &y, &child))
        return false;
    if (pX) *pX = x;
    if (pY) *pY = y;
    const long nLeft = CardinalProperty(m_lpDisplay, nWindow, "_NET_FRAME_EXTENTS", 0);
    const long nTop = CardinalProperty(m_lpDisplay, nWindow, "_NET_FRAME_EXTENTS", 2);
    if (pFrameLeft) *pFrameLeft = nLeft > 0 ? static_cast<int>(nLeft) : 0;
    if (pFrameTop) *pFrameTop = nTop > 0 ? static_cast<int>(nTop) : 0;
    return true;
}

bool cXServer::Grab(int x, int y, int w, int h, XPICTURE& pic) {
    if (!m_lpDisplay || w <= 0 || h <= 0) return false;
    XImage* img = XGetImage(m_lpDisplay, DefaultRootWindow(m_lpDisplay), x, y, static_cast<unsigned>(w),
                            static_cast<unsigned>(h), AllPlanes, ZPixmap);
    if (!img) return false;
    pic.w = w;
    pic.h = h;
    pic.rgb.resize(static_cast<size_t>(w) * h * 3);
    for (int j = 0; j < h; j++)
        for (int i = 0; i < w; i++) {
            const unsigned long p = XGetPixel(img, i, j);
            uint8_t* q = &pic.rgb[(static_cast<size_t>(j) * w + i) * 3];
            q[0] = static_cast<uint8_t>((p & img->red_mask) >> __builtin_ctzl(img->red_mask));
            q[1] = static_cast<uint8_t>((p & img->green_mask) >> __builtin_ctzl(img->green_mask));
            q[2] = static_cast<uint8_t>((p & img->blue_mask) >> __builtin_ctzl(img->blue_mask));
        }
    XDestroyImage(img);
    return true;
}

bool cXServer::PressKeys(unsigned long nWindow, const std::vector<std::string>& vKeys) {
    if (!m_lpDisplay) return false;
    const std::string strWindow = std::to_string(nWindow);
    const std::vector<std::string> vEnv = {DisplayEnv()};
    if (RunGameProcess(XDOTOOL, {"windowfocus", "--sync", strWindow}, vEnv, 20) != 0) return false;
    for (const std::string& k : vKeys) {
        if (RunGameProcess(XDOTOOL, {"key", "--delay", "60", k}, vEnv, 20) != 0) return false;
        SleepMs(100);
    }
    return true;
}
