#pragma once
// What each recorded step of a take was about, read from the session's steps file: the window, the
// control under the pointer and the chords pressed, matched to the steps the export shows (docs/
// steps-format.md, "Matching the take's steps"). The steps file is part of the take and never changed.
#include "common/Result.h"
#include "output/StepsFile.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

struct StepFacts
{
    std::string window; // the title of the control's window; "" where none was recorded
    std::optional<StepControl> control;
    std::vector<std::string> chords; // oldest first, those of presses without pictures before it included
};

// One StepFacts per recorded step of the take (index = source - 1), from the records of a steps file:
// step s is the s-th record with pictures, and a record without pictures gives it only its chords (its
// control was pointed at before the step the user took next). Records after the last one with pictures
// belong to no step.
std::vector<StepFacts> MatchStepFacts(const std::vector<StepRecord>& records);

// The facts of a take: none, silently, when the session has no steps file (a take recorded before there
// were any, or with `steps = off`); refused with the file and the reason when it cannot be read or is
// not a steps file.
CResult<std::vector<StepFacts>> ReadStepFacts(const std::filesystem::path& workDir, int session);

// The roles a user clicks, whose step's mark is on unless the edit switches it off.
bool IsClickTarget(const std::string& role);

// The rectangle a step's mark outlines: its control's, where the control has one.
std::optional<StepRect> MarkRectOf(const StepFacts& facts);
// Whether the step is marked when its edit does not say: a click target with a rectangle.
bool MarkedByDefault(const StepFacts& facts);
