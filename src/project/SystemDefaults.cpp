// System settings: the defaults of a fresh record, the system texts, the
// System.ini key list and the font and display-mode name lists.
#include "project/SystemData.h"

const char* const aszFontName[FONTNAME_COUNT + 1] = {
    "System", "Terminal", "FixedSys", "Roman", "Script", "Modern", "Small Fonts", "MS Serif",
    "WST_Czec", "WST_Engl", "WST_Fren", "WST_Germ", "WST_Ital", "WST_Span", "WST_Swed", "Courier",
    "MS Sans Serif", "Marlett", "Arial", "Arial CE", "Arial CYR", "Arial Greek", "Arial TUR", "Arial Baltic",
    "Courier New", "Courier New CE", "Courier New CYR", "Courier New Greek", "Courier New TUR",
    "Courier New Baltic", "Lucida Console", "Lucida Sans Unicode", "Times New Roman", "Times New Roman CE",
    "Times New Roman CYR", "Times New Roman Greek", "Times New Roman TUR", "Times New Roman Baltic",
    "Wingdings", "Symbol", "Verdana", "Arial Black", "Comic Sans MS", "Impact", "Georgia",
    "Franklin Gothic Medium", "Palatino Linotype", "Tahoma", "Trebuchet MS", "Webdings", "Estrangelo Edessa",
    "Gautami", "Latha", "Mangal", "MV Boli", "Raavi", "Shruti", "Tunga", "Sylfaen", "ＭＳ ゴシック",
    "ＭＳ Ｐゴシック", "MS UI Gothic", "ＭＳ 明朝", "ＭＳ Ｐ明朝", "Microsoft Sans Serif", "Gulim", "GulimChe",
    "Dotum", "DotumChe", "Batang", "BatangChe", "Gungsuh", "GungsuhChe", "SimSun", "NSimSun", "SimSun-PUA",
    "SimHei", "MingLiU", "PMingLiU", "Arial Narrow", "Book Antiqua", "Bookman Old Style", "Century",
    "Century Gothic", "Garamond", "MS Outlook", "HGｺﾞｼｯｸE", "HGPｺﾞｼｯｸE", "HGSｺﾞｼｯｸE", "HG丸ｺﾞｼｯｸM-PRO",
    "HG創英角ｺﾞｼｯｸUB", "HGP創英角ｺﾞｼｯｸUB", "HGS創英角ｺﾞｼｯｸUB", "HG創英角ﾎﾟｯﾌﾟ体", "HGP創英角ﾎﾟｯﾌﾟ体",
    "HGS創英角ﾎﾟｯﾌﾟ体", "HG正楷書体-PRO", "InMusicSym", "Kartika", "Vrinda", "メイリオ", "MT Extra",
    "HGｺﾞｼｯｸM", "HGPｺﾞｼｯｸM", "HGSｺﾞｼｯｸM", "HG行書体", "HGP行書体", "HGS行書体", "HG教科書体",
    "HGP教科書体", "HGS教科書体", "HG明朝B", "HGP明朝B", "HGS明朝B", "HG明朝E", "HGP明朝E", "HGS明朝E",
    "HG創英ﾌﾟﾚｾﾞﾝｽEB", "HGP創英ﾌﾟﾚｾﾞﾝｽEB", "HGS創英ﾌﾟﾚｾﾞﾝｽEB", "OCRB", "Sydnie", "",
};

const char* const aszColorModeName[3] = {"256色(8bit) カラーパレットあり", "1677万色(24bit) カラーパレットなし", ""};
const char* const aszBppName[4] = {"32bit(1677万色)", "16bit(32768色)", "8bit(256色)", ""};
const char* const aszBppNameD3D[3] = {"32bit(1677万色)", "16bit(32768色)", ""};

const char* const aszDefaultSysText[SYSTEXT_COUNT] = {
    "ワールド", "ステージ", "スコア", "ハイスコア", "トータルスコア", "スコア", "残り時間", "クリア時間",
    "残りHP", "残りSP", "ステージに挑む", "やっぱりやめる", "セーブする", "やっぱりやめる",
    "オートセーブＯＮ", "オートセーブＯＦＦ", "保存先が不明です！一度は「セーブ」して下さい！",
    "タイトルへ戻る", "やっぱりやめる", "しゅうりょう", "つづける", "リトライ", "マップへ戻る", "リトライ",
    "マップへ戻る", "Vキーでジャンルの切り替え", "スペースキーでタイトルへ戻る", "スペースキーで終了",
    "F3キーでランキングへ登録",
};

const INIITEMDEFAULT atblIniItemDefault[INIITEM_COUNT] = {
    {"Direct3D", 0, 2, ""},     {"WindowMode", 0, 0, ""},      {"Bpp", 0, 0, ""},
    {"VSync", 0, 2, ""},        {"D3D_FontCache", 0, 0, ""},   {"DD_FontCache", 0, 1, ""},
    {"DD_VideoStretch", 0, 0, ""}, {"ShowFps", 0, 1, ""},      {"FreeStage", 1, 0, ""},
    {"English", 0, 0, ""},      {"Midi_DirectMusic", 0, 1, ""},
};

namespace {

template <class T>
void SetSize(cChkVector<T>& v, size_t n) {
    v.clear();
    v.resize(n);
}

void SetMenu(cChkVector<cCmd>& v, std::initializer_list<const char*> texts) {
    v.clear();
    for (const char* psz : texts) {
        cCmd cmd;
        cmd.m_bEnable = 1;
        cmd.m_strText = psz;
        v.push_back(cmd);
    }
}

}  // namespace

void cSystemData::SetDefault() {
    Clear();
    m_nExtendScore = 100;
    m_bPauseHideStage = 1;
    m_bSymbolLetters = 0;
    m_nFont = DEFAULT_FONT;
    m_bReplay = 1;
    m_bTitleMenuPicture = 1;
    m_bUseSaveSlots = 1;
    m_bStoryRetryRestore = 1;
    m_bChallengeRetryRestore = 1;
    m_bFreeRetryRestore = 1;
    m_bStoryPauseRetry = 1;
    m_bStoryPauseToMap = 1;
    m_bChallengePauseRetry = 1;
    m_nSysColorStep = 16;
    m_bStoryLifeCarry = 1;
    m_bStoryMissToMap = 1;
    m_bMapShowLife = 1;
    m_nWorldCount = 40;
    m_bAllWorldsOpen = 1;
    m_bStoryMapScore = 1;
    m_bStoryTotalScore = 1;
    m_bChallengeHighScore = 1;
    m_bChallengeTotalScore = 1;
    m_nScreenBppD3D = 0;
    m_nScreenBppDD = 2;

    SetSize(m_vCarryOver, CARRYOVER_COUNT);
    for (int i : {0, 1, 13, 14, 16, 17, 19, 20, 21}) m_vCarryOver[i] = 1;
    SetSize(m_vMissForget, CARRYOVER_COUNT);
    m_vMissForget[11] = 1;
    m_vMissForget[12] = 1;

    static const struct {
        const char* pszLabel;
        int nCells;
    } atblStatus[STATUSDISP_COUNT] = {{"スコア", 4}, {"スコア", 3}, {"HP", 0}, {"SP", 0}, {"人", 2}};
    SetSize(m_vStatusDisp, STATUSDISP_COUNT);
    for (int i = 0; i < STATUSDISP_COUNT; i++) {
        cStatusDisp& disp = m_vStatusDisp[i];
        disp.m_bShow = 1;
        disp.m_bIcon = 1;
        disp.m_strLabel = atblStatus[i].pszLabel;
        disp.m_nValueCells = atblStatus[i].nCells;
    }

    SetSize(m_vRankingFlags, PLAYMODE_COUNT);
    for (int m = 0; m < PLAYMODE_COUNT; m++) {
        cRankingFlags& flags = m_vRankingFlags[m];
        flags.m_bRanking = m < 3 ? 1 : 0;
        flags.m_vKind.assign(RANKING_KIND_COUNT, m < 3 ? 1 : 0);
    }

    SetMenu(m_vTitleMenu, {"はじめから", "つづきから", "チャレンジ", "フリー", "リプレイ", "オプション", "しゅうりょう"});
    SetMenu(m_vSaveMenu, {"セーブ", "オートセーブ", "もどる", "タイトルへ"});
    SetMenu(m_vOptionMenu, {"パレット", "BGM", "SE", "ランキング登録", "ランキング登録名", "もどる"});
    m_vRankingModeText.assign({"手動登録（登録名入力）", "手動登録（登録名固定）", "自動登録（登録名入力）",
                               "自動登録（登録名固定）"});
    m_vLife.assign({5, 5, 5, 99});
    m_vLifeInfinite.assign({1, 1, 1, 1});
    m_vSysText.assign(aszDefaultSysText, aszDefaultSysText + SYSTEXT_COUNT);
    SetSize(m_vSysSound, SYSSOUND_COUNT);
    m_vSceneBgm.assign(SCENEBGM_COUNT, 0);
    m_vSceneBgmFlag.assign(SCENEBGM_COUNT, 1);

    m_vIniItem.clear();
    for (const INIITEMDEFAULT& d : atblIniItemDefault) {
        cIniItem item;
        if (d.nKind == 1)
            item.SetString(d.pszKey, d.pszValue);
        else
            item.SetInt(d.pszKey, d.nValue);
        m_vIniItem.push_back(item);
    }
}
