#include "SecondDecoders.h"

#include "HeadlessChromium.h"
#include "RecordedSession.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace exporttest {

namespace {

std::vector<uint8_t> FromBase64(const std::string& text)
{
    static const std::string digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::vector<uint8_t> out;
    uint32_t bits = 0;
    int count = 0;
    for (const char c : text) {
        const size_t v = digits.find(c);
        if (v == std::string::npos)
            continue; // padding
        bits = bits << 6 | uint32_t(v);
        if ((count += 6) >= 8)
            out.push_back(uint8_t(bits >> (count -= 8)));
    }
    return out;
}

std::string ToBase64(const std::string& bytes)
{
    static const char digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (size_t i = 0; i < bytes.size(); i += 3) {
        const size_t left = bytes.size() - i;
        const uint32_t v = uint32_t(uint8_t(bytes[i])) << 16 |
                           (left > 1 ? uint32_t(uint8_t(bytes[i + 1])) << 8 : 0) |
                           (left > 2 ? uint8_t(bytes[i + 2]) : 0);
        out += digits[v >> 18 & 63];
        out += digits[v >> 12 & 63];
        out += left > 1 ? digits[v >> 6 & 63] : '=';
        out += left > 2 ? digits[v & 63] : '=';
    }
    return out;
}

// RGBA pixels into RGB, noting whether all were opaque.
ComposedFrame FromRgba(int width, int height, const std::vector<uint8_t>& rgba, double seconds)
{
    ComposedFrame frame{{width, height, {}}, seconds, true};
    frame.image.rgb.reserve(size_t(width) * height * 3);
    for (size_t i = 0; i + 3 < rgba.size(); i += 4) {
        frame.image.rgb.insert(frame.image.rgb.end(), rgba.begin() + i, rgba.begin() + i + 3);
        frame.opaque = frame.opaque && rgba[i + 3] == 0xFF;
    }
    return frame;
}

} // namespace

std::vector<ComposedFrame> DecodeWithApngdis(const std::string& file)
{
    testfiles::CScratchDir dir;
    const std::string copy = dir.File("a.png");
    std::string output;
    if (RunCommand("cp " + Quoted(file) + " " + Quoted(copy) + " && apngdis " + Quoted(copy) + " f",
                   output) != 0)
        throw std::runtime_error("apngdis failed: " + output);
    // apngdis writes f1.png, f1.txt ("delay=N/D"), f2.png, ... beside the file, numbered with as many
    // digits as the last frame's number has; ffmpeg only reads them.
    int digits = 1;
    while (digits < 6 && !fs::exists(dir.File("f" + std::string(size_t(digits - 1), '0') + "1.txt")))
        ++digits;
    const auto name = [digits](int n, const char* extension) {
        const std::string number = std::to_string(n);
        return "f" + std::string(size_t(std::max(0, digits - int(number.size()))), '0') + number + extension;
    };
    std::vector<double> delays;
    for (int n = 1;; ++n) {
        std::ifstream text(dir.File(name(n, ".txt")));
        int num = 0, den = 0;
        char skip[7];
        if (!text || !text.read(skip, 6) || !(text >> num) || text.get() != '/' || !(text >> den))
            break;
        delays.push_back(den ? double(num) / den : num / 100.0);
    }
    std::string probe;
    if (delays.empty() || RunCommand("ffprobe -v error -show_entries stream=width,height -of csv=p=0 " +
                                         Quoted(dir.File(name(1, ".png"))),
                                     probe) != 0)
        throw std::runtime_error("apngdis wrote no frames: " + output);
    int width = 0, height = 0;
    char comma;
    std::istringstream(probe) >> width >> comma >> height;
    std::string rgba;
    if (RunCommand("ffmpeg -v error -i " + Quoted(dir.File("f%0" + std::to_string(digits) + "d.png")) +
                       " -f rawvideo -pix_fmt rgba - 2>/dev/null",
                   rgba) != 0 ||
        rgba.size() != size_t(width) * height * 4 * delays.size())
        throw std::runtime_error("the frames apngdis wrote could not be read");
    std::vector<ComposedFrame> frames;
    const size_t frameBytes = size_t(width) * height * 4;
    for (size_t i = 0; i < delays.size(); ++i)
        frames.push_back(
            FromRgba(width, height,
                     std::vector<uint8_t>(rgba.begin() + i * frameBytes, rgba.begin() + (i + 1) * frameBytes),
                     delays[i]));
    return frames;
}

// The page decodes every frame with ImageDecoder, draws it on a canvas and answers its pixels and its
// duration, "width height micros base64;..." a frame at a time.
std::vector<ComposedFrame> DecodeGifInChromium(const std::string& file)
{
    std::ifstream in(file, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string script =
        "(async () => {"
        "const data = Uint8Array.from(atob('" +
        ToBase64(bytes) +
        "'), c => c.charCodeAt(0));"
        "const decoder = new ImageDecoder({data, type: 'image/gif'});"
        "await decoder.tracks.ready; const count = decoder.tracks.selectedTrack.frameCount;"
        "const out = [];"
        "for (let i = 0; i < count; ++i) {"
        "  const {image} = await decoder.decode({frameIndex: i});"
        "  const canvas = new OffscreenCanvas(image.displayWidth, image.displayHeight);"
        "  const context = canvas.getContext('2d'); context.drawImage(image, 0, 0);"
        "  const pixels = context.getImageData(0, 0, canvas.width, canvas.height).data;"
        "  let text = ''; for (let k = 0; k < pixels.length; k += 8192)"
        "    text += String.fromCharCode.apply(null, pixels.subarray(k, k + 8192));"
        "  out.push(canvas.width + ' ' + canvas.height + ' ' + image.duration + ' ' + btoa(text));"
        "  image.close(); }"
        "return out.join(';'); })()";
    // ImageDecoder is there only for a secure context, which about:blank is not and a local file is.
    testfiles::CScratchDir dir;
    testfiles::WriteText(dir.File("blank.html"), "<!DOCTYPE html><title>decoder</title>");
    CDevToolsBrowser browser;
    const std::string page = browser.OpenPage("file://" + dir.File("blank.html"));
    // A JSON string of base64, digits, spaces and semicolons: nothing in it is escaped.
    const std::string reply = browser.Evaluate(page, script);
    const std::string value = reply.size() >= 2 ? reply.substr(1, reply.size() - 2) : "";
    std::vector<ComposedFrame> frames;
    std::istringstream list(value);
    for (std::string item; std::getline(list, item, ';');) {
        std::istringstream fields(item);
        int width = 0, height = 0;
        double micros = 0;
        std::string pixels;
        fields >> width >> height >> micros >> pixels;
        frames.push_back(FromRgba(width, height, FromBase64(pixels), micros / 1e6));
    }
    if (frames.empty())
        throw std::runtime_error("Chromium decoded no frame: " + reply.substr(0, 300));
    return frames;
}

} // namespace exporttest
