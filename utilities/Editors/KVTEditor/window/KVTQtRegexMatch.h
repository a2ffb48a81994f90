#pragma once
// Find's "Regular expression" in the window: the toolkit's expressions over
// the document's single-byte texts (each byte one Latin-1 character, as the
// tree shows them).

#include <QRegularExpression>
#include <QString>

#include "KVTTextMatch.h"

class CKvtQtRegexMatch : public IKvtTextMatch {
public:
    CKvtQtRegexMatch(const QString& sPattern, bool bMatchCase, bool bWholeWord);

    // A text that is not an expression matches nothing; ErrorText says why.
    bool IsValid() const { return m_Regex.isValid(); }
    QString ErrorText() const;

    bool Matches(std::string_view sText) const override;

private:
    QRegularExpression m_Regex;
};
