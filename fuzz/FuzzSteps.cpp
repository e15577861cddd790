// Feeds arbitrary text to the steps file's reader: nothing may crash it, and whatever it takes must be
// written back as a file that it takes again, unchanged.
#include "output/StepsFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto steps = ParseStepsFile(std::string(reinterpret_cast<const char*>(data), size));
    if (!steps)
        return 0;
    const std::string written = StepsFileText(*steps);
    const auto again = ParseStepsFile(written);
    if (!again || *again != *steps || StepsFileText(*again) != written)
        std::abort();
    return 0;
}
