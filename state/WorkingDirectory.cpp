#include "state/WorkingDirectory.h"

char g_workDir[kPathBytes];
