#include "export/HtmlPlayer.h"

#include "common/SessionNames.h"
#include "export/render/CaptionRenderer.h"
#include "export/render/CaptionStyle.h"
#include "export/render/MarkStyle.h"
#include "export/take/Suggestion.h"
#include "common/Utf8.h"
#include "export/codec/Base64.h"
#include "export/codec/Deflate.h"
#include "export/codec/FontSubset.h"
#include "export/codec/PngEncoder.h"
#include "export/take/BmpReader.h"
#include "export/render/PointerShape.h"

#include <cstddef>
#include <cstdio>
#include <set>
#include <string_view>
#include <utility>

// The page's source files and the caption font, embedded by the build.
extern const unsigned char kPlayerHtml[];
extern const std::size_t kPlayerHtmlSize;
extern const unsigned char kPlayerCss[];
extern const std::size_t kPlayerCssSize;
extern const unsigned char kPlayerJs[];
extern const std::size_t kPlayerJsSize;
extern const unsigned char kCaptionFont[];
extern const std::size_t kCaptionFontSize;

namespace {

constexpr char kCaptionFamily[] = "Flickmere Caption";

std::string_view Embedded(const unsigned char* bytes, std::size_t size)
{
    return {reinterpret_cast<const char*>(bytes), size};
}

std::string Colour(uint32_t rgb)
{
    char text[8];
    std::snprintf(text, sizeof text, "#%06X", static_cast<unsigned>(rgb & 0xFFFFFF));
    return text;
}

// JSON inside a <script> element must not hold "</script>" nor "<!--"; outside its strings JSON has no
// '<', and inside them "\u003c" reads as the same character.
std::string EscapeForScriptElement(const std::string& json)
{
    std::string out;
    out.reserve(json.size());
    for (const char c : json)
        out += c == '<' ? std::string("\\u003c") : std::string(1, c);
    return out;
}

// The caption font's advances, with which the page breaks a caption's lines where the animation does:
// each run as its first code point followed by the advances.
ProjectJson CaptionFontJson()
{
    const CaptionFontAdvances advances = CCaptionRenderer().Advances();
    ProjectJson runs = ProjectJson::array();
    for (const CaptionFontAdvances::Run& run : advances.runs) {
        ProjectJson numbers = ProjectJson::array();
        numbers.push_back(static_cast<int>(run.first));
        for (const int advance : run.advances)
            numbers.push_back(advance);
        runs.push_back(std::move(numbers));
    }
    return {
        {"unitsPerEm", advances.unitsPerEm}, {"missingAdvance", advances.missingAdvance}, {"advances", runs}};
}

// How many UTF-16 units, a script's string positions, the UTF-8 text has.
int Utf16Length(std::string_view utf8)
{
    int units = 0;
    for (const char32_t point : DecodeUtf8(utf8))
        units += point > 0xFFFF ? 2 : 1;
    return units;
}

// A recorded step's suggested caption and mark, as fields of its object in the model: "" without facts.
std::string StepFactsJson(const StepFacts* facts, const Suggestion* suggestion)
{
    if (!facts)
        return "";
    ProjectJson fields = ProjectJson::object();
    if (suggestion && !suggestion->text.empty()) {
        const std::string_view text = suggestion->text;
        fields["suggestion"] = {
            {"text", suggestion->text},
            {"nameStart", Utf16Length(text.substr(0, suggestion->nameStart))},
            {"nameLength", Utf16Length(text.substr(suggestion->nameStart, suggestion->nameLength))}};
    }
    if (const std::optional<StepRect> rect = MarkRectOf(*facts))
        fields["mark"] = {{"x", rect->x},
                          {"y", rect->y},
                          {"width", rect->width},
                          {"height", rect->height},
                          {"byDefault", MarkedByDefault(*facts)}};
    std::string text = EscapeForScriptElement(fields.dump());
    return text.size() > 2 ? "," + text.substr(1, text.size() - 2) : "";
}

// The model's fields before the steps; the steps follow, a picture at a time.
std::string ModelHead(const SessionTimeline& timeline, int session, int fps, const Project* project)
{
    ProjectJson head = ProjectJson::object();
    head["name"] = SessionFolderName(session);
    head["fps"] = fps;
    head["stage"] = {{"width", timeline.stageWidth},
                     {"height", timeline.stageHeight},
                     {"background", Colour(kStageBackground)}};
    // The project file's name and limits, which the page's edits keep to.
    head["projectFormat"] = {{"name", kProjectFormat},
                             {"version", kProjectVersion},
                             {"maxFps", kMaxProjectFps},
                             {"maxFrames", kMaxStepFrames},
                             {"maxCoordinate", kMaxStageCoordinate}};
    head["captionStyle"] = {
        {"fontPixels", kCaptionFontPixels},    {"lineHeight", kCaptionLineHeight},
        {"padding", kCaptionPadding},          {"border", kCaptionBorder},
        {"fill", Colour(kCaptionFill)},        {"ink", Colour(kCaptionInk)},
        {"line", Colour(kCaptionLine)},        {"arrowWidth", kArrowWidth},
        {"arrowHeadLength", kArrowHeadLength}, {"arrowHeadHalfWidth", kArrowHeadHalfWidth}};
    head["markStyle"] = {{"colour", Colour(kMarkColour)},
                         {"width", kMarkWidth},
                         {"radius", kMarkRadius},
                         {"margin", kMarkMargin}};
    head["captionFont"] = CaptionFontJson();
    // As the project file has it, unknown fields included, so that saving from the page keeps them.
    head["project"] = project ? ProjectJson::parse(SerializeProject(*project)) : ProjectJson();
    std::string text = EscapeForScriptElement(head.dump());
    text.pop_back(); // the closing brace: the steps come next
    return text + ",\"steps\":[";
}

// The page's template split at its markers, "<!--@name-->", each handed to `fill` in turn.
bool FillTemplate(std::string_view page, const std::function<bool(std::string_view marker)>& fill,
                  const TextSink& sink)
{
    const std::string_view open = "<!--@", close = "-->";
    for (size_t at; (at = page.find(open)) != std::string_view::npos;) {
        const size_t end = page.find(close, at);
        if (end == std::string_view::npos)
            break;
        if (!sink(std::string(page.substr(0, at))) ||
            !fill(page.substr(at + open.size(), end - at - open.size())))
            return false;
        page.remove_prefix(end + close.size());
    }
    return sink(std::string(page));
}

// What the page types with beyond its captions' characters: the letters of Western European languages,
// punctuation, the euro sign.
const std::pair<char32_t, char32_t> kTypingRanges[] = {{0x20, 0x7E},     {0xA0, 0xFF},     {0x2013, 0x2014},
                                                       {0x2018, 0x201E}, {0x2022, 0x2026}, {0x20AC, 0x20AC}};

const std::pair<char32_t, char32_t> kHintingRanges[] = {{'0', '9'}, {'A', 'Z'}, {'a', 'z'}};

// The caption font in the page: the glyphs of the characters its captions hold, and, deflated, those and
// the glyphs for typing, which the edit mode adds the first time a caption needs one (player/main.js).
// The whole font would weigh a megabyte in every page.
bool WriteStyle(const Project* project, const TextSink& sink, std::string& error)
{
    std::set<char32_t> characters;
    if (project)
        for (const ProjectStep& step : project->steps)
            if (step.caption)
                for (const char32_t c : DecodeUtf8(step.caption->text))
                    characters.insert(c);
    // The letters and digits stay in even without a caption that uses them: FreeType's automatic hinter,
    // with which Chromium draws text on Linux, takes the height of a font's lines of text from them, and
    // draws some letters a pixel otherwise without them.
    for (const auto& [first, last] : kHintingRanges)
        for (char32_t c = first; c <= last && !characters.empty(); ++c)
            characters.insert(c);
    std::set<char32_t> typing = characters;
    for (const auto& [first, last] : kTypingRanges)
        for (char32_t c = first; c <= last; ++c)
            typing.insert(c);
    auto captions = SubsetFont(kCaptionFont, kCaptionFontSize, characters, kCaptionFamily);
    auto more = SubsetFont(kCaptionFont, kCaptionFontSize, typing, kCaptionFamily);
    CDeflater deflater(kDeflateBest);
    if (more)
        deflater.Add(more->data(), more->size());
    auto deflated = more ? deflater.Finish() : CResult<std::vector<uint8_t>>(more.Error());
    if (!captions || !deflated) {
        error = (captions ? deflated.Error() : captions.Error()).text;
        return false;
    }
    std::string has, face;
    for (const char32_t c : characters)
        has += (has.empty() ? "" : " ") + std::to_string(static_cast<uint32_t>(c));
    if (!characters.empty())
        face = "@font-face { font-family: \"" + std::string(kCaptionFamily) +
               "\"; src: url(data:font/ttf;base64," + Base64(captions->data(), captions->size()) +
               ") format(\"truetype\"); }\n";
    return sink("<style>\n" + face + std::string(Embedded(kPlayerCss, kPlayerCssSize)) +
                "</style>\n<script type=\"application/octet-stream\" id=\"captionFontMore\" data-has=\"" +
                has + "\">" + Base64(deflated->data(), deflated->size()) + "</script>");
}

} // namespace

CResult<> WritePlayerHtml(const SessionTimeline& timeline, int session, int fps, const TextSink& sink,
                          const Project* project, const std::vector<StepFacts>* facts,
                          const std::vector<Suggestion>* suggestions)
{
    std::string error; // why the model could not be written, when it was not the sink
    const auto writeModel = [&] {
        if (!sink("<script type=\"application/json\" id=\"model\">" +
                  ModelHead(timeline, session, fps, project)))
            return false;
        for (size_t s = 0; s < timeline.steps.size(); ++s) {
            const TimelineStep& step = timeline.steps[s];
            if (!sink(std::string(s ? "," : "") + "{\"frames\":" + std::to_string(step.frames) +
                      ",\"x\":" + std::to_string(step.cursor.x) + ",\"y\":" + std::to_string(step.cursor.y) +
                      StepFactsJson(facts && s < facts->size() ? &(*facts)[s] : nullptr,
                                    suggestions && s < suggestions->size() ? &(*suggestions)[s] : nullptr) +
                      ",\"pictures\":["))
                return false;
            for (size_t p = 0; p < step.pictures.size(); ++p) {
                const TimelinePicture& picture = step.pictures[p];
                // One picture at a time: read, encoded and written before the next one is read.
                const CResult<RgbImage> read = ReadBmpFile(picture.file);
                if (!read) {
                    error = picture.file.u8string() + ": " + read.Error().text;
                    return false;
                }
                const RgbImage& image = *read;
                const auto png = EncodePng(image);
                if (!png) {
                    error = "picture " + std::to_string(picture.number) + " could not be encoded as PNG";
                    return false;
                }
                if (!sink(std::string(p ? "," : "") + "{\"x\":" + std::to_string(picture.x) + ",\"y\":" +
                          std::to_string(picture.y) + ",\"width\":" + std::to_string(image.width) +
                          ",\"height\":" + std::to_string(image.height) +
                          (picture.wholeGrab ? ",\"whole\":true" : "") + ",\"src\":\"data:image/png;base64," +
                          Base64(png->data(), png->size()) + "\"}"))
                    return false;
            }
            if (!sink("]}"))
                return false;
        }
        return sink("]}</script>");
    };
    const auto fill = [&](std::string_view marker) {
        if (marker == "style")
            return WriteStyle(project, sink, error);
        if (marker == "pointer")
            // The arrow's tip is the SVG's origin, so placing the SVG at the cursor point puts the tip on it.
            return sink(PointerSvg("pointer"));
        if (marker == "model")
            return writeModel();
        if (marker == "script")
            return sink("<script type=\"module\">\n" + std::string(Embedded(kPlayerJs, kPlayerJsSize)) +
                        "</script>");
        return sink("");
    };
    if (FillTemplate(Embedded(kPlayerHtml, kPlayerHtmlSize), fill, sink))
        return {};
    return Fail(error.empty() ? "the player could not be written" : error);
}
