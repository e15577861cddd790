#pragma once
// The step guide: the take as a numbered list of steps, each with its words and a picture of the stage
// after it, cut to what the step is about. As a page that prints well, or as Markdown with a picture
// file a step.
#include "common/Result.h"
#include "export/HtmlPlayer.h"
#include "export/SessionFiles.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// A step's words; [nameStart, nameStart + nameLength) is the part that names what to act on, set in
// bold (nameLength 0: none).
using StepWords = Suggestion;

// The one place that decides what a step of the guide says: its caption, as the user wrote it, else the
// words suggested for its recorded step (`suggestion`, none without a steps file); "" when neither.
StepWords StepText(const ProjectStep& step, const Suggestion* suggestion);

// A step of the guide as it is handed on; its picture lives only until the call returns.
struct GuideStep
{
    size_t number = 0; // from 1
    size_t count = 0;  // of steps in the guide
    StepWords words;
    // What the picture's alternative text is: the words, on one line; "Step N" when there are none.
    std::string alt;
    const std::vector<uint8_t>* png = nullptr;
    int width = 0;
    int height = 0;
};

using GuideStepSink = std::function<CResult<>(const GuideStep& step)>;

// Draws each shown step of the take (as edited, when it is) in order: the stage after it with its mark
// and the pointer and without the caption (its words go beside it), cut to GuideCropBox, as PNG. Holds two
// stages and a picture. Fails when a picture cannot be read any more, or with the sink's failure.
CResult<> DrawGuide(const Take& take, const GuideStepSink& sink);

// The guide as one self-contained page for session `session`: pictures inline, style inline, a print
// style sheet. Fails as DrawGuide does, or when the sink refuses.
CResult<> WriteGuideHtml(const Take& take, int session, const TextSink& sink);

// The Markdown guide's picture file names: step-01.png, ..., with as many digits as the last needs.
std::string GuidePictureName(size_t number, size_t count);
// The Markdown guide's title, and each step's item, its picture named by GuidePictureName.
std::string GuideMarkdownTitle(int session);
std::string GuideMarkdownStep(const GuideStep& step);
