#include "export/take/ProjectLines.h"

#include <cstddef>
#include <cstdio>
#include <iterator>
#include <vector>

namespace {

// An input iterator over the text that counts the line feeds it has passed. The parser reads strictly
// forward and, for keys and the start of objects and arrays, tells of them right after their last
// character, so the count at that moment is the line they are on.
class CLineCountingIterator
{
public:
    using iterator_category = std::input_iterator_tag;
    using value_type = char;
    using difference_type = std::ptrdiff_t;
    using pointer = const char*;
    using reference = const char&;

    CLineCountingIterator(const char* at, int* lineFeeds) : m_at(at), m_lineFeeds(lineFeeds) {}

    reference operator*() const { return *m_at; }
    CLineCountingIterator& operator++()
    {
        if (*m_at == '\n')
            ++*m_lineFeeds;
        ++m_at;
        return *this;
    }
    bool operator==(const CLineCountingIterator& other) const { return m_at == other.m_at; }
    bool operator!=(const CLineCountingIterator& other) const { return m_at != other.m_at; }

private:
    const char* m_at;
    int* m_lineFeeds;
};

// The field names of the format: only values reached by them are ever asked for their line.
bool IsFieldName(const std::string& name)
{
    static const char* const kNames[] = {"format", "version", "fps",     "crop",  "steps",
                                         "source", "frames",  "caption", "text",  "x",
                                         "y",      "width",   "height",  "arrow", "mark"};
    for (const char* known : kNames)
        if (name == known)
            return true;
    return false;
}

// Where reading a text stopped at the byte `at`: its line and its column in characters, both from 1, and
// the character itself in quotes, "U+000A" for a control character and "byte 0xC3" for a byte that
// begins no whole UTF-8 character, so that the message is itself valid UTF-8.
struct StopPlace
{
    int line = 1;
    int column = 1;
    std::string character;
};

StopPlace StopPlaceOf(const std::string& text, std::size_t at)
{
    StopPlace place;
    for (std::size_t i = 0; i < at; ++i) {
        const unsigned char byte = static_cast<unsigned char>(text[i]);
        if (byte == '\n') {
            ++place.line;
            place.column = 1;
        } else if ((byte & 0xC0) != 0x80) { // not the continuation of a character
            ++place.column;
        }
    }
    std::size_t end = at + 1;
    while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        ++end;
    const unsigned char first = static_cast<unsigned char>(text[at]);
    const std::size_t length = first < 0x80   ? 1
                               : first < 0xC0 ? 0
                               : first < 0xE0 ? 2
                               : first < 0xF0 ? 3
                               : first < 0xF8 ? 4
                                              : 0;
    char code[16] = "";
    if (first < 0x20 || first == 0x7F)
        std::snprintf(code, sizeof code, "U+%04X", first);
    else if (end - at != length)
        std::snprintf(code, sizeof code, "byte 0x%02X", first);
    place.character = *code ? std::string(code) : "\"" + text.substr(at, length) + "\"";
    return place;
}

// A number as long as the line allows, cut short beyond that.
std::string Shortened(const std::string& number)
{
    constexpr std::size_t kShown = 24;
    return number.size() <= kShown ? number : number.substr(0, kShown) + "...";
}

// Builds the document as nlohmann's own DOM parser does and notes where each value starts.
class CLineRecorder
{
public:
    using number_integer_t = ProjectJson::number_integer_t;
    using number_unsigned_t = ProjectJson::number_unsigned_t;
    using number_float_t = ProjectJson::number_float_t;
    using string_t = ProjectJson::string_t;
    using binary_t = ProjectJson::binary_t;

    CLineRecorder(const std::string& text, ProjectJson& document, JsonLines& lines, const int& lineFeeds)
        : m_text(text), m_dom(document, false), m_lines(lines), m_lineFeeds(lineFeeds)
    {
    }

    bool null() { return Value() && m_dom.null(); }
    bool boolean(bool value) { return Value() && m_dom.boolean(value); }
    bool number_integer(number_integer_t value) { return Value() && m_dom.number_integer(value); }
    bool number_unsigned(number_unsigned_t value) { return Value() && m_dom.number_unsigned(value); }
    bool number_float(number_float_t value, const string_t& text)
    {
        return Value() && m_dom.number_float(value, text);
    }
    bool string(string_t& value) { return Value() && m_dom.string(value); }
    bool binary(binary_t& value) { return Value() && m_dom.binary(value); }
    bool start_object(std::size_t size) { return Open(false) && m_dom.start_object(size); }
    bool end_object() { return Close() && m_dom.end_object(); }
    bool start_array(std::size_t size) { return Open(true) && m_dom.start_array(size); }
    bool end_array() { return Close() && m_dom.end_array(); }
    bool key(string_t& name)
    {
        const Level& parent = m_levels.back();
        m_keyNoted = parent.noted && IsFieldName(name);
        if (m_keyNoted) {
            m_keyPath = parent.path.empty() ? name : parent.path + "." + name;
            m_lines[m_keyPath] = Line();
        }
        return m_dom.key(name);
    }
    // nlohmann's own words name its grammar ("while parsing object separator", "a literal"); the user is
    // told the place instead. `read` counts the characters the parser read, the end of the text as one.
    bool parse_error(std::size_t read, const std::string& token, const nlohmann::detail::exception& e)
    {
        constexpr int kNumberOverflow = 406; // nlohmann's id for a number no double holds
        const std::size_t at = read > 0 ? read - 1 : 0;
        if (at >= m_text.size())
            return Refuse("not valid JSON: the text ends before it is complete");
        // A number is told of once read whole: the place of its first digit.
        const bool overflow = e.id == kNumberOverflow && !token.empty() && token.size() <= at + 1;
        const StopPlace place = StopPlaceOf(m_text, overflow ? at + 1 - token.size() : at);
        m_error = "line " + std::to_string(place.line) + ", column " + std::to_string(place.column) + ": " +
                  (overflow ? "the number " + Shortened(token) + " is too large"
                            : "not valid JSON at " + place.character);
        return false;
    }

    const std::string& Error() const { return m_error; }

private:
    struct Level
    {
        bool array;
        bool noted; // its path is known, and its values' lines are noted
        std::size_t index;
        std::string path;
    };

    int Line() const { return m_lineFeeds + 1; }

    bool Refuse(const std::string& why)
    {
        m_error = "line " + std::to_string(Line()) + ": " + why;
        return false;
    }

    // The value that starts now, as its level: an array element's line is noted here, a key's at the
    // key.
    Level StartValue(bool array)
    {
        if (m_levels.empty()) {
            m_lines[""] = Line();
            return {array, true, 0, ""};
        }
        Level& parent = m_levels.back();
        if (!parent.array)
            return {array, m_keyNoted, 0, m_keyNoted ? m_keyPath : std::string()};
        const std::size_t index = parent.index++;
        if (!parent.noted)
            return {array, false, 0, {}};
        std::string path = parent.path + "[" + std::to_string(index) + "]";
        m_lines[path] = Line();
        return {array, true, 0, std::move(path)};
    }
    bool Value()
    {
        StartValue(false);
        return true;
    }
    bool Open(bool array)
    {
        if (m_levels.size() >= size_t{kMaxProjectNesting})
            return Refuse("objects and lists are nested more than " + std::to_string(kMaxProjectNesting) +
                          " deep");
        m_levels.push_back(StartValue(array));
        return true;
    }
    bool Close()
    {
        m_levels.pop_back();
        return true;
    }

    const std::string& m_text;
    nlohmann::detail::json_sax_dom_parser<ProjectJson> m_dom;
    JsonLines& m_lines;
    const int& m_lineFeeds;
    std::vector<Level> m_levels;
    std::string m_keyPath;
    bool m_keyNoted = false;
    std::string m_error;
};

} // namespace

CResult<LinedJson> ParseJsonWithLines(const std::string& text)
{
    int lineFeeds = 0;
    LinedJson parsed;
    CLineRecorder recorder(text, parsed.document, parsed.lines, lineFeeds);
    const char* begin = text.data();
    if (!ProjectJson::sax_parse(CLineCountingIterator(begin, &lineFeeds),
                                CLineCountingIterator(begin + text.size(), &lineFeeds), &recorder))
        return Fail(recorder.Error());
    return parsed;
}

int LineOf(const JsonLines& lines, std::string path)
{
    for (;;) {
        const auto found = lines.find(path);
        if (found != lines.end())
            return found->second;
        const std::size_t cut = path.find_last_of(".[");
        if (cut == std::string::npos)
            return path.empty() ? 1 : LineOf(lines, "");
        path.resize(cut);
    }
}
