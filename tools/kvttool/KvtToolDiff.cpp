#include "KvtToolDiff.h"

#include <cstdio>
#include <string>

#include "KVTDocumentDiff.h"
#include "KVTJsonReader.h"
#include "KVTOpenDocument.h"

std::unique_ptr<CKvtNodeTopLevelStruct> OpenKvtOrJson(const char* pFileName)
{
    char start[64];
    size_t nStart = 0;
    if (std::FILE* pFile = std::fopen(pFileName, "rb")) {
        nStart = std::fread(start, 1, sizeof start, pFile);
        std::fclose(pFile);
    }
    std::unique_ptr<CKvtNodeTopLevelStruct> pRoot;
    if (CKvtJsonReader::LooksLikeJson(start, nStart)) {
        std::string sError;
        pRoot = CKvtJsonReader::FromFile(pFileName, sError);
        if (!pRoot)
            std::fprintf(stderr, "%s: %s\n", pFileName, sError.c_str());
        return pRoot;
    }
    const TKvtOpenResult nResult = OpenKvtDocument(pFileName, pRoot);
    if (nResult != TKvtOpenResult::Opened)
        std::fprintf(stderr, "%s\n", GetOpenErrorText(nResult, pFileName).CStr());
    return pRoot;
}

int PrintDocumentDiff(CKvtNodeTopLevelStruct* pFirst, CKvtNodeTopLevelStruct* pSecond)
{
    bool bWritten = true;
    const size_t nLines = CKvtDocumentDiff::Compare(pFirst, pSecond, [&](const std::string& sLine) {
        bWritten = bWritten && std::fwrite(sLine.data(), 1, sLine.size(), stdout) == sLine.size() &&
                   std::fputc('\n', stdout) != EOF;
    });
    if (!bWritten || std::fflush(stdout) != 0) {
        std::fprintf(stderr, "kvttool: could not write to standard output\n");
        return 2;
    }
    return nLines > 0 ? kToolExitDifferent : 0;
}
