#include "TestSession.h"

#include "TemplateKit.h"
#include "common/LittleEndian.h"
#include "output/OffsetTables.h"
#include "output/TemplateFormat.h"
#include "state/SessionState.h"
#include "state/TextTable.h"
#include "state/WorkingDirectory.h"

#include <cstring>

namespace testsupport {

int LoadKitOffsets(const std::string& dir, int capacity)
{
    ResetOffsetTables();
    const std::filesystem::path folder = dir;
    if (LoadBitmapOffsets((folder / "bmpoffs.ini").string().c_str()) != capacity ||
        LoadCursorOffsets((folder / "curoffs.ini").string().c_str()) != capacity ||
        LoadFrameOffsets((folder / "frmoffs.ini").string().c_str()) != capacity)
        return -1;
    return TemplateCapacity();
}

bool StartSessionIn(const std::string& dir, int capacity, std::string& error)
{
    ResetProgramState();
    TemplateKitOptions kit;
    kit.capacity = capacity;
    if (!WriteTemplateKit(dir, kit, error))
        return false;
    if (LoadKitOffsets(dir, capacity) != capacity) {
        error = "the template kit's offset files do not load";
        return false;
    }
    const std::filesystem::path folder = dir;
    const std::string destination = (folder / "session1" / "destinationFLA1.fla").string();
    if (dir.size() >= sizeof g_workDir || destination.size() >= sizeof g_session.destinationFile) {
        error = "the scratch directory's path is too long";
        return false;
    }
    std::strcpy(g_workDir, dir.c_str());
    RefreshCurrentTexts(0);
    g_session.sessionNumber = 1;
    g_session.frameTotal = 1;
    std::strcpy(g_session.destinationFile, destination.c_str());
    std::error_code ec;
    std::filesystem::create_directories(folder / "session1", ec);
    std::filesystem::copy_file(folder / "template.fla", destination,
                               std::filesystem::copy_options::overwrite_existing, ec);
    if (ec)
        error = destination + ": " + ec.message();
    return !ec;
}

void CSessionTest::StartSession(int capacity)
{
    std::string error;
    ASSERT_TRUE(StartSessionIn(m_dir.Path().string(), capacity, error)) << error;
}

std::string CSessionTest::Picture(int k) const
{
    return m_dir.File("session1/imageBMP" + std::to_string(k) + ".bmp");
}

CExpectedDestination::CExpectedDestination(const std::string& templatePath)
    : m_bytes(testfiles::ReadBytes(templatePath))
{
}

void CExpectedDestination::Placement(int image, int32_t x, int32_t y)
{
    for (int j = 1; j <= PlacementCount(image); ++j) {
        Set32(PlacementOffset(image, j) + kPlacementValueOffset, x * kTwips);
        Set32(PlacementOffset(image, j) + kPlacementValueOffset + 4, y * kTwips);
    }
}

void CExpectedDestination::Cursor(int row, int32_t x, int32_t y)
{
    for (int column : {1, 2}) {
        const std::optional<int32_t> offset = CursorOffset(row, column);
        ASSERT_TRUE(offset);
        Set32(*offset, x * kTwips);
        Set32(*offset + 4, y * kTwips);
    }
}

void CExpectedDestination::Span(int row, uint16_t first, uint16_t second)
{
    const std::optional<int32_t> firstOffset = CursorOffset(row, 3);
    ASSERT_TRUE(firstOffset);
    Set16(*firstOffset, first);
    const std::optional<int32_t> secondOffset = CursorOffset(row, 4);
    ASSERT_TRUE(secondOffset);
    Set16(*secondOffset, second);
}

void CExpectedDestination::Frame(int entry, uint16_t frames)
{
    const std::optional<int32_t> offset = FrameOffset(entry);
    ASSERT_TRUE(offset);
    Set16(*offset, frames);
}

::testing::AssertionResult CExpectedDestination::Matches(const std::string& path) const
{
    const std::vector<uint8_t> actual = testfiles::ReadBytes(path);
    if (actual.size() != m_bytes.size())
        return ::testing::AssertionFailure()
               << path << " holds " << actual.size() << " bytes, expected " << m_bytes.size();
    for (size_t i = 0; i < actual.size(); ++i)
        if (actual[i] != m_bytes[i])
            return ::testing::AssertionFailure() << "first difference at byte " << i << ": " << int(actual[i])
                                                 << ", expected " << int(m_bytes[i]);
    return ::testing::AssertionSuccess();
}

void CExpectedDestination::Set32(int32_t at, int32_t value)
{
    Put32(At(at, 4), static_cast<uint32_t>(value));
}

void CExpectedDestination::Set16(int32_t at, uint16_t value)
{
    Put16(At(at, 2), value);
}

uint8_t* CExpectedDestination::At(int32_t at, int bytes)
{
    if (static_cast<size_t>(at) + bytes > m_bytes.size())
        m_bytes.resize(static_cast<size_t>(at) + bytes, 0);
    return m_bytes.data() + at;
}

} // namespace testsupport
