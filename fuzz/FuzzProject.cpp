// Feeds arbitrary text to the project file's reader: nothing may crash it, and whatever it takes must
// be written back as a file that it takes again, unchanged.
#include "export/take/Project.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const CResult<Project> project = ParseProject(std::string(reinterpret_cast<const char*>(data), size));
    if (!project) {
        // A refusal always names its line.
        if (project.Error().text.rfind("line ", 0) != 0)
            std::abort();
        return 0;
    }
    const std::string written = SerializeProject(*project);
    const CResult<Project> again = ParseProject(written);
    if (!again || SerializeProject(*again) != written)
        std::abort();
    return 0;
}
