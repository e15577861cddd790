#include "export/take/SessionTimeline.h"

#include "export/take/BmpReader.h"
#include "common/ChangeDetection.h"
#include "common/File.h"
#include "common/SessionNames.h"
#include "output/OffsetTables.h"
#include "output/TemplateFormat.h"
#include "state/FrameValues.h"

#include <algorithm>
#include <memory>

namespace fs = std::filesystem;

namespace {

// Messages name files in UTF-8, whatever the system's code page.
std::string Name(const fs::path& file)
{
    return file.u8string();
}

class CSessionReader
{
public:
    CSessionReader(const fs::path& workDir, int session)
        : m_workDir(workDir), m_sessionDir(workDir / SessionFolderName(session)),
          m_destination(m_sessionDir / DestinationFileName(session))
    {
    }

    bool Decode(SessionTimeline& timeline, std::string& error)
    {
        const bool ok = DecodeAll(timeline);
        if (!ok)
            error = m_error;
        return ok;
    }

private:
    bool DecodeAll(SessionTimeline& timeline)
    {
        std::error_code ec;
        if (!fs::is_directory(m_workDir, ec))
            return Fail(m_workDir, "working directory not found");
        // The program's own loaders open for update and would count a read-only file as missing; the
        // export only reads, so it parses the text itself, into tables of its own so that the program
        // that runs it keeps its own.
        ResetOffsetTables(*m_offsets);
        if (!LoadOffsets("bmpoffs.ini", ParseBitmapOffsets) ||
            !LoadOffsets("curoffs.ini", ParseCursorOffsets) || !LoadOffsets("frmoffs.ini", ParseFrameOffsets))
            return false;
        if (!fs::is_directory(m_sessionDir, ec))
            return Fail(m_sessionDir, "session directory not found");
        if (!ReadWholeFile(m_destination, m_bytes))
            return Fail(m_destination, "destination file not found or unreadable");

        const int count = HighestPictureNumber();
        if (count == 0)
            return Fail(PictureFile(1), "missing: the session has no pictures");

        std::vector<std::vector<int>> stepPictures(1);
        std::vector<int> closingFrames; // frame entry of each closed step's last picture
        for (int k = 1; k <= count; ++k) {
            stepPictures.back().push_back(k);
            if (k == count)
                break;
            uint16_t frames = 0;
            if (!ReadFrameEntry(k, frames))
                return false;
            // Only the last picture of a step gets the frame value; the others get 0.
            if (frames != 0) {
                closingFrames.push_back(frames);
                stepPictures.emplace_back();
            }
        }

        timeline = SessionTimeline{};
        int windowWidth = 0, windowHeight = 0; // the latest whole grab's size
        const int steps = static_cast<int>(stepPictures.size());
        for (int s = 1; s <= steps; ++s) {
            TimelineStep step;
            if (!ReadCursor(s, step.cursor))
                return false;
            if (s < steps) {
                int32_t span = 0;
                if (!ReadSpan(s, span))
                    return false;
                step.frames = span != 0 ? span : closingFrames[s - 1];
            } else {
                // The last step was never closed: it keeps the timing the session used last.
                step.frames = s > 1 ? closingFrames[s - 2] : kDefaultFrameValue;
            }
            const bool lone = stepPictures[s - 1].size() == 1;
            for (int k : stepPictures[s - 1]) {
                TimelinePicture picture;
                picture.number = k;
                picture.file = PictureFile(k);
                CBmpFile bmp;
                std::string why;
                if (!bmp.Open(picture.file, why)) {
                    if (k == 1)
                        return Fail(picture.file, why + "; without the first picture there is no stage");
                    timeline.skipped.push_back(Name(picture.file) + ": " + why);
                    continue;
                }
                picture.width = bmp.Width();
                picture.height = bmp.Height();
                if (!ReadPlacement(k, picture.x, picture.y))
                    return false;
                picture.wholeGrab = k == 1 || (lone && picture.x == 0 && picture.y == 0 &&
                                               IsResizedWindow(picture, windowWidth, windowHeight));
                if (picture.wholeGrab) {
                    windowWidth = picture.width;
                    windowHeight = picture.height;
                    timeline.stageWidth = std::max(timeline.stageWidth, windowWidth);
                    timeline.stageHeight = std::max(timeline.stageHeight, windowHeight);
                }
                if (!CheckInWindow(picture, windowWidth, windowHeight))
                    return false;
                step.pictures.push_back(std::move(picture));
            }
            timeline.steps.push_back(std::move(step));
        }
        return true;
    }

    static bool IsResizedWindow(const TimelinePicture& p, int windowWidth, int windowHeight)
    {
        if (p.width == windowWidth && p.height == windowHeight)
            return false;
        // A change found in one cell alone of the capture's grid is a box inside that cell.
        const GridCell topLeft = CellAt(windowWidth, windowHeight, 0, 0);
        return p.width > topLeft.right || p.height > topLeft.bottom;
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

    bool Fail(const fs::path& file, const std::string& what)
    {
        m_error = Name(file) + ": " + what;
        return false;
    }

    fs::path PictureFile(int k) const { return m_sessionDir / PictureFileName(k); }

    template <typename Parse> bool LoadOffsets(const char* name, Parse parse)
    {
        std::vector<uint8_t> text;
        if (!ReadWholeFile(m_workDir / name, text))
            return Fail(m_workDir / name, "offset file not found or unreadable");
        parse(reinterpret_cast<const char*>(text.data()), text.size(), *m_offsets);
        return true;
    }

    bool CheckRange(int64_t offset, int bytes, const std::string& what)
    {
        if (offset >= 0 && uint64_t(offset) + bytes <= m_bytes.size())
            return true;
        return Fail(m_destination, what + " at offset " + std::to_string(offset) +
                                       " lies outside the file (" + std::to_string(m_bytes.size()) +
                                       " bytes)");
    }

    uint32_t Get(int64_t offset, int bytes) const
    {
        uint32_t v = 0;
        for (int i = bytes - 1; i >= 0; --i)
            v = (v << 8) | m_bytes[size_t(offset) + i];
        return v;
    }

    // Positions are stored as pixels * 20; anything else was never written by a capture step.
    bool ReadPoint(int64_t offset, const std::string& what, int32_t& x, int32_t& y)
    {
        if (!CheckRange(offset, 8, what))
            return false;
        const int32_t rawX = static_cast<int32_t>(Get(offset, 4));
        const int32_t rawY = static_cast<int32_t>(Get(offset + 4, 4));
        if (rawX % kTwips != 0 || rawY % kTwips != 0)
            return Fail(m_destination, what + " at offset " + std::to_string(offset) + " holds (" +
                                           std::to_string(rawX) + ", " + std::to_string(rawY) +
                                           "), not a pixel position times 20");
        x = rawX / kTwips;
        y = rawY / kTwips;
        return true;
    }

    bool ReadFrameEntry(int k, uint16_t& frames)
    {
        const std::string what = "frame count of picture " + std::to_string(k);
        const std::optional<int32_t> offset = FrameOffset(*m_offsets, k);
        if (!offset)
            return Fail(m_workDir / "frmoffs.ini", "no row for picture " + std::to_string(k));
        if (!CheckRange(*offset, 2, what))
            return false;
        frames = static_cast<uint16_t>(Get(*offset, 2));
        return true;
    }

    bool ReadCursor(int s, CursorPoint& cursor)
    {
        const std::optional<int32_t> offset = CursorOffset(*m_offsets, s, 1);
        if (!offset)
            return Fail(m_workDir / "curoffs.ini", "no row for capture step " + std::to_string(s));
        return ReadPoint(*offset, "cursor record of step " + std::to_string(s), cursor.x, cursor.y);
    }

    // The span's two 16-bit parts are read as they stand: a part the patcher skipped (a = 0, or b with
    // no low 16 bits) still holds the template's bytes.
    bool ReadSpan(int s, int32_t& span)
    {
        const std::optional<int32_t> first = CursorOffset(*m_offsets, s, 3);
        const std::optional<int32_t> second = CursorOffset(*m_offsets, s, 4);
        if (!first || !second)
            return Fail(m_workDir / "curoffs.ini", "no row for capture step " + std::to_string(s));
        const std::string what = "frame span of step " + std::to_string(s);
        if (!CheckRange(*first, 2, what) || !CheckRange(*second, 2, what))
            return false;
        span = static_cast<int32_t>(Get(*first, 2) + Get(*second, 2));
        return true;
    }

    // Every placement of a row holds the same position; the first one is read.
    bool ReadPlacement(int k, int& x, int& y)
    {
        if (PlacementCount(*m_offsets, k) < 1)
            return Fail(m_workDir / "bmpoffs.ini", "no row for picture " + std::to_string(k));
        const int64_t at = int64_t{PlacementOffset(*m_offsets, k, 1)} + kPlacementValueOffset;
        int32_t px, py;
        if (!ReadPoint(at, "placement of picture " + std::to_string(k), px, py))
            return false;
        x = px;
        y = py;
        return true;
    }

    bool CheckInWindow(const TimelinePicture& p, int windowWidth, int windowHeight)
    {
        if (p.x >= 0 && p.y >= 0 && int64_t{p.x} + p.width <= windowWidth &&
            int64_t{p.y} + p.height <= windowHeight)
            return true;
        return Fail(p.file, std::to_string(p.width) + " x " + std::to_string(p.height) +
                                " picture placed at (" + std::to_string(p.x) + ", " + std::to_string(p.y) +
                                ") reaches outside the " + std::to_string(windowWidth) + " x " +
                                std::to_string(windowHeight) + " stage");
    }

    fs::path m_workDir;
    fs::path m_sessionDir;
    fs::path m_destination;
    std::vector<uint8_t> m_bytes;
    std::unique_ptr<OffsetTables> m_offsets = std::make_unique<OffsetTables>(); // too large for the stack
    std::string m_error;
};

} // namespace

bool DecodeSession(const fs::path& workDir, int session, SessionTimeline& timeline, std::string& error)
{
    return CSessionReader(workDir, session).Decode(timeline, error);
}
