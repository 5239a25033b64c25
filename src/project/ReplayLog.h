#pragma once
// The replay log: the player's input of one stage attempt, frame by frame,
// as two run-length coded streams (the direction word and the button word),
// with the random seed of the attempt; and the replay files that keep a log
// with the stage as it was set up and the progress at its start.
//
// Replay file (after the version word): the stage snapshot (a stage body
// ending with its trailer), the log (its record body with the seed, then
// four lists: direction values int16, button values int16, direction run
// lengths int32, button run lengths int32), the progress record (files of
// versions above 172).
//
// The play frame records each frame's two words after the held-button
// suppression (RecordFrame) and, in a playback, takes them back frame by
// frame (PlayFrame) after RewindPlayback at the stage set-up.
#include <cstdint>
#include <string>

#include "foundation/ChkContainers.h"
#include "foundation/Record.h"

class cStage;
class cCharaData;
class cProgress;

class cReplayLog : public cRecord {
public:
    cReplayLog();

    void RegisterFields(int nVer) override;
    // The log's body. A log whose lists break the invariant (a value list
    // and its run lengths of different lengths, a run length below 1) fails
    // the stream.
    void Read(cDataFile* fp) override;
    void Write(cDataFile* fp) override;

    // Seed 0, the four lists emptied, playback at the start.
    void Clear();
    // The seed and the lists of src (not its playback position).
    void Copy(const cReplayLog& src);

    // Appends one frame: per stream, the last run grows when the word equals
    // its value, else a run of 1 starts.
    void RecordFrame(int16_t nDir, int16_t nButton);
    void RecordFrame(const int16_t aWords[2]) { RecordFrame(aWords[0], aWords[1]); }
    // Writes the next frame's words and returns 0; returns 1 (words
    // untouched) once either stream has run out.
    int PlayFrame(int16_t aWords[2]);
    // Playback starts again at the first frame.
    void RewindPlayback();

    // Nothing recorded (the replay keys refuse to save it).
    bool IsEmpty() const { return m_vDirLog.empty(); }
    // Equal list lengths per stream and every run at least 1 frame.
    bool IsConsistent() const;

    // Writes a replay file of this log: the snapshot of stage with the
    // settings of header (the stage as loaded), then the log and progress.
    // 1 on success; 0 (the old file untouched) on any failure.
    int SaveReplayFile(const char* path, cStage& stage, cStage& header, cProgress& progress);

    int32_t m_nSeed = 0;
    cChkVector<int16_t> m_vDirLog;
    cChkVector<int16_t> m_vButtonLog;
    cChkVector<int32_t> m_vDirRunLen;
    cChkVector<int32_t> m_vButtonRunLen;
    // Playback position (not stored).
    int32_t m_nPlayDir = 0, m_nPlayButton = 0;
    int32_t m_nRunDir = 0, m_nRunButton = 0;
    // Data version of the file the log was loaded from; 0 for a log
    // recorded in this run. The play context answers the replay version of
    // the stage context with it.
    uint32_t m_nFileVersion = 0;
};

// Reads a replay file. All or nothing: on success the stage, the header
// stage (its settings, switch records and lists, no palettes and
// placements), the log (playback rewound), the progress (files above
// version 172) and, when given, the hero record are replaced and 1 is
// returned; on any failure (cannot be opened, newer version, damaged, no
// hero) nothing changes and 0 is returned.
int LoadReplayFile(cReplayLog& log, const char* path, cStage& stage, cStage& header, cProgress& progress,
                   cCharaData* lpHero = nullptr);

// The proposed file name of a replay of a stage (the progress's stage file
// name): "user_data\rpl4\" + the decorated base name + "__YYYY__MM_DD__hh_mm"
// + ".rpl4_854", numbered " (2)" to " (999)" when taken, made absolute.
// Empty for an empty stage name.
std::string MakeReplayFileName(const std::string& strStageName, int nDecorate, int a, int b);
// The same with the decoration of recProgress.
std::string MakeReplayFileName(const std::string& strStageName);

extern cReplayLog recReplayA;
extern cReplayLog recReplayB;
