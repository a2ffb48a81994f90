// libFuzzer target: the text parsers. The input's text (split at zero bytes
// into pieces) goes through every node type's SetFromText and texts, the
// number parsers, the localized-string store and, as a whole, the ini layer.
// A hash of the input chooses labels, names, buffer sizes and languages.

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "fuzzchoices.h"
#include "fuzzreporthandler.h"
#include "TempDir.h"
#include "orobase.h"
#include "ororesman.h"
#include "textfuzzlocstring.h"
#include "textfuzznodes.h"
#include "textfuzzprofile.h"
#include "textfuzzpanel.h"

namespace {

// Pieces beyond this many are not run one by one (the ini layer still sees
// the whole input).
constexpr size_t kMaxPieces = 8;

CTempDir* s_pScratch = nullptr;

void RemoveScratch()
{
    delete s_pScratch;
    s_pScratch = nullptr;
}

std::vector<std::string> SplitAtZeroBytes(const std::string& sText)
{
    std::vector<std::string> pieces;
    size_t nStart = 0;
    while (pieces.size() < kMaxPieces) {
        const size_t nZero = sText.find('\0', nStart);
        pieces.push_back(sText.substr(nStart, nZero == std::string::npos ? std::string::npos : nZero - nStart));
        if (nZero == std::string::npos)
            break;
        nStart = nZero + 1;
    }
    return pieces;
}

// The localized-string checks run in another working folder: crash inputs
// must still be written where the run was started, so the folder for them is
// made absolute unless the caller chose one.
void PinArtifactFolder(int* pArgc, char*** pArgv)
{
    for (int i = 1; i < *pArgc; ++i) {
        if (std::strncmp((*pArgv)[i], "-artifact_prefix=", 17) == 0)
            return;
    }
    char buffer[4096];
    if (getcwd(buffer, sizeof buffer) == nullptr)
        return;
    static std::string s_sFlag;
    static std::vector<char*> s_Arguments;
    s_sFlag = std::string("-artifact_prefix=") + buffer + "/";
    s_Arguments.assign(*pArgv, *pArgv + *pArgc);
    s_Arguments.insert(s_Arguments.begin() + 1, s_sFlag.data());
    s_Arguments.push_back(nullptr);
    *pArgv = s_Arguments.data();
    *pArgc += 1;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* pArgc, char*** pArgv)
{
    PinArtifactFolder(pArgc, pArgv);
    CFuzzReportHandler::Install();
    g_pOroBase = new COroBase;
    g_pOroResMan = new COroResMan;
    s_pScratch = new CTempDir("fuzz_text", CTempDir::tpMemoryIfAvailable);
    std::atexit(RemoveScratch);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    CFuzzChoices choices(pData, nSize);
    const std::vector<std::string> pieces = SplitAtZeroBytes(choices.Text());
    for (size_t i = 0; i < pieces.size(); ++i) {
        // A node's label is another piece, as long as labels in files may be.
        const std::string& sLabel = pieces[(i + 1) % pieces.size()];
        FuzzNodeTexts(pieces[i], sLabel.substr(0, 16), choices);
        FuzzPanelTexts(pieces[i], pieces, choices);
    }
    FuzzProfile(choices.Text(), s_pScratch->File("fuzz.ini"), pieces, choices);
    FuzzLocString(pieces, s_pScratch->Path(), choices);
    return 0;
}
