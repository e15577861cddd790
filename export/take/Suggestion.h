#pragma once
// The words a step's caption is offered from what was recorded at its press: "Press Ctrl+S", "Click
// Save", "Select Item 3", "Type in User name:", "In Untitled - Notes". The user takes them or not; the
// outputs show only captions the user took.
#include "export/take/StepFacts.h"

#include <cstddef>
#include <string>

struct Suggestion
{
    std::string text; // UTF-8; empty when nothing is known of the step
    // The bytes of `text` that name the chord, the control or the window, which a page sets in bold.
    std::size_t nameStart = 0, nameLength = 0;
};

// The formats a suggestion is made from, in UTF-8, each with one %s for the name.
struct SuggestionWords
{
    std::string press, click, select, typeIn, in;
};

// The words of the text table's language `language`; a text the language leaves empty is the English
// one. The program's export takes the current language, the command English.
SuggestionWords SuggestionWordsOf(int language);
// Read on the thread that changes the language (the dialog's), and handed to the export with the take.
SuggestionWords CurrentSuggestionWords();

// The chords pressed, else what was done to the control by its role, else the window the step is in;
// never what was typed (the facts hold none). A format without "%s" is the whole text, naming nothing.
Suggestion SuggestStep(const StepFacts& facts, const SuggestionWords& words);
