#pragma once
#include "SessionTimeline.h"

#include <string>

// The whole player as one HTML page: every picture inline as a PNG data URI, the pointer as inline SVG,
// the controls and their script, nothing fetched from anywhere. Answers false (with the reason in
// `error`) only when a picture cannot be encoded.
bool BuildPlayerHtml(const SessionTimeline& timeline, int session, int fps, std::string& html,
                     std::string& error);
