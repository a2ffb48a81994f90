#pragma once
// How Find decides that one text matches what the user typed. The document
// layer brings the plain search and a standard-library expression; the
// window brings its own expression engine through the same interface.

#include <string_view>

class IKvtTextMatch {
public:
    virtual ~IKvtTextMatch() = default;
    virtual bool Matches(std::string_view sText) const = 0;
    // False when no text made only of these bytes can match, so that a search
    // can pass over values without making their texts (numbers, mostly).
    virtual bool MayMatchTextOf(std::string_view sAlphabet) const
    {
        (void)sAlphabet;
        return true;
    }
};

// Whether the byte counts as part of a word for "Whole word": letters,
// digits and the underscore.
inline bool IsKvtWordByte(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}
