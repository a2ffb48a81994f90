#include "KVTRecentFilesMenu.h"

#include <QAction>
#include <QByteArray>
#include <QMenu>

#include "Bcdebug.h"
#include "Kvtoptions.h"

namespace {

// The menu belongs to the main window; its assertions carry that module name.
const char* const kModule = "KVTEditorMain.cpp";
constexpr int kMissingItemLine = 294;

const char* const kFileNameProperty = "kvtFileName";

// The caption shows the name literally: a single '&' would otherwise become
// an accelerator mark and vanish from the menu.
QString EscapeAccelerators(QString sText)
{
    return sText.replace(QLatin1Char('&'), QLatin1String("&&"));
}

} // namespace

CKvtRecentFilesMenu::CKvtRecentFilesMenu(QMenu& fileMenu, COptions& options, std::function<void(QAction*)> onClick)
    : m_FileMenu(fileMenu), m_Options(options), m_OnClick(std::move(onClick))
{}

void CKvtRecentFilesMenu::Rebuild()
{
    // Deleting the oldest entry notifies again; that nested rebuild finishes
    // first and this one then rebuilds from the same, trimmed list.
    TrimRecentFiles(m_Options);

    // Everything between "Print Setup..." and Exit goes: the old entries, the
    // old separator, and at the first rebuild the designed separator.
    const int nFirstEntry = FirstEntryPosition();
    for (int nPos = static_cast<int>(m_FileMenu.actions().size()) - 2; nPos >= nFirstEntry; --nPos) {
        QAction* pItem = m_FileMenu.actions().value(nPos, nullptr);
        if (!pItem) {
            BCAssert(kModule, kMissingItemLine);
            continue;
        }
        m_FileMenu.removeAction(pItem);
        delete pItem;
    }

    const int32_t nCount = m_Options.RecentFiles.Count();
    if (nCount == 0)
        return;
    for (int32_t i = 0; i < nCount; ++i) {
        const COroString& sFileName = m_Options.RecentFiles[i];
        auto* pItem = new QAction(&m_FileMenu);
        pItem->setObjectName(QStringLiteral("MRU%1").arg(i));
        pItem->setText(QStringLiteral("&%1 ").arg(i + 1) +
                       EscapeAccelerators(QString::fromLocal8Bit(sFileName.CStr())));
        // The name is also kept as the bytes it was given as, so that opening
        // the entry never depends on how the caption shows it.
        pItem->setProperty(kFileNameProperty, QByteArray(sFileName.CStr()));
        QObject::connect(pItem, &QAction::triggered, pItem, [this, pItem]() { m_OnClick(pItem); });
        m_FileMenu.insertAction(m_FileMenu.actions().value(nFirstEntry + i, nullptr), pItem);
    }
    auto* pSeparator = new QAction(&m_FileMenu);
    pSeparator->setObjectName(QStringLiteral("MRUSeparator"));
    pSeparator->setSeparator(true);
    m_FileMenu.insertAction(m_FileMenu.actions().value(nFirstEntry + nCount, nullptr), pSeparator);
}

int CKvtRecentFilesMenu::FirstEntryPosition() const
{
    const QList<QAction*> items = m_FileMenu.actions();
    for (int nPos = 0; nPos < static_cast<int>(items.size()); ++nPos)
        if (items[nPos]->objectName() == QStringLiteral("miFilePrintSetup"))
            return nPos + 1;
    return static_cast<int>(items.size()) - 1; // before Exit
}

COroString CKvtRecentFilesMenu::FileNameOf(const QAction* pItem)
{
    if (!pItem)
        return COroString();
    const QByteArray name = pItem->property(kFileNameProperty).toByteArray();
    if (!name.isNull())
        return COroString(name.constData());
    // An item made elsewhere: the name is what follows the number and blank.
    QString sCaption = pItem->text();
    const qsizetype nBlank = sCaption.indexOf(QLatin1Char(' '));
    sCaption = nBlank >= 0 ? sCaption.mid(nBlank + 1) : QString();
    sCaption.replace(QLatin1String("&&"), QLatin1String("&"));
    return COroString(sCaption.toLocal8Bit().constData());
}
