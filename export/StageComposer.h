#pragma once
// The stage as a session showed it, one step after another: what the animated PNG and the tests draw.
#include "BmpReader.h"
#include "SessionTimeline.h"

#include <string>

// The union of two boxes; an empty box is the one with Width() < 1.
Region UnionBox(const Region& a, const Region& b);
constexpr Region kNoBox{0, 0, -1, -1};

class CStageComposer
{
public:
    // The stage starts as kStageBackground.
    CStageComposer(const SessionTimeline& timeline, bool pointer);

    // Draws the next step over the stage: its pictures, each read from its file only now, then the
    // pointer at its cursor. `changed` is the union box of the step's pictures and of the pointer's old
    // and new boxes (the whole stage for a whole grab), kNoBox when nothing changed. False, with the
    // file and the reason in `error`, when a picture cannot be read although its header could.
    bool DrawNextStep(Region& changed, std::string& error);

    const RgbImage& Stage() const { return m_stage; }

private:
    void Clear();
    bool Paint(const TimelinePicture& p, std::string& error);
    void SaveUnderPointer(const Region& box);
    void RestoreUnderPointer();

    const SessionTimeline& m_timeline;
    bool m_pointer;
    size_t m_next = 0;
    RgbImage m_stage;
    Region m_pointerBox = kNoBox; // where the arrow is drawn, and the pixels it covers
    std::vector<uint8_t> m_underPointer;
};
