#pragma once
// Reading and writing UTF-8: the language files and the captions of an edited take are saved in it.
#include <string>
#include <string_view>

// Reads one character at `p`, moving past it; false, with `p` unchanged, when the bytes there are not
// well-formed UTF-8 (an overlong form, a surrogate, a point beyond U+10FFFF or a cut sequence).
bool DecodeUtf8Character(const unsigned char*& p, const unsigned char* end, char32_t& codePoint);

constexpr char32_t kReplacementCharacter = 0xFFFD;

// The text as code points; a byte that does not start a well-formed sequence reads as U+FFFD.
std::u32string DecodeUtf8(std::string_view text);

// Code points as UTF-8; a surrogate or a point beyond U+10FFFF is written as U+FFFD.
std::string EncodeUtf8(std::u32string_view text);
