#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>

// Takes every byte of a file the encoders write, in order; false stops the writer.
using ByteSink = std::function<bool(const uint8_t* bytes, size_t size)>;
