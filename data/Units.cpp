#include "data/Units.h"

#include <algorithm>
#include <cctype>

namespace vemo {

namespace {

constexpr std::array<std::string_view, 3> Words = {"feet", "yards", "meters"};

// The spellings of each unit, whole words in lower case (8-bit text: French and German
// labels too); the abbreviations count only as a unit in parentheses ("Altitude (m)"), not as
// a word of a sentence.
struct Spelling {
    std::string_view Word;
    int Unit;
    bool Abbreviation = false;
};
constexpr Spelling Spellings[] = {
    {"feet", UnitFeet},       {"foot", UnitFeet},     {"yards", UnitYards},
    {"yard", UnitYards},      {"meters", UnitMeters}, {"meter", UnitMeters},
    {"metres", UnitMeters},   {"metre", UnitMeters},  {"m\xe8tres", UnitMeters},
    {"m\xe8tre", UnitMeters}, {"pieds", UnitFeet},    {"pied", UnitFeet},
    {"fu\xdf", UnitFeet},     {"ft", UnitFeet, true}, {"yd", UnitYards, true},
    {"m", UnitMeters, true},
};

bool IsLetter(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) != 0 || (c & 0x80) != 0;
}

// The unit of the first word of text that spells one.
int UnitOfWords(std::string_view text, bool abbreviations) {
    for (std::size_t i = 0; i < text.size();) {
        if (!IsLetter(text[i])) {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < text.size() && IsLetter(text[end]))
            ++end;
        const std::string_view word = text.substr(i, end - i);
        for (const Spelling& s : Spellings)
            if (s.Word == word && (abbreviations || !s.Abbreviation)) return s.Unit;
        i = end;
    }
    return UnitNone;
}

} // namespace

std::string_view UnitWord(int unit) {
    return IsUnit(unit) ? Words[static_cast<std::size_t>(unit)] : "units";
}

std::string AltitudeAxisLabel(int unit) {
    return IsUnit(unit) ? "Altitude (" + std::string(UnitWord(unit)) + ")" : std::string();
}

std::string_view ParenthesisedText(std::string_view label) {
    const std::size_t close = label.rfind(')');
    const std::size_t open = close == std::string_view::npos ? close : label.rfind('(', close);
    return open == std::string_view::npos ? std::string_view()
                                          : label.substr(open + 1, close - open - 1);
}

int UnitOfLabel(std::string_view label) {
    std::string lower(label);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (const std::string_view named = ParenthesisedText(lower); !named.empty()) {
        const int unit = UnitOfWords(named, true);
        if (unit != UnitNone) return unit;
    }
    return UnitOfWords(lower, false);
}

double MetersPerUnit(int unit) {
    constexpr double Meters[] = {0.3048, 0.9144, 1.0};
    return IsUnit(unit) ? Meters[unit] : 1.0;
}

} // namespace vemo
