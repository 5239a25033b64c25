// Which IPA font stands in for each face name a project can choose.
#include "graphics/GlyphRasterizer.h"

#include <cstring>
#include <strings.h>

namespace {

enum eIpaFace { IPA_GOTHIC, IPA_PGOTHIC, IPA_MINCHO, IPA_PMINCHO, IPA_COUNT };

const char* const aszIpaFile[IPA_COUNT] = {
    "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf",
    "/usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf",
    "/usr/share/fonts/opentype/ipafont-mincho/ipam.ttf",
    "/usr/share/fonts/opentype/ipafont-mincho/ipamp.ttf",
};

struct FACEMAP {
    const char* lpszFace;  // Shift-JIS, as the settings store it
    eIpaFace eFace;
};

// Fixed-pitch faces take the fixed-pitch IPA fonts, serif faces the Mincho
// pair, everything else the proportional Gothic.
const FACEMAP aFaceMap[] = {
    {"System", IPA_PGOTHIC}, {"Terminal", IPA_GOTHIC}, {"FixedSys", IPA_GOTHIC},
    {"Roman", IPA_PMINCHO}, {"Script", IPA_PMINCHO}, {"Modern", IPA_PGOTHIC},
    {"Small Fonts", IPA_PGOTHIC}, {"MS Serif", IPA_PMINCHO}, {"WST_Czec", IPA_PGOTHIC},
    {"WST_Engl", IPA_PGOTHIC}, {"WST_Fren", IPA_PGOTHIC}, {"WST_Germ", IPA_PGOTHIC},
    {"WST_Ital", IPA_PGOTHIC}, {"WST_Span", IPA_PGOTHIC}, {"WST_Swed", IPA_PGOTHIC},
    {"Courier", IPA_GOTHIC}, {"MS Sans Serif", IPA_PGOTHIC}, {"Marlett", IPA_PGOTHIC},
    {"Arial", IPA_PGOTHIC}, {"Arial CE", IPA_PGOTHIC}, {"Arial CYR", IPA_PGOTHIC},
    {"Arial Greek", IPA_PGOTHIC}, {"Arial TUR", IPA_PGOTHIC}, {"Arial Baltic", IPA_PGOTHIC},
    {"Courier New", IPA_GOTHIC}, {"Courier New CE", IPA_GOTHIC}, {"Courier New CYR", IPA_GOTHIC},
    {"Courier New Greek", IPA_GOTHIC}, {"Courier New TUR", IPA_GOTHIC},
    {"Courier New Baltic", IPA_GOTHIC}, {"Lucida Console", IPA_GOTHIC},
    {"Lucida Sans Unicode", IPA_PGOTHIC}, {"Times New Roman", IPA_PMINCHO},
    {"Times New Roman CE", IPA_PMINCHO}, {"Times New Roman CYR", IPA_PMINCHO},
    {"Times New Roman Greek", IPA_PMINCHO}, {"Times New Roman TUR", IPA_PMINCHO},
    {"Times New Roman Baltic", IPA_PMINCHO}, {"Wingdings", IPA_PGOTHIC}, {"Symbol", IPA_PGOTHIC},
    {"Verdana", IPA_PGOTHIC}, {"Arial Black", IPA_PGOTHIC}, {"Comic Sans MS", IPA_PGOTHIC},
    {"Impact", IPA_PGOTHIC}, {"Georgia", IPA_PMINCHO}, {"Franklin Gothic Medium", IPA_PGOTHIC},
    {"Palatino Linotype", IPA_PMINCHO}, {"Tahoma", IPA_PGOTHIC}, {"Trebuchet MS", IPA_PGOTHIC},
    {"Webdings", IPA_PGOTHIC}, {"Estrangelo Edessa", IPA_PGOTHIC}, {"Gautami", IPA_PGOTHIC},
    {"Latha", IPA_PGOTHIC}, {"Mangal", IPA_PGOTHIC}, {"MV Boli", IPA_PGOTHIC},
    {"Raavi", IPA_PGOTHIC}, {"Shruti", IPA_PGOTHIC}, {"Tunga", IPA_PGOTHIC},
    {"Sylfaen", IPA_PMINCHO}, {"ＭＳ ゴシック", IPA_GOTHIC}, {"ＭＳ Ｐゴシック", IPA_PGOTHIC},
    {"MS UI Gothic", IPA_PGOTHIC}, {"ＭＳ 明朝", IPA_MINCHO}, {"ＭＳ Ｐ明朝", IPA_PMINCHO},
    {"Microsoft Sans Serif", IPA_PGOTHIC}, {"Gulim", IPA_PGOTHIC}, {"GulimChe", IPA_GOTHIC},
    {"Dotum", IPA_PGOTHIC}, {"DotumChe", IPA_GOTHIC}, {"Batang", IPA_PMINCHO},
    {"BatangChe", IPA_MINCHO}, {"Gungsuh", IPA_PMINCHO}, {"GungsuhChe", IPA_MINCHO},
    {"SimSun", IPA_PMINCHO}, {"NSimSun", IPA_MINCHO}, {"SimSun-PUA", IPA_PMINCHO},
    {"SimHei", IPA_PGOTHIC}, {"MingLiU", IPA_MINCHO}, {"PMingLiU", IPA_PMINCHO},
    {"Arial Narrow", IPA_PGOTHIC}, {"Book Antiqua", IPA_PMINCHO},
    {"Bookman Old Style", IPA_PMINCHO}, {"Century", IPA_PMINCHO}, {"Century Gothic", IPA_PGOTHIC},
    {"Garamond", IPA_PMINCHO}, {"MS Outlook", IPA_PGOTHIC}, {"HGｺﾞｼｯｸE", IPA_GOTHIC},
    {"HGPｺﾞｼｯｸE", IPA_PGOTHIC}, {"HGSｺﾞｼｯｸE", IPA_PGOTHIC}, {"HG丸ｺﾞｼｯｸM-PRO", IPA_GOTHIC},
    {"HG創英角ｺﾞｼｯｸUB", IPA_GOTHIC}, {"HGP創英角ｺﾞｼｯｸUB", IPA_PGOTHIC},
    {"HGS創英角ｺﾞｼｯｸUB", IPA_PGOTHIC}, {"HG創英角ﾎﾟｯﾌﾟ体", IPA_GOTHIC},
    {"HGP創英角ﾎﾟｯﾌﾟ体", IPA_PGOTHIC}, {"HGS創英角ﾎﾟｯﾌﾟ体", IPA_PGOTHIC},
    {"HG正楷書体-PRO", IPA_MINCHO}, {"InMusicSym", IPA_PGOTHIC}, {"Kartika", IPA_PGOTHIC},
    {"Vrinda", IPA_PGOTHIC}, {"メイリオ", IPA_PGOTHIC}, {"MT Extra", IPA_PGOTHIC},
    {"HGｺﾞｼｯｸM", IPA_GOTHIC}, {"HGPｺﾞｼｯｸM", IPA_PGOTHIC}, {"HGSｺﾞｼｯｸM", IPA_PGOTHIC},
    {"HG行書体", IPA_MINCHO}, {"HGP行書体", IPA_PMINCHO}, {"HGS行書体", IPA_PMINCHO},
    {"HG教科書体", IPA_MINCHO}, {"HGP教科書体", IPA_PMINCHO}, {"HGS教科書体", IPA_PMINCHO},
    {"HG明朝B", IPA_MINCHO}, {"HGP明朝B", IPA_PMINCHO}, {"HGS明朝B", IPA_PMINCHO},
    {"HG明朝E", IPA_MINCHO}, {"HGP明朝E", IPA_PMINCHO}, {"HGS明朝E", IPA_PMINCHO},
    {"HG創英ﾌﾟﾚｾﾞﾝｽEB", IPA_MINCHO}, {"HGP創英ﾌﾟﾚｾﾞﾝｽEB", IPA_PMINCHO},
    {"HGS創英ﾌﾟﾚｾﾞﾝｽEB", IPA_PMINCHO}, {"OCRB", IPA_GOTHIC}, {"Sydnie", IPA_PGOTHIC},
};

bool IsAscii(const char* s)
{
    for (; *s; s++)
        if (static_cast<unsigned char>(*s) >= 0x80) return false;
    return true;
}

}  // namespace

const char* DDGetFontFileForFace(const char* lpszFace)
{
    if (lpszFace != nullptr) {
        for (const FACEMAP& m : aFaceMap)
            if (std::strcmp(m.lpszFace, lpszFace) == 0) return aszIpaFile[m.eFace];
        // Face names match without regard to case, as font names do; only
        // for plain ASCII names, where folding cannot touch a trail byte.
        if (IsAscii(lpszFace))
            for (const FACEMAP& m : aFaceMap)
                if (IsAscii(m.lpszFace) && strcasecmp(m.lpszFace, lpszFace) == 0) return aszIpaFile[m.eFace];
    }
    return aszIpaFile[IPA_PGOTHIC];
}
