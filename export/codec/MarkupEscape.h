#pragma once
// User text (captions, control names, window titles) put into a page or a Markdown file, so that it
// shows as typed and never becomes markup.
#include <string>
#include <string_view>

// For an element's text and for an attribute's value in double or single quotes: & < > " ' as
// character references. UTF-8 passes through unchanged.
std::string EscapeHtml(std::string_view text);

// For Markdown's running text (CommonMark, as GitHub and most wikis read it): every character that can
// start emphasis, code, a link, an image, raw HTML, an entity, a table cell or strikethrough gets a
// backslash, and so does what would start a block at the beginning of a line (a heading, a quote, a
// list item, a rule or a heading's underline). `atLineStart` says whether the text begins a line.
std::string EscapeMarkdown(std::string_view text, bool atLineStart = true);
