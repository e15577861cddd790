#include "common/File.h"

#include <filesystem>

CFile::CFile(const std::filesystem::path& path, const char* mode)
{
#ifdef _WIN32
    const std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
    m_file = _wfopen(path.c_str(), wideMode.c_str());
#else
    m_file = std::fopen(path.c_str(), mode);
#endif
}

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

namespace {

bool ReadAll(CFile& file, std::vector<uint8_t>& bytes)
{
    bytes.clear();
    if (!file)
        return false;
    uint8_t buffer[1 << 14];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file.Get())) > 0)
        bytes.insert(bytes.end(), buffer, buffer + got);
    return !std::ferror(file.Get());
}

} // namespace

bool ReadWholeFile(const char* path, std::vector<uint8_t>& bytes, const char* mode)
{
    CFile file(path, mode);
    return ReadAll(file, bytes);
}

bool ReadWholeFile(const std::filesystem::path& path, std::vector<uint8_t>& bytes)
{
    CFile file(path, "rb");
    return ReadAll(file, bytes);
}
