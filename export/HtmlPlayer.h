#pragma once
#include "SessionTimeline.h"

#include <functional>
#include <string>

// Takes the page's text in order; false stops the writer.
using TextSink = std::function<bool(const std::string& text)>;

// The whole player as one HTML page, handed to `sink` a picture at a time: every picture inline as a
// PNG data URI, the pointer as inline SVG, the controls and their script, nothing fetched from
// anywhere. Answers false (with the reason in `error`) when a picture cannot be read or encoded, or
// the sink refuses.
bool WritePlayerHtml(const SessionTimeline& timeline, int session, int fps, const TextSink& sink,
                     std::string& error);
