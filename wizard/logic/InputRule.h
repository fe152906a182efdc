// How a wizard field takes its text: at most so many UTF-16 units, digits
// only or any character, letters kept in capitals. The Qt pages filter what
// is typed by it; the steps check every value by it before they use one, so
// a value that came from the command line or a hand-edited settings file
// meets the same rule as one typed into the edit.
//
// Plain values; no thread rules.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

struct InputRule {
    // The field as a refusal names it, with its article: "a system number".
    std::u16string_view name;
    size_t limit = 0;  // most UTF-16 units; 0: no limit
    bool digitsOnly = false;
    bool capitals = false;

    // What the field keeps of typed text: letters in capitals where the rule
    // wants them, everything else as typed.
    std::u16string Normalised(std::u16string_view typed) const;
    // Whether the text may stand in the field: within the limit, and digits
    // only where the rule takes no other character. Empty text is admitted;
    // whether a field may stay empty is its step's question.
    bool Admits(std::u16string_view text) const;
    // Why the value may not stand in the field ("Please enter a client of 1
    // to 3 digits."); empty when it may.
    std::u16string Breach(std::u16string_view value) const;
};

// Destinations, systems, users and languages are names of the R/3 system,
// kept in capitals: ASCII and Latin-1 letters, one unit for one unit.
std::u16string UpperCaseName(std::u16string_view text);
