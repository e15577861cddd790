#pragma once
// The parts every PNG file is made of: the signature, and chunks of length, type, data and CRC. PNG
// stores its numbers big-endian, unlike the bitmap files and the template.
#include "export/codec/ByteSink.h"

#include <cstdint>
#include <vector>

extern const uint8_t kPngSignature[8];

void AppendBigEndian32(std::vector<uint8_t>& out, uint32_t v);
void AppendBigEndian16(std::vector<uint8_t>& out, uint16_t v);

// Hands the chunk to `sink`: its data is `head` then `body`, which is never copied.
bool WritePngChunk(const ByteSink& sink, const char* type, const std::vector<uint8_t>& head,
                   const std::vector<uint8_t>& body = {});

// IHDR's data: 8 bits a sample, deflate, adaptive filtering, no interlace.
std::vector<uint8_t> PngHeader(int width, int height, uint8_t colourType);
