// The records of a session: a press keeps the chords since the previous one, the lookup's answer counts
// only in time, and a late or skipped lookup leaves what the press saw.
#include "capture/StepJournal.h"

#include <gtest/gtest.h>

namespace {

KeyDown Ctrl(int key)
{
    KeyDown down;
    down.vk = key;
    down.ctrl = true;
    return down;
}

StepControl Seen(const char* role, const char* name = "")
{
    StepControl control;
    control.role = role;
    control.name = name;
    control.source = "class";
    return control;
}

TEST(StepJournalTest, ChordsGoToTheNextPressAlsoOneThatWroteNothing)
{
    CStepJournal journal;
    journal.AddChord(Ctrl('S'));
    journal.AddPress(1, {}, "Notes", Seen("window"), StepLookup::Pending, 0);
    journal.AddPress(2, {1, 2}, "Notes", Seen("window"), StepLookup::Pending, 10);
    journal.AddChord(Ctrl('Z'));
    journal.AddChord(Ctrl('Y'));
    journal.AddPress(3, {3}, "", std::nullopt, StepLookup::Outside, 20);
    const std::vector<StepRecord>& records = journal.Records();
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].chords, std::vector<std::string>{"Ctrl+S"});
    EXPECT_TRUE(records[1].chords.empty());
    EXPECT_EQ(records[2].chords, (std::vector<std::string>{"Ctrl+Z", "Ctrl+Y"}));
    EXPECT_EQ(records[1].pictures, (std::vector<int>{1, 2}));
    EXPECT_FALSE(records[2].control);
}

TEST(StepJournalTest, ChordsOffKeepsNone)
{
    CStepJournal journal(false);
    journal.AddChord(Ctrl('S'));
    journal.AddPress(1, {1}, "Notes", Seen("window"), StepLookup::Pending, 0);
    EXPECT_TRUE(journal.Records()[0].chords.empty());
}

TEST(StepJournalTest, AStepKeepsAtMostItsShareOfChords)
{
    CStepJournal journal;
    for (size_t i = 0; i < 2 * kMaxChordsPerStep; ++i)
        journal.AddChord(Ctrl('A' + static_cast<int>(i % 26)));
    journal.AddPress(1, {1}, "Notes", Seen("window"), StepLookup::Pending, 0);
    EXPECT_EQ(journal.Records()[0].chords.size(), kMaxChordsPerStep);
}

TEST(StepJournalTest, AnAnswerCountsOnlyWithinTheLimit)
{
    struct Case
    {
        uint64_t after;
        StepLookup lookup;
        const char* name;
    };
    const Case cases[] = {{0, StepLookup::Answered, "Save"},
                          {kLookupLimitMs, StepLookup::Answered, "Save"},
                          {kLookupLimitMs + 1, StepLookup::Late, ""},
                          {5000, StepLookup::Late, ""}};
    for (const Case& c : cases) {
        CStepJournal journal;
        journal.AddPress(7, {1}, "Notes", Seen("button"), StepLookup::Pending, 1000);
        EXPECT_TRUE(journal.Answer(7, Seen("button", "Save"), 1000 + c.after));
        const StepRecord& record = journal.Records()[0];
        EXPECT_EQ(record.lookup, c.lookup) << c.after;
        EXPECT_EQ(record.control->name, c.name) << c.after;
        // A second answer for the same press changes nothing.
        EXPECT_FALSE(journal.Answer(7, Seen("button", "Other"), 1000 + c.after));
    }
}

TEST(StepJournalTest, PendingRecordsExpireAndSkippedOnesStay)
{
    CStepJournal journal;
    journal.AddPress(1, {1}, "Notes", Seen("button"), StepLookup::Pending, 0);
    journal.AddPress(2, {}, "Notes", Seen("button"), StepLookup::Skipped, 100);
    journal.AddPress(3, {}, "Notes", Seen("button"), StepLookup::Pending, 400);
    EXPECT_TRUE(journal.Expire(kLookupLimitMs + 1));
    EXPECT_EQ(journal.Records()[0].lookup, StepLookup::Late);
    EXPECT_EQ(journal.Records()[1].lookup, StepLookup::Skipped);
    EXPECT_EQ(journal.Records()[2].lookup, StepLookup::Pending);
    EXPECT_FALSE(journal.Expire(kLookupLimitMs + 2));
    EXPECT_FALSE(journal.Answer(2, Seen("button", "Save"), 150)) << "a skipped press has no lookup to answer";
    EXPECT_TRUE(journal.Skip(3));
    EXPECT_EQ(journal.Records()[2].lookup, StepLookup::Skipped);
    EXPECT_FALSE(journal.Skip(3));
}

} // namespace
