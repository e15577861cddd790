#include "export/render/StageComposer.h"

#include "export/render/MarkRenderer.h"
#include "export/render/PointerShape.h"

#include <algorithm>

CStageComposer::CStageComposer(const SessionTimeline& timeline, bool pointer, size_t checkpointBytes)
    : m_timeline(timeline), m_pointer(pointer)
{
    m_stage.width = timeline.stageWidth;
    m_stage.height = timeline.stageHeight;
    m_stage.rgb.resize(size_t(m_stage.width) * m_stage.height * 3);
    Clear();
    // The copies are spread evenly over the take, so that none is more than that many steps away.
    const size_t copies = m_stage.rgb.empty() ? 0 : checkpointBytes / m_stage.rgb.size();
    if (copies > 0)
        m_checkpointEvery = std::max<size_t>(1, (timeline.steps.size() + copies - 1) / copies);
}

CResult<Region> CStageComposer::ComposeStep(size_t step, const std::optional<StepRect>& mark)
{
    const std::vector<TimelineStep>& steps = m_timeline.steps;
    if (step >= steps.size())
        return Fail("step " + std::to_string(step + 1) + " is not a recorded step");
    // The copies kept on the way, and the pictures painted next, are of the stage without a mark.
    Region changed = LiftMark();
    // Where to start drawing from, latest first: the stage as it is, a copy, a whole grab (which clears
    // the stage), the beginning.
    size_t start = 0;
    for (size_t s = step + 1; s-- > 0;)
        if (!steps[s].pictures.empty() && steps[s].pictures.front().wholeGrab) {
            start = s;
            break;
        }
    const Checkpoint* from = nullptr;
    for (const Checkpoint& c : m_checkpoints)
        if (c.step <= step && c.step + 1 > start && (!from || c.step > from->step))
            from = &c;
    const bool drawOn = m_next <= step + 1 && m_next > start && (!from || m_next > from->step + 1);
    if (!drawOn) {
        changed = WholeBox(m_stage.width, m_stage.height);
        if (from) {
            m_stage.rgb = from->rgb;
            m_pointerBox = from->pointerBox;
            m_underPointer = from->underPointer;
            m_next = from->step + 1;
        } else {
            Clear();
            m_pointerBox = kNoBox;
            m_next = start;
        }
    }
    while (m_next <= step) {
        const CResult<Region> box = DrawNextStep();
        if (!box)
            return box;
        changed = UnionBox(changed, *box);
        const size_t drawn = m_next - 1;
        if (m_checkpointEvery > 0 && (drawn + 1) % m_checkpointEvery == 0 &&
            std::none_of(m_checkpoints.begin(), m_checkpoints.end(),
                         [drawn](const Checkpoint& c) { return c.step == drawn; }))
            m_checkpoints.push_back({drawn, m_stage.rgb, m_pointerBox, m_underPointer});
    }
    if (mark)
        changed = UnionBox(changed, PlaceMark(*mark));
    return changed;
}

void CStageComposer::DrawPointerOfLastStep()
{
    Region box;
    if (!m_pointer || m_next == 0)
        return;
    const CursorPoint cursor = m_timeline.steps[m_next - 1].cursor;
    if (!PointerRegion(cursor, m_stage.width, m_stage.height, box))
        return;
    SaveUnderPointer(box);
    DrawPointer(m_stage.rgb.data(), m_stage.width, m_stage.height, cursor);
}

Region CStageComposer::LiftMark()
{
    if (IsEmpty(m_markBox))
        return kNoBox;
    RestoreUnderPointer();
    CopyIn(m_stage, m_markBox, m_underMark);
    const Region lifted = m_markBox;
    m_markBox = kNoBox;
    DrawPointerOfLastStep();
    return lifted;
}

Region CStageComposer::PlaceMark(const StepRect& mark)
{
    m_markBox = Within(MarkBounds(mark), WholeBox(m_stage.width, m_stage.height));
    if (IsEmpty(m_markBox))
        return kNoBox;
    RestoreUnderPointer();
    m_underMark = CopyOut(m_stage, m_markBox);
    DrawMark(m_stage, mark);
    DrawPointerOfLastStep();
    return m_markBox;
}

void CStageComposer::Clear()
{
    const uint8_t background[3] = {uint8_t(kStageBackground >> 16), uint8_t(kStageBackground >> 8),
                                   uint8_t(kStageBackground)};
    for (size_t i = 0; i < m_stage.rgb.size(); i += 3)
        std::copy_n(background, 3, m_stage.rgb.begin() + i);
}

CResult<Region> CStageComposer::DrawNextStep()
{
    const size_t s = m_next++;
    const TimelineStep& step = m_timeline.steps.at(s);
    const CursorPoint before = s > 0 ? m_timeline.steps[s - 1].cursor : step.cursor;
    // A pointer that stays where it was changes only what the pictures change under it.
    const bool moved = m_pointer && (s == 0 || before.x != step.cursor.x || before.y != step.cursor.y);
    Region changed = moved ? m_pointerBox : kNoBox;
    RestoreUnderPointer();
    for (const TimelinePicture& p : step.pictures) {
        if (p.wholeGrab) {
            Clear();
            changed = WholeBox(m_stage.width, m_stage.height);
        }
        if (const CResult<> painted = Paint(p); !painted)
            return painted.Error();
        changed = UnionBox(changed, {p.x, p.y, p.x + p.width - 1, p.y + p.height - 1});
    }
    Region box;
    if (m_pointer && PointerRegion(step.cursor, m_stage.width, m_stage.height, box)) {
        SaveUnderPointer(box);
        DrawPointer(m_stage.rgb.data(), m_stage.width, m_stage.height, step.cursor);
        if (moved)
            changed = UnionBox(changed, box);
    }
    return changed;
}

CResult<> CStageComposer::Paint(const TimelinePicture& p)
{
    CBmpFile bmp;
    CResult<> read = bmp.Open(p.file);
    // The header was read when the timeline was; the file may still have changed since.
    if (read && (bmp.Width() != p.width || bmp.Height() != p.height))
        read = Fail("changed while being read");
    if (read)
        read = bmp.ReadRows([&](int y, const uint8_t* rgb) {
            std::copy_n(rgb, size_t(p.width) * 3,
                        m_stage.rgb.begin() + (size_t(p.y + y) * m_stage.width + p.x) * 3);
        });
    if (!read)
        return Fail(p.file.u8string() + ": " + read.Error().text);
    return {};
}

void CStageComposer::SaveUnderPointer(const Region& box)
{
    m_pointerBox = box;
    m_underPointer = CopyOut(m_stage, box);
}

void CStageComposer::RestoreUnderPointer()
{
    if (IsEmpty(m_pointerBox))
        return;
    CopyIn(m_stage, m_pointerBox, m_underPointer);
    m_pointerBox = kNoBox;
}
