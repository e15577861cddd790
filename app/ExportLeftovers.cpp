#include "app/ExportLeftovers.h"

#include "app/SessionFolders.h"
#include "common/SessionNames.h"
#include "export/codec/ReplacingFile.h"

namespace fs = std::filesystem;

std::vector<fs::path> RemoveExportLeftovers(const fs::path& workDir)
{
    std::vector<fs::path> removed;
    ForEachSessionFolder(workDir, [&](int session, const fs::path& folder) {
        const std::string animation = AnimationFileName(session);
        ForEachEntry(folder, [&](const fs::directory_entry& file) {
            const std::string name = file.path().filename().u8string();
            std::error_code ec;
            if ((IsTemporaryNameOf(name, kPlayerFileName) || IsTemporaryNameOf(name, animation)) &&
                file.is_regular_file(ec) && fs::remove(file.path(), ec))
                removed.push_back(file.path());
        });
    });
    return removed;
}
