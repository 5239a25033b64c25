// The demo's stages, laid out as text maps. Stage files carry the numbered
// suffix on disk ("c01-1.stg4_000").
//
// Story (world map):   m01 the forest, m02 the hills, m03 the castle,
//                      m04 the secret garden (opens with ten coins).
// Challenge worlds:    c01-1 -> c01-2 -> c01-3 (forest, hills, castle),
//                      c02-1 the block gallery, c03-1 the shooting range.
// Free mode only:      k01 the valley of devices (DemoDeviceStage.cpp).
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "DemoPalette.h"
#include "DemoProject.h"
#include "stage/CommonPalette.h"
#include "stage/Stage.h"

namespace {

// Map letters: blocks, characters and items of the common palette.
const std::map<char, int> mapBlock = {
    {'=', BLK_GROUND}, {'#', BLK_EARTH}, {'B', BLK_BRICK}, {'S', BLK_STONE}, {'?', BLK_QUESTION}, {'^', BLK_SPIKES},
    {'~', BLK_CLOUD}, {'J', BLK_SPRING}, {'m', BLK_MUD}, {'i', BLK_ICE}, {'<', BLK_CONVEYOR_LEFT},
    {'>', BLK_CONVEYOR_RIGHT}, {'%', BLK_LEAVES}, {'M', BLK_MARK}, {'|', BLK_INVISIBLE}, {'b', BLK_BRIDGE}};
const std::map<char, int> mapChara = {
    {'H', CHR_HERO}, {'s', CHR_SLIME}, {'v', CHR_BAT}, {'k', CHR_KNIGHT}, {'t', CHR_TURRET}, {'p', CHR_PLATFORM},
    {'f', CHR_FROG}, {'W', CHR_SORCERER}, {'P', CHR_SIGN}, {'T', CHR_CHEST}};
const std::map<char, int> mapItem = {{'o', ITM_COIN}, {'h', ITM_HEART}, {'*', ITM_STAR}, {'G', ITM_GOAL},
                                     {'w', ITM_WING}, {'!', ITM_POTION}, {'K', ITM_KEY}};

struct STAGEDEF {
    const char* pszTitle;
    int nBgm;
    const char* pszBack;     // far background
    const char* pszNear;     // near background
    bool bTimeLimit;
    std::vector<std::string> vMap;
};

// The forest: walking, jumping onto a step, coins over brick ledges, two
// slimes, a spring, a bat and the goal flag. The signpost stands at the
// stage's left edge, a clear cell behind the hero's start: its board never
// hides the hero's face, and the hero's way right is free of it. The flag
// stands in the last column: the stage ends there, so a jump at the flag
// comes down on it rather than past it. The first stage of the story and
// of the first challenge world; the golden replay plays it.
const STAGEDEF stForest = {
    "はじまりの森", 3, "bmp\\back\\Sky.bmp", "bmp\\back\\Hills.bmp", false,
    {"............................................",
     "............................................",
     "............................................",
     "............................................",
     "............................................",
     "............................................",
     "....................ooo.....................",
     "...........?.......BBBBB....................",
     "............................................",
     "......ooo.............................%%%...",
     ".....BBBBB..........................v.......",
     "...............................ooo..........",
     "P.H......o...s......o....s....SSS.......h..G",
     "==========================J=================",
     "############################################"}};

// The hills: spike pits, a moving platform, frogs, a knight, a turret,
// conveyors, ice and mud, cloud ledges, a wing, a star and a key that lays
// a bridge. Laid out to be played through: the wing lies on the path and
// lets the flying hero rise to the coins over the first bricks and to the
// key; the platform's path starts over the pit's first cell, so a jump from
// the ledge reaches it as it turns there, and ends within a jump of the far
// side; the turret stands on its own stones above the last stretch, guarding
// the flag.
const STAGEDEF stHills = {
    "こけの丘", 4, "bmp\\back\\Sky.bmp", "bmp\\back\\Hills.bmp", true,
    {"................................................................................",
     "................................................................................",
     "................................................................................",
     "..............................................v.................................",
     "...........................ooo..................................................",
     "..........................~~~~~.................................................",
     "...................v..........................................~~~~~.............",
     "........ooo.....................................K...............................",
     "........BBB.....................................BBB........................t....",
     "..........................................................................SSS...",
     "..............................ooo..................k..........................G.",
     "..................p...........................................ooo...............",
     "..H......w...f............ooo*........s................h..........f.............",
     "=======<<<<<======^^^^^^^^======iiiii=====mmmm=====>>>>>===bbbbbb====S==========",
     "###########################################################......###############"}};

// The castle: bricks and stone, an invisible wall, marked stones, leaves
// in front, a chest, a potion of tricks, the signpost's show and the
// sorcerer, whose defeat clears the world.
const STAGEDEF stCastle = {
    "くもの城", 3, "bmp\\back\\Castle.bmp", "", false,
    {"BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",
     "B..........................................................B",
     "B..........................................................B",
     "B..........................................................B",
     "B..........................................................B",
     "B.......................ooo................................B",
     "B......................SSSSS...............................B",
     "B..........................................................B",
     "B.............M.................%%%%.......................B",
     "B............SSS...........................................B",
     "B....................................v................v....B",
     "B..........................................................B",
     "B.HP....T.......!.....s..........|......k.........W.....G..B",
     "BSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSB",
     "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB"}};

// The secret garden: coins everywhere and a heart.
const STAGEDEF stGarden = {
    "ひみつの庭", 2, "bmp\\back\\Sky.bmp", "bmp\\back\\Hills.bmp", false,
    {"........................................",
     "........................................",
     "........................................",
     "........................................",
     "........................................",
     "....ooooo.......ooooo.......ooooo.......",
     "...~~~~~~~.....~~~~~~~.....~~~~~~~......",
     "........................................",
     "........................................",
     "..ooo.......ooo.......ooo.......ooo.....",
     "........................................",
     "........................................",
     "..H......J.........h.........J.......G..",
     "========================================",
     "########################################"}};

// The block gallery: every block kind side by side.
const STAGEDEF stBlocks = {
    "ブロック展示場", 3, "bmp\\back\\Sky.bmp", "", false,
    {"............................................................",
     "............................................................",
     "............................................................",
     "............................................................",
     "............................................................",
     "............................................................",
     "............................................................",
     ".........................................bbbbb..............",
     "..................%%%%...............K......................",
     "............?.~~~.........M....|.....SSS....................",
     "............................................................",
     "............................................................",
     "..H...........................................f.........G...",
     "======JJ==iiii==mmmm==<<<<==>>>>==BBB==^^^=========SSSSSSSS=",
     "############################################################"}};

// The shooting range: the turret fires every formation on every
// trajectory, with a moving platform to hide on.
const STAGEDEF stRange = {
    "射撃場", 4, "bmp\\back\\Sky.bmp", "", false,
    {"........................................",
     "........................................",
     "........................................",
     "........................................",
     "........................................",
     "........................................",
     "........................................",
     "......................t.................",
     ".....................SSS................",
     "........................................",
     "..........p.............................",
     "........................................",
     "..H...........s...........v..........G..",
     "========================================",
     "########################################"}};

template <class T>
T At(const T& rec, int x, int y) {
    T r = rec;
    r.m_nX = static_cast<int16_t>(x);
    r.m_nY = static_cast<int16_t>(y);
    return r;
}

cStage MakeStage(const cCommonPalette& cp, const STAGEDEF& def) {
    cStage st;
    st.SetDefault();
    st.m_strText = def.pszTitle;
    st.m_nHeight = static_cast<int32_t>(def.vMap.size());
    st.m_nWidth = static_cast<int32_t>(def.vMap[0].size());
    st.m_nBgm = def.nBgm;
    st.m_bShowStartBanner2 = 1;
    st.m_bTimeLimit = def.bTimeLimit ? 1 : 0;
    st.m_nTimeLimit = 300;
    st.m_nTimeWarn = 30;
    st.m_bSaveCarryOver = 1;
    st.m_bLoadCarryOver = 1;
    for (int i = 0; i < STAGE_TALLY_COUNT; i++) st.m_vTallyFlag.At(i) = 1;
    st.m_vBlockPalette = cp.m_vBlockPalette;
    st.m_vCharaPalette = cp.m_vCharaPalette;
    st.m_vItemPalette = cp.m_vItemPalette;
    if (st.m_vStageVarName.size() < 7) st.m_vStageVarName.resize(7);
    const char* const aszVar[] = {"", "橋", "たおした敵", "床に乗った", "床にキャラ", "", "薬"};
    for (int i = 0; i < 7; i++) st.m_vStageVarName[i].m_strName = aszVar[i];

    cBackground far;
    far.m_strFile = def.pszBack;
    far.m_dRateX = 0.1;
    far.m_dRateY = 0.0;
    st.m_vBackground.push_back(far);
    if (*def.pszNear) {
        cBackground near;
        near.m_strFile = def.pszNear;
        near.m_dRateX = 0.3;
        near.m_dRateY = 0.0;
        st.m_vBackground.push_back(near);
    }

    for (int y = 0; y < st.m_nHeight; y++)
        for (int x = 0; x < st.m_nWidth; x++) {
            const char c = def.vMap[y][x];
            if (auto b = mapBlock.find(c); b != mapBlock.end()) st.m_vBlockPlace.push_back(At(cp.m_vBlockPalette[b->second], x, y));
            else if (auto ch = mapChara.find(c); ch != mapChara.end()) {
                cCharaData chara = At(cp.m_vCharaPalette[ch->second], x, y);
                chara.m_nDir = 0;   // facing the hero
                if (c == 'H') {
                    chara.m_nDir = 1;
                    st.m_vCharaPlace.insert(st.m_vCharaPlace.begin(), chara);
                } else {
                    st.m_vCharaPlace.push_back(chara);
                }
            } else if (auto it = mapItem.find(c); it != mapItem.end())
                st.m_vItemPlace.push_back(At(cp.m_vItemPalette[it->second], x, y));
        }
    return st;
}

bool SaveStage(const cStage& st, const char* pszName) {
    char szPath[96];
    std::snprintf(szPath, sizeof szPath, "data\\stg4\\%s.stg4_000", pszName);
    cStage copy = st;
    if (!copy.Save(szPath)) {
        std::fprintf(stderr, "mkdemo: cannot write %s\n", szPath);
        return false;
    }
    return true;
}

}  // namespace

bool WriteDemoStages(const cCommonPalette& cp) {
    const struct {
        const STAGEDEF* pDef;
        const char* pszStory;
        const char* pszChallenge;
    } stages[] = {
        {&stForest, "m01", "c01-1"}, {&stHills, "m02", "c01-2"}, {&stCastle, "m03", "c01-3"},
        {&stGarden, "m04", nullptr}, {&stBlocks, nullptr, "c02-1"}, {&stRange, nullptr, "c03-1"},
    };
    bool bOk = true;
    for (const auto& s : stages) {
        cStage st = MakeStage(cp, *s.pDef);
        if (s.pszStory) bOk = SaveStage(st, s.pszStory) && bOk;
        if (s.pszChallenge) bOk = SaveStage(st, s.pszChallenge) && bOk;
    }
    cStage devices;
    MakeDemoDeviceStage(cp, devices);
    bOk = SaveStage(devices, "k01") && bOk;
    return bOk;
}

const char* const* GetDemoStageFiles() {
    static const char* const aszFile[] = {"data\\stg4\\m01.stg4",   "data\\stg4\\m02.stg4",   "data\\stg4\\m03.stg4",
                                          "data\\stg4\\m04.stg4",   "data\\stg4\\c01-1.stg4", "data\\stg4\\c01-2.stg4",
                                          "data\\stg4\\c01-3.stg4", "data\\stg4\\c02-1.stg4", "data\\stg4\\c03-1.stg4", "data\\stg4\\k01.stg4",
                                          nullptr};
    return aszFile;
}
