#include "common/File.h"

#include <filesystem>

CFile& CFile::operator=(CFile&& other) noexcept
{
    if (this != &other) {
        Close();
        m_file = other.m_file;
        other.m_file = nullptr;
    }
    return *this;
}

bool CFile::Close()
{
    if (!m_file)
        return false;
    const bool closed = std::fclose(m_file) == 0;
    m_file = nullptr;
    return closed;
}

bool FileExists(const std::string& path)
{
    std::error_code ignored;
    return std::filesystem::exists(path, ignored);
}

bool ReadWholeFile(const char* path, std::vector<uint8_t>& bytes, const char* mode)
{
    bytes.clear();
    CFile file(path, mode);
    if (!file)
        return false;
    uint8_t buffer[1 << 14];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file.Get())) > 0)
        bytes.insert(bytes.end(), buffer, buffer + got);
    return !std::ferror(file.Get());
}
