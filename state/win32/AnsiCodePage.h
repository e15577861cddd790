#pragma once
#include <cstddef>
#include <string>

// UTF-8 into the system's ANSI code page, through UTF-16 as Windows converts; characters the code page
// lacks become '?'. The converter the text table uses on Windows (SetUtf8Converter).
std::string Utf8ToAnsiCodePage(const char* utf8, size_t size);
// The system's ANSI code page into UTF-8 (SetAnsiReader).
std::string AnsiCodePageToUtf8(const char* ansi, size_t size);
