#include "export/take/StepFacts.h"

#include "common/File.h"
#include "common/SessionNames.h"
#include "export/take/Project.h"

#include <algorithm>
#include <iterator>

namespace fs = std::filesystem;

namespace {

// What a user acts on with the pointer: pressing, ticking, choosing or typing into it. A label, a
// picture, a list as a whole, a window or the parts of its frame are where the pointer rests, not a
// target; marking them would outline half the window.
const char* const kClickTargetRoles[] = {
    "button",    "check-box", "radio-button", "link",   "list-item",   "tree-item", "tab",
    "menu-item", "combo-box", "text-field",   "slider", "spin-button", "cell"};

} // namespace

std::vector<StepFacts> MatchStepFacts(const std::vector<StepRecord>& records)
{
    std::vector<StepFacts> facts;
    std::vector<std::string> pending; // chords of presses that changed nothing, waiting for a step
    for (const StepRecord& record : records) {
        pending.insert(pending.end(), record.chords.begin(), record.chords.end());
        if (record.pictures.empty())
            continue;
        facts.push_back({record.window, record.control, std::move(pending)});
        pending.clear();
    }
    return facts;
}

CResult<std::vector<StepFacts>> ReadStepFacts(const fs::path& workDir, int session)
{
    const fs::path file = workDir / SessionFolderName(session) / StepsFileName(session);
    std::error_code ec;
    if (!fs::exists(file, ec) && !ec)
        return std::vector<StepFacts>{};
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(file, bytes))
        return Fail(file.u8string() + ": cannot be read");
    const CResult<std::vector<StepRecord>> records =
        ParseStepsFile(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    if (!records)
        return Fail(file.u8string() + ": " + records.Error().text);
    return MatchStepFacts(*records);
}

bool IsClickTarget(const std::string& role)
{
    return std::find(std::begin(kClickTargetRoles), std::end(kClickTargetRoles), role) !=
           std::end(kClickTargetRoles);
}

std::optional<StepRect> MarkRectOf(const StepFacts& facts)
{
    if (!facts.control || !facts.control->rect)
        return std::nullopt;
    // A stage is at most kMaxStageCoordinate wide and high. The file holds any 32-bit numbers, and a
    // rectangle far beyond the stage would overflow the outline's sums and have it walk billions of rows.
    const StepRect& rect = *facts.control->rect;
    const auto within = [](int32_t value, int32_t least) {
        return value >= least && value <= kMaxStageCoordinate;
    };
    if (!within(rect.x, -kMaxStageCoordinate) || !within(rect.y, -kMaxStageCoordinate) ||
        !within(rect.width, 1) || !within(rect.height, 1))
        return std::nullopt;
    return rect;
}

bool MarkedByDefault(const StepFacts& facts)
{
    return MarkRectOf(facts) && IsClickTarget(facts.control->role);
}
