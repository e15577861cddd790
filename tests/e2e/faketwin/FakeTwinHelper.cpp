// Stands in for FlickmereHook32.exe in the tests of its failures: it ends at once, as the helper does
// when it cannot do its work, with the exit status written in twin-status.txt beside it.
#include <windows.h>

#include <cstdio>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    char path[MAX_PATH];
    const DWORD length = ::GetModuleFileNameA(nullptr, path, sizeof path);
    std::string statusFile(path, length);
    statusFile = statusFile.substr(0, statusFile.find_last_of("\\/") + 1) + "twin-status.txt";
    int status = 1;
    if (std::FILE* file = std::fopen(statusFile.c_str(), "r")) {
        if (std::fscanf(file, "%d", &status) != 1)
            status = 1;
        std::fclose(file);
    }
    return status;
}
