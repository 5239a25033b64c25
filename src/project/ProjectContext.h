#pragma once
// The project's answers to what records ask while they are read: the
// database's list counts and sword part times, whether the system settings
// keep test-only flows, whether this is a test play. The start-up installs
// ctxProject (over recDatabase and recSystem) as the current stage context;
// tests and tools build one over records of their own.
#include "stage/StageContext.h"

class cDatabase;
class cSystemData;
class cWorldMap;
class cCommonPalette;

extern cDatabase recDatabase;
extern cSystemData recSystem;
extern cWorldMap recWorldMap;

class cProjectContext : public cStageContext {
public:
    // Null records stand for the start-up instances.
    explicit cProjectContext(const cDatabase* lpDatabase = nullptr, const cSystemData* lpSystem = nullptr)
        : m_lpDatabase(lpDatabase), m_lpSystem(lpSystem) {}

    bool IsTestPlay() const override { return m_bTestPlay; }
    bool SystemKeepsTestFlows() const override;
    int DatabaseCount(int nList) const override;
    std::vector<int> SwordPartTimes(int nType) const override;
    // The common palette (type 1); the stage palette is the stage's own.
    const cChkVector<cBlockData>* BlockPalette(int nType) const override;
    const cChkVector<cCharaData>* CharaPalette(int nType) const override;
    const cChkVector<cItemData>* ItemPalette(int nType) const override;
    // The data version of the replay file being played back (the loaded
    // log's), 0 outside a playback.
    int ReplayPlaybackVersion() const override;

    // Null stands for the start-up instance.
    void SetCommonPalette(const cCommonPalette* lpCommon) { m_lpCommon = lpCommon; }
    const cCommonPalette& CommonPalette() const;

    const cDatabase& Database() const;
    const cSystemData& System() const;

    bool m_bTestPlay = false;

private:
    const cDatabase* m_lpDatabase;
    const cSystemData* m_lpSystem;
    const cCommonPalette* m_lpCommon = nullptr;
};

extern cProjectContext ctxProject;
