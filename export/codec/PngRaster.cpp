#include "export/codec/PngRaster.h"

#include "export/codec/Deflate.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <memory>
#include <tuple>

namespace {

enum : uint8_t
{
    kFilterNone,
    kFilterSub,
    kFilterUp,
    kFilterAverage,
    kFilterPaeth,
    kFilterCount,
    kFilterPerRow = kFilterCount, // the heuristic's choice for each row
    kChoiceCount,
};

// Below this many filtered bytes every candidate is deflated at the best level. Above it the quick level
// ranks them on a sample of the rows; the first and the best unfiltered one (the quick level, and a
// sample more so, undervalues the long matches that leave screenshots smallest unfiltered) are compared
// at the middle level, and only the winner is deflated at the best. On the benchmark's takes this loses
// nothing against deflating every candidate at the best level, in a fraction of the time.
constexpr size_t kExhaustiveBytes = size_t{1} << 16;
// Larger pictures are ranked on bands of this many rows, one in so many.
constexpr int kSampleRows = 32;
constexpr int kSampleEvery = 4;

uint8_t Paeth(int a, int b, int c)
{
    const int p = a + b - c;
    const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return uint8_t(pa <= pb && pa <= pc ? a : pb <= pc ? b : c);
}

// A filtered byte taken as a signed value, as the heuristic counts it.
uint32_t Cost(uint8_t filtered)
{
    return static_cast<uint32_t>(std::abs(int(int8_t(filtered))));
}

// The row under each of the five filters (each after its filter type byte), and the heuristic's
// choice among them: the smallest sum of absolute values.
class CRowFilters
{
public:
    CRowFilters(size_t rowBytes, size_t bpp) : m_rowBytes(rowBytes), m_bpp(bpp)
    {
        for (int f = 0; f < kFilterCount; ++f) {
            m_out[f].resize(rowBytes + 1);
            m_out[f][0] = uint8_t(f);
        }
    }

    // `choice` None or Up makes that one alone and leaves the others as they were; any other, all five.
    void Filter(const uint8_t* row, const uint8_t* above, int choice = kFilterPerRow)
    {
        std::copy_n(row, m_rowBytes, m_out[kFilterNone].data() + 1);
        if (choice == kFilterNone)
            return;
        if (choice == kFilterUp) {
            uint8_t* up = m_out[kFilterUp].data() + 1;
            for (size_t i = 0; i < m_rowBytes; ++i)
                up[i] = uint8_t(row[i] - above[i]);
            return;
        }
        uint8_t *sub = m_out[kFilterSub].data() + 1, *up = m_out[kFilterUp].data() + 1,
                *average = m_out[kFilterAverage].data() + 1, *paeth = m_out[kFilterPaeth].data() + 1;
        // The first pixel has no left neighbours: they count as 0, and Paeth predicts the byte above.
        const size_t first = std::min(m_bpp, m_rowBytes);
        for (size_t i = 0; i < first; ++i) {
            sub[i] = row[i];
            up[i] = paeth[i] = uint8_t(row[i] - above[i]);
            average[i] = uint8_t(row[i] - (above[i] >> 1));
        }
        for (size_t i = first; i < m_rowBytes; ++i) {
            const int a = row[i - m_bpp], b = above[i], c = above[i - m_bpp];
            sub[i] = uint8_t(row[i] - a);
            up[i] = uint8_t(row[i] - b);
            average[i] = uint8_t(row[i] - ((a + b) >> 1));
            paeth[i] = uint8_t(row[i] - Paeth(a, b, c));
        }
    }

    int Heuristic() const
    {
        int best = kFilterNone;
        uint32_t bestSum = UINT32_MAX;
        for (int f = 0; f < kFilterCount; ++f) {
            uint32_t sum = 0;
            for (size_t i = 1; i <= m_rowBytes; ++i)
                sum += Cost(m_out[f][i]);
            if (sum < bestSum)
                best = f, bestSum = sum;
        }
        return best;
    }

    const std::vector<uint8_t>& Row(int filter) const { return m_out[filter]; }

private:
    size_t m_rowBytes;
    size_t m_bpp;
    std::array<std::vector<uint8_t>, kFilterCount> m_out;
};

// Deflates the source's rows under every choice at once, at `level`: one stream per choice. With
// `sampled`, only one band of kSampleRows rows in kSampleEvery.
CResult<std::array<std::vector<uint8_t>, kChoiceCount>>
DeflateAll(const PngShape& shape, const PngRowSource& rows, int level, bool sampled)
{
    const size_t rowBytes = shape.RowBytes();
    std::vector<uint8_t> row(rowBytes), above(rowBytes, 0);
    CRowFilters filters(rowBytes, size_t(shape.bytesPerPixel));
    std::array<std::unique_ptr<CDeflater>, kChoiceCount> deflaters;
    for (auto& d : deflaters)
        d = std::make_unique<CDeflater>(level);
    for (int y = 0; y < shape.height; ++y) {
        const int inBand = y % (kSampleRows * kSampleEvery);
        if (sampled && inBand >= kSampleRows) {
            if (inBand + 1 == kSampleRows * kSampleEvery) // the row above the next band
                rows(y, above.data());
            continue;
        }
        rows(y, row.data());
        filters.Filter(row.data(), above.data());
        for (int f = 0; f < kFilterCount; ++f)
            deflaters[f]->Add(filters.Row(f).data(), rowBytes + 1);
        deflaters[kFilterPerRow]->Add(filters.Row(filters.Heuristic()).data(), rowBytes + 1);
        row.swap(above);
    }
    std::array<std::vector<uint8_t>, kChoiceCount> out;
    for (int c = 0; c < kChoiceCount; ++c) {
        auto deflated = deflaters[c]->Finish();
        if (!deflated)
            return deflated.Error();
        out[c] = std::move(*deflated);
    }
    return out;
}

// The source's rows under one choice, deflated at `level`.
CResult<std::vector<uint8_t>> DeflateOne(const PngShape& shape, const PngRowSource& rows, int choice,
                                         int level)
{
    const size_t rowBytes = shape.RowBytes();
    std::vector<uint8_t> row(rowBytes), above(rowBytes, 0);
    CRowFilters filters(rowBytes, size_t(shape.bytesPerPixel));
    CDeflater deflater(level);
    for (int y = 0; y < shape.height; ++y) {
        rows(y, row.data());
        filters.Filter(row.data(), above.data(), choice);
        const int filter = choice == kFilterPerRow ? filters.Heuristic() : choice;
        deflater.Add(filters.Row(filter).data(), rowBytes + 1);
        row.swap(above);
    }
    return deflater.Finish();
}

} // namespace

CResult<CompressedRows> CompressSmallest(const PngShape& shape, const std::vector<PngRowSource>& sources)
{
    const bool exhaustive = size_t(shape.height) * (shape.RowBytes() + 1) <= kExhaustiveBytes;
    std::vector<std::tuple<size_t, size_t, int>> ranked; // size, source, choice
    CompressedRows best;
    bool found = false;
    for (size_t s = 0; s < sources.size(); ++s) {
        auto all = DeflateAll(shape, sources[s], exhaustive ? kDeflateBest : kDeflateQuick, !exhaustive);
        if (!all)
            return all.Error();
        for (int c = 0; c < kChoiceCount; ++c) {
            std::vector<uint8_t>& deflated = (*all)[c];
            ranked.emplace_back(deflated.size(), s, c);
            if (exhaustive && (!found || deflated.size() < best.deflated.size()))
                best = {s, std::move(deflated)}, found = true;
        }
    }
    if (exhaustive)
        return best;
    // The quick level undervalues the long matches that leave screenshots smallest unfiltered: the best
    // unfiltered candidate stays in the running.
    std::sort(ranked.begin(), ranked.end());
    auto final = ranked[0];
    const auto unfiltered = std::find_if(ranked.begin(), ranked.end(),
                                         [](const auto& r) { return std::get<2>(r) == kFilterNone; });
    if (unfiltered != ranked.begin() && unfiltered != ranked.end()) {
        // The middle level, which looks for long matches as the best one does, decides between them.
        auto first = DeflateOne(shape, sources[std::get<1>(final)], std::get<2>(final), kDeflateMiddle);
        auto plain = DeflateOne(shape, sources[std::get<1>(*unfiltered)], kFilterNone, kDeflateMiddle);
        if (!first || !plain)
            return (first ? plain : first).Error();
        if (plain->size() < first->size())
            final = *unfiltered;
    }
    auto deflated = DeflateOne(shape, sources[std::get<1>(final)], std::get<2>(final), kDeflateBest);
    if (!deflated)
        return deflated.Error();
    best = {std::get<1>(final), std::move(*deflated)};
    return best;
}

CResult<std::vector<uint8_t>> CompressQuickly(const PngShape& shape, const PngRowSource& rows)
{
    return DeflateOne(shape, rows, kFilterNone, kDeflateQuick);
}
