// The demo's project records: database, system settings, world map and
// System.ini.
#include <cstdio>
#include <string>

#include "DemoProject.h"
#include "platform/FileSystem.h"
#include "project/Database.h"
#include "project/GameState.h"
#include "project/SystemData.h"
#include "project/WorldMap.h"

const char* GetDemoSystemSound(int n);

namespace {

cAnime MakeAnime(const char* pszName, std::initializer_list<int> cells, int nTime, int nLockFrom = -1) {
    cAnime an;
    an.m_strName = pszName;
    an.m_vFrame.clear();
    int k = 0;
    for (int c : cells) {
        cAnimeFrame f;
        f.m_nCell = c;
        f.m_nTime = nTime;
        f.m_bLock = nLockFrom >= 0 && k >= nLockFrom ? 1 : 0;
        an.m_vFrame.push_back(f);
        k++;
    }
    return an;
}

cAnimeSet MakeAnimeSet(const char* pszName, int nBase) {
    cAnimeSet set;
    set.m_strName = pszName;
    set.m_vAnime[ANIMESLOT_STAND] = MakeAnime("立ち", {nBase}, 10);
    set.m_vAnime[ANIMESLOT_STANDMOVE] = MakeAnime("立ち移動", {nBase, nBase + 1, nBase + 2, nBase + 3}, 1);
    set.m_vAnime[ANIMESLOT_FLY] = MakeAnime("飛行", {nBase + 12, nBase + 13}, 2);
    set.m_vAnime[ANIMESLOT_FLYMOVE] = MakeAnime("飛行移動", {nBase + 12, nBase + 13, nBase + 14, nBase + 15}, 1);
    return set;
}

template <class T>
T Named(const char* pszName, const char* pszFile) {
    T rec;
    rec.m_strName = pszName;
    rec.m_strFile = pszFile;
    return rec;
}

}  // namespace

void MakeDemoDatabase(cDatabase& db) {
    db.SetDefault();
    db.m_vAnimeSet.clear();
    db.m_vAnimeSet.push_back(MakeAnimeSet("主人公", 0));
    db.m_vAnimeSet.push_back(MakeAnimeSet("スライム", 0));

    db.m_vAnime.clear();
    db.m_vAnime.push_back(MakeAnime("なし", {0}, 1));
    db.m_vAnime.push_back(MakeAnime("アクションA", {0, 1, 2, 3}, 1));
    db.m_vAnime.push_back(MakeAnime("ジャンプ", {2, 3}, 2, 1));

    db.m_vBmpCharaExc.resize(2);
    db.m_vBmpCharaExc[0].m_strName = "なし";
    db.m_vBmpCharaExc[1].m_strName = "大きなスライム";
    db.m_vBmpCharaExc[1].m_strBitmap = "bmp\\Character2.bmp";
    db.m_vBmpCharaExc[1].m_bLargeCells = 0;

    db.m_vSwordType.clear();
    for (const char* pszName : {"剣", "長い剣"}) {
        cSwordType sw;
        sw.m_strName = pszName;
        sw.m_strBitmap[0] = "bmp\\sword\\Sword.bmp";
        sw.m_strBitmap[1] = "bmp\\sword\\Sword.bmp";
        sw.m_vPart.clear();
        for (int i = 0; i < 3; i++) {
            cSwordPart part;
            part.m_nPlace = SWORDPLACE_FRONT;
            part.m_nSrcX = i == 2 ? 64 : 0;
            part.m_nSrcY = 8;
            part.m_nWidth = 56;
            part.m_nHeight = 16;
            part.m_nTime = 1;
            sw.m_vPart.push_back(part);
        }
        db.m_vSwordType.push_back(sw);
    }

    db.m_vEffect.clear();
    for (const char* pszName : {"爆発", "きらめき"}) {
        cEffect fx;
        fx.m_strName = pszName;
        fx.m_strBitmap = "bmp\\effect\\Burst.bmp";
        fx.m_nWidth = 32;
        fx.m_nHeight = 32;
        fx.m_bEnlarge = 1;
        fx.m_vFrame.clear();
        for (int c = 0; c < 8; c++) {
            cEffectFrame f;
            f.m_nCell = c;
            f.m_nTime = 1;
            fx.m_vFrame.push_back(f);
        }
        db.m_vEffect.push_back(fx);
    }

    auto MakeDef = [](auto& list, const char* pszName, int nKind, std::initializer_list<int> params) {
        using T = typename std::decay_t<decltype(list)>::value_type;
        T e;
        e.m_strName = pszName;
        e.m_nKind = nKind;
        int i = 0;
        for (int p : params) e.m_anParam[i++] = p;
        list.push_back(e);
    };
    db.m_vCharaEffect.clear();
    MakeDef(db.m_vCharaEffect, "なし", 0, {1});
    MakeDef(db.m_vCharaEffect, "点滅", 6, {10, 2});
    MakeDef(db.m_vCharaEffect, "破裂", 1, {5, 0, 32});
    MakeDef(db.m_vCharaEffect, "波", 4, {5, 0, 32, 2, 2});
    db.m_vScrEffect.clear();
    MakeDef(db.m_vScrEffect, "なし", 0, {1});
    MakeDef(db.m_vScrEffect, "振動", 2, {10, 4, 4});
    MakeDef(db.m_vScrEffect, "モザイク", 13, {10, 1, 60});

    db.m_vPicture.clear();
    db.m_vPicture.push_back(Named<cPicture>("なし", ""));
    db.m_vPicture.push_back(Named<cPicture>("クリア", "bmp\\picture\\Clear.bmp"));

    db.m_vSound.clear();
    db.m_vSound.push_back(Named<cSound>("なし", ""));
    db.m_vSound.push_back(Named<cSound>("ジャンプ", "wave\\Jump.wav"));
    db.m_vSound.push_back(Named<cSound>("コイン", "wave\\Coin.wav"));
    db.m_vSound.push_back(Named<cSound>("ヒット", "wave\\Hit.wav"));

    db.m_vBgm.clear();
    db.m_vBgm.push_back(Named<cBgm>("なし", ""));
    db.m_vBgm.push_back(Named<cBgm>("タイトル", "bgm\\Title.mid"));
    db.m_vBgm.push_back(Named<cBgm>("マップ", "bgm\\Map.mid"));
    db.m_vBgm.push_back(Named<cBgm>("ステージ", "bgm\\Stage.mid"));
    db.m_vBgm[3].m_nVolume = 90;
    db.m_vBgm.push_back(Named<cBgm>("草原", "bgm\\Hills.ogg"));
}

void MakeDemoSystem(cSystemData& sys) {
    sys.SetDefault();
    sys.m_strTitle = "Mossgrove デモ";
    sys.m_nWorldCount = 3;
    sys.m_bTitleMenuPicture = 0;
    for (int i = 0; i < SYSSOUND_COUNT; i++) sys.m_vSysSound[i] = GetDemoSystemSound(i);
    sys.m_vSceneBgm.assign({1, 2, 2, 1});
    // Replays recorded in every play, save slots, rankings in every mode.
    sys.m_bReplay = 1;
    sys.m_bUseSaveSlots = 1;
    sys.m_bSpacePause = 1;
    // Rankings in the challenge and free play (the story saves instead).
    for (size_t i = 0; i < sys.m_vRankingFlags.size(); i++) {
        cRankingFlags& r = sys.m_vRankingFlags[i];
        r.m_bRanking = i == GAMEMODE_CHALLENGE || i == GAMEMODE_FREE ? 1 : 0;
        for (uint8_t& k : r.m_vKind) k = r.m_bRanking ? 1 : 0;
    }
    // Drawing without the start-up question, in a window.
    sys.m_vIniItem[INI_DIRECT3D].m_nValue = 1;
    sys.m_vIniItem[INI_WINDOWMODE].m_nValue = 1;
}

void MakeDemoWorldMap(cWorldMap& map) {
    map.SetDefault();
    map.m_strName = "モスグローブ";
    map.m_vChip.clear();
    for (int i = 0; i < 10; i++) {
        cWorldChip chip;
        chip.m_nPicture = i;
        chip.m_bBlock = i < 5 ? 1 : 0;
        chip.m_strName = i < 5 ? "移動不可" : "移動可";
        map.m_vChip.push_back(chip);
    }
    // An island of 20 x 15 cells in the middle of a sea wide enough that
    // the view, which follows the cursor, always shows the map: a beach
    // around, mountains in the north, woods and flowers, a river with a
    // bridge and the roads between the places.
    constexpr int OX = 10, OY = 8;
    map.SetSize(20 + 2 * OX, 15 + 2 * OY);
    for (int y = 0; y < 15 + 2 * OY; y++)
        for (int x = 0; x < 20 + 2 * OX; x++) map.SetCell(x, y, 0);   // the sea
    for (int y = 0; y < 15; y++)
        for (int x = 0; x < 20; x++) {
            int nChip = 5;                                                   // grass
            if (x == 0 || y == 0 || x == 19 || y == 14) nChip = 0;           // water around
            else if (x == 1 || y == 1 || x == 18 || y == 13) nChip = 8;      // the beach
            else if (y <= 3 && (x * 5 + y) % 4 != 0) nChip = 1;              // mountains
            else if ((x * 7 + y * 3) % 11 == 0) nChip = 2;                   // woods
            else if ((x + y * 5) % 13 == 0) nChip = 9;                       // flowers
            map.SetCell(OX + x, OY + y, nChip);
        }
    // A road from the forest east to the castle, a path south to the garden
    // and a bridge over the river between the hills and the castle.
    for (int x = 3; x <= 15; x++) map.SetCell(OX + x, OY + 7, 6);
    for (int y = 8; y <= 11; y++) map.SetCell(OX + 9, OY + y, 6);
    for (int y = 1; y < 14; y++)
        if (y != 7) map.SetCell(OX + 12, OY + y, 0);   // the river
    map.SetCell(OX + 12, OY + 7, 7);                   // the bridge
    map.m_nStartX = OX + 3;
    map.m_nStartY = OY + 7;
    map.m_nBackColor = 16;
    map.m_bBackPicture = 0;
    map.m_strBackFile = "bmp\\WorldBack.bmp";
    map.m_vPlace.clear();
    // Stage n needs the flag of stage n - 1; the garden needs ten coins
    // (common variable 1) and the forest cleared. The castle ends the story:
    // its clear leads back to the title.
    const struct {
        int x, y, nStage, nNeedFlag, nVar, nValue, nEnd;
        const char* pszName;
        const char* pszFile;
        const char* pszText;
    } places[] = {
        {3, 7, 1, 0, 0, 0, WORLDEND_NONE, "はじまりの森", "data\\stg4\\m01.stg4", "ステージ1 はじまりの森"},
        {9, 7, 2, 1, 0, 0, WORLDEND_NONE, "こけの丘", "data\\stg4\\m02.stg4", "ステージ2 こけの丘"},
        {15, 7, 3, 2, 0, 0, WORLDEND_TITLE, "くもの城", "data\\stg4\\m03.stg4", "ステージ3 くもの城"},
        {9, 11, 4, 1, 1, 10, WORLDEND_NONE, "ひみつの庭", "data\\stg4\\m04.stg4", "おまけ ひみつの庭 (コイン10枚)"},
    };
    for (const auto& p : places) {
        cWorldPlace place;
        place.m_nX = OX + p.x;
        place.m_nY = OY + p.y;
        place.m_strName = p.pszName;
        cWorldStage st;
        st.m_nKind = WORLDSTAGE_STAGE;
        st.m_nEventRow = p.nStage - 1;
        st.m_nStage = p.nStage;
        st.m_bConfirm = 1;
        st.m_bReplayable = 1;
        st.m_nReserved = p.nEnd;
        st.m_nNeedFlag = p.nNeedFlag;
        st.m_nVar = p.nVar;
        st.m_nValue = p.nValue;
        st.m_nCompare = 2;   // at least
        st.m_strText = p.pszText;
        st.m_strFile = p.pszFile;
        place.m_vStage.push_back(st);
        map.m_vPlace.push_back(place);
    }
}

bool WriteDemoSystemIni() {
    FILE* fp = FsOpen("System.ini", "wb");
    if (!fp) return false;
    std::fputs("/ Settings of this machine. The drawing mode is set, so no question at start.\r\n"
               "Direct3D=1\r\nWindowMode=1\r\nBpp=0\r\nVSync=2\r\nD3D_FontCache=0\r\nDD_FontCache=1\r\n"
               "DD_VideoStretch=0\r\nShowFps=0\r\nEnglish=0\r\nMidi_DirectMusic=1\r\nExit\r\n",
               fp);
    return std::fclose(fp) == 0;
}
