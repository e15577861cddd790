#pragma once
// A scratch working directory laid out as a user's: the program, its hook and a template kit.
#include <string>

namespace e2e {

// Where CWorkDir takes Flickmere.exe and the hook's files from: the folder FLICKMERE_APP_DIR names (an
// unpacked release), else BinDir().
std::string AppDir();

struct WorkDirOptions
{
    int capacity = 20;
    bool templateKit = true;
    bool hookDll = true;
    // Put at the end of the folder's name, in the ANSI code page: a user's own folder name.
    std::string nameEnd;
};

// A fresh working directory under %TEMP% holding Flickmere.exe, HookDll.dll with its 32-bit twin and
// helper (`hookDll`), and a template kit; removed with all it holds by the destructor.
class CWorkDir
{
public:
    explicit CWorkDir(const WorkDirOptions& options = {});
    ~CWorkDir();
    CWorkDir(const CWorkDir&) = delete;
    CWorkDir& operator=(const CWorkDir&) = delete;

    const std::string& Path() const { return m_path; }
    std::string File(const std::string& name) const { return m_path + "\\" + name; }
    void Write(const std::string& name, const std::string& bytes) const;
    void Remove(const std::string& name) const;
    // Copies language file `name` (deutsch.lan, say) from beside the running program, where the build
    // puts the sample languages.
    void AddLanguageFile(const std::string& name) const;
    // The pictures in folder session<session>.
    int Pictures(int session) const;

private:
    std::string m_path;
};

} // namespace e2e
