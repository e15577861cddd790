#include "export/codec/PngEncoder.h"

// The encoder is compiled here and nowhere else; the file functions are left out, the player is built
// in memory.
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#define STBI_WRITE_NO_STDIO
#include "stb_image_write.h"

namespace {

void Append(void* context, void* data, int size)
{
    auto* out = static_cast<std::vector<uint8_t>*>(context);
    const auto* bytes = static_cast<const uint8_t*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

} // namespace

std::vector<uint8_t> EncodePng(const RgbImage& image)
{
    std::vector<uint8_t> png;
    if (!stbi_write_png_to_func(Append, &png, image.width, image.height, 3, image.rgb.data(),
                                image.width * 3))
        png.clear();
    return png;
}
