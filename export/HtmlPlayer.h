#pragma once
#include "common/Result.h"
#include "export/take/Project.h"
#include "export/take/SessionTimeline.h"
#include "export/take/StepFacts.h"
#include "export/take/Suggestion.h"

#include <functional>
#include <string>

// Takes the page's text in order; false stops the writer.
using TextSink = std::function<bool(const std::string& text)>;

// The whole player and editor as one HTML page (export/player/), handed to `sink` a picture at a time.
// The take goes in as one JSON model: the stage, each step with its pointer, length and pictures (inline
// PNG data URIs), the caption style of CaptionStyle.h, and `project` (nullptr: none, the page starts
// from the take as recorded). With `facts` (one per recorded step), each step also carries its suggested
// caption (of `suggestions`, one per recorded step) and the rectangle its mark outlines, with whether it is
// marked when the edit does not say, and the page the mark style of MarkStyle.h. The caption font is
// embedded; nothing is fetched from anywhere. Refused, with the reason, when a picture cannot be read or
// encoded, or the sink refuses.
CResult<> WritePlayerHtml(const SessionTimeline& timeline, int session, int fps, const TextSink& sink,
                          const Project* project = nullptr, const std::vector<StepFacts>* facts = nullptr,
                          const std::vector<Suggestion>* suggestions = nullptr);
