#include "KvtToolFind.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "KVTCaption.h"
#include "KVTNodeSearch.h"
#include "KVTPlainTextMatch.h"
#include "KVTRegexTextMatch.h"
#include "KvtToolOutput.h"

bool ParseFindOptions(int argc, char** argv, int nFirst, KvtFindOptions_st& options)
{
    KvtFindOptions_st parsed;
    parsed.bLabels = parsed.bValues = parsed.bTypes = false;
    bool bAnyPart = false;
    for (int i = nFirst; i < argc; ++i) {
        const char* pArg = argv[i];
        if (std::strcmp(pArg, "--labels") == 0)
            parsed.bLabels = bAnyPart = true;
        else if (std::strcmp(pArg, "--values") == 0)
            parsed.bValues = bAnyPart = true;
        else if (std::strcmp(pArg, "--types") == 0)
            parsed.bTypes = bAnyPart = true;
        else if (std::strcmp(pArg, "--case") == 0)
            parsed.bMatchCase = true;
        else if (std::strcmp(pArg, "--word") == 0)
            parsed.bWholeWord = true;
        else if (std::strcmp(pArg, "--regex") == 0)
            parsed.bRegex = true;
        else
            return false;
    }
    if (!bAnyPart)
        parsed.bLabels = parsed.bValues = parsed.bTypes = true;
    options = parsed;
    return true;
}

int PrintFindHits(CKvtNodeTopLevelStruct* pRoot, const char* pText, const KvtFindOptions_st& options)
{
    std::unique_ptr<IKvtTextMatch> pMatch;
    if (options.bRegex) {
        auto pRegex = std::make_unique<CKvtRegexTextMatch>(pText, options.bMatchCase, options.bWholeWord);
        if (!pRegex->IsValid()) {
            std::fprintf(stderr, "kvttool: not a valid expression: %s\n", pRegex->ErrorText().c_str());
            return 2;
        }
        pMatch = std::move(pRegex);
    } else {
        pMatch = std::make_unique<CKvtPlainTextMatch>(pText, options.bMatchCase, options.bWholeWord);
    }
    if (*pText == '\0')
        return kToolExitNoHits;  // an empty text finds nothing, as in the window
    CKvtNodeMatcher matcher(*pMatch, options);
    CKvtPathWalk walk(TKvtChildOrder::Caption, true);
    CKvtNodeSearch search(pRoot, matcher, walk);
    std::string sOut;
    int64_t nHits = 0;
    search.FindAll([&](const KvtWalkVisit_st& visit) {
        ++nHits;
        sOut += visit.sPath;
        sOut += '\t';
        sOut += GetNodeCaption(visit.pNode, true).CStr();
        sOut += '\n';
        return true;
    });
    const int nWrite = WriteToolOutput(sOut);
    if (nWrite != 0)
        return nWrite;
    return nHits > 0 ? 0 : kToolExitNoHits;
}
