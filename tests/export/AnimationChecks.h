#pragma once
// What the animation tests check in every file the export writes: the animated PNG's chunks and frame
// records, and every frame, as two independent decoders compose it, against the stage composed here.
#include "RecordedSession.h"

#include <cstdint>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace exporttest {

struct Chunk
{
    std::string type;
    std::vector<uint8_t> data;
};

// The file's chunks in order, each checked against its CRC.
std::vector<Chunk> ReadChunks(const std::string& file);
uint32_t Get32(const std::vector<uint8_t>& bytes, size_t at);

struct FrameRecord
{
    uint32_t width, height, x, y;
    uint16_t delayNum, delayDen;
    uint8_t blend = 0;   // not compared: whichever gives the smaller frame
    uint8_t dispose = 0; // not compared either

    bool operator==(const FrameRecord& o) const
    {
        return width == o.width && height == o.height && x == o.x && y == o.y && delayNum == o.delayNum &&
               delayDen == o.delayDen;
    }
};
std::ostream& operator<<(std::ostream& out, const FrameRecord& f);

// The fcTL records after checking the chunk order, the sequence numbers shared with fdAT, the play
// count and the frame count, the ops, and that none lasts 10 ms or less, which browsers would show
// for 100 ms.
std::vector<FrameRecord> FrameRecords(const std::string& file, uint32_t plays);

// What a viewer must see in a frame: the whole canvas, for how many seconds.
struct ExpectedFrame
{
    RgbImage picture;
    double seconds = 0;
    // How far a GIF's frame of more than 256 colours may be from the picture: the mean difference per
    // colour channel. 0 asks for every pixel exact.
    double meanError = 0;
};

// Noise has far more than 256 colours a frame: its GIF shows the nearest of 256 chosen for each frame,
// this far from the stage on average.
constexpr double kNoiseMeanError = 40;

// ffmpeg and apngdis each decode the animated PNG: every frame must be the picture expected, for as
// long as it is due.
void ExpectApngShows(const std::string& file, const std::vector<ExpectedFrame>& expected);

// ffmpeg, and with `chromium` headless Chromium's image decoder, decode the GIF the same way.
void ExpectGifShows(const std::string& file, const std::vector<ExpectedFrame>& expected,
                    bool chromium = true);

// At 1000 fps the sample's (RecordSample) step 2 lasts 5 ms (a span of 2 + 3) and its open last step
// 3 ms (picture 5's frame value): its destination file is changed so.
void ShortenSampleSteps(const CRecordedSession& session);

// A GIF's frame as its file describes it.
struct GifRecord
{
    Region box;
    int delay = 0;   // hundredths of a second
    int dispose = 0; // 1 stays, 3 goes back to what was before it
    bool transparency = false;
    int localColours = 0; // entries of its own table; 0 when it uses the global one
};

// The GIF's frames after checking its header and blocks; `loops` whether it says to play for ever.
std::vector<GifRecord> GifRecords(const std::string& file, bool& loops);

// One step a frame shows, from 1, and for how many seconds.
using StepsAndSeconds = std::vector<std::pair<int, double>>;

// The frames of steps lasting `frames` at `fps`: a step too short to be seen (10 ms or less in an
// animated PNG, less than 2 hundredths once a GIF's delays are rounded to hundredths) is shown with
// the steps after it; a last one that short lasts 11 ms, or 2 hundredths.
StepsAndSeconds ExpectedTiming(const std::vector<int>& frames, int fps, bool gif);

// The same of a recorded take, each frame the stage at its step.
std::vector<ExpectedFrame> StagesAtSteps(const CRecordedSession& session, bool pointer,
                                         const StepsAndSeconds& steps);
void ExpectApngShowsSteps(const std::string& file, const CRecordedSession& session, bool pointer,
                          const StepsAndSeconds& steps);

} // namespace exporttest
