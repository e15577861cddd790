#pragma once
// Language files saved as UTF-8, as today's editors do, read into the ANSI code page the program shows.
#include <cstddef>
#include <string>

// The byte-order mark some editors put at the start of a UTF-8 file.
constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";
constexpr size_t kUtf8MarkBytes = sizeof kUtf8Mark - 1;

// Whether `text` is well-formed UTF-8 (no overlong forms, no surrogates, nothing beyond U+10FFFF) and
// holds at least one character beyond ASCII. A file in the ANSI code page with umlauts almost never
// is: there a letter beyond ASCII is one byte above 0x7F, which UTF-8 never has on its own.
bool IsUtf8BeyondAscii(const char* text, size_t size);

// Turns well-formed UTF-8 into the ANSI code page; a character the code page lacks becomes '?'.
using Utf8Converter = std::string (*)(const char* utf8, size_t size);

// The code page is Windows': its shell installs a converter over the system's. Until then, and in the
// tests, Windows-1252 (Western European) is assumed.
void SetUtf8Converter(Utf8Converter converter);
std::string Utf8ToAnsi(const char* utf8, size_t size);

// The converter assumed until another is installed.
std::string Utf8ToWindows1252(const char* utf8, size_t size);

// The other way, for words of the table that go into UTF-8 files (the export's suggested captions).
// The shell installs a converter over the system's; until then, and in the tests, Windows-1252.
using AnsiReader = std::string (*)(const char* ansi, size_t size);
void SetAnsiReader(AnsiReader reader);
std::string AnsiToUtf8(const char* ansi, size_t size);
std::string Windows1252ToUtf8(const char* ansi, size_t size);
