#include "output/StepsFile.h"

#include "common/ReplacingFile.h"

#include <nlohmann/json.hpp>

#include <iterator>

using StepsJson = nlohmann::ordered_json;

namespace {

constexpr int kIndent = 2;

const char* const kLookupWords[] = {"pending", "answered", "late", "skipped", "outside"};

const char* LookupWord(StepLookup lookup)
{
    return kLookupWords[static_cast<int>(lookup)];
}

std::optional<StepLookup> LookupOf(const std::string& word)
{
    for (size_t i = 0; i < std::size(kLookupWords); ++i)
        if (word == kLookupWords[i])
            return static_cast<StepLookup>(i);
    return std::nullopt;
}

StepsJson RectJson(const StepRect& rect)
{
    return StepsJson{{"x", rect.x}, {"y", rect.y}, {"width", rect.width}, {"height", rect.height}};
}

StepsJson ControlJson(const StepControl& control)
{
    StepsJson json{{"name", control.name}, {"role", control.role}, {"states", control.states}};
    if (control.rect)
        json["rect"] = RectJson(*control.rect);
    json["class"] = control.className;
    json["source"] = control.source;
    return json;
}

StepsJson RecordJson(const StepRecord& record)
{
    StepsJson json{
        {"press", record.press}, {"pictures", record.pictures}, {"lookup", LookupWord(record.lookup)}};
    if (record.lookup != StepLookup::Outside) {
        json["window"] = record.window;
        if (record.control)
            json["control"] = ControlJson(*record.control);
    }
    json["chords"] = record.chords;
    return json;
}

// A missing optional member reads as its default; a member of the wrong type is refused by nlohmann.
template <typename T> void ReadOptional(const StepsJson& object, const char* key, T& value)
{
    if (const auto it = object.find(key); it != object.end())
        value = it->template get<T>();
}

StepControl ControlOf(const StepsJson& json)
{
    StepControl control;
    ReadOptional(json, "name", control.name);
    ReadOptional(json, "role", control.role);
    ReadOptional(json, "states", control.states);
    ReadOptional(json, "class", control.className);
    ReadOptional(json, "source", control.source);
    if (const auto rect = json.find("rect"); rect != json.end())
        control.rect = StepRect{rect->at("x").get<int32_t>(), rect->at("y").get<int32_t>(),
                                rect->at("width").get<int32_t>(), rect->at("height").get<int32_t>()};
    return control;
}

CResult<StepRecord> RecordOf(const StepsJson& json, size_t index)
{
    const std::string where = "steps[" + std::to_string(index) + "]";
    if (!json.is_object() || !json.contains("press") || !json.contains("pictures"))
        return Fail(where + " must be an object with \"press\" and \"pictures\"");
    StepRecord record;
    record.press = json.at("press").get<int>();
    record.pictures = json.at("pictures").get<std::vector<int>>();
    std::string lookup = LookupWord(StepLookup::Pending);
    ReadOptional(json, "lookup", lookup);
    const std::optional<StepLookup> known = LookupOf(lookup);
    if (!known)
        return Fail(where + ": unknown \"lookup\" \"" + lookup + "\"");
    record.lookup = *known;
    // A press outside the recorded program keeps nothing of the program under the pointer: a file that
    // says otherwise has been changed, and what it adds is not taken.
    if (record.lookup != StepLookup::Outside) {
        ReadOptional(json, "window", record.window);
        if (const auto control = json.find("control"); control != json.end() && control->is_object())
            record.control = ControlOf(*control);
    }
    ReadOptional(json, "chords", record.chords);
    return record;
}

CResult<std::vector<StepRecord>> StepsOf(const StepsJson& document)
{
    if (!document.is_object() || document.value("format", std::string()) != kStepsFormat)
        return Fail(std::string("not a steps file: \"format\" must be \"") + kStepsFormat + "\"");
    const int version = document.value("version", 0);
    if (version < 1 || version > kStepsVersion)
        return Fail("\"version\" " + std::to_string(version) + " is not one this Flickmere reads");
    const auto steps = document.find("steps");
    if (steps == document.end() || !steps->is_array())
        return Fail("\"steps\" must be a list");
    std::vector<StepRecord> records;
    for (size_t i = 0; i < steps->size(); ++i) {
        CResult<StepRecord> record = RecordOf((*steps)[i], i);
        if (!record)
            return record.Error();
        records.push_back(std::move(*record));
    }
    return records;
}

} // namespace

std::string StepsFileText(const std::vector<StepRecord>& steps)
{
    StepsJson document{{"format", kStepsFormat}, {"version", kStepsVersion}, {"steps", StepsJson::array()}};
    for (const StepRecord& record : steps)
        document["steps"].push_back(RecordJson(record));
    return document.dump(kIndent, ' ', false, StepsJson::error_handler_t::replace) + "\n";
}

CResult<std::vector<StepRecord>> ParseStepsFile(std::string_view text)
{
    try {
        return StepsOf(StepsJson::parse(text));
    } catch (const StepsJson::exception& e) {
        return Fail(std::string("not a valid steps file: ") + e.what());
    }
}

CResult<void> WriteStepsFile(const std::filesystem::path& file, const std::vector<StepRecord>& steps)
{
    const std::string text = StepsFileText(steps);
    CReplacingFile out;
    if (CResult<> opened = out.Open(file); !opened)
        return opened;
    // A failed write is found by Commit, which then removes the temporary file.
    (void)out.Write(text.data(), text.size());
    return out.Commit();
}
