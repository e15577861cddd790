#include "export/codec/PngEncoder.h"

#include "export/codec/PngChunks.h"
#include "export/codec/PngPixelFormat.h"
#include "export/codec/PngRaster.h"

#include <algorithm>
#include <memory>

namespace {

constexpr bool kOpaqueOnly = false;
constexpr uint8_t kOpaque = 0xFF;

} // namespace

CResult<std::vector<uint8_t>> EncodePng(const RgbImage& image, PngEffort effort)
{
    // On the heap: the census keeps a bit for every colour there is.
    auto colours = std::make_unique<CColourCensus>();
    colours->Add(image.rgb.data(), image.rgb.size() / 3);
    const CPngPixelFormat format(*colours, kOpaqueOnly);
    colours.reset();

    std::vector<uint8_t> rgba(size_t(image.width) * 4);
    const PngRowSource rows = [&](int y, uint8_t* row) {
        const uint8_t* in = image.rgb.data() + size_t(y) * image.width * 3;
        uint8_t* out = rgba.data();
        for (int x = 0; x < image.width; ++x, in += 3, out += 4) {
            out[0] = in[0];
            out[1] = in[1];
            out[2] = in[2];
            out[3] = kOpaque;
        }
        format.Convert(rgba.data(), image.width, row);
    };
    const PngShape shape{image.width, image.height, format.BytesPerPixel()};
    CResult<std::vector<uint8_t>> deflated = std::vector<uint8_t>();
    if (effort == PngEffort::Quick) {
        deflated = CompressQuickly(shape, rows);
    } else if (auto smallest = CompressSmallest(shape, {rows}); smallest) {
        deflated = std::move(smallest->deflated);
    } else {
        deflated = smallest.Error();
    }
    if (!deflated)
        return deflated.Error();

    std::vector<uint8_t> png;
    const ByteSink append = [&png](const uint8_t* bytes, size_t size) {
        png.insert(png.end(), bytes, bytes + size);
        return true;
    };
    append(kPngSignature, sizeof kPngSignature);
    WritePngChunk(append, "IHDR", PngHeader(image.width, image.height, format.ColourType()));
    if (!format.Palette().empty())
        WritePngChunk(append, "PLTE", format.Palette());
    WritePngChunk(append, "IDAT", {}, *deflated);
    WritePngChunk(append, "IEND", {});
    return png;
}
