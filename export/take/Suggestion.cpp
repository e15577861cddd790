#include "export/take/Suggestion.h"

#include "state/TextTable.h"
#include "state/Utf8Text.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace {

constexpr char kChordSeparator[] = ", ";
constexpr char kNamePlace[] = "%s";

const char* const kClickRoles[] = {"button", "check-box", "radio-button", "link",
                                   "tab",    "menu-item", "combo-box",    "spin-button"};
const char* const kSelectRoles[] = {"list-item", "tree-item", "cell", "row"};
constexpr char kTypeInRole[] = "text-field";

bool IsOneOf(const std::string& role, const char* const* begin, const char* const* end)
{
    return std::find_if(begin, end, [&](const char* r) { return role == r; }) != end;
}

// A name as one line: a name read from a control may hold line breaks or tabs, which a caption would
// show as lines of their own.
std::string OneLine(std::string name)
{
    std::replace_if(
        name.begin(), name.end(), [](char c) { return c == '\n' || c == '\r' || c == '\t'; }, ' ');
    return name;
}

Suggestion Format(const std::string& format, const std::string& name)
{
    const std::size_t at = format.find(kNamePlace);
    if (at == std::string::npos)
        return {format, 0, 0};
    const std::string line = OneLine(name);
    return {format.substr(0, at) + line + format.substr(at + std::strlen(kNamePlace)), at, line.size()};
}

std::string Word(int language, TextId id)
{
    const char* text = LanguageText(language, id);
    if (!*text)
        text = LanguageText(kEnglishLanguage, id);
    return AnsiToUtf8(text, std::strlen(text));
}

} // namespace

SuggestionWords SuggestionWordsOf(int language)
{
    return {Word(language, kTextSuggestPress), Word(language, kTextSuggestClick),
            Word(language, kTextSuggestSelect), Word(language, kTextSuggestTypeIn),
            Word(language, kTextSuggestIn)};
}

SuggestionWords CurrentSuggestionWords()
{
    return SuggestionWordsOf(g_texts.current);
}

Suggestion SuggestStep(const StepFacts& facts, const SuggestionWords& words)
{
    if (!facts.chords.empty()) {
        std::string chords;
        for (const std::string& chord : facts.chords)
            chords += (chords.empty() ? "" : kChordSeparator) + chord;
        return Format(words.press, chords);
    }
    const std::string name = facts.control ? facts.control->name : "";
    if (!name.empty()) {
        const std::string& role = facts.control->role;
        if (IsOneOf(role, std::begin(kClickRoles), std::end(kClickRoles)))
            return Format(words.click, name);
        if (IsOneOf(role, std::begin(kSelectRoles), std::end(kSelectRoles)))
            return Format(words.select, name);
        if (role == kTypeInRole)
            return Format(words.typeIn, name);
    }
    if (!facts.window.empty())
        return Format(words.in, facts.window);
    return {};
}
