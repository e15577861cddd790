#include "TestFiles.h"

#include "common/File.h"
#include "common/LittleEndian.h"

#include <atomic>
#include <chrono>
#include <random>

namespace testfiles {

CScratchDir::CScratchDir()
{
    // Unique across the test processes ctest runs side by side, without asking the platform for a
    // process id (and without trusting random_device alone, which some C runtimes make repeatable).
    static const auto processTag =
        std::random_device{}() ^
        static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count());
    static std::atomic<int> counter{0};
    m_path = std::filesystem::temp_directory_path() /
             ("flickmere-test-" + std::to_string(processTag) + "-" + std::to_string(counter++));
    std::filesystem::remove_all(m_path);
    std::filesystem::create_directories(m_path);
}

CScratchDir::~CScratchDir()
{
    std::error_code ignored;
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(m_path, ignored);
}

CCurrentDir::CCurrentDir(const std::filesystem::path& dir) : m_previous(std::filesystem::current_path())
{
    std::filesystem::current_path(dir);
}

CCurrentDir::~CCurrentDir()
{
    std::filesystem::current_path(m_previous);
}

void WriteText(const std::string& path, const std::string& text)
{
    CFile file(path.c_str(), "wb");
    if (file)
        std::fwrite(text.data(), 1, text.size(), file.Get());
}

std::vector<uint8_t> ReadBytes(const std::string& path)
{
    std::vector<uint8_t> bytes;
    ReadWholeFile(path.c_str(), bytes);
    return bytes;
}

int32_t Read32(const std::vector<uint8_t>& bytes, int64_t at)
{
    if (at < 0 || static_cast<uint64_t>(at) + 4 > bytes.size())
        return -1;
    return static_cast<int32_t>(Get32(bytes.data() + at));
}

uint16_t Read16(const std::vector<uint8_t>& bytes, int64_t at)
{
    if (at < 0 || static_cast<uint64_t>(at) + 2 > bytes.size())
        return 0xFFFF;
    return Get16(bytes.data() + at);
}

} // namespace testfiles
