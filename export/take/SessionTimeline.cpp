#include "export/take/SessionTimeline.h"

#include "common/ChangeDetection.h"
#include "common/File.h"
#include "common/LittleEndian.h"
#include "common/SessionNames.h"
#include "export/take/BmpReader.h"
#include "output/OffsetTables.h"
#include "output/TemplateFormat.h"
#include "state/FrameValues.h"

#include <algorithm>
#include <memory>

namespace fs = std::filesystem;

namespace {

// Messages name files in UTF-8, whatever the system's code page.
std::string Utf8Path(const fs::path& file)
{
    return file.u8string();
}

Failure FileFailure(const fs::path& file, const std::string& what)
{
    return Fail(Utf8Path(file) + ": " + what);
}

// The pictures of one step and what is known of it. A step is a key press, as long as the frame
// entries tell where each press ends; from the first picture without one, each picture is a step of
// its own.
struct StepPictures
{
    std::vector<int> numbers;
    bool pressKnown = true;           // it begins a key press, whose number is the step's
    std::optional<int> closingFrames; // the frame value the press's closing patch gave its last picture
};

// "picture 5" or "pictures 5 to 7".
std::string Numbers(const char* noun, int first, int last)
{
    return first == last ? std::string(noun) + " " + std::to_string(first)
                         : std::string(noun) + "s " + std::to_string(first) + " to " + std::to_string(last);
}

class CSessionReader
{
public:
    CSessionReader(const fs::path& workDir, int session)
        : m_workDir(workDir), m_sessionDir(workDir / SessionFolderName(session)),
          m_destination(m_sessionDir / DestinationFileName(session))
    {
    }

    CResult<SessionTimeline> Decode()
    {
        if (const CResult<> loaded = LoadFiles(); !loaded)
            return loaded.Error();
        const CResult<std::vector<StepPictures>> steps = GroupPictures();
        if (!steps)
            return steps.Error();
        SessionTimeline timeline;
        for (size_t s = 1; s <= steps->size(); ++s) {
            CResult<TimelineStep> step = DecodeStep(*steps, s, timeline);
            if (!step)
                return step.Error();
            timeline.steps.push_back(std::move(*step));
        }
        NoteGaps(timeline);
        return timeline;
    }

private:
    // The offset files and the destination file. The program's own loaders open for update and would
    // count a read-only file as missing; the export only reads, so it parses the text itself, into
    // tables of its own so that the program that runs it keeps its own.
    CResult<> LoadFiles()
    {
        std::error_code ec;
        if (!fs::is_directory(m_workDir, ec))
            return FileFailure(m_workDir, "working directory not found");
        ResetOffsetTables(*m_offsets);
        using ParseOffsets = int (*)(const char* text, size_t size, OffsetTables& tables);
        const struct
        {
            const char* name;
            ParseOffsets parse;
        } offsetFiles[] = {{"bmpoffs.ini", ParseBitmapOffsets},
                           {"curoffs.ini", ParseCursorOffsets},
                           {"frmoffs.ini", ParseFrameOffsets}};
        for (const auto& [name, parse] : offsetFiles) {
            std::vector<uint8_t> text;
            if (!ReadWholeFile(m_workDir / name, text))
                return FileFailure(m_workDir / name, "offset file not found or unreadable");
            parse(reinterpret_cast<const char*>(text.data()), text.size(), *m_offsets);
        }
        if (!fs::is_directory(m_sessionDir, ec))
            return FileFailure(m_sessionDir, "session directory not found");
        if (!ReadWholeFile(m_destination, m_bytes))
            return FileFailure(m_destination, "destination file not found or unreadable");
        return {};
    }

    // The pictures by key press: only the last picture of a press gets the frame value; the others
    // get 0. A short frmoffs.ini lacks the entries of the later pictures, whose patches the capture
    // skipped.
    CResult<std::vector<StepPictures>> GroupPictures()
    {
        const int count = HighestPictureNumber();
        if (count == 0)
            return FileFailure(PictureFile(1), "missing: the session has no pictures");
        std::vector<StepPictures> steps(1);
        for (int k = 1; k <= count; ++k) {
            steps.back().numbers.push_back(k);
            if (k == count)
                break;
            const std::optional<int32_t> entry = FrameOffset(*m_offsets, k);
            if (!entry) {
                if (m_firstPictureUnclosed == 0)
                    m_firstPictureUnclosed = k;
                m_lastPictureUnclosed = k;
                steps.emplace_back().pressKnown = false;
                continue;
            }
            const CResult<uint16_t> frames = ReadFrameEntry(k, *entry);
            if (!frames)
                return frames.Error();
            if (*frames != 0) {
                steps.back().closingFrames = *frames;
                steps.emplace_back();
            }
        }
        return steps;
    }

    // Step s (from 1), its pictures' headers read. What the offset files do not tell of it is taken
    // as the default length and a pointer that stays where it was.
    CResult<TimelineStep> DecodeStep(const std::vector<StepPictures>& steps, size_t s,
                                     SessionTimeline& timeline)
    {
        const int number = static_cast<int>(s);
        const StepPictures& step = steps[s - 1];
        TimelineStep decoded;
        const std::optional<int32_t> cursorAt =
            step.pressKnown ? CursorOffset(*m_offsets, number, 1) : std::nullopt;
        if (cursorAt) {
            const CResult<CursorPoint> cursor =
                ReadPoint(*cursorAt, "cursor record of step " + std::to_string(s));
            if (!cursor)
                return cursor.Error();
            decoded.cursor = *cursor;
        } else {
            // The first step always has a row, a built-in one at least.
            decoded.cursor = timeline.steps.empty() ? CursorPoint{} : timeline.steps.back().cursor;
            if (step.pressKnown)
                m_stepsWithoutCursor.push_back(number);
        }
        if (s == steps.size()) {
            // The last step was never closed: it keeps the timing the session used last.
            decoded.frames =
                s > 1 ? steps[s - 2].closingFrames.value_or(kDefaultFrameValue) : kDefaultFrameValue;
        } else if (step.closingFrames) {
            const CResult<int32_t> span = ReadSpan(number);
            if (!span)
                return span.Error();
            decoded.frames = *span != 0 ? *span : *step.closingFrames;
        } else {
            decoded.frames = kDefaultFrameValue;
        }
        // Whether the step holds a whole key press: its start and its end are known.
        const bool press = step.pressKnown && (step.closingFrames || s == steps.size());
        for (const int k : step.numbers) {
            CResult<std::optional<TimelinePicture>> picture =
                DecodePicture(k, press && step.numbers.size() == 1, press, timeline);
            if (!picture)
                return picture.Error();
            if (*picture)
                decoded.pictures.push_back(std::move(**picture));
        }
        return decoded;
    }

    // Each offset file that lacks rows for the take is named once, with what was shown instead.
    void NoteGaps(SessionTimeline& timeline) const
    {
        if (m_firstPictureUnclosed != 0)
            timeline.gaps.push_back(
                Utf8Path(m_workDir / "frmoffs.ini") + ": no row for " +
                Numbers("picture", m_firstPictureUnclosed, m_lastPictureUnclosed) +
                ": where a key press ends is not known from there on, so each picture is a "
                "step of its own, " +
                std::to_string(kDefaultFrameValue) + " frames long, with the pointer where it was");
        if (!m_stepsWithoutCursor.empty())
            timeline.gaps.push_back(
                Utf8Path(m_workDir / "curoffs.ini") + ": no row for " +
                Numbers("step", m_stepsWithoutCursor.front(), m_stepsWithoutCursor.back()) +
                ": the pointer stays where it was");
    }

    // Picture k with its header and placement; none when it is left out, with its line in
    // `timeline.skipped`. `lone`: the only picture of its key press; `pressKnown`: whether that is known.
    CResult<std::optional<TimelinePicture>> DecodePicture(int k, bool lone, bool pressKnown,
                                                          SessionTimeline& timeline)
    {
        TimelinePicture picture;
        picture.number = k;
        picture.file = PictureFile(k);
        CBmpFile bmp;
        if (const CResult<> opened = bmp.Open(picture.file); !opened) {
            if (k == 1)
                return FileFailure(picture.file,
                                   opened.Error().text + "; without the first picture there is no stage");
            timeline.skipped.push_back(Utf8Path(picture.file) + ": " + opened.Error().text);
            return std::optional<TimelinePicture>();
        }
        picture.width = bmp.Width();
        picture.height = bmp.Height();
        const CResult<CursorPoint> at = ReadPlacement(k);
        if (!at)
            return at.Error();
        picture.x = at->x;
        picture.y = at->y;
        // Where the presses are not known, only a picture larger than the window can be a whole grab.
        const bool resized = pressKnown ? lone && IsResizedWindow(picture) : OutgrowsWindow(picture);
        picture.wholeGrab = k == 1 || (picture.x == 0 && picture.y == 0 && resized);
        if (picture.wholeGrab) {
            m_windowWidth = picture.width;
            m_windowHeight = picture.height;
            timeline.stageWidth = std::max(timeline.stageWidth, m_windowWidth);
            timeline.stageHeight = std::max(timeline.stageHeight, m_windowHeight);
        }
        if (const CResult<> inside = CheckInWindow(picture); !inside)
            return inside.Error();
        return std::optional<TimelinePicture>(std::move(picture));
    }

    bool IsResizedWindow(const TimelinePicture& p) const
    {
        if (p.width == m_windowWidth && p.height == m_windowHeight)
            return false;
        // A change found in one cell alone of the capture's grid is a box inside that cell.
        const GridCell topLeft = CellAt(m_windowWidth, m_windowHeight, 0, 0);
        return p.width > topLeft.right || p.height > topLeft.bottom;
    }

    bool OutgrowsWindow(const TimelinePicture& p) const
    {
        return p.width > m_windowWidth || p.height > m_windowHeight;
    }

    // The highest k of the imageBMP<k>.bmp files in the session directory, 0 when there is none.
    int HighestPictureNumber() const
    {
        static const std::string kPrefix = kPictureStem, kSuffix = kPictureExtension;
        int highest = 0;
        std::error_code ec;
        for (fs::directory_iterator it(m_sessionDir, ec), end; !ec && it != end; it.increment(ec)) {
            const std::string name = it->path().filename().u8string();
            if (name.size() <= kPrefix.size() + kSuffix.size() ||
                name.size() > kPrefix.size() + kSuffix.size() + 6 ||
                name.compare(0, kPrefix.size(), kPrefix) != 0 ||
                name.compare(name.size() - kSuffix.size(), kSuffix.size(), kSuffix) != 0)
                continue;
            const std::string digits =
                name.substr(kPrefix.size(), name.size() - kPrefix.size() - kSuffix.size());
            if (digits[0] == '0' || digits.find_first_not_of("0123456789") != std::string::npos)
                continue;
            highest = std::max(highest, std::stoi(digits));
        }
        return highest;
    }

    fs::path PictureFile(int k) const { return m_sessionDir / PictureFileName(k); }

    CResult<> CheckRange(int64_t offset, int bytes, const std::string& what) const
    {
        if (offset >= 0 && uint64_t(offset) + bytes <= m_bytes.size())
            return {};
        return FileFailure(m_destination, what + " at offset " + std::to_string(offset) +
                                              " lies outside the file (" + std::to_string(m_bytes.size()) +
                                              " bytes)");
    }

    const uint8_t* At(int64_t offset) const { return m_bytes.data() + offset; }

    // Positions are stored as pixels * 20; anything else was never written by a capture step.
    CResult<CursorPoint> ReadPoint(int64_t offset, const std::string& what) const
    {
        if (const CResult<> inside = CheckRange(offset, 8, what); !inside)
            return inside.Error();
        const int32_t rawX = static_cast<int32_t>(Get32(At(offset)));
        const int32_t rawY = static_cast<int32_t>(Get32(At(offset + 4)));
        if (rawX % kTwips != 0 || rawY % kTwips != 0)
            return FileFailure(m_destination, what + " at offset " + std::to_string(offset) + " holds (" +
                                                  std::to_string(rawX) + ", " + std::to_string(rawY) +
                                                  "), not a pixel position times 20");
        return CursorPoint{rawX / kTwips, rawY / kTwips};
    }

    CResult<uint16_t> ReadFrameEntry(int k, int32_t offset) const
    {
        if (const CResult<> inside = CheckRange(offset, 2, "frame count of picture " + std::to_string(k));
            !inside)
            return inside.Error();
        return Get16(At(offset));
    }

    // The span's two 16-bit parts are read as they stand: a part the patcher skipped (a = 0, or b with
    // no low 16 bits) still holds the template's bytes.
    CResult<int32_t> ReadSpan(int s) const
    {
        const std::optional<int32_t> first = CursorOffset(*m_offsets, s, 3);
        const std::optional<int32_t> second = CursorOffset(*m_offsets, s, 4);
        if (!first || !second)
            return 0; // the capture wrote no span: the step lasts its frame value
        const std::string what = "frame span of step " + std::to_string(s);
        for (const int32_t offset : {*first, *second})
            if (const CResult<> inside = CheckRange(offset, 2, what); !inside)
                return inside.Error();
        return static_cast<int32_t>(Get16(At(*first)) + Get16(At(*second)));
    }

    // Every placement of a row holds the same position; the first one is read.
    CResult<CursorPoint> ReadPlacement(int k) const
    {
        if (PlacementCount(*m_offsets, k) < 1)
            return FileFailure(m_workDir / "bmpoffs.ini", "no row for picture " + std::to_string(k));
        const int64_t at = int64_t{PlacementOffset(*m_offsets, k, 1)} + kPlacementValueOffset;
        return ReadPoint(at, "placement of picture " + std::to_string(k));
    }

    CResult<> CheckInWindow(const TimelinePicture& p) const
    {
        if (p.x >= 0 && p.y >= 0 && int64_t{p.x} + p.width <= m_windowWidth &&
            int64_t{p.y} + p.height <= m_windowHeight)
            return {};
        return FileFailure(
            p.file, std::to_string(p.width) + " x " + std::to_string(p.height) + " picture placed at (" +
                        std::to_string(p.x) + ", " + std::to_string(p.y) + ") reaches outside the " +
                        std::to_string(m_windowWidth) + " x " + std::to_string(m_windowHeight) + " stage");
    }

    fs::path m_workDir;
    fs::path m_sessionDir;
    fs::path m_destination;
    std::vector<uint8_t> m_bytes;
    std::unique_ptr<OffsetTables> m_offsets = std::make_unique<OffsetTables>(); // too large for the stack
    int m_windowWidth = 0; // the latest whole grab's size
    int m_windowHeight = 0;
    int m_firstPictureUnclosed = 0; // the pictures without a frame entry, 0 for none
    int m_lastPictureUnclosed = 0;
    std::vector<int> m_stepsWithoutCursor;
};

} // namespace

CResult<SessionTimeline> DecodeSession(const fs::path& workDir, int session)
{
    return CSessionReader(workDir, session).Decode();
}
