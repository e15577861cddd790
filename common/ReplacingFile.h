#pragma once
// A file written under a temporary name of its own beside its target, which takes the target's place
// only once it is complete: a failed write never leaves a truncated file behind, nor replaces a good
// one. The temporary name is new for each run and made with exclusive creation, so a file the export
// did not make is never truncated or removed.
#include "common/Result.h"

#include <cstdio>
#include <filesystem>
#include <string>

// The temporary names: "<target's name>.<process id>-<attempt>.tmp" beside the target. A write that
// never finished (its program was ended) leaves its file under such a name.
std::filesystem::path TemporaryNameOf(const std::filesystem::path& target, int process, int attempt);
// Whether `name` (a file name, in UTF-8) is a temporary name of a target named `targetName`.
bool IsTemporaryNameOf(const std::string& name, const std::string& targetName);

class CReplacingFile
{
public:
    CReplacingFile() = default;
    ~CReplacingFile(); // an unfinished file is removed
    CReplacingFile(const CReplacingFile&) = delete;
    CReplacingFile& operator=(const CReplacingFile&) = delete;

    [[nodiscard]] CResult<void> Open(const std::filesystem::path& target);
    // False once any write failed; Commit then fails too.
    [[nodiscard]] bool Write(const void* data, size_t size);
    // Closes the file and renames it to the target; on failure removes it.
    [[nodiscard]] CResult<void> Commit();

private:
    void Discard();

    std::filesystem::path m_target;
    std::filesystem::path m_temporary;
    std::FILE* m_file = nullptr;
    bool m_written = true;
};
