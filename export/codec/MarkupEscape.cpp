#include "export/codec/MarkupEscape.h"

namespace {

// Escaped wherever they stand.
constexpr std::string_view kMarkdownInline = "\\`*_[]<>&!|~";
// Escaped where they begin a line's text (after spaces): # heading, > quote, - + list items and rules,
// = a heading's underline.
constexpr std::string_view kMarkdownLineStart = "#>-+=";

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

std::string EscapeHtml(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&#39;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string EscapeMarkdown(std::string_view text, bool atLineStart)
{
    std::string out;
    out.reserve(text.size());
    bool lineStart = atLineStart; // only spaces so far on this line
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\n') {
            out += c;
            lineStart = true;
            continue;
        }
        const bool startsBlock = lineStart && kMarkdownLineStart.find(c) != std::string_view::npos;
        if (kMarkdownInline.find(c) != std::string_view::npos || startsBlock) {
            out += '\\';
            out += c;
        } else if (lineStart && IsDigit(c)) {
            // "1. " or "1)" at a line's end would start an ordered list: the mark after the digits is
            // escaped ("1.5" starts none).
            size_t end = i;
            while (end < text.size() && IsDigit(text[end]))
                ++end;
            out.append(text.substr(i, end - i));
            const bool marker = end < text.size() && (text[end] == '.' || text[end] == ')');
            const size_t after = end + 1;
            if (marker &&
                (after == text.size() || text[after] == ' ' || text[after] == '\t' || text[after] == '\n')) {
                out += '\\';
                out += text[end];
                ++end;
            }
            i = end - 1;
        } else {
            out += c;
        }
        lineStart = lineStart && c == ' ';
    }
    return out;
}
