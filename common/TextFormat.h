#pragma once
#include <cstddef>
#include <cstdint>
#include <initializer_list>

// One argument of a message format: the program knows the types it passes, so a format that comes
// from a language file can never make it read an integer as a string pointer.
struct FormatArg
{
    FormatArg(int32_t value) : isText(false), number(value), text(nullptr) {}
    FormatArg(const char* value) : isText(true), number(0), text(value) {}

    bool isText;
    int32_t number;
    const char* text;
};

// Formats like wsprintfA for the conversions messages use (%d %i %u %x %X %c %s and %%, with the flags
// '-' and '0', a width and a precision; 'l' and 'h' are accepted and ignored), always NUL-terminated
// within `size`. A conversion whose argument is missing or of the other kind is copied as it stands.
// Returns false when the result had to be shortened.
bool FormatText(char* out, size_t size, const char* format, std::initializer_list<FormatArg> args);

// Copies with truncation; returns false when `text` did not fit.
bool CopyText(char* out, size_t size, const char* text);
