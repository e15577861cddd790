#pragma once
// The one owner of a C runtime FILE, and the one reader of a whole file, for the program and its tools.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

class CFile
{
public:
    CFile() = default;
    // std::fopen; whether it opened is told by operator bool.
    CFile(const char* path, const char* mode) : m_file(std::fopen(path, mode)) {}
    // Any name, also beyond the ANSI code page on Windows, where it goes to _wfopen as it stands.
    CFile(const std::filesystem::path& path, const char* mode);
    ~CFile() { Close(); }
    CFile(CFile&& other) noexcept : m_file(other.m_file) { other.m_file = nullptr; }
    CFile& operator=(CFile&& other) noexcept;
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    std::FILE* Get() const { return m_file; }
    explicit operator bool() const { return m_file != nullptr; }
    // Closes the file now. False when none was open or the close failed, which for a file being
    // written means that what was still buffered did not reach it.
    bool Close();

private:
    std::FILE* m_file = nullptr;
};

// Whether a file or folder of that name exists.
bool FileExists(const std::string& path);

// The whole file at `path`, opened with `mode` ("r+b" insists that it could be written too). False
// when it cannot be opened or not read to its end (a directory, say).
bool ReadWholeFile(const char* path, std::vector<uint8_t>& bytes, const char* mode = "rb");
bool ReadWholeFile(const std::filesystem::path& path, std::vector<uint8_t>& bytes);
