#include "export/take/Project.h"

#include <cstdint>

namespace {

// Reads a parsed document into a Project, refusing it at the first value that is not as the format
// says, with the line that value is on.
class CProjectReader
{
public:
    explicit CProjectReader(const LinedJson& json) : m_document(json.document), m_lines(json.lines) {}

    CResult<Project> Read()
    {
        Project project;
        if (!ReadInto(project))
            return Fail(m_error);
        return project;
    }

private:
    bool ReadInto(Project& project)
    {
        if (!m_document.is_object())
            return Refuse("", "a project file holds one JSON object");
        std::string format;
        if (!String(m_document, "", "format", format))
            return false;
        if (format != kProjectFormat)
            return Refuse("format", "\"format\" must be \"" + std::string(kProjectFormat) +
                                        "\": this is no project file");
        int version = 0;
        if (!Integer(m_document, "", "version", 1, kProjectVersion, version, "written by a newer Flickmere"))
            return false;
        if (!Integer(m_document, "", "fps", 1, kMaxProjectFps, project.fps))
            return false;
        if (m_document.contains("crop")) {
            ProjectCrop crop;
            if (!Rect(m_document["crop"], "crop", crop.rect, true))
                return false;
            crop.fields = m_document["crop"];
            project.crop = std::move(crop);
        }
        const ProjectJson* steps = nullptr;
        if (!Member(m_document, "", "steps", steps))
            return false;
        if (!steps->is_array() || steps->empty())
            return Refuse("steps", "\"steps\" must be a list of at least one step");
        for (std::size_t i = 0; i < steps->size(); ++i) {
            ProjectStep step;
            if (!Step((*steps)[i], "steps[" + std::to_string(i) + "]", step))
                return false;
            project.steps.push_back(std::move(step));
        }
        project.fields = m_document;
        return true;
    }

    bool Step(const ProjectJson& value, const std::string& path, ProjectStep& step)
    {
        if (!value.is_object())
            return Refuse(path, "a step must be an object");
        if (!Integer(value, path, "source", 1, INT32_MAX, step.source) ||
            !Integer(value, path, "frames", 1, kMaxStepFrames, step.frames))
            return false;
        if (value.contains("caption")) {
            ProjectCaption caption;
            if (!Caption(value["caption"], path + ".caption", caption))
                return false;
            step.caption = std::move(caption);
        }
        if (const auto mark = value.find("mark"); mark != value.end()) {
            if (!mark->is_boolean())
                return Refuse(Join(path, "mark"), "\"mark\" of " + Where(path) + " must be true or false");
            step.mark = mark->get<bool>();
        }
        step.fields = value;
        return true;
    }

    bool Caption(const ProjectJson& value, const std::string& path, ProjectCaption& caption)
    {
        if (!value.is_object())
            return Refuse(path, "a caption must be an object");
        if (!String(value, path, "text", caption.text) || !Rect(value, path, caption.box, false))
            return false;
        if (value.contains("arrow")) {
            const std::string arrowPath = path + ".arrow";
            const ProjectJson& arrow = value["arrow"];
            if (!arrow.is_object())
                return Refuse(arrowPath,
                              "the arrow of " + Where(path) + " must be an object with \"x\" and \"y\"");
            ProjectArrow read;
            if (!Integer(arrow, arrowPath, "x", 0, kMaxStageCoordinate, read.tip.x) ||
                !Integer(arrow, arrowPath, "y", 0, kMaxStageCoordinate, read.tip.y))
                return false;
            read.fields = arrow;
            caption.arrow = std::move(read);
        }
        caption.fields = value;
        return true;
    }

    // x, y, width and height, among the fields of `value`; with `own`, `value` is the rectangle and
    // must be an object.
    bool Rect(const ProjectJson& value, const std::string& path, ProjectRect& rect, bool own)
    {
        if (own && !value.is_object())
            return Refuse(path,
                          Where(path) + " must be an object with \"x\", \"y\", \"width\" and \"height\"");
        return Integer(value, path, "x", 0, kMaxStageCoordinate, rect.x) &&
               Integer(value, path, "y", 0, kMaxStageCoordinate, rect.y) &&
               Integer(value, path, "width", 1, kMaxStageCoordinate, rect.width) &&
               Integer(value, path, "height", 1, kMaxStageCoordinate, rect.height);
    }

    bool Member(const ProjectJson& object, const std::string& path, const char* name,
                const ProjectJson*& member)
    {
        const auto found = object.find(name);
        if (found == object.end())
            return Refuse(path, Where(path) + " has no \"" + name + "\"");
        member = &*found;
        return true;
    }

    bool Integer(const ProjectJson& object, const std::string& path, const char* name, int lowest,
                 int highest, int& value, const char* aboveWhy = nullptr)
    {
        const ProjectJson* member = nullptr;
        if (!Member(object, path, name, member))
            return false;
        const std::string memberPath = Join(path, name);
        const bool whole = member->is_number_integer();
        const int64_t number = whole ? member->get<int64_t>() : 0;
        if (whole && number > highest && aboveWhy)
            return Refuse(memberPath,
                          "\"" + std::string(name) + "\" " + std::to_string(number) + ": " + aboveWhy);
        if (!whole || number < lowest || number > highest)
            return Refuse(memberPath, "\"" + std::string(name) + "\" of " + Where(path) +
                                          " must be a whole number from " + std::to_string(lowest) + " to " +
                                          std::to_string(highest));
        value = static_cast<int>(number);
        return true;
    }

    bool String(const ProjectJson& object, const std::string& path, const char* name, std::string& value)
    {
        const ProjectJson* member = nullptr;
        if (!Member(object, path, name, member))
            return false;
        if (!member->is_string())
            return Refuse(Join(path, name),
                          "\"" + std::string(name) + "\" of " + Where(path) + " must be a text in quotes");
        value = member->get<std::string>();
        return true;
    }

    static std::string Join(const std::string& path, const char* name)
    {
        return path.empty() ? name : path + "." + name;
    }

    // The object at `path` as the user knows it: "the project", "the crop", "step 3", "the caption of
    // step 3", "the arrow of step 3".
    static std::string Where(const std::string& path)
    {
        static const char kSteps[] = "steps[";
        if (path.rfind(kSteps, 0) != 0)
            return path.empty() ? "the project" : "the " + path;
        const std::size_t close = path.find(']');
        const std::string step = "step " + std::to_string(std::stoi(path.substr(sizeof kSteps - 1)) + 1);
        const std::size_t last = path.find_last_of('.');
        return last == std::string::npos || last < close ? step
                                                         : "the " + path.substr(last + 1) + " of " + step;
    }

    bool Refuse(const std::string& path, const std::string& what)
    {
        m_error = "line " + std::to_string(LineOf(m_lines, path)) + ": " + what;
        return false;
    }

    const ProjectJson& m_document;
    const JsonLines& m_lines;
    std::string m_error;
};

void SetRect(ProjectJson& object, const ProjectRect& rect)
{
    object["x"] = rect.x;
    object["y"] = rect.y;
    object["width"] = rect.width;
    object["height"] = rect.height;
}

// The known fields written over the ones the object was read with; an optional field that is no
// longer there is taken out.
ProjectJson StepObject(const ProjectStep& step)
{
    ProjectJson object = step.fields.is_object() ? step.fields : ProjectJson::object();
    object["source"] = step.source;
    object["frames"] = step.frames;
    if (step.mark)
        object["mark"] = *step.mark;
    else
        object.erase("mark");
    if (!step.caption) {
        object.erase("caption");
        return object;
    }
    const ProjectCaption& caption = *step.caption;
    ProjectJson& written = object["caption"] =
        caption.fields.is_object() ? caption.fields : ProjectJson::object();
    written["text"] = caption.text;
    SetRect(written, caption.box);
    if (caption.arrow) {
        ProjectJson& arrow = written["arrow"] =
            caption.arrow->fields.is_object() ? caption.arrow->fields : ProjectJson::object();
        arrow["x"] = caption.arrow->tip.x;
        arrow["y"] = caption.arrow->tip.y;
    } else {
        written.erase("arrow");
    }
    return object;
}

} // namespace

CResult<Project> ReadProject(const LinedJson& json)
{
    return CProjectReader(json).Read();
}

CResult<Project> ParseProject(const std::string& text)
{
    const CResult<LinedJson> json = ParseJsonWithLines(text);
    if (!json)
        return json.Error();
    return ReadProject(*json);
}

std::string SerializeProject(const Project& project)
{
    ProjectJson document = project.fields.is_object() ? project.fields : ProjectJson::object();
    document["format"] = kProjectFormat;
    document["version"] = kProjectVersion;
    document["fps"] = project.fps;
    if (project.crop) {
        ProjectJson& crop = document["crop"] =
            project.crop->fields.is_object() ? project.crop->fields : ProjectJson::object();
        SetRect(crop, project.crop->rect);
    } else {
        document.erase("crop");
    }
    ProjectJson steps = ProjectJson::array();
    for (const ProjectStep& step : project.steps)
        steps.push_back(StepObject(step));
    document["steps"] = std::move(steps);
    return document.dump(2) + "\n";
}
