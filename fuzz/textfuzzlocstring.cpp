#include "textfuzzlocstring.h"

#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "TempDir.h"
#include "orolocstring.h"

namespace {

constexpr uint32_t kOperations = 12;
const char kMarker[] = "<<STRREF:";

[[noreturn]] void Fail(const char* pWhat)
{
    std::fprintf(stderr, "fuzz_text: localized string: %s\n", pWhat);
    std::abort();
}

// The entries as the rules give them: (id, text) in first-stored order.
using TModel = std::vector<std::pair<int32_t, std::string>>;

int32_t ModelId(int32_t nLanguage, uint8_t nGender)
{
    const uint32_t nGenderUsed = nLanguage == 0 ? 0 : nGender;
    return static_cast<int32_t>(static_cast<uint32_t>(nLanguage) * 2u + nGenderUsed);
}

void ModelAdd(TModel& model, int32_t nLanguage, std::string sText, uint8_t nGender, bool bCutMarker)
{
    const int32_t nId = ModelId(nLanguage, nGender);
    for (auto& entry : model) {
        if (entry.first == nId) {
            if (entry.second == sText)
                return;
            if (bCutMarker && sText.find(kMarker) != std::string::npos)
                sText.resize(sText.find(kMarker));
            entry.second = sText;
            return;
        }
    }
    if (sText.empty())
        return;  // an empty text equals the absent one: nothing is stored
    if (bCutMarker && sText.find(kMarker) != std::string::npos)
        sText.resize(sText.find(kMarker));
    model.emplace_back(nId, sText);
}

void ModelRemove(TModel& model, int32_t nLanguage, uint8_t nGender)
{
    const int32_t nId = ModelId(nLanguage, nGender);
    for (auto it = model.begin(); it != model.end(); ++it) {
        if (it->first == nId) {
            model.erase(it);
            return;
        }
    }
}

void CheckAgainstModel(const COroLocString& value, const TModel& model)
{
    if (value.GetStringCount() != static_cast<int32_t>(model.size()))
        Fail("the entry count differs from the rules");
    for (uint32_t i = 0; i < model.size(); ++i) {
        int32_t nLanguage = 0;
        uint8_t nGender = 0;
        COroString sText;
        if (!value.GetStringByIndex(i, nLanguage, sText, nGender))
            Fail("an entry within the count cannot be read");
        const int32_t nId = model[i].first;
        if (nLanguage != nId / 2 || nGender != static_cast<uint8_t>(nId % 2) || sText != model[i].second.c_str())
            Fail("an entry differs from the rules");
        if (value.GetStringLength(i) != static_cast<int32_t>(model[i].second.size()))
            Fail("an entry's length differs from its text");
    }
    int32_t nLanguage = 0;
    uint8_t nGender = 0;
    COroString sText;
    if (value.GetStringByIndex(static_cast<uint32_t>(model.size()), nLanguage, sText, nGender) ||
        value.GetStringLength(static_cast<uint32_t>(model.size())) != 0)
        Fail("an index past the entries answered");
}

int32_t ChooseLanguage(CFuzzChoices& choices)
{
    switch (choices.Below(4)) {
    case 0: return static_cast<int32_t>(choices.Below(4));
    case 1: return -static_cast<int32_t>(choices.Below(3));
    case 2: return choices.Coin() ? INT_MAX : INT_MIN;
    default: return static_cast<int32_t>(choices.Next());
    }
}

// Runs the operations in the folder holding the option file (or none).
class CScopedFolder {
public:
    explicit CScopedFolder(const std::string& sFolder)
    {
        char buffer[4096];
        m_bOk = getcwd(buffer, sizeof buffer) != nullptr && chdir(sFolder.c_str()) == 0;
        if (m_bOk)
            m_sOld = buffer;
    }
    ~CScopedFolder()
    {
        if (m_bOk && chdir(m_sOld.c_str()) != 0)
            std::abort();
    }
    bool IsOk() const { return m_bOk; }

private:
    std::string m_sOld;
    bool m_bOk;
};

// Writes, changes or removes the option file; true when the option is on.
bool SetOption(const std::string& sOptionFolder, CFuzzChoices& choices)
{
    const std::string sFile = sOptionFolder + "/tarnplayer.ini";
    switch (choices.Below(3)) {
    case 0:
        std::remove(sFile.c_str());
        return false;
    case 1:
        WriteFileText(sFile, "[Profile]\nShow Data Strref=0\n");
        return false;
    default:
        WriteFileText(sFile, "[Profile]\r\nShow Data Strref = 1\r\n");
        return true;
    }
}

} // namespace

void FuzzLocString(const std::vector<std::string>& texts, const std::string& sOptionFolder, CFuzzChoices& choices)
{
    if (texts.empty())
        return;
    const bool bOption = SetOption(sOptionFolder, choices);
    CScopedFolder folder(sOptionFolder);
    if (!folder.IsOk())
        Fail("cannot enter the option folder");
    COroLocString value;
    TModel model;
    for (uint32_t i = 0; i < kOperations; ++i) {
        const int32_t nLanguage = ChooseLanguage(choices);
        const uint8_t nGender = static_cast<uint8_t>(choices.Next());
        const uint32_t nKind = choices.Below(8);
        if (nKind == 0) {
            value.RemoveString(nLanguage, nGender);
            ModelRemove(model, nLanguage, nGender);
        } else if (nKind == 1) {
            // A whole language: both genders.
            value.RemoveString(nLanguage);
            ModelRemove(model, nLanguage, 0);
            ModelRemove(model, nLanguage, 1);
        } else {
            const std::string& sText = texts[choices.Below(static_cast<uint32_t>(texts.size()))];
            if (value.AddString(nLanguage, COroString(sText.c_str()), nGender) != 1)
                Fail("AddString did not report success");
            ModelAdd(model, nLanguage, sText, nGender, bOption);
        }
        CheckAgainstModel(value, model);
    }
    COroLocString copy;
    copy.StrRef = 5;
    copy = value;
    CheckAgainstModel(copy, model);
    COroLocString constructed(value);
    CheckAgainstModel(constructed, model);
    value.Clear();
    CheckAgainstModel(value, TModel());
}
