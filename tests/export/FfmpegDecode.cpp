#include "FfmpegDecode.h"

#include "RecordedSession.h"

#include <cstdio>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace exporttest {

namespace {

// One "a,b" line per packet or frame of the first video stream, as ffprobe prints them; "N/A" where a
// value is missing.
std::vector<std::pair<std::string, std::string>> Probe(const std::string& options, const std::string& file)
{
    std::string output;
    const std::string command =
        "ffprobe -v error -select_streams v:0 " + options + " -of csv=p=0 " + Quoted(file);
    if (RunCommand(command, output) != 0)
        throw std::runtime_error(command + " failed: " + output);
    std::vector<std::pair<std::string, std::string>> rows;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        const size_t comma = line.find(',');
        if (comma == std::string::npos)
            throw std::runtime_error("unexpected ffprobe line: " + line);
        rows.emplace_back(line.substr(0, comma), line.substr(comma + 1));
    }
    return rows;
}

double Seconds(const std::string& value)
{
    return value == "N/A" ? 0 : std::stod(value);
}

} // namespace

void DecodeApng(const std::string& file, int width, int height,
                const std::function<void(const DecodedFrame&)>& visit)
{
    const auto packets = Probe("-show_entries packet=pts_time,duration_time", file);
    const std::string command = "ffmpeg -v error -i " + Quoted(file) +
                                " -f rawvideo -pix_fmt rgb24 -fps_mode passthrough - 2>/dev/null";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        throw std::runtime_error("cannot run ffmpeg");
    RgbImage image{width, height, std::vector<uint8_t>(size_t(width) * height * 3)};
    DecodedFrame frame;
    frame.image = &image;
    for (; std::fread(image.rgb.data(), 1, image.rgb.size(), pipe) == image.rgb.size(); ++frame.index) {
        if (frame.index >= static_cast<int>(packets.size()))
            break;
        frame.start = Seconds(packets[frame.index].first);
        frame.duration = Seconds(packets[frame.index].second);
        visit(frame);
    }
    const int status = ::pclose(pipe);
    if (status != 0 || frame.index != static_cast<int>(packets.size()))
        throw std::runtime_error(command + ": " + std::to_string(frame.index) + " frames decoded, " +
                                 std::to_string(packets.size()) + " in the file, exit status " +
                                 std::to_string(status));
}

double VideoDuration(const std::string& file, int& frames)
{
    const auto rows = Probe("-show_entries frame=pts_time,pkt_duration_time", file);
    frames = static_cast<int>(rows.size());
    double end = 0;
    for (const auto& [start, duration] : rows)
        end = std::max(end, Seconds(start) + Seconds(duration));
    return end;
}

} // namespace exporttest
