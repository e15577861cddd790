#pragma once
// A capture session set up the way the Capture button leaves things, in a scratch working directory
// with our own template kit, and the destination file such a session must end up with.
#include "ProgramState.h"
#include "TestFiles.h"

#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

// Loads the three offset files of the template kit in `dir` into the offset tables; answers the
// template capacity, or -1 when a file is missing or short of `capacity` rows.
int LoadKitOffsets(const std::string& dir, int capacity);

// Fresh records, a template kit of `capacity` picture slots in `dir` with its offset tables loaded,
// English current as after the first apply step, and session 1 started there: its folder, a fresh
// destination file, the working directory. False, with the reason in `error`, when any of it fails.
bool StartSessionIn(const std::string& dir, int capacity, std::string& error);

// A test with such a session in m_dir (once it calls StartSession).
class CSessionTest : public CProgramTest
{
protected:
    void StartSession(int capacity);
    std::string Picture(int k) const;

    testfiles::CScratchDir m_dir;
};

// The template's bytes with the records a test expects at the offsets of the loaded offset tables. A
// record beyond the template's end lengthens it, as a patch would.
class CExpectedDestination
{
public:
    explicit CExpectedDestination(const std::string& templatePath);

    void Placement(int image, int32_t x, int32_t y);
    void Cursor(int row, int32_t x, int32_t y);
    void Span(int row, uint16_t first, uint16_t second);
    void Frame(int entry, uint16_t frames);
    // One value at a byte offset, for the records the others do not cover.
    void Set32(int32_t at, int32_t value);
    void Set16(int32_t at, uint16_t value);

    // Success, or the first byte at which the file differs.
    ::testing::AssertionResult Matches(const std::string& path) const;

private:
    uint8_t* At(int32_t at, int bytes);

    std::vector<uint8_t> m_bytes;
};

} // namespace testsupport
