#pragma once
// The takes the export's benchmarks share, each made once a run: the session recorded by the program's
// own output step, and every step's stage (with the pointer) as a full-frame PNG for apngasm.
#include "RecordedSession.h"

#include <cstdint>
#include <string>
#include <vector>

namespace exportbench {

using exporttest::CRecordedSession;
namespace fs = std::filesystem;

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kChanges = 100;
constexpr int kFps = 12;
constexpr int kStepFrames = 6; // every step half a second

class CBenchSession
{
public:
    CBenchSession(int width, int height, int slots) : m_session(width, height, slots) {}

    // Checks the timeline and writes the full frames, once the steps are recorded.
    void Finish();

    CRecordedSession& Session() { return m_session; }
    const std::string& Problem() const { return m_problem; }
    void SetProblem(const std::string& problem) { m_problem = problem; }
    std::string Ours() const { return m_session.WorkDir() / "ours.png"; }
    std::string Apngasms() const { return m_session.WorkDir() / "apngasm.png"; }
    fs::path WorkDir() const { return m_session.WorkDir(); }

private:
    CRecordedSession m_session;
    std::string m_problem;
};

// Typing into a full-HD document one word a step, 100 steps.
CBenchSession& Typing();
// A settings page rendered by headless Chromium at a few states of a visit.
CBenchSession& SettingsPage();
// A page of a web application in headless Chromium at a dozen states of a visit, among them a menu and
// a dialog that open and close again, grabbed in 15-bit colour.
CBenchSession& WebApp();
// The take of ./run.sh's demo: the demo target's window at four presses, seven pictures.
CBenchSession& DemoTake();

// A grab as the program compares it: 16 bits a pixel, 5 bits a colour.
std::vector<uint16_t> Grab16(const RgbImage& image);

} // namespace exportbench
