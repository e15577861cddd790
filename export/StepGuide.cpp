#include "export/StepGuide.h"

#include "common/SessionNames.h"
#include "export/AnimationFrames.h"
#include "export/GuideCrop.h"
#include "export/codec/Base64.h"
#include "export/codec/MarkupEscape.h"
#include "export/codec/PngEncoder.h"
#include "export/render/MarkRenderer.h"
#include "export/render/PointerShape.h"
#include "export/render/StageComposer.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int kMinPictureDigits = 2;

// The page's look: a plain document on screen, and on paper no backgrounds, no step split over two
// pages and pictures no wider than the page.
constexpr char kGuideStyle[] =
    R"(body { max-width: 60em; margin: 2em auto; padding: 0 1em; background: #fff; color: #1b1b1b;
       font: 16px/1.45 system-ui, sans-serif; }
h1 { font-size: 1.6em; margin: 0 0 1em; }
ol { padding-left: 2em; }
li { margin: 0 0 2em; }
li p { margin: 0 0 0.5em; white-space: pre-line; }
li img { display: block; max-width: 100%; height: auto; border: 1px solid #c8c8c8; }
@media print {
  @page { margin: 15mm; }
  body { max-width: none; margin: 0; padding: 0; background: none; color: #000; }
  li { break-inside: avoid; page-break-inside: avoid; }
  li img { max-width: 100%; height: auto; }
}
)";

CanvasView ViewOf(const RgbImage& image)
{
    return {image.rgb.data(), size_t(image.width) * 3};
}

// `box` of the stage as a picture of its own, with the mark of `mark` and the pointer at `cursor` over
// it, the pointer on top, as the animation draws them.
RgbImage Cut(const RgbImage& stage, const Region& box, const std::optional<StepRect>& mark,
             CursorPoint cursor)
{
    RgbImage picture{box.Width(), box.Height(), CopyOut(stage, box)};
    if (mark)
        DrawMark(picture, {mark->x - box.left, mark->y - box.top, mark->width, mark->height});
    DrawPointer(picture.rgb.data(), picture.width, picture.height, {cursor.x - box.left, cursor.y - box.top});
    return picture;
}

void CopyBox(const RgbImage& from, RgbImage& to, const Region& box)
{
    for (int y = box.top; y <= box.bottom; ++y) {
        const size_t at = (size_t(y) * from.width + box.left) * 3;
        std::memcpy(to.rgb.data() + at, from.rgb.data() + at, size_t(box.Width()) * 3);
    }
}

std::string OneLine(std::string text)
{
    std::replace(text.begin(), text.end(), '\n', ' ');
    return text;
}

// The words with their name in bold, each part escaped by `escape(part, atLineStart)`.
template <typename Escape>
std::string WithBoldName(const StepWords& words, const char* open, const char* close, Escape escape)
{
    const std::string& text = words.text;
    const size_t start = std::min(words.nameStart, text.size());
    const size_t length = std::min(words.nameLength, text.size() - start);
    if (length == 0)
        return escape(text, true);
    const std::string before = text.substr(0, start);
    const bool nameStartsLine = before.empty() || before.back() == '\n';
    return escape(before, true) + open + escape(text.substr(start, length), nameStartsLine) + close +
           escape(text.substr(start + length), false);
}

} // namespace

StepWords StepText(const ProjectStep& step, const Suggestion* suggestion)
{
    if (step.caption)
        return {step.caption->text};
    return suggestion ? *suggestion : StepWords{};
}

CResult<> DrawGuide(const Take& take, const GuideStepSink& sink)
{
    const SessionTimeline& timeline = take.timeline;
    const auto shown =
        TakeToShow(timeline, take.Edit(), take.fps, take.facts, [](int64_t, int64_t) { return true; });
    if (!shown)
        return shown.Error();
    const Project& project = shown->project;
    // The stage without the pointer and the marks, so that where they were is no change.
    CStageComposer composer(timeline, false, CheckpointBytesFor(project));
    const Region bounds =
        Within(CropOf(project, timeline), WholeBox(composer.Stage().width, composer.Stage().height));
    RgbImage before; // the stage as the step before left it
    for (size_t s = 0; s < project.steps.size(); ++s) {
        const ProjectStep& step = project.steps[s];
        const CResult<Region> composed = composer.ComposeStep(size_t(step.source) - 1);
        if (!composed)
            return composed.Error();
        const RgbImage& stage = composer.Stage();
        const Region possible = Within(*composed, WholeBox(stage.width, stage.height));
        const CursorPoint cursor = timeline.steps[size_t(step.source) - 1].cursor;
        GuideFocus focus{bounds};
        focus.first = s == 0;
        if (!focus.first)
            focus.change = DifferingBox(ViewOf(stage), ViewOf(before), possible);
        if (Region pointer; PointerRegion(cursor, stage.width, stage.height, pointer))
            focus.pointer = pointer;
        const std::optional<StepRect>& mark = shown->marks[s];
        if (mark)
            focus.mark = Within(MarkBounds(*mark), WholeBox(stage.width, stage.height));
        const Region box = GuideCropBox(focus);
        const CResult<std::vector<uint8_t>> png = EncodePng(Cut(stage, box, mark, cursor), PngEffort::Quick);
        if (!png)
            return png.Error();
        if (focus.first)
            before = stage;
        else
            CopyBox(stage, before, possible);
        const size_t source = size_t(step.source) - 1;
        const Suggestion* suggestion = source < take.suggestions.size() ? &take.suggestions[source] : nullptr;
        GuideStep out{s + 1,       project.steps.size(), StepText(step, suggestion), {}, &*png,
                      box.Width(), box.Height()};
        out.alt = out.words.text.empty() ? "Step " + std::to_string(s + 1) : OneLine(out.words.text);
        if (auto handed = sink(out); !handed)
            return handed;
    }
    return {};
}

CResult<> WriteGuideHtml(const Take& take, int session, const TextSink& sink)
{
    const Failure refused = Fail("the guide could not be written");
    const std::string title = EscapeHtml(SessionFolderName(session));
    if (!sink("<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<meta name=\"viewport\" "
              "content=\"width=device-width\">\n<title>" +
              title + "</title>\n<style>\n" + kGuideStyle + "</style>\n</head>\n<body>\n<h1>" + title +
              "</h1>\n<ol id=\"steps\">\n"))
        return refused;
    const auto escape = [](const std::string& text, bool) { return EscapeHtml(text); };
    const CResult<> drawn = DrawGuide(take, [&](const GuideStep& step) -> CResult<> {
        const std::string words =
            step.words.text.empty()
                ? ""
                : "<p>" + WithBoldName(step.words, "<strong>", "</strong>", escape) + "</p>";
        if (!sink("<li>" + words + "<img width=\"" + std::to_string(step.width) + "\" height=\"" +
                  std::to_string(step.height) + "\" alt=\"" + EscapeHtml(step.alt) +
                  "\" src=\"data:image/png;base64," + Base64(step.png->data(), step.png->size()) +
                  "\"></li>\n"))
            return refused;
        return {};
    });
    if (!drawn)
        return drawn;
    if (!sink("</ol>\n</body>\n</html>\n"))
        return refused;
    return {};
}

std::string GuidePictureName(size_t number, size_t count)
{
    const size_t digits = std::max<size_t>(kMinPictureDigits, std::to_string(count).size());
    const std::string n = std::to_string(number);
    return "step-" + std::string(digits > n.size() ? digits - n.size() : 0, '0') + n + ".png";
}

std::string GuideMarkdownTitle(int session)
{
    return "# " + EscapeMarkdown(SessionFolderName(session)) + "\n\n";
}

// "N. words" with the picture below, both in the list item: later lines indented as far as its text.
std::string GuideMarkdownStep(const GuideStep& step)
{
    const std::string number = std::to_string(step.number) + ". ";
    const std::string indent(number.size(), ' ');
    const std::string picture =
        "![" + EscapeMarkdown(step.alt, false) + "](" + GuidePictureName(step.number, step.count) + ")";
    if (step.words.text.empty())
        return number + picture + "\n\n";
    std::string words = WithBoldName(step.words, "**", "**", [](const std::string& text, bool atLineStart) {
        return EscapeMarkdown(text, atLineStart);
    });
    // A line break within the words is a hard break (a backslash at the line's end), within the item.
    for (size_t at = 0; (at = words.find('\n', at)) != std::string::npos; at += indent.size() + 2)
        words.replace(at, 1, "\\\n" + indent);
    return number + words + "\n\n" + indent + picture + "\n\n";
}
