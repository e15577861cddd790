#pragma once
// A file written under a temporary name of its own beside its target, which takes the target's place
// only once it is complete: a failed write never leaves a truncated file behind, nor replaces a good
// one. The temporary name is new for each run and made with exclusive creation, so a file the export
// did not make is never truncated or removed.
#include "common/Result.h"

#include <cstdio>
#include <filesystem>
#include <string>

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
