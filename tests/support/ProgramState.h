#pragma once
// The program's process-wide records, fresh for every test that uses them.
#include <gtest/gtest.h>

#include <stdexcept>

namespace testsupport {

// What a failure that would end the program with status 2 throws in the tests instead.
struct CFatalOutput : std::runtime_error
{
    using std::runtime_error::runtime_error;
};

// Every record as the program starts (the text table filled with its English defaults, nothing
// current yet, language files read as Windows-1252 until the Windows shell sets its converter), and
// fatal output failures thrown as CFatalOutput.
void ResetProgramState();

// A test that starts and ends with fresh records; no test sets them up by hand.
class CProgramTest : public ::testing::Test
{
protected:
    void SetUp() override { ResetProgramState(); }
    void TearDown() override { ResetProgramState(); }
};

} // namespace testsupport
