#include "app/SessionFolders.h"

#include "capture/SessionNumber.h"
#include "common/SessionNames.h"

namespace fs = std::filesystem;

int SessionOfFolderName(const std::string& name)
{
    // SessionNumberOf takes the number in any form "%i" reads ("session010" is 8); the export writes
    // only into the folder with the plain decimal number.
    const int session = SessionNumberOf(name.c_str());
    const size_t word = sizeof kSessionWord - 1;
    return session > 0 && name.compare(word, std::string::npos, std::to_string(session)) == 0 ? session : 0;
}

void ForEachEntry(const fs::path& folder, const std::function<void(const fs::directory_entry& entry)>& visit)
{
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        visit(*it);
}

void ForEachSessionFolder(const fs::path& workDir,
                          const std::function<void(int session, const fs::path& folder)>& visit)
{
    ForEachEntry(workDir, [&](const fs::directory_entry& entry) {
        const int session = SessionOfFolderName(entry.path().filename().u8string());
        std::error_code ec;
        if (session > 0 && entry.is_directory(ec))
            visit(session, entry.path());
    });
}
