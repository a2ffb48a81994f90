#pragma once
// Version blocks in the layout of Windows version resources: a tree of
// nodes, each {WORD wLength; WORD wValueLength; WORD wType; WCHAR szKey[];
// padding to 4; value; padding to 4; children}, little-endian, rooted in a
// "VS_VERSION_INFO" node. The bytes are untrusted: every length is checked
// against its parent before use.

#include <cstddef>
#include <cstdint>
#include <string>

// The block's size (the root's wLength) when pData starts with a
// well-formed "VS_VERSION_INFO" node that fits in nSize bytes; else 0.
uint32_t VersionBlockSize(const uint8_t* pData, size_t nSize);

// Looks up a text value by a path of keys separated by '\', for example
// "\StringFileInfo\040904E4\FileVersion" (keys compare without regard to
// case). True and the text, up to its terminator and converted from UTF-16
// to code page 1252 ('?' for what it cannot show), when the path names a
// text node; false otherwise, leaving sValue unchanged.
bool VersionBlockQueryString(const uint8_t* pBlock, size_t nSize, const char* pPath, std::string& sValue);
