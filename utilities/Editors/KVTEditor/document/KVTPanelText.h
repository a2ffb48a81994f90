#pragma once
// The text rules of the edit panel and the node commands that need no window:
// the number boxes' integer conversion, the label checks, the panel's type
// names, the hexadecimal value display and the add-node table. The window
// layer calls these; keeping them free of Qt lets them be tested and fuzzed
// on their own.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "orostring.h"

// The longest label a field may carry.
constexpr int32_t kMaxFieldIdLength = 16;

// The integer conversion of the Type and Index boxes and of the language box:
// leading spaces, then either an optional sign and decimal digits within the
// signed 32-bit range, or "$", "x", "X", "0x" or "0X" followed by hexadecimal
// digits whose value fits in 32 bits (any bit pattern). Anything else, a
// trailing space included, fails and leaves nValue alone.
// The digit's value, or -1 when c is no hexadecimal digit.
int HexDigitValue(char c);

bool ParsePanelInteger(std::string_view sText, int32_t& nValue);
// The same, giving nDefault when the text does not convert.
int32_t PanelIntegerOrDefault(std::string_view sText, int32_t nDefault);

// Whether sLabel may become the label of a node whose siblings carry
// siblingLabels (the node's own label not among them): at most 16 characters,
// and unless empty not equal to a sibling's label ignoring ASCII letter case.
// A label equal to the node's own current label is accepted even when a
// sibling shares it, so that leaving a node never complains about namesakes a
// file brought in (labels are never longer than 16 characters, so the length
// rule cannot refuse it either).
bool IsValidFieldIdText(std::string_view sLabel, std::string_view sOwnLabel,
                        const std::vector<std::string_view>& siblingLabels);

// The label a pasted node gets among siblings carrying siblingLabels: sLabel
// itself when no sibling has it (ignoring ASCII case), otherwise the label
// followed by a counter of at least three digits (000, 001, ...), the label
// cut so that the result keeps within 16 characters.
COroString MakeUniqueFieldId(std::string_view sLabel, const std::vector<std::string_view>& siblingLabels);

// The type name the panel shows for a type code ("<User Defined>" for codes
// it does not know).
const char* TypeCodeToName(int32_t nTypeCode);

// "0x%08x" of the bits, as the Type box shows type codes and struct IDs.
std::string FormatTypeBoxText(uint32_t nBits);

// The hexadecimal form of an integer value text: a decimal number read from
// its start like scanf's "%Ld" (leading white space, optional sign, digits;
// the rest ignored) shown as "0x%Lx" of its 64 bits. False, sHex untouched,
// when no number starts the text. Numbers above the signed range keep their
// 64 bits, so an unsigned 64-bit value shows exactly its own bits.
bool FormatValueAsHex(std::string_view sText, std::string& sHex);

// The add-node popup: 17 entries in menu order, each a type code or -1 for
// the separator between the fields and the containers.
constexpr int32_t kAddNodeEntryCount = 17;
// The entry's type code, or -1 for the separator and positions outside 0..16.
int32_t AddNodeEntryType(int32_t nPosition);
// Whether the entry is enabled after a right-click: the 14 field types only
// on a node that may hold fields (a struct or the root), struct and list on
// any container, nothing on a leaf or empty space. The separator is never
// switched (false).
bool IsAddNodeEntryEnabled(int32_t nPosition, bool bContainer, bool bFieldParent);
