#pragma once
// The edit of a recorded take, kept beside it as session<N>/session<N>.flickmere.json: which recorded
// steps are shown in which order, how long each lasts, an optional crop and a caption per step. The
// take's own files are never changed by an edit. docs/project-format.md describes the file.
#include "common/Result.h"
#include "export/take/ProjectLines.h"

#include <optional>
#include <string>
#include <vector>

constexpr char kProjectFormat[] = "flickmere-project";
constexpr int kProjectVersion = 1;
constexpr int kMaxProjectFps = 1000;
constexpr int kMaxStepFrames = 65535;
// Stage coordinates, crop and caption sizes stay within what a window can be.
constexpr int kMaxStageCoordinate = 65535;

struct ProjectPoint
{
    int x = 0;
    int y = 0;
};

struct ProjectRect
{
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Every object keeps the fields it was read with, so fields that a later version adds survive a load
// and a save by this one; the known fields are written over them.
struct ProjectCrop
{
    ProjectRect rect;
    ProjectJson fields = ProjectJson::object();
};

struct ProjectArrow
{
    ProjectPoint tip;
    ProjectJson fields = ProjectJson::object();
};

// A callout box on the stage: its text (UTF-8, "\n" between lines), its place and size in stage
// pixels, and where its arrow points, if it has one.
struct ProjectCaption
{
    std::string text;
    ProjectRect box;
    std::optional<ProjectArrow> arrow;
    ProjectJson fields = ProjectJson::object();
};

struct ProjectStep
{
    // The recorded step whose picture this step shows, from 1.
    int source = 1;
    // How long the step lasts, in frames of the project's rate.
    int frames = 1;
    std::optional<ProjectCaption> caption;
    ProjectJson fields = ProjectJson::object();
    // Whether the step outlines the control its press was about; none: the take's default for it (on for
    // a click target, MarkedByDefault). Last, so that a step written as {source, frames, caption, fields}
    // still is one.
    std::optional<bool> mark;
};

struct Project
{
    int fps = 12;
    std::optional<ProjectCrop> crop;
    std::vector<ProjectStep> steps;
    ProjectJson fields = ProjectJson::object();
};

// Reads a project file's text. A text that is not a valid project is refused whole, with
// "line L: what is wrong".
CResult<Project> ParseProject(const std::string& text);
// The same, of a text parsed already.
CResult<Project> ReadProject(const LinedJson& json);

// The file's text: two-space indented JSON ending in a line feed.
std::string SerializeProject(const Project& project);
