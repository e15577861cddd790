#pragma once
// Bytes as base64 text, for what a page carries inline: pictures as data: URIs, the caption font.
#include <cstddef>
#include <cstdint>
#include <string>

std::string Base64(const uint8_t* bytes, size_t size);
