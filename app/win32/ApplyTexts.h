#pragma once
#include <windows.h>

// Puts the texts of `language` on the main dialog's and the popup's controls and refreshes the
// current texts that messages read.
void ApplyTexts(HWND dialog, HWND popup, int language);

// Reads the language files of the working directory into the text table.
void EnumerateLanguageFiles();
