#pragma once
// Scratch directories and small file helpers for the tests, native and under Wine.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace testfiles {

// A fresh, empty directory under the system's temp directory, removed again by the destructor.
class CScratchDir
{
public:
    CScratchDir();
    ~CScratchDir();
    CScratchDir(const CScratchDir&) = delete;
    CScratchDir& operator=(const CScratchDir&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    std::string File(const std::string& name) const { return (m_path / name).string(); }

private:
    std::filesystem::path m_path;
};

// Makes `dir` the current directory for the lifetime of the object.
class CCurrentDir
{
public:
    explicit CCurrentDir(const std::filesystem::path& dir);
    ~CCurrentDir();

private:
    std::filesystem::path m_previous;
};

void WriteText(const std::string& path, const std::string& text);
// The file's bytes; empty when it cannot be read.
std::vector<uint8_t> ReadBytes(const std::string& path);

// Little-endian fields of a file's bytes; -1 (or 0xFFFF) when the field lies beyond the end.
int32_t Read32(const std::vector<uint8_t>& bytes, int64_t at);
uint16_t Read16(const std::vector<uint8_t>& bytes, int64_t at);

} // namespace testfiles
