#include "export/codec/GifPalette.h"

#include <algorithm>
#include <array>

namespace {

struct Weighed
{
    uint32_t rgb;
    uint64_t count;
};

int Channel(uint32_t rgb, int c)
{
    return int(rgb >> (16 - 8 * c) & 0xFF);
}

// A box of colours, [begin, end) of the histogram.
struct Box
{
    size_t begin;
    size_t end;
    uint64_t count;
    int channel; // the widest
    int range;
};

Box Measure(const std::vector<Weighed>& histogram, size_t begin, size_t end)
{
    Box box{begin, end, 0, 0, -1};
    std::array<int, 3> low{255, 255, 255}, high{0, 0, 0};
    for (size_t i = begin; i < end; ++i) {
        box.count += histogram[i].count;
        for (int c = 0; c < 3; ++c) {
            low[c] = std::min(low[c], Channel(histogram[i].rgb, c));
            high[c] = std::max(high[c], Channel(histogram[i].rgb, c));
        }
    }
    for (int c = 0; c < 3; ++c)
        if (high[c] - low[c] > box.range)
            box.range = high[c] - low[c], box.channel = c;
    return box;
}

// The box's colour: the mean of its pixels.
uint32_t Mean(const std::vector<Weighed>& histogram, const Box& box)
{
    uint64_t sums[3] = {};
    for (size_t i = box.begin; i < box.end; ++i)
        for (int c = 0; c < 3; ++c)
            sums[c] += uint64_t(Channel(histogram[i].rgb, c)) * histogram[i].count;
    uint32_t rgb = 0;
    for (int c = 0; c < 3; ++c)
        rgb = rgb << 8 | uint32_t((sums[c] + box.count / 2) / box.count);
    return rgb;
}

// Splits the box that holds the most pixels times its widest range, at the median pixel along that
// range, until there are `limit` boxes or none can be split.
std::vector<uint32_t> MedianCut(std::vector<Weighed>& histogram, size_t limit)
{
    std::vector<Box> boxes{Measure(histogram, 0, histogram.size())};
    while (boxes.size() < limit) {
        const auto widest = std::max_element(boxes.begin(), boxes.end(), [](const Box& a, const Box& b) {
            return double(a.count) * a.range < double(b.count) * b.range;
        });
        if (widest->range <= 0)
            break;
        const Box box = *widest;
        const int c = box.channel;
        std::sort(histogram.begin() + box.begin, histogram.begin() + box.end,
                  [c](const Weighed& a, const Weighed& b) { return Channel(a.rgb, c) < Channel(b.rgb, c); });
        uint64_t seen = 0;
        size_t cut = box.begin;
        while (cut + 1 < box.end && (seen += histogram[cut].count) * 2 < box.count)
            ++cut;
        cut = std::min(cut + 1, box.end - 1); // both halves keep a colour
        *widest = Measure(histogram, box.begin, cut);
        boxes.push_back(Measure(histogram, cut, box.end));
    }
    std::vector<uint32_t> colours;
    for (const Box& box : boxes)
        colours.push_back(Mean(histogram, box));
    return colours;
}

int Distance(uint32_t a, uint32_t b)
{
    int d = 0;
    for (int c = 0; c < 3; ++c)
        d += (Channel(a, c) - Channel(b, c)) * (Channel(a, c) - Channel(b, c));
    return d;
}

} // namespace

CGifPalette::CGifPalette(const std::vector<uint32_t>& colours, size_t limit)
{
    std::unordered_map<uint32_t, uint64_t> counts;
    for (size_t i = 0; i < colours.size(); ++i) {
        // Screens have long runs of one colour.
        size_t run = 1;
        while (i + 1 < colours.size() && colours[i + 1] == colours[i])
            ++i, ++run;
        counts[colours[i]] += run;
    }
    std::vector<Weighed> histogram;
    for (const auto& [rgb, count] : counts)
        histogram.push_back({rgb, count});
    std::sort(histogram.begin(), histogram.end(),
              [](const Weighed& a, const Weighed& b) { return a.rgb < b.rgb; });
    m_exact = histogram.size() <= limit;
    if (m_exact) {
        for (const Weighed& w : histogram) {
            m_index[w.rgb] = uint8_t(m_colours.size());
            m_colours.push_back(w.rgb);
        }
        return;
    }
    m_colours = MedianCut(histogram, limit);
    for (const Weighed& w : histogram) {
        size_t best = 0;
        for (size_t i = 1; i < m_colours.size(); ++i)
            if (Distance(w.rgb, m_colours[i]) < Distance(w.rgb, m_colours[best]))
                best = i;
        m_index[w.rgb] = uint8_t(best);
    }
}
