#pragma once
// Texts between the system's wide characters and the narrow code pages the program keeps them in: the
// ANSI code page of the ...A functions (CP_ACP) and UTF-8 (CP_UTF8), the export's messages and paths.
// Bytes that are not valid in `codePage` become U+FFFD; characters the code page lacks become '?'.
#include <windows.h>

#include <string>

std::wstring WideFromCodePage(UINT codePage, const std::string& text);
std::string CodePageFromWide(UINT codePage, const std::wstring& text);
