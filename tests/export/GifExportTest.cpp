// The GIF as a user gets it: the command's file and its name.
#include "AnimationChecks.h"
#include "RecordedSession.h"

#include <gtest/gtest.h>

namespace {

using namespace exporttest;

} // namespace
