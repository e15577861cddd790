#include "state/FrameValues.h"

FrameValues g_frameValues;
