#include "common/ReplacingFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#ifdef _WIN32
#include <io.h>
#include <process.h>
#else
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

// Enough tries to pass over what earlier runs of the same process id left behind.
constexpr int kMaxTries = 100;

std::FILE* CreateExclusive(const fs::path& path)
{
#ifdef _WIN32
    const int fd = _wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
    std::FILE* file = fd < 0 ? nullptr : _fdopen(fd, "wb");
    if (fd >= 0 && !file)
        _close(fd);
#else
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    std::FILE* file = fd < 0 ? nullptr : ::fdopen(fd, "wb");
    if (fd >= 0 && !file)
        ::close(fd);
#endif
    return file;
}

int ProcessId()
{
#ifdef _WIN32
    return _getpid();
#else
    return static_cast<int>(::getpid());
#endif
}

constexpr char kTemporaryEnd[] = ".tmp";

bool IsDigits(const std::string& text)
{
    return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

} // namespace

fs::path TemporaryNameOf(const fs::path& target, int process, int attempt)
{
    fs::path name = target;
    name += "." + std::to_string(process) + "-" + std::to_string(attempt) + kTemporaryEnd;
    return name;
}

bool IsTemporaryNameOf(const std::string& name, const std::string& targetName)
{
    const size_t start = targetName.size() + 1;
    const size_t endLength = sizeof kTemporaryEnd - 1;
    if (name.size() <= start + endLength || name.compare(0, targetName.size(), targetName) != 0 ||
        name[targetName.size()] != '.' ||
        name.compare(name.size() - endLength, endLength, kTemporaryEnd) != 0)
        return false;
    const std::string numbers = name.substr(start, name.size() - endLength - start);
    const size_t dash = numbers.find('-');
    return dash != std::string::npos && IsDigits(numbers.substr(0, dash)) &&
           IsDigits(numbers.substr(dash + 1));
}

CReplacingFile::~CReplacingFile()
{
    Discard();
}

CResult<void> CReplacingFile::Open(const fs::path& target)
{
    Discard();
    m_target = target;
    for (int n = 0; n < kMaxTries && !m_file; ++n) {
        m_temporary = TemporaryNameOf(target, ProcessId(), n);
        m_file = CreateExclusive(m_temporary);
        if (!m_file && errno != EEXIST)
            break;
    }
    if (!m_file) {
        const std::string name = m_temporary.u8string();
        m_temporary.clear();
        return Fail(name + ": cannot be written");
    }
    m_written = true;
    return {};
}

bool CReplacingFile::Write(const void* data, size_t size)
{
    m_written = m_written && m_file && std::fwrite(data, 1, size, m_file) == size;
    return m_written;
}

CResult<void> CReplacingFile::Commit()
{
    const bool closed = m_file && std::fclose(m_file) == 0;
    m_file = nullptr;
    if (!closed || !m_written) {
        const std::string name = m_temporary.u8string();
        Discard();
        return Fail(name + ": cannot be written");
    }
    std::error_code ec;
    fs::rename(m_temporary, m_target, ec);
    if (ec) {
        Discard();
        return Fail(m_target.u8string() + ": cannot be written (" + ec.message() + ")");
    }
    m_temporary.clear();
    return {};
}

void CReplacingFile::Discard()
{
    if (m_file)
        std::fclose(m_file);
    m_file = nullptr;
    if (!m_temporary.empty()) {
        std::error_code ignored;
        fs::remove(m_temporary, ignored); // ours: made by exclusive creation above
        m_temporary.clear();
    }
}
