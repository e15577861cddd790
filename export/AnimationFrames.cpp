#include "export/AnimationFrames.h"

#include "export/render/CaptionRenderer.h"
#include "export/render/StageComposer.h"
#include "export/take/TakeEdit.h"

#include <cstring>

namespace {

int64_t Area(const Region& box)
{
    return IsEmpty(box) ? 0 : int64_t{box.Width()} * box.Height();
}

// The edited take's pictures, drawn one after another into one canvas.
class CEditedPictures
{
public:
    CEditedPictures(const SessionTimeline& timeline, const ShownTake& shown, bool pointer)
        : m_project(shown.project), m_marks(shown.marks),
          m_composer(timeline, pointer, CheckpointBytesFor(shown.project))
    {
    }

    // Draws the picture of project step `step` into `canvas`, which holds the one drawn before;
    // `possible` is a box (canvas coordinates) around every pixel that may have changed.
    CResult<void> Draw(size_t step, CEditedCanvas& canvas, Region& possible)
    {
        const ProjectStep& shown = m_project.steps[step];
        const ProjectCaption* caption = shown.caption ? &*shown.caption : nullptr;
        const CResult<Region> composed = m_composer.ComposeStep(size_t(shown.source) - 1, m_marks.at(step));
        if (!composed)
            return composed.Error();
        possible = *composed;
        // Only where the stage or a caption changed can the picture differ from the one before.
        const Region captionBox = caption ? CCaptionRenderer::Bounds(*caption) : kNoBox;
        possible = canvas.FromStage(UnionBox(UnionBox(possible, m_captionBefore), captionBox));
        m_captionBefore = captionBox;
        canvas.Update(m_composer.Stage(), caption, m_captions, possible);
        return {};
    }

private:
    const Project& m_project;
    const ShownMarks& m_marks;
    CStageComposer m_composer;
    const CCaptionRenderer m_captions;
    Region m_captionBefore = kNoBox;
};

} // namespace

// An edited take goes back to earlier steps; copies of the stage kept on the way, in this many bytes,
// spare it replaying from the start (five copies of a full-HD stage, one of a 4K one). Each copy costs
// its memory and its time to make, and a replay of small changes costs little.
size_t CheckpointBytesFor(const Project& project)
{
    constexpr size_t kCheckpointBytes = size_t{32} << 20;
    for (size_t s = 1; s < project.steps.size(); ++s)
        if (project.steps[s].source < project.steps[s - 1].source)
            return kCheckpointBytes;
    return 0;
}

std::vector<FrameSpan> GroupSteps(const Project& project,
                                  const std::function<bool(int64_t begin, int64_t end)>& longEnough)
{
    std::vector<FrameSpan> spans;
    int64_t begin = 0, end = 0;
    for (size_t s = 0; s < project.steps.size(); ++s) {
        end += project.steps[s].frames;
        if (longEnough(begin, end) || s + 1 == project.steps.size()) {
            spans.push_back({s, begin, end});
            begin = end;
        }
    }
    return spans;
}

ShownMarks MarksOf(const Project& project, const std::vector<StepFacts>& facts)
{
    ShownMarks marks;
    for (const ProjectStep& step : project.steps) {
        const size_t source = size_t(step.source) - 1;
        const StepFacts* fact = source < facts.size() ? &facts[source] : nullptr;
        const bool on = fact && step.mark.value_or(MarkedByDefault(*fact));
        marks.push_back(on ? MarkRectOf(*fact) : std::nullopt);
    }
    return marks;
}

CResult<ShownTake> TakeToShow(const SessionTimeline& timeline, const Project* edit, int fps,
                              const std::vector<StepFacts>& facts,
                              const std::function<bool(int64_t begin, int64_t end)>& longEnough)
{
    ShownTake shown;
    if (edit) {
        if (const CResult<> fits = FitsTake(*edit, timeline); !fits)
            return fits.Error();
        shown.project = *edit;
    } else {
        shown.project.fps = fps;
        for (size_t s = 0; s < timeline.steps.size(); ++s) {
            ProjectStep step;
            step.source = static_cast<int>(s + 1);
            step.frames = timeline.steps[s].frames;
            shown.project.steps.push_back(step);
        }
    }
    shown.spans = GroupSteps(shown.project, longEnough);
    shown.marks = MarksOf(shown.project, facts);
    return shown;
}

Region CropOf(const Project& project, const SessionTimeline& timeline)
{
    if (!project.crop)
        return WholeBox(timeline.stageWidth, timeline.stageHeight);
    const ProjectRect& r = project.crop->rect;
    return {r.x, r.y, r.x + r.width - 1, r.y + r.height - 1};
}

Region DifferingBox(const CanvasView& a, const CanvasView& b, const Region& within)
{
    Region box = kNoBox;
    if (IsEmpty(within))
        return box;
    const size_t rowBytes = size_t(within.Width()) * 3;
    const auto same = [&](int x, int y) { return std::memcmp(a.At(x, y), b.At(x, y), 3) == 0; };
    for (int y = within.top; y <= within.bottom; ++y) {
        if (std::memcmp(a.At(within.left, y), b.At(within.left, y), rowBytes) == 0)
            continue;
        // Only columns outside the box so far can widen it.
        int left = within.left;
        const int leftLimit = IsEmpty(box) ? within.right : box.left;
        while (left < leftLimit && same(left, y))
            ++left;
        int right = within.right;
        const int rightLimit = IsEmpty(box) ? left : box.right;
        while (right > rightLimit && same(right, y))
            --right;
        box = UnionBox(box, {left, y, right, y});
    }
    return box;
}

// Three canvases: the frame being handed on, the one after it (drawn first, to see whether going back
// pays), and what the viewer has before the frame.
CResult<void> PlanFrames(const SessionTimeline& timeline, const ShownTake& shown, bool pointer,
                         const std::function<bool(size_t)>& mayRevert, const FrameSink& sink)
{
    const Project& project = shown.project;
    const std::vector<FrameSpan>& spans = shown.spans;
    if (spans.empty())
        return Fail("the take has no steps");
    const Region crop = CropOf(project, timeline);
    const Region whole = WholeBox(crop.Width(), crop.Height());
    CEditedPictures pictures(timeline, shown, pointer);
    CEditedCanvas ahead(crop), current(crop), base(crop);
    Region possible;
    if (auto drawn = pictures.Draw(spans[0].lastStep, ahead, possible); !drawn)
        return drawn;
    current.CopyFrom(ahead, whole);
    Region box = whole;
    for (size_t i = 0; i < spans.size(); ++i) {
        Region stay = kNoBox, back = kNoBox; // the next frame's box after this one stays, or goes back
        bool revert = false;
        if (i + 1 < spans.size()) {
            if (auto drawn = pictures.Draw(spans[i + 1].lastStep, ahead, possible); !drawn)
                return drawn;
            stay = DifferingBox(current.View(), ahead.View(), possible);
            if (i > 0 && mayRevert(i)) {
                // The viewer's canvas differs from this frame's picture only inside its box.
                back = DifferingBox(base.View(), ahead.View(), UnionBox(possible, box));
                revert = Area(back) < Area(stay);
            }
        }
        if (auto handed = sink({i, current.View(), base.View(), box, revert}); !handed)
            return handed;
        if (!revert)
            base.CopyFrom(current, box);
        current.CopyFrom(ahead, stay);
        box = revert ? back : stay;
    }
    return {};
}
