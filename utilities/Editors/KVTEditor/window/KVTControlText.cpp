#include "KVTControlText.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPlainTextEdit>
#include <QString>
#include <QTextDocument>
#include <string>

namespace {

// A paragraph break of the memo is the document's CR LF. A lone LF is kept
// as a line break within the paragraph; a lone CR as the visible symbol for
// it. Neither can be typed as a byte of the document's text, so both map
// back without doubt.
constexpr char16_t kParagraphBreak = 0x2029;
constexpr char16_t kLoneLineFeed = 0x2028;
constexpr char16_t kLoneCarriageReturn = 0x240D;

} // namespace

QString ToControlText(const COroString& sText)
{
    const char* pText = sText.CStr();
    const int32_t nLength = sText.GetLength();
    QString sShown;
    sShown.reserve(nLength);
    for (int32_t i = 0; i < nLength; ++i) {
        const char c = pText[i];
        if (c == '\r' && i + 1 < nLength && pText[i + 1] == '\n') {
            sShown += QChar(kParagraphBreak);
            ++i;
        } else if (c == '\n') {
            sShown += QChar(kLoneLineFeed);
        } else if (c == '\r') {
            sShown += QChar(kLoneCarriageReturn);
        } else {
            sShown += QChar(static_cast<unsigned char>(c));
        }
    }
    return sShown;
}

COroString FromControlText(const QString& sText)
{
    std::string sBytes;
    sBytes.reserve(static_cast<size_t>(sText.size()));
    for (const QChar ch : sText) {
        const char16_t code = ch.unicode();
        if (code == kParagraphBreak) {
            sBytes += "\r\n";
        } else if (code == kLoneLineFeed) {
            sBytes += '\n';
        } else if (code == kLoneCarriageReturn) {
            sBytes += '\r';
        } else if (code == 0) {
            // The document's strings end at a zero byte; so does the value.
            break;
        } else {
            // Characters beyond Latin-1 have no byte in the document.
            sBytes += code <= 0xFF ? static_cast<char>(code) : '?';
        }
    }
    return COroString(sBytes.c_str());
}

COroString MemoText(const QPlainTextEdit& memo)
{
    // The raw text keeps paragraph and line separators apart (the plain
    // text would turn both into LF, and a no-break space into a space).
    return FromControlText(memo.document()->toRawText());
}

void SetMemoText(QPlainTextEdit& memo, const COroString& sText)
{
    memo.setPlainText(ToControlText(sText));
}

COroString BoxText(const QLineEdit& box)
{
    return FromControlText(box.text());
}

void SetBoxText(QLineEdit& box, const COroString& sText)
{
    box.setText(ToControlText(sText));
}

COroString ComboText(const QComboBox& combo)
{
    return FromControlText(combo.currentText());
}

void SetLabelText(QLabel& label, const COroString& sText)
{
    QString sShown = QString::fromLatin1(sText.CStr());
    sShown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    label.setText(sShown);
}

void UseWindowColour(QWidget& control)
{
    QPalette palette = control.palette();
    const QPalette standard = QApplication::palette(&control);
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setColor(group, QPalette::Base, standard.color(group, QPalette::Base));
    control.setPalette(palette);
}

void UseButtonFaceColour(QWidget& control)
{
    QPalette palette = control.palette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setColor(group, QPalette::Base, palette.color(group, QPalette::Button));
    control.setPalette(palette);
}
