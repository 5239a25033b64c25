#pragma once
// A message window or a text pop-up of the stage-play scene: the text of the
// message and game-wait commands, the rising icon of a picked-up item and the
// extra-life pop-up. A text is rendered once into a surface of its own and
// blitted each frame; its escapes (#C12. #S5_3P. ...) are replaced by the
// values of common or stage variables, optionally again while it is shown.
#include <cstdint>
#include <memory>
#include <string>

struct DDSURFACEDATA;

enum : int { MESMODE_TEXT = 1, MESMODE_ICON = 2, MESMODE_1UP = 3 };
enum : int { MESDUR_KEY = 0, MESDUR_STAGE = 1, MESDUR_TIME = 2 };

// The arguments of cMessage::Set, in the order of the command's parameters.
struct MESSAGESETUP {
    int32_t nMode = MESMODE_TEXT;
    const char* lpszText = nullptr;   // null keeps the texts
    int32_t nIconKind = 0, nIconCell = 0, nIconExtra = 0;
    int32_t nPosMode = 0, nCellX = 0, nCellY = 0, nOffX = 0, nOffY = 0;
    int32_t bKeepOnScreen = 0, bFixed = 0, nDurMode = MESDUR_TIME, nFrames = 0, bCountWhileFrozen = 0;
    int32_t nAnchorId = 0, bNoZoom = 0, bExpand = 0, bLive = 0, nInterval = 0, bWindow = 0;
    int32_t bHasId = 0, nMessageId = 0, bNoSurface = 0;
};

class cMessage {
public:
    cMessage();
    explicit cMessage(const MESSAGESETUP& s);
    ~cMessage();
    cMessage(const cMessage&) = delete;
    cMessage& operator=(const cMessage&) = delete;

    void Set(const MESSAGESETUP& s);
    void CreateSurface();
    void RenderText();
    // One frame: position, anchoring and drawing into lpDst; 1 when the
    // message has ended (the caller removes it).
    int Update(DDSURFACEDATA* lpDst, int bFreeze);
    // The position of the last update (top left on the screen).
    int GetX() const { return m_nX; }
    int GetY() const { return m_nY; }

    std::unique_ptr<DDSURFACEDATA> m_lpSurface;
    int32_t m_nMode = MESMODE_TEXT;
    std::string m_strText;     // shown
    std::string m_strSource;   // as given
    int32_t m_nIconKind = 0, m_nIconCell = 0, m_nIconExtra = 0;
    int32_t m_bExpand = 0, m_bLive = 0, m_nInterval = 0, m_bWindow = 0;
    int32_t m_nPosMode = 0, m_nCellX = 0, m_nCellY = 0, m_nOffX = 0, m_nOffY = 0;
    int32_t m_nWidth = 0, m_nHeight = 0;
    int32_t m_bKeepOnScreen = 0, m_nDurMode = 0, m_bFixed = 0;
    int32_t m_bRemembered = 0, m_nRememberX = 0, m_nRememberY = 0;
    int32_t m_bHasId = 0, m_nMessageId = 0;
    int32_t m_nAnchorId = 0, m_nLeft = 0, m_bCountWhileFrozen = 0, m_bZoomIn = 0;
    double m_dZoom = 0;

private:
    int32_t m_nX = 0, m_nY = 0;
    // The position by the position mode; false when the anchor is gone.
    bool CalcPos(int* pX, int* pY) const;
};

// Replaces the escapes of a text in place with the values of the common
// variables (#C) and the stage variables (#S). A number with no variable
// behind it leaves its escape as written.
void ExpandMessageText(std::string& text, const int32_t* lpCommon, int nCommon, const int32_t* lpStage, int nStage);
// The same with the variables of the installed progress record and scene.
void ExpandMessageText(std::string& text);
// The text's size in the play font with 2 dots of margin each way.
void GetMessageTextSize(int* pWidth, int* pHeight, const char* lpszText);
