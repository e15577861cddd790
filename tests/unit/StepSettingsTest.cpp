#include "capture/StepSettings.h"

#include <gtest/gtest.h>

namespace {

struct SettingsCase
{
    const char* text;
    bool steps;
    bool chords;
};

TEST(StepSettingsTest, ALineTurnsEachOff)
{
    const SettingsCase cases[] = {
        {"", true, true},
        {"steps=off", false, true},
        {"chords = off\r\n", true, false},
        {"  STEPS =  No \n chords=FALSE", false, false},
        {"\xEF\xBB\xBFsteps=0", false, true},
        {"[flickmere]\nsteps=off\nsteps=on", true, true},
        {"; steps=off\n# chords=off", true, true},
        {"steps=maybe\nchords\nother=off", true, true},
        {"chords=off\nchords=yes", true, true},
    };
    for (const SettingsCase& c : cases) {
        const StepSettings settings = ParseStepSettings(c.text);
        EXPECT_EQ(settings.steps, c.steps) << c.text;
        EXPECT_EQ(settings.chords, c.chords) << c.text;
    }
}

} // namespace
