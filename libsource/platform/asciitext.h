#pragma once
// Case folding of the letters A to Z alone: names, keys and labels compare
// this way whatever the locale, and bytes 0x80 and up stay as they are.

inline constexpr char AsciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

inline constexpr unsigned char AsciiLower(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}
