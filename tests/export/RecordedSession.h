#pragma once
// A capture session recorded by the program's own output step into a template-kit working directory:
// each step paints its regions of the window, by default with fresh noise (so a picture one pixel off
// never matches), then the key press cuts them out as real 24-bit bottom-up bitmaps.
#include "export/take/BmpReader.h"
#include "TestFiles.h"
#include "common/Region.h"

#include <functional>
#include <string>
#include <vector>

namespace exporttest {

namespace fs = std::filesystem;

constexpr int kStageWidth = 157;
constexpr int kStageHeight = 121;

using RegionPainter = std::function<void(RgbImage& window, const Region& region)>;
void PaintNoise(RgbImage& window, const Region& region);

class CRecordedSession
{
public:
    // `slots`: how many pictures the session's template takes.
    explicit CRecordedSession(int width = kStageWidth, int height = kStageHeight, int slots = 20);
    void Step(const std::vector<Region>& regions, CursorPoint cursor,
              const RegionPainter& paint = PaintNoise);

    // The window changes its size; the next step must grab it whole. It starts black.
    void Resize(int width, int height);
    // For sessions too large to keep every step's window: from now on the history holds the latest
    // step alone, as step 1.
    void KeepLatestOnly() { m_latestOnly = true; }

    // The window as it was at step s.
    const RgbImage& WindowAtStep(int s) const { return m_history.at(s - 1); }
    CursorPoint CursorAtStep(int s) const { return m_cursors.at(s - 1); }
    // What the player must show at step s: the window at the stage's top-left corner, black beside it on
    // a stage as large as the largest window of the session, and with `pointer` the arrow at the step's
    // cursor, composed here from the arrow's pixels.
    RgbImage StageAtStep(int s, bool pointer) const;
    int Steps() const { return static_cast<int>(m_history.size()); }
    fs::path WorkDir() const { return m_dir.Path(); }
    std::string File(const std::string& name) const { return m_dir.File("session1/" + name); }

private:
    testfiles::CScratchDir m_dir;
    RgbImage m_window;
    std::vector<RgbImage> m_history;
    bool m_latestOnly = false;
    std::vector<CursorPoint> m_cursors;
};

// A 157 x 121 window (odd widths, so bitmap rows are padded):
//   step 1: the whole window, cursor (10, 20); closed at frame 50, offset 5: span 45 = 22 + 23
//   step 2: (5, 6) 40 x 30, (100, 0) 57 x 50, (30, 60) 21 x 11, cursor (-3, 7); closed at 30/5: span 30
//   step 3: (120, 90) 37 x 31 in the corner, cursor (140, 100); closed at 24/9: span 5 - 9 + 24 = 20
//   step 4: (100, 80) 40 x 41 over step 3's, cursor (200, 50) off the stage; open
void RecordSample(CRecordedSession& session, int steps = 4);

// Puts `text` in place of line `row` (1-based) of a working-directory offset file; a text that is no
// number ends the reading of the file there.
void ReplaceRow(const CRecordedSession& session, const char* name, int row, const std::string& text);

// Runs a shell command; answers its exit status, with its output and errors in `output`.
int RunCommand(const std::string& command, std::string& output);
// Where the native flickmere-export is.
std::string ExportProgram();
// Runs flickmere-export the same way.
int RunExport(const std::string& arguments, std::string& output);
std::string Quoted(const std::string& text);

} // namespace exporttest
