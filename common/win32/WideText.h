#pragma once
// UTF-16 text from the system (window titles, class names, accessible names) as UTF-8, the encoding of
// the files the program writes.
#include <windows.h>

#include <string>

// The first `length` characters of `text`, or up to its terminating null when `length` is -1.
std::string Utf8OfWide(const wchar_t* text, int length = -1);
