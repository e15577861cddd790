#include "RecordedSession.h"

#include "export/render/PointerShape.h"
#include "TestSession.h"
#include "output/DibFile.h"
#include "output/OutputStep.h"
#include "state/FrameValues.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace exporttest {

namespace {

class CBitmapWriter final : public IImageWriter
{
public:
    explicit CBitmapWriter(const RgbImage& window) : m_window(window) {}

    bool WriteImage(const Region& r, const char* fileName) override
    {
        const uint32_t rowBytes = DibRowBytes(r.Width(), 24);
        std::vector<uint8_t> block(sizeof(DibHeader) + size_t(rowBytes) * r.Height(), 0);
        const DibHeader header{sizeof(DibHeader), r.Width(), r.Height(), 1, 24, kBiRgb, 0, 0, 0, 0, 0};
        std::memcpy(block.data(), &header, sizeof header);
        for (int y = 0; y < r.Height(); ++y) {
            uint8_t* out = block.data() + sizeof header + size_t(r.Height() - 1 - y) * rowBytes;
            const uint8_t* in = m_window.rgb.data() + (size_t(r.top + y) * m_window.width + r.left) * 3;
            for (int x = 0; x < r.Width() * 3; x += 3) {
                out[x] = in[x + 2];
                out[x + 1] = in[x + 1];
                out[x + 2] = in[x];
            }
        }
        if (!WritePackedDib(fileName, block.data(), static_cast<uint32_t>(block.size())))
            throw std::runtime_error(std::string("cannot write ") + fileName);
        return true;
    }

private:
    const RgbImage& m_window;
};

} // namespace

void PaintNoise(RgbImage& window, const Region& r)
{
    static uint32_t noise = 1;
    for (int y = r.top; y <= r.bottom; ++y)
        for (int i = (y * window.width + r.left) * 3; i < (y * window.width + r.right + 1) * 3; ++i) {
            noise = noise * 1103515245u + 12345u;
            window.rgb[i] = static_cast<uint8_t>(noise >> 16);
        }
}

CRecordedSession::CRecordedSession(int width, int height, int slots)
{
    std::string error;
    if (!testsupport::StartSessionIn(m_dir.Path().string(), slots, error))
        throw std::runtime_error(error);
    Resize(width, height);
}

void CRecordedSession::Step(const std::vector<Region>& regions, CursorPoint cursor,
                            const RegionPainter& paint)
{
    for (const Region& r : regions)
        paint(m_window, r);
    CBitmapWriter writer(m_window);
    RunOutputStep(static_cast<int>(regions.size()), cursor, regions.data(), writer);
    if (m_latestOnly)
        m_history.clear();
    m_history.push_back(m_window);
    m_cursors.push_back(cursor);
}

void CRecordedSession::Resize(int width, int height)
{
    m_window = {width, height, std::vector<uint8_t>(size_t(width) * height * 3)};
}

RgbImage CRecordedSession::StageAtStep(int s, bool pointer) const
{
    RgbImage stage;
    for (const RgbImage& window : m_history) {
        stage.width = std::max(stage.width, window.width);
        stage.height = std::max(stage.height, window.height);
    }
    stage.rgb.assign(size_t(stage.width) * stage.height * 3, 0);
    const RgbImage& window = WindowAtStep(s);
    for (int y = 0; y < window.height; ++y)
        std::copy_n(window.rgb.begin() + size_t(y) * window.width * 3, window.width * 3,
                    stage.rgb.begin() + size_t(y) * stage.width * 3);
    if (!pointer)
        return stage;
    const CursorPoint at = m_cursors.at(s - 1);
    for (int y = std::max(at.y, 0); y < std::min(at.y + kPointerHeight, stage.height); ++y)
        for (int x = std::max(at.x, 0); x < std::min(at.x + kPointerWidth, stage.width); ++x) {
            const PointerPixel pixel = PointerAt(x - at.x, y - at.y);
            if (pixel != PointerPixel::None)
                std::fill_n(stage.rgb.begin() + (y * stage.width + x) * 3, 3,
                            pixel == PointerPixel::Edge ? 0 : 255);
        }
    return stage;
}

void RecordSample(CRecordedSession& session, int steps)
{
    session.Step({{0, 0, kStageWidth - 1, kStageHeight - 1}}, {10, 20});
    const FrameValues closing[] = {{50, 5}, {30, 5}, {24, 9}};
    const std::vector<Region> pictures[] = {
        {{5, 6, 44, 35}, {100, 0, 156, 49}, {30, 60, 50, 70}}, {{120, 90, 156, 120}}, {{100, 80, 139, 120}}};
    const CursorPoint cursors[] = {{-3, 7}, {140, 100}, {200, 50}};
    for (int s = 2; s <= steps; ++s) {
        g_frameValues = closing[s - 2];
        session.Step(pictures[s - 2], cursors[s - 2]);
    }
}

void ReplaceRow(const CRecordedSession& session, const char* name, int row, const std::string& text)
{
    const std::vector<uint8_t> bytes = testfiles::ReadBytes((session.WorkDir() / name).string());
    std::string result;
    size_t start = 0;
    for (int r = 1; start < bytes.size(); ++r) {
        const size_t end = std::find(bytes.begin() + start, bytes.end(), '\n') - bytes.begin();
        result += (r == row ? text : std::string(bytes.begin() + start, bytes.begin() + end)) + "\n";
        start = end + 1;
    }
    testfiles::WriteText((session.WorkDir() / name).string(), result);
}

std::string Quoted(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

int RunCommand(const std::string& command, std::string& output)
{
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (!pipe)
        throw std::runtime_error("cannot run " + command);
    output.clear();
    char buffer[4096];
    for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        output.append(buffer, got);
    const int status = ::pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string ExportProgram()
{
    return FLICKMERE_EXPORT_EXE;
}

int RunExport(const std::string& arguments, std::string& output)
{
    return RunCommand(Quoted(ExportProgram()) + " " + arguments, output);
}

} // namespace exporttest
