#pragma once
// Parses JSON while noting the line each value starts on, so that a project file's reader can name the
// line of a value it refuses, not only the lines of syntax errors.
#include "common/Result.h"

#include <nlohmann/json.hpp>

#include <map>
#include <string>

// Objects keep their keys in the order they were read, so a saved file differs from the loaded one
// only where it was edited.
using ProjectJson = nlohmann::ordered_json;

// Objects and lists inside each other, the outermost counted: far more than a project needs (its arrow
// is the fifth level), and few enough that copying and writing a file, which go down the levels one
// call at a time, never run out of stack.
constexpr int kMaxProjectNesting = 64;

// Where each value of a document starts, by its path: "" for the document, "steps" for a key of the
// top object, "steps[2]" for an array element, "steps[2].frames" for a key below it. A key's line is
// the line of the key. Only values that a project's reader can ask about are noted: those reached by
// the format's own field names, so that long unknown keys and deep unknown values cost nothing.
using JsonLines = std::map<std::string, int>;

struct LinedJson
{
    ProjectJson document;
    JsonLines lines;
};

// Refused with "line L: what is wrong" when the text is not JSON or is nested deeper than
// kMaxProjectNesting.
CResult<LinedJson> ParseJsonWithLines(const std::string& text);

// The line of the value at `path`, or of the nearest value around it that has one.
int LineOf(const JsonLines& lines, std::string path);
