// The palette table and the transparent colour.
#include "graphics/DDPalette.h"

#include <cstring>

#include "foundation/ErrorBox.h"
#include "foundation/Log.h"
#include "graphics/DDCreate.h"
#include "graphics/DDFade.h"
#include "graphics/DDImage.h"
#include "graphics/DDPixel.h"

bool DDLoadPaletteFromFile(PALETTEENTRY* lpTable, const char* pszFile, int /*bWindowed*/) {
    if (!lpTable) return false;
    DDBITMAP bmp;
    if (!DDReadBitmap(pszFile, &bmp)) return false;
    bool bFilled8 = false;
    if (bmp.nFileBpp == 8 && bmp.vColors.size() == 256) {
        // A colour table shorter than 256 entries was padded with black.
        if (lpDTCon) {
            for (int i = 0; i < 256; i++) lpTable[i] = {bmp.vColors[i].peRed, bmp.vColors[i].peGreen, bmp.vColors[i].peBlue, 255};
        } else if (nScreenBpp == 8) {
            for (int i = 0; i < 256; i++) {
                uint8_t f = (i <= 9 || i >= 246) ? PC_EXPLICIT : PC_RESERVED;
                lpTable[i] = {bmp.vColors[i].peRed, bmp.vColors[i].peGreen, bmp.vColors[i].peBlue, f};
            }
            bFilled8 = true;
        }
    }
    if (!lpDTCon && nScreenBpp == 8) DDSetDisplayPalette(0, 256, lpTable);
    if (!bFilled8 && (nScreenBpp == 16 || nScreenBpp == 24 || nScreenBpp == 32)) {
        DDSURFACEDATA tmp;
        if (DDCreateSurfaceFromFile(&tmp, pszFile, 0, nScreenBpp, 1, DTMEMORYTYPE_SYSTEM, nullptr, 0, 0, 0, 0) == 0)
            DDSetPalette_UnPal(lpTable, &tmp);
        DDReleaseSurfaceData(&tmp);
    }
    return true;
}

void DDSetTransmit(uint8_t cbRed, uint8_t cbGreen, uint8_t cbBlue) {
    if (lpDTCon) {
        lpDTCon->rgbTransmit = {cbBlue, cbGreen, cbRed};
        WriteEC("SetTrans lpDTCon->rgbTransmit.rgbtRed = %d,lpDTCon->rgbTransmit.rgbtGreen = %d,lpDTCon->rgbTransmit.rgbtBlue = %d",
                cbRed, cbGreen, cbBlue);
        if (nScreenBpp == 16 || nScreenBpp == 32) {
            lpDTCon->dwTransmit = 0;
            lpDTCon->dwTransmitBack = 0xFF000000u | uint32_t(cbRed) << 16 | uint32_t(cbGreen) << 8 | cbBlue;
            if (nScreenBpp == 32) dwTransColor = lpDTCon->dwTransmit;
        }
        return;
    }
    if (nScreenBpp == 16) {
        uint32_t r = DDReduceChannelTrunc(cbRed, pfDraw.nMaxR), g = DDReduceChannelTrunc(cbGreen, pfDraw.nMaxG),
                 b = DDReduceChannelTrunc(cbBlue, pfDraw.nMaxB);
        dwTransColor = r << pfDraw.nShiftR | g << pfDraw.nShiftG | b << pfDraw.nShiftB;
        WriteEC("※16bit色で　DDSetTransmit(BYTE cbRed,BYTE cbGreen,BYTE cbBlue)　は未対応！");
        if (bECLog)
            ErrorBoxEC("Tr %d RGB32(%d,%d,%d) -> RGB16(%d,%d,%d)", static_cast<int>(dwTransColor), cbRed, cbGreen, cbBlue,
                       static_cast<int>(DDExpandChannel(r, pfDraw.nMaxR)), static_cast<int>(DDExpandChannel(g, pfDraw.nMaxG)),
                       static_cast<int>(DDExpandChannel(b, pfDraw.nMaxB)));
    } else if (nScreenBpp == 32) {
        dwTransColor = uint32_t(cbRed) << 16 | uint32_t(cbGreen) << 8 | cbBlue;
        if (lpDDCon) lpDDCon->rgbTransmit = {cbBlue, cbGreen, cbRed};
    }
}

int DDSetTransmitFromFile(const char* pszFile) {
    DDSURFACEDATA tmp;
    int nCode = DDCreateSurfaceFromFile(&tmp, pszFile, 0, nScreenBpp, 1, DTMEMORYTYPE_SYSTEM, nullptr, 0, 0, 0, 0);
    if (!DDCheckLoadErr(nCode) || nCode != 0) {
        WriteEC("%s 作成失敗！", pszFile ? pszFile : "");
        DDReleaseSurfaceData(&tmp);
        return 0;
    }
    int nResult = 1;
    {
        cSurfaceLock lock(&tmp);
        if (!lock.IsLocked()) {
            WriteEC("Lock 失敗！");
            nResult = 0;
        } else {
            uint32_t px = DDGetRaw(*lock.m_lpPixels, 0, 0);
            if (lpDTCon) {
                if (nScreenBpp == 16) {
                    dwTransColor = px;
                    DDBITMAP bmp;
                    if (!DDReadBitmap(pszFile, &bmp)) {
                        nResult = 0;
                    } else {
                        if (bmp.nFileBpp == 8 && !bmp.vColors.empty())
                            lpDTCon->rgbTransmit16 = {bmp.vColors[0].peBlue, bmp.vColors[0].peGreen, bmp.vColors[0].peRed};
                        uint32_t argb = DDUnpackByFormat(pfDraw, px);
                        DDSetTransmit(static_cast<uint8_t>(argb >> 16), static_cast<uint8_t>(argb >> 8), static_cast<uint8_t>(argb));
                    }
                } else {
                    DDSetTransmit(static_cast<uint8_t>(px >> 16), static_cast<uint8_t>(px >> 8), static_cast<uint8_t>(px));
                }
            } else if (nScreenBpp != 24) {
                dwTransColor = px;
                if (nScreenBpp == 32 && lpDDCon)
                    lpDDCon->rgbTransmit = {static_cast<uint8_t>(px), static_cast<uint8_t>(px >> 8), static_cast<uint8_t>(px >> 16)};
            }
        }
    }
    DDReleaseSurfaceData(&tmp);
    return nResult;
}
