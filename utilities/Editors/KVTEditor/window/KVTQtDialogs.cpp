#include "KVTQtDialogs.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>

namespace {

QMessageBox::Icon ToQtIcon(TKvtBoxIcon nIcon)
{
    switch (nIcon) {
    case TKvtBoxIcon::Information: return QMessageBox::Information;
    case TKvtBoxIcon::Warning: return QMessageBox::Warning;
    case TKvtBoxIcon::Error: return QMessageBox::Critical;
    case TKvtBoxIcon::Question: return QMessageBox::Question;
    case TKvtBoxIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ToQtButtons(TKvtBoxButtons nButtons)
{
    switch (nButtons) {
    case TKvtBoxButtons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case TKvtBoxButtons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case TKvtBoxButtons::AbortRetryIgnore: return QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
    case TKvtBoxButtons::Ok: break;
    }
    return QMessageBox::Ok;
}

TKvtBoxAnswer FromQtButton(int nButton, TKvtBoxButtons nButtons)
{
    switch (nButton) {
    case QMessageBox::Ok: return TKvtBoxAnswer::Ok;
    case QMessageBox::Yes: return TKvtBoxAnswer::Yes;
    case QMessageBox::No: return TKvtBoxAnswer::No;
    case QMessageBox::Abort: return TKvtBoxAnswer::Abort;
    case QMessageBox::Retry: return TKvtBoxAnswer::Retry;
    case QMessageBox::Ignore: return TKvtBoxAnswer::Ignore;
    default: break;
    }
    // Closed without a button: Cancel where there is one; a warning box
    // closed by the window manager carries on like Ignore.
    if (nButtons == TKvtBoxButtons::AbortRetryIgnore)
        return TKvtBoxAnswer::Ignore;
    if (nButtons == TKvtBoxButtons::Ok)
        return TKvtBoxAnswer::Ok;
    return TKvtBoxAnswer::Cancel;
}

QString FromBytes(const std::string& sText)
{
    return QString::fromLocal8Bit(sText.data(), static_cast<qsizetype>(sText.size()));
}

QString QtPattern(QString sPattern)
{
    sPattern = sPattern.trimmed();
    return sPattern == QLatin1String("*.*") ? QStringLiteral("*") : sPattern;
}

} // namespace

QStringList CKvtQtDialogs::NameFiltersFromPairs(const std::string& sFilter)
{
    const QStringList parts = FromBytes(sFilter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString sDescription = parts[i];
        // Qt reads the patterns from the description's parentheses, so the
        // description keeps its words and gets the converted patterns.
        const qsizetype nParen = sDescription.indexOf(QLatin1Char('('));
        if (nParen >= 0)
            sDescription.truncate(nParen);
        QStringList patterns;
        for (const QString& sPattern : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts))
            patterns << QtPattern(sPattern);
        filters << sDescription.trimmed() + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return filters;
}

TKvtBoxAnswer CKvtQtDialogs::MessageBox(const KvtMessageBox_st& box)
{
    QWidget* pOwner = box.bSystemModal ? nullptr : QApplication::activeWindow();
    QMessageBox messageBox(ToQtIcon(box.nIcon), FromBytes(box.sTitle), FromBytes(box.sText), ToQtButtons(box.nButtons),
                           pOwner);
    if (box.bSystemModal) {
        messageBox.setWindowModality(Qt::ApplicationModal);
        messageBox.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    }
    return FromQtButton(messageBox.exec(), box.nButtons);
}

bool CKvtQtDialogs::AskFileName(const KvtFileDialogRequest_st& request, std::string& sFileName)
{
    QFileDialog dialog(QApplication::activeWindow());
    if (!request.sTitle.empty())
        dialog.setWindowTitle(FromBytes(request.sTitle));
    if (request.nKind == TKvtFileDialogKind::Open) {
        // A name that does not exist is let through: opening it then reports
        // the missing file like every other way of opening.
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::AnyFile);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
    }
    if (!request.sStartFolder.empty())
        dialog.setDirectory(QFile::decodeName(request.sStartFolder.c_str()));
    const QStringList filters = NameFiltersFromPairs(request.sFilter);
    if (!filters.isEmpty())
        dialog.setNameFilters(filters);
    if (!request.sDefaultExtension.empty())
        dialog.setDefaultSuffix(FromBytes(request.sDefaultExtension));
    if (dialog.exec() != QDialog::Accepted)
        return false;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty())
        return false;
    sFileName = QFile::encodeName(files.first()).toStdString();
    return true;
}

void CKvtQtDialogs::Beep()
{
    QApplication::beep();
}
