#include "app/EditedSessions.h"

#include "app/SessionFolders.h"
#include "common/SessionNames.h"
#include "export/SessionFiles.h"
#include "export/take/TakeEdit.h"

#include <algorithm>
#include <optional>

namespace fs = std::filesystem;

namespace {

std::optional<fs::file_time_type> WriteTime(const fs::path& file)
{
    std::error_code ec;
    const fs::file_time_type time = fs::last_write_time(file, ec);
    if (ec || !fs::is_regular_file(file, ec))
        return std::nullopt;
    return time;
}

} // namespace

int SessionOfProjectFile(const std::string& relative)
{
    const size_t separator = relative.find_first_of("\\/");
    if (separator == std::string::npos)
        return 0;
    const int session = SessionOfFolderName(relative.substr(0, separator));
    return session > 0 && relative.compare(separator + 1, std::string::npos, ProjectFileName(session)) == 0
               ? session
               : 0;
}

std::vector<int> SessionsBehindTheirEdit(const fs::path& workDir)
{
    std::vector<int> behind;
    ForEachSessionFolder(workDir, [&](int session, const fs::path&) {
        const std::optional<fs::file_time_type> edit = WriteTime(ProjectFileOf(workDir, session));
        if (!edit)
            return;
        const std::optional<fs::file_time_type> player = WriteTime(PlayerFile(workDir, session));
        const std::optional<fs::file_time_type> animation = WriteTime(AnimationFile(workDir, session));
        if (!player || !animation || *edit > std::min(*player, *animation))
            behind.push_back(session);
    });
    std::sort(behind.begin(), behind.end());
    return behind;
}
