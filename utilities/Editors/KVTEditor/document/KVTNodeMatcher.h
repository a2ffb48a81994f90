#pragma once
// Whether a node is a Find hit: its label, its value texts as the edit panel
// shows them (every language's text of a localized string besides its StrRef;
// a binary value as hexadecimal bytes) or its type name matches, as chosen.

#include <string>
#include <vector>

#include "KVTTextMatch.h"
#include "KVTTreeNodes.h"

struct KvtFindOptions_st {
    bool bLabels = true;
    bool bValues = true;
    bool bTypes = true;
    bool bMatchCase = false;
    bool bWholeWord = false;
    bool bRegex = false;
};

class CKvtNodeMatcher {
public:
    // The text match must outlive the matcher.
    CKvtNodeMatcher(const IKvtTextMatch& match, const KvtFindOptions_st& options);

    bool Matches(CKvtNodeBase* pNode) const;

    // The texts a node's value is searched in.
    static void GetValueTexts(CKvtNodeBase* pNode, std::vector<std::string>& texts);
    // A binary value as Find sees it: "0A FF 10" (two upper-case digits a byte).
    static std::string GetBinaryText(const CKvtNodeBINARY* pNode);

private:
    bool ValueMatches(CKvtNodeBase* pNode) const;

    const IKvtTextMatch& m_Match;
    KvtFindOptions_st m_Options;
    // Whether a number's text can match at all, decided once.
    bool m_bIntegerTextsMayMatch;
    bool m_bRealTextsMayMatch;
    // Type names that do not depend on the node, by type code + 1.
    std::vector<std::string> m_FixedTypeNames;
};
