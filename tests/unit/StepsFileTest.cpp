// The steps file: what is written reads back the same, a file of another kind is refused, and the file
// on disk is always a whole one.
#include "output/StepsFile.h"

#include "TestFiles.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

namespace {

StepControl Control(std::string name, std::string role, std::vector<std::string> states = {})
{
    StepControl control;
    control.name = std::move(name);
    control.role = std::move(role);
    control.states = std::move(states);
    control.rect = StepRect{10, -4, 75, 23};
    control.className = "Button";
    control.source = "button";
    return control;
}

StepRecord Record(int press, std::vector<int> pictures, StepLookup lookup)
{
    StepRecord record;
    record.press = press;
    record.pictures = std::move(pictures);
    record.lookup = lookup;
    return record;
}

std::vector<StepRecord> SampleSession()
{
    std::vector<StepRecord> steps;
    StepRecord answered = Record(1, {1}, StepLookup::Answered);
    answered.window = "Untitled - Notes \xE2\x80\x94 \xC3\xA4";
    answered.control = Control("Save", "button", {"focused", "default"});
    answered.chords = {"Ctrl+S", "Alt+F4"};
    steps.push_back(answered);
    StepRecord nothingWritten = Record(2, {}, StepLookup::Late);
    nothingWritten.window = "Notes";
    nothingWritten.control = Control("", "window");
    nothingWritten.control->rect.reset();
    nothingWritten.chords = {"Ctrl+Z"};
    steps.push_back(nothingWritten);
    steps.push_back(Record(3, {2, 3, 4, 5}, StepLookup::Outside));
    StepRecord skipped = Record(4, {6}, StepLookup::Skipped);
    skipped.control = Control("Line \"one\"\nline two\\", "list-item", {"selected"});
    steps.push_back(skipped);
    steps.push_back(Record(5, {7}, StepLookup::Pending));
    return steps;
}

TEST(StepsFileTest, WhatIsWrittenReadsBackTheSame)
{
    for (size_t count = 0; count <= SampleSession().size(); ++count) {
        std::vector<StepRecord> steps = SampleSession();
        steps.resize(count);
        const CResult<std::vector<StepRecord>> read = ParseStepsFile(StepsFileText(steps));
        ASSERT_TRUE(read) << read.Error().text;
        EXPECT_EQ(*read, steps) << count << " steps";
    }
}

TEST(StepsFileTest, TheDocumentHasTheDocumentedShape)
{
    const nlohmann::json document = nlohmann::json::parse(StepsFileText(SampleSession()));
    EXPECT_EQ(document["format"], "flickmere-steps");
    EXPECT_EQ(document["version"], 1);
    const nlohmann::json& first = document["steps"][0];
    EXPECT_EQ(first["lookup"], "answered");
    EXPECT_EQ(first["control"]["rect"],
              (nlohmann::json{{"x", 10}, {"y", -4}, {"width", 75}, {"height", 23}}));
    EXPECT_EQ(first["control"]["class"], "Button");
    // Outside the recorded program nothing of the window under the pointer is written.
    const nlohmann::json& outside = document["steps"][2];
    EXPECT_FALSE(outside.contains("window"));
    EXPECT_FALSE(outside.contains("control"));
    EXPECT_EQ(outside["pictures"], (nlohmann::json{2, 3, 4, 5}));
}

TEST(StepsFileTest, BadUtf8FromAWindowIsReplacedNotFatal)
{
    StepRecord record = Record(1, {1}, StepLookup::Answered);
    record.window = "caf\xE9";
    const std::string text = StepsFileText({record});
    EXPECT_NE(text.find("caf\xEF\xBF\xBD"), std::string::npos);
    EXPECT_TRUE(ParseStepsFile(text));
}

TEST(StepsFileTest, OtherFilesAreRefused)
{
    const char* const refused[] = {
        "",
        "[]",
        R"({"format": "flickmere-project", "version": 1, "steps": []})",
        R"({"format": "flickmere-steps", "version": 2, "steps": []})",
        R"({"format": "flickmere-steps", "version": 1})",
        R"({"format": "flickmere-steps", "version": 1, "steps": [{"pictures": []}]})",
        R"({"format": "flickmere-steps", "version": 1, "steps": [{"press": 1, "pictures": [], "lookup": "soon"}]})",
        R"({"format": "flickmere-steps", "version": 1, "steps": [{"press": "1", "pictures": []}]})",
    };
    for (const char* text : refused)
        EXPECT_FALSE(ParseStepsFile(text)) << text;
    EXPECT_TRUE(ParseStepsFile(
        R"({"format": "flickmere-steps", "version": 1, "later": true, "steps": [{"press": 1, "pictures": [], "x": 0}]})"));
    // A press outside the recorded program keeps nothing of another program, whatever a changed file
    // adds (the fuzzer's find: a second "lookup" key, the last of which counts).
    const auto outside = ParseStepsFile(
        R"({"format": "flickmere-steps", "version": 1, "steps": [{"press": 1, "pictures": [1],
            "lookup": "answered", "window": "Bank", "control": {"name": "PIN", "role": "text-field"},
            "lookup": "outside"}]})");
    ASSERT_TRUE(outside);
    EXPECT_EQ(outside->at(0).lookup, StepLookup::Outside);
    EXPECT_EQ(outside->at(0).window, "");
    EXPECT_FALSE(outside->at(0).control);
}

TEST(StepsFileTest, EachWriteLeavesOneWholeFile)
{
    const testfiles::CScratchDir dir;
    const std::filesystem::path file = dir.Path() / "session1.steps.json";
    std::vector<StepRecord> steps;
    for (const StepRecord& record : SampleSession()) {
        steps.push_back(record);
        ASSERT_TRUE(WriteStepsFile(file, steps));
        const std::vector<uint8_t> bytes = testfiles::ReadBytes(file.string());
        const CResult<std::vector<StepRecord>> read =
            ParseStepsFile({reinterpret_cast<const char*>(bytes.data()), bytes.size()});
        ASSERT_TRUE(read);
        EXPECT_EQ(*read, steps);
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1)
        << "a temporary file is left";
    EXPECT_FALSE(WriteStepsFile(dir.Path() / "missing" / "session1.steps.json", steps));
}

} // namespace
