#include "capture/StepJournal.h"

#include "capture/KeyText.h"

void CStepJournal::AddChord(const KeyDown& chord)
{
    if (!m_recordChords || m_chords.size() >= kMaxChordsPerStep)
        return;
    std::string text = ChordText(chord);
    if (!text.empty())
        m_chords.push_back(std::move(text));
}

void CStepJournal::AddPress(int press, std::vector<int> pictures, std::string window,
                            std::optional<StepControl> fallback, StepLookup lookup, uint64_t now)
{
    StepRecord record;
    record.press = press;
    record.pictures = std::move(pictures);
    record.lookup = lookup;
    if (lookup != StepLookup::Outside) {
        record.window = std::move(window);
        record.control = std::move(fallback);
    }
    record.chords.swap(m_chords);
    m_records.push_back(std::move(record));
    m_pressedAt.push_back(now);
}

bool CStepJournal::Answer(int press, StepControl control, uint64_t doneAt)
{
    for (size_t i = m_records.size(); i-- > 0;) {
        StepRecord& record = m_records[i];
        if (record.press != press || record.lookup != StepLookup::Pending)
            continue;
        if (doneAt - m_pressedAt[i] > kLookupLimitMs) {
            record.lookup = StepLookup::Late;
            return true;
        }
        record.lookup = StepLookup::Answered;
        record.control = std::move(control);
        return true;
    }
    return false;
}

bool CStepJournal::Skip(int press)
{
    for (StepRecord& record : m_records)
        if (record.press == press && record.lookup == StepLookup::Pending) {
            record.lookup = StepLookup::Skipped;
            return true;
        }
    return false;
}

bool CStepJournal::Expire(uint64_t now)
{
    bool changed = false;
    for (size_t i = 0; i < m_records.size(); ++i)
        if (m_records[i].lookup == StepLookup::Pending && now - m_pressedAt[i] > kLookupLimitMs) {
            m_records[i].lookup = StepLookup::Late;
            changed = true;
        }
    return changed;
}
