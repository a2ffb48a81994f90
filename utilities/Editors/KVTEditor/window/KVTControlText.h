#pragma once
// Document text in the panel's controls. The document holds single-byte text
// (shown as Latin-1, as the tree does); a memo shows a CR LF pair as its line
// break and gives it back as CR LF, so a value that holds line breaks reads
// back exactly as it was shown. A lone LF or CR in a value is shown too (as a
// line break inside the paragraph and as the carriage-return symbol) and
// read back as that same byte, never turned into a CR LF pair.

#include "orostring.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QString;
class QWidget;

QString ToControlText(const COroString& sText);
COroString FromControlText(const QString& sText);

COroString MemoText(const QPlainTextEdit& memo);
void SetMemoText(QPlainTextEdit& memo, const COroString& sText);

COroString BoxText(const QLineEdit& box);
void SetBoxText(QLineEdit& box, const COroString& sText);

COroString ComboText(const QComboBox& combo);

// A help text's carriage returns become the label's line breaks.
void SetLabelText(QLabel& label, const COroString& sText);

// An editable box has the window colour, a read-only or disabled one the
// button face.
void UseWindowColour(QWidget& control);
void UseButtonFaceColour(QWidget& control);
