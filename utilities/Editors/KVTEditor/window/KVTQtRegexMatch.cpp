#include "KVTQtRegexMatch.h"

CKvtQtRegexMatch::CKvtQtRegexMatch(const QString& sPattern, bool bMatchCase, bool bWholeWord)
{
    QRegularExpression::PatternOptions nOptions = QRegularExpression::NoPatternOption;
    if (!bMatchCase)
        nOptions |= QRegularExpression::CaseInsensitiveOption;
    m_Regex.setPattern(bWholeWord ? QStringLiteral("\\b(?:%1)\\b").arg(sPattern) : sPattern);
    m_Regex.setPatternOptions(nOptions);
    if (m_Regex.isValid())
        m_Regex.optimize();
}

QString CKvtQtRegexMatch::ErrorText() const
{
    if (m_Regex.isValid())
        return QString();
    return QStringLiteral("%1 (at %2)").arg(m_Regex.errorString()).arg(m_Regex.patternErrorOffset());
}

bool CKvtQtRegexMatch::Matches(std::string_view sText) const
{
    if (!m_Regex.isValid())
        return false;
    return m_Regex.match(QString::fromLatin1(sText.data(), static_cast<qsizetype>(sText.size()))).hasMatch();
}
