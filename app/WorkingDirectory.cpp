#include "app/WorkingDirectory.h"

char g_workDir[kPathBytes];
