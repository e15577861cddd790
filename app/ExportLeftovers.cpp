#include "app/ExportLeftovers.h"

#include "app/SessionFolders.h"
#include "common/SessionNames.h"
#include "common/ReplacingFile.h"

#include <algorithm>
#include <iterator>

namespace fs = std::filesystem;

std::vector<fs::path> RemoveExportLeftovers(const fs::path& workDir)
{
    std::vector<fs::path> removed;
    ForEachSessionFolder(workDir, [&](int session, const fs::path& folder) {
        const std::string outputs[] = {kPlayerFileName, AnimationFileName(session), GifFileName(session),
                                       kGuideFileName};
        ForEachEntry(folder, [&](const fs::directory_entry& file) {
            const std::string name = file.path().filename().u8string();
            std::error_code ec;
            const bool leftover =
                std::any_of(std::begin(outputs), std::end(outputs),
                            [&](const std::string& o) { return IsTemporaryNameOf(name, o); });
            if (leftover && file.is_regular_file(ec) && fs::remove(file.path(), ec))
                removed.push_back(file.path());
        });
    });
    return removed;
}
