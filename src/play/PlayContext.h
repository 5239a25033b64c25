#pragma once
// The play context: everything a stage being played keeps beside the scene
// object (the stage and its pristine copy, the character definitions, the
// progress record, the settings and the database, the character and item
// lists, the heroes, the map cells, the scene itself, the frame divider and
// the random generator), and the services it needs from the layers above
// (keys outside the play input, requests, waits, sounds). The names the play
// code uses for these (recStage, lstChara, vecPlayer, lpPlayScene ...) are
// accessors of the installed context, so a test builds a stage in code,
// installs its own context and steps frames with no window.
#include <array>
#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "foundation/InputState.h"
#include "play/MapCell.h"

class cStage;
class cCharaData;
class cSystemData;
class cDatabase;
class cProgress;
class cPlayScene;
class cObj;
class cChara;
class cHero;
class cItem;

// Lists of live objects: creation order, stable addresses, an object appended
// during a walk is reached by that walk, erasure in place returns the next node.
// Every change of the list's membership or order counts up its serial, so a
// table made from the list knows when it must be made again.
template <class T>
class cObjList : public std::list<std::unique_ptr<T>> {
    using base = std::list<std::unique_ptr<T>>;

public:
    using typename base::const_iterator;
    using typename base::iterator;
    cObjList() = default;
    cObjList(const cObjList&) = delete;
    cObjList& operator=(const cObjList&) = delete;

    uint64_t GetSerial() const { return m_nSerial; }

    template <class... A> void push_back(A&&... a) { m_nSerial++; base::push_back(std::forward<A>(a)...); }
    template <class... A> void push_front(A&&... a) { m_nSerial++; base::push_front(std::forward<A>(a)...); }
    template <class... A> decltype(auto) emplace_back(A&&... a) { m_nSerial++; return base::emplace_back(std::forward<A>(a)...); }
    template <class... A> decltype(auto) emplace_front(A&&... a) { m_nSerial++; return base::emplace_front(std::forward<A>(a)...); }
    template <class... A> iterator emplace(A&&... a) { m_nSerial++; return base::emplace(std::forward<A>(a)...); }
    template <class... A> iterator insert(A&&... a) { m_nSerial++; return base::insert(std::forward<A>(a)...); }
    template <class... A> iterator erase(A&&... a) { m_nSerial++; return base::erase(std::forward<A>(a)...); }
    template <class... A> void splice(A&&... a) { m_nSerial++; base::splice(std::forward<A>(a)...); }
    template <class... A> decltype(auto) remove_if(A&&... a) { m_nSerial++; return base::remove_if(std::forward<A>(a)...); }
    template <class... A> void sort(A&&... a) { m_nSerial++; base::sort(std::forward<A>(a)...); }
    template <class... A> void resize(A&&... a) { m_nSerial++; base::resize(std::forward<A>(a)...); }
    void clear() { m_nSerial++; base::clear(); }
    void pop_back() { m_nSerial++; base::pop_back(); }
    void pop_front() { m_nSerial++; base::pop_front(); }
    void reverse() { m_nSerial++; base::reverse(); }
    void swap(cObjList& o) { m_nSerial++; o.m_nSerial++; base::swap(o); }
    // Not offered: they would change the list behind the serial.
    void assign() = delete;
    void remove() = delete;
    void unique() = delete;
    void merge() = delete;

private:
    uint64_t m_nSerial = 0;
};

// The random numbers of play: the C library's generator (state × 214013 +
// 2531011, bits 16..30), owned by the context and seeded by the stage set-up,
// so that a replay's seed reproduces every number of the attempt.
class cPlayRandom {
public:
    void Seed(uint32_t nSeed) { m_nState = nSeed; }
    int Next() {   // 0..32767
        m_nState = m_nState * 214013u + 2531011u;
        return static_cast<int>((m_nState >> 16) & 0x7FFF);
    }
    // Between a and b inclusive, bounds in either order (span in 64 bits).
    int Get(int a, int b);
    uint32_t GetState() const { return m_nState; }

private:
    uint32_t m_nState = 1;
};

// What play asks of the layers above it. The default does nothing and
// answers "no" (headless tests); the shell installs one that reaches the
// window thread, the audio layer and the frame presentation.
// Keys play reads outside the recorded input (virtual-key codes).
enum : int { PLAYKEY_SPACE = 0x20, PLAYKEY_F1 = 0x70, PLAYKEY_F2 = 0x71, PLAYKEY_F3 = 0x72 };

class IPlayHost {
public:
    virtual ~IPlayHost() = default;
    // Keys that play reads outside the recorded input: Space (pause), F1, F2
    // (replay saves), F3 (ranking). Virtual-key codes.
    virtual bool IsKeyDown(int nVk) { (void)nVk; return false; }
    // A replay save of this attempt (0) or the previous one (1); 1 when saved.
    virtual int SaveReplay(int nWhich) { (void)nWhich; return 0; }
    virtual int LoadReplay() { return 0; }
    // The name-entry dialog for a ranking registration; 1 on OK.
    virtual int NameEntry() { return 0; }
    // A frame of a blocking wait: present the composed frame, wait for the
    // frame time and poll the input device. 0 when the program is closing.
    virtual int WaitFrame() { return 1; }
    // After a wait that ended by itself: hold the game while the window is
    // not active (the player switched away during the wait), so the play
    // does not run on unseen. Headless: returns at once.
    virtual void WaitWhileInactive() {}
    // Sound-table number (system sounds 0..16, project sound k as 16 + k).
    virtual void PlaySound(int nSound) { (void)nSound; }
    virtual void RequestBgm(int nBgm, int bLoop, int nSlot) { (void)nBgm; (void)bLoop; (void)nSlot; }
    // Close the program (the main window's close path: the player's close,
    // on which the quit question may be asked).
    virtual void RequestClose() {}
    // A close because play cannot go on (its error was shown): nothing is
    // asked and the run ends with a failure status.
    virtual void RequestErrorClose() { RequestClose(); }
    virtual bool IsClosing() { return false; }
    // The seed of a new attempt (the clock in a real game; a replay records it).
    virtual uint32_t MakeSeed() { return 1; }
    // An error the player must see (a box in the game).
    virtual void ErrorBox(const char* pszText) { (void)pszText; }
    // One step of the scene's palette fade (bIn: in, else out); true when
    // the fade is done. Headless: at once.
    virtual bool FadeStep(int bIn) { (void)bIn; return true; }
    // Loads the stage's image slots (bAll) or only its background slots;
    // 0 on failure.
    virtual int LoadStageImages(int bAll) { (void)bAll; return 1; }
    // The game runs as a test play started by the editor.
    virtual bool IsTestPlay() { return false; }
    // The in-play replay keys (F1/F2): 1 when a replay was saved this frame.
    virtual int CheckReplayKeys() { return 0; }
    // The player's ranking registration mode (0, 1 manual; 2, 3 automatic).
    virtual int GetRankingMode() { return 0; }
    // The fixed name of ranking registration modes 1 and 3 (the options').
    virtual std::string GetFixedRankName() { return std::string(); }
    // One step of the reserved system colours (every frame with a footer).
    virtual void AnimateSystemColor() {}
    // System colour n (1..9) as it stands now: {colour, colour operation}.
    // false when there is none.
    virtual bool GetSystemColorPair(int n, int anPair[2]) {
        (void)n;
        (void)anPair;
        return false;
    }
    // Starts the free game on the stage path again (a direct start's end);
    // 0 when the stage cannot be loaded.
    virtual int RestartFreeGame() { return 1; }
    // A trace for unattended checks: an attempt starts with its seed, and a
    // play frame (one that read input) has ended.
    virtual void OnAttemptStart(int32_t nSeed) { (void)nSeed; }
    virtual void OnPlayFrameEnd() {}
};

// The groups of the state hash, each hashed on its own so that two runs that
// part name the first group that differs.
enum : int {
    STATEHASH_RANDOM,     // the random state
    STATEHASH_HEROES,     // the heroes, their status records, flows, jumps and rides
    STATEHASH_CHARAS,     // the other characters and the items they carry
    STATEHASH_ITEMS,      // the items lying in the stage
    STATEHASH_SHOTS,      // shots and swords
    STATEHASH_MAP,        // the map cells
    STATEHASH_SCENE,      // scroll, clock, counters, stage variables, group lists
    STATEHASH_MESSAGES,   // the message list (ids and their steps left)
    STATEHASH_PROGRESS,   // lives, score, stage and common flags of the progress
    STATEHASH_GROUPS
};
extern const char* const STATEHASH_GROUP_NAMES[STATEHASH_GROUPS];

class cPlayContext {
public:
    cPlayContext();
    ~cPlayContext();
    cPlayContext(const cPlayContext&) = delete;
    cPlayContext& operator=(const cPlayContext&) = delete;

    // Records. By default the process-wide ones; a test points them at its own.
    cStage* lpStage = nullptr;        // recStage: the stage being played
    cStage* lpPlayStage = nullptr;    // recPlayStage: the pristine copy SetStage restores from
    cCharaData* lpCharaDef = nullptr; // recCharaDef
    cSystemData* lpSystem = nullptr;  // recSystem
    cDatabase* lpDatabase = nullptr;  // recDatabase
    cProgress* lpProgress = nullptr;  // recProgress (null until the progress record is installed)

    // Input device 0 as the play frame sees it (the shell copies its polled
    // device in; tests script it). Replays write into it.
    cInputState* lpInput = nullptr;
    cInputState Input;                // the context's own, used when nothing is installed

    IPlayHost* lpHost = nullptr;      // never null after construction
    cPlayRandom Random;

    // The Parts' globals.
    cObjList<cChara> lstChara;
    // The solid characters of lstChara in list order, whatever their state
    // (a character's solidity is fixed when it is set up, before it joins
    // the list); made again when the list has changed.
    const std::vector<cChara*>& SolidCharas();
    // The first character of lstChara with the id (ids are fixed when a
    // character is set up), null when none.
    cChara* FirstCharaById(int32_t nId);
    cObjList<cItem> lstItem;
    std::vector<std::unique_ptr<cHero>> vecPlayer;
    cBlockMap vecMapCell;
    cPlayScene* lpPlayScene = nullptr;   // not owning
    int nFrameDivider = 0;               // the frame divider of the time limit

    // Object handles: every live object is registered under a handle, its
    // serial number (never given out twice), and a slot of the table where
    // it is found. A freed slot is reused, so the table never holds more
    // slots than objects were alive at once; a reference keeps the slot and
    // the serial, and finds nothing once the slot holds another serial.
    struct OBJHANDLE {
        uint64_t nSerial = 0;   // 0: no object
        uint32_t nSlot = 0;
    };
    OBJHANDLE RegisterObj(cObj* p);
    void UnregisterObj(const OBJHANDLE& h);
    cObj* FindObj(const OBJHANDLE& h) const {
        if (h.nSlot >= m_vecSlot.size()) return nullptr;
        const OBJSLOT& e = m_vecSlot[h.nSlot];
        return e.nSerial == h.nSerial ? e.pObj : nullptr;
    }
    // The slots of the handle table (live and free).
    size_t GetHandleSlots() const { return m_vecSlot.size(); }

    // A hash of everything play depends on, frame by frame: a member that
    // can change play is in it, or PlayStateHash.cpp says why not.
    uint64_t StateHash() const;
    // The same by group (STATEHASH_RANDOM ...); StateHash combines them.
    std::array<uint64_t, STATEHASH_GROUPS> StateHashGroups() const;

    IPlayHost& Host() const { return *lpHost; }

private:
    struct OBJSLOT {
        cObj* pObj = nullptr;
        uint64_t nSerial = 0;   // of the live object; 0 while free
        uint32_t nNextFree = 0;
    };
    // Slot 0 stays unused; a free slot is linked through nNextFree (0 ends
    // the list).
    std::vector<OBJSLOT> m_vecSlot = std::vector<OBJSLOT>(1);
    uint64_t m_nNextSerial = 1;
    std::vector<cChara*> m_vecSolid;
    uint64_t m_nSolidSerial = ~uint64_t{0};
    std::vector<std::pair<int32_t, cChara*>> m_vecById;   // by id, then list order
    uint64_t m_nByIdSerial = ~uint64_t{0};
    uint32_t m_nFreeHead = 0;
};

// The installed context. Play code always runs against one; a default exists
// from program start, pointing at the process-wide records.
extern cPlayContext* lpInstalledPlayContext;
cPlayContext& DefaultPlayContext();
inline cPlayContext& PlayCtx() { return lpInstalledPlayContext ? *lpInstalledPlayContext : DefaultPlayContext(); }
void InstallPlayContext(cPlayContext* p);   // null restores the default

// Installs a context for a scope (tests).
class cPlayContextScope {
public:
    explicit cPlayContextScope(cPlayContext& ctx) : m_pPrev(&PlayCtx()) { InstallPlayContext(&ctx); }
    ~cPlayContextScope() { InstallPlayContext(m_pPrev); }

private:
    cPlayContext* m_pPrev;
};

// The Parts' global names, as accessors of the installed context.
inline cObjList<cChara>& lstChara() { return PlayCtx().lstChara; }
inline cObjList<cItem>& lstItem() { return PlayCtx().lstItem; }
inline std::vector<std::unique_ptr<cHero>>& vecPlayer() { return PlayCtx().vecPlayer; }
inline cBlockMap& vecMapCell() { return PlayCtx().vecMapCell; }
inline cPlayScene* GetPlayScene() { return PlayCtx().lpPlayScene; }
inline cPlayRandom& PlayRandom() { return PlayCtx().Random; }
inline IPlayHost& PlayHost() { return PlayCtx().Host(); }
