#include "state/SessionState.h"

SessionState g_session;

namespace {
struct ResetAtStart
{
    ResetAtStart() { ResetSessionState(); }
} g_resetAtStart;
} // namespace

void ResetSessionState()
{
    g_session = SessionState{};
    g_session.imageCounter = 1;
}
