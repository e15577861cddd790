#pragma once
#include <cstddef>

// The last-session report: `format` (UI text 13) filled with the session number, the frame total plus
// one and the image counter of the reported session. Bounded to `size`.
void FormatSessionReport(char* out, size_t size, const char* format);

// Keeps the ended session's values for the report; called when a session that wrote pictures ends.
void RecordSessionReport();

// What the info area shows during a session: the presses and the pictures so far (the image counter
// less one), in the current language's words.
void FormatSessionProgress(char* out, size_t size);
