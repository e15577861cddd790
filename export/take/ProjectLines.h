#pragma once
// Parses JSON while noting the line each value starts on, so that a project file's reader can name the
// line of a value it refuses, not only the lines of syntax errors.
#include "export/take/Project.h"

#include <map>
#include <string>

// Where each value of a document starts, by its path: "" for the document, "steps" for a key of the
// top object, "steps[2]" for an array element, "steps[2].frames" for a key below it. A key's line is
// the line of the key.
using JsonLines = std::map<std::string, int>;

// False, with "line L: what is wrong" in `error`, when the text is not JSON.
bool ParseJsonWithLines(const std::string& text, ProjectJson& document, JsonLines& lines, std::string& error);
