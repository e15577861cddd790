#include "TemplateKit.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv)
{
    TemplateKitOptions options;
    const char* directory = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--capacity") == 0 && i + 1 < argc) {
            options.capacity = std::atoi(argv[++i]);
        } else if (argv[i][0] != '-' && !directory) {
            directory = argv[i];
        } else {
            directory = nullptr;
            break;
        }
    }
    if (!directory) {
        std::fprintf(stderr, "usage: flickmere-templatekit [--capacity N] <directory>\n"
                             "Writes template.fla, bmpoffs.ini, curoffs.ini and frmoffs.ini (N slots, "
                             "default 100).\n");
        return 2;
    }
    std::string error;
    if (!WriteTemplateKit(directory, options, error)) {
        std::fprintf(stderr, "flickmere-templatekit: %s\n", error.c_str());
        return 1;
    }
    std::printf("template kit with %d picture slots written to %s\n", options.capacity, directory);
    return 0;
}
