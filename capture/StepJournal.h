#pragma once
// The steps of the running session, as the steps file holds them: one record per press, made at the
// press with what the press itself saw, and completed by the lookup when it answers in time. The
// Windows side gathers the facts and writes the file; the records and their timing are decided here.
#include "common/KeyChord.h"
#include "output/StepsFile.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// A lookup that has not answered this long after its press leaves the press's own record in place.
constexpr uint64_t kLookupLimitMs = 500;
// At most this many chords are kept for one step; a user holding Ctrl while pressing every key of the
// keyboard has still made a step.
constexpr size_t kMaxChordsPerStep = 32;

class CStepJournal
{
public:
    explicit CStepJournal(bool recordChords = true) : m_recordChords(recordChords) {}

    // A chord pressed in the recorded window, for the next press's record. A key without a name, or
    // any chord when chords are not recorded, is left out.
    void AddChord(const KeyDown& chord);

    // The record of a press made at `now` (milliseconds on any steady clock), holding `fallback`
    // (DecideControl of what the press saw; none outside the recorded program) and the chords since the
    // previous press. `lookup` is Pending while a lookup was asked for, else Skipped or Outside.
    void AddPress(int press, std::vector<int> pictures, std::string window,
                  std::optional<StepControl> fallback, StepLookup lookup, uint64_t now);

    // The lookup's answer for `press`, finished at `doneAt`: taken when it came within kLookupLimitMs
    // of the press, else the record is marked late. False when no pending record of that press is left.
    bool Answer(int press, StepControl control, uint64_t doneAt);

    // The lookup of `press` was not made, as it waited behind a stuck one: the record is marked skipped.
    // False when no pending record of that press is left.
    bool Skip(int press);

    // Pending records older than kLookupLimitMs at `now` are marked late; true when one was.
    bool Expire(uint64_t now);

    const std::vector<StepRecord>& Records() const { return m_records; }

private:
    bool m_recordChords;
    std::vector<std::string> m_chords; // since the last press
    std::vector<StepRecord> m_records;
    std::vector<uint64_t> m_pressedAt; // beside m_records
};
