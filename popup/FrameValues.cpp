#include "popup/FrameValues.h"

FrameValues g_frameValues;
