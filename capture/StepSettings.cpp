#include "capture/StepSettings.h"

#include "state/Utf8Text.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <string>

namespace {

std::string Trimmed(std::string_view text)
{
    const size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos)
        return {};
    const size_t last = text.find_last_not_of(" \t\r");
    std::string trimmed(text.substr(first, last - first + 1));
    std::transform(trimmed.begin(), trimmed.end(), trimmed.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return trimmed;
}

std::optional<bool> Switch(const std::string& value)
{
    if (value == "on" || value == "yes" || value == "true" || value == "1")
        return true;
    if (value == "off" || value == "no" || value == "false" || value == "0")
        return false;
    return std::nullopt;
}

} // namespace

StepSettings ParseStepSettings(std::string_view text)
{
    StepSettings settings;
    if (text.substr(0, kUtf8MarkBytes) == std::string_view(kUtf8Mark, kUtf8MarkBytes))
        text.remove_prefix(kUtf8MarkBytes);
    while (!text.empty()) {
        const size_t end = std::min(text.find('\n'), text.size());
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        const size_t equals = line.find('=');
        if (equals == std::string_view::npos)
            continue;
        const std::string name = Trimmed(line.substr(0, equals));
        const std::optional<bool> value = Switch(Trimmed(line.substr(equals + 1)));
        if (!value)
            continue;
        if (name == "steps")
            settings.steps = *value;
        else if (name == "chords")
            settings.chords = *value;
    }
    return settings;
}
