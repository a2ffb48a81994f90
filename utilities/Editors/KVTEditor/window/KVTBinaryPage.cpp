#include "KVTBinaryPage.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>

#include "KVTBinaryEditStep.h"
#include "KVTBinaryFile.h"
#include "KVTBinarySplice.h"
#include "KVTDialogs.h"
#include "KVTDocumentSession.h"
#include "KVTHexView.h"
#include "KVTPanelText.h"
#include "KVTTreeModel.h"
#include "bcglobal.h"

namespace {

constexpr int kFirstDigit = 1;
constexpr int kSecondDigit = 2;
const char* const kAllFilesFilter = "All Files (*.*)|*.*";

// Hex text as bytes: pairs of digits, white space anywhere between pairs.
bool ParseHexText(const QString& sText, std::vector<uint8_t>& bytes)
{
    bytes.clear();
    int nHigh = -1;
    for (const QChar character : sText) {
        if (character.isSpace()) {
            if (nHigh >= 0)
                return false;
            continue;
        }
        const int nDigit = HexDigitValue(character.toLatin1());
        if (nDigit < 0)
            return false;
        if (nHigh < 0) {
            nHigh = nDigit;
        } else {
            bytes.push_back(static_cast<uint8_t>(nHigh << 4 | nDigit));
            nHigh = -1;
        }
    }
    return nHigh < 0 && !bytes.empty();
}

QString NodeName(const CKvtNodeBase* pNode)
{
    return QString::fromLatin1(pNode->m_sLabel.GetLength() > 0 ? pNode->m_sLabel.CStr() : "[Binary]");
}

} // namespace

CKvtBinaryPage::CKvtBinaryPage(CKvtDocumentSession& session, const KvtBinaryPageControls_st& controls)
    : m_Session(session), m_Controls(controls), m_pNode(nullptr), m_bInsertMode(false), m_nPendingDigitAt(-1),
      m_pReplayedNode(nullptr), m_nReplayedCursor(0)
{
    QWidget* pPage = m_Controls.tsBinaryTab;
    auto* pLayout = static_cast<QVBoxLayout*>(pPage->layout());
    auto* pButtons = new QHBoxLayout;
    bBinaryImport = new QPushButton(QStringLiteral("Import…"), pPage);
    bBinaryImport->setObjectName(QStringLiteral("bBinaryImport"));
    bBinaryExport = new QPushButton(QStringLiteral("Export…"), pPage);
    bBinaryExport->setObjectName(QStringLiteral("bBinaryExport"));
    pButtons->addWidget(bBinaryImport);
    pButtons->addWidget(bBinaryExport);
    pButtons->addStretch(1);
    pLayout->addLayout(pButtons);

    auto* pTableRow = new QHBoxLayout;
    pTableRow->setSpacing(0);
    m_pView = new CKvtHexView(pPage);
    m_pView->setObjectName(QStringLiteral("gBinaryData"));
    m_pView->setFont(m_Controls.font);
    m_pView->RowScrollBar()->setObjectName(QStringLiteral("sbBinaryRows"));
    pTableRow->addWidget(m_pView, 1);
    pTableRow->addWidget(m_pView->RowScrollBar());
    pLayout->addLayout(pTableRow, 1);

    m_pView->SetEditKeyHandler([this](QKeyEvent* pEvent) { return EditKey(pEvent); });
    m_pView->SetOnCursorMoved([this]() { m_nPendingDigitAt = -1; });
    QObject::connect(bBinaryImport, &QPushButton::clicked, pPage, [this]() { ImportFile(); });
    QObject::connect(bBinaryExport, &QPushButton::clicked, pPage, [this]() { ExportFile(); });
    ShowMode();
}

CKvtBinaryPage::~CKvtBinaryPage()
{
    // The view outlives the page (its parent is the page's tab); it must not
    // keep a node of a document about to be freed.
    m_pView->SetEditKeyHandler(nullptr);
    m_pView->SetOnCursorMoved(nullptr);
    m_pView->ShowNode(nullptr);
}

void CKvtBinaryPage::Display()
{
    CKvtNodeBase* pSelected = m_Session.SelectedNode();
    auto* pNode = pSelected && pSelected->GetType() == ftBINARY ? static_cast<CKvtNodeBINARY*>(pSelected) : nullptr;
    m_nPendingDigitAt = -1;
    if (pNode != m_pNode) {
        m_pNode = pNode;
        m_pView->ShowNode(pNode);
    } else if (pNode) {
        // Shown again (its bytes may have changed): the place is kept.
        m_pView->BytesChanged(m_pView->Cursor());
    }
    // Undo and redo show the changed bytes, also when they select the node
    // first (a replay displays the node twice).
    if (pNode && pNode == m_pReplayedNode)
        m_pView->SetCursor(m_nReplayedCursor);
    if (!m_Session.IsReplaying())
        m_pReplayedNode = nullptr;
    ShowLength();
}

void CKvtBinaryPage::OnStepShown(CKvtNodeBINARY* pNode, uint64_t nCursor)
{
    m_pReplayedNode = pNode;
    m_nReplayedCursor = nCursor;
}

void CKvtBinaryPage::ShowLength() const
{
    const uint32_t nSize = m_pNode ? BinaryValueSize(*m_pNode) : 0;
    m_Controls.lBinaryLength->setText(QStringLiteral("Length: %1 bytes").arg(nSize));
}

void CKvtBinaryPage::ShowMode() const
{
    m_Controls.Label5->setText(m_bInsertMode
                                   ? QStringLiteral("Insert mode: hex digits insert bytes (Insert: overwrite).")
                                   : QStringLiteral("Overwrite mode: hex digits replace bytes (Insert: insert)."));
}

bool CKvtBinaryPage::EditKey(QKeyEvent* pEvent)
{
    if (!m_pNode)
        return false;
    if (pEvent->matches(QKeySequence::Copy)) {
        CopySelection();
        return true;
    }
    if (pEvent->matches(QKeySequence::Paste)) {
        PasteHexText();
        return true;
    }
    if (pEvent->matches(QKeySequence::SelectAll)) {
        m_pView->SetCursor(0);
        m_pView->SetCursor(BinaryValueSize(*m_pNode), true);
        m_nPendingDigitAt = -1;
        return true;
    }
    switch (pEvent->key()) {
    case Qt::Key_Insert:
        m_bInsertMode = !m_bInsertMode;
        m_nPendingDigitAt = -1;
        ShowMode();
        return true;
    case Qt::Key_Delete:
    case Qt::Key_Backspace:
        RemoveSelection(pEvent->key() == Qt::Key_Backspace);
        return true;
    default:
        break;
    }
    const QString sText = pEvent->text();
    if (sText.size() != 1 || (pEvent->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier)) != 0)
        return false;
    const int nDigit = HexDigitValue(sText.at(0).toLatin1());
    if (nDigit < 0)
        return false;
    TypeDigit(static_cast<uint8_t>(nDigit));
    return true;
}

void CKvtBinaryPage::TypeDigit(uint8_t nDigit)
{
    const uint64_t nAt = m_pView->Cursor();
    const uint32_t nSize = BinaryValueSize(*m_pNode);
    if (m_nPendingDigitAt >= 0 && static_cast<uint64_t>(m_nPendingDigitAt) == nAt && nAt < nSize) {
        // The second digit completes the byte and moves on.
        const uint8_t nByte = static_cast<uint8_t>((m_pNode->m_pData[nAt] & 0xF0) | nDigit);
        m_nPendingDigitAt = -1;
        Change(static_cast<uint32_t>(nAt), 1, {nByte}, nAt + 1, QStringLiteral("Type into %1"), kSecondDigit);
        return;
    }
    const bool bInsert = m_bInsertMode || nAt >= nSize;
    const uint8_t nLow = bInsert ? 0 : static_cast<uint8_t>(m_pNode->m_pData[nAt] & 0x0F);
    if (Change(static_cast<uint32_t>(nAt), bInsert ? 0 : 1, {static_cast<uint8_t>(nDigit << 4 | nLow)}, nAt,
               QStringLiteral("Type into %1"), kFirstDigit))
        m_nPendingDigitAt = static_cast<int64_t>(nAt);
}

void CKvtBinaryPage::RemoveSelection(bool bBackspace)
{
    uint64_t nFirst = 0;
    uint64_t nCount = 0;
    m_pView->SelectedRange(nFirst, nCount);
    if (nCount == 0 && bBackspace && m_pView->Cursor() > 0) {
        nFirst = m_pView->Cursor() - 1;
        nCount = 1;
    }
    m_nPendingDigitAt = -1;
    if (nCount == 0)
        return;
    Change(static_cast<uint32_t>(nFirst), static_cast<uint32_t>(nCount), {}, nFirst,
           QStringLiteral("Delete Bytes of %1"));
}

void CKvtBinaryPage::CopySelection() const
{
    uint64_t nFirst = 0;
    uint64_t nCount = 0;
    m_pView->SelectedRange(nFirst, nCount);
    if (nCount == 0)
        return;
    static const char kDigits[] = "0123456789ABCDEF";
    std::string sText;
    sText.reserve(static_cast<size_t>(nCount) * 3);
    for (uint64_t nPos = nFirst; nPos < nFirst + nCount; ++nPos) {
        const uint8_t nByte = m_pNode->m_pData[nPos];
        if (nPos > nFirst)
            sText += ' ';
        sText += kDigits[nByte >> 4];
        sText += kDigits[nByte & 0xF];
    }
    QGuiApplication::clipboard()->setText(QString::fromLatin1(sText.data(), static_cast<qsizetype>(sText.size())));
}

void CKvtBinaryPage::PasteHexText()
{
    std::vector<uint8_t> bytes;
    m_nPendingDigitAt = -1;
    if (!ParseHexText(QGuiApplication::clipboard()->text(), bytes)) {
        m_Session.Dialogs().Beep();
        return;
    }
    uint64_t nFirst = 0;
    uint64_t nCount = 0;
    m_pView->SelectedRange(nFirst, nCount);
    const uint32_t nSize = BinaryValueSize(*m_pNode);
    // A selection of several bytes is replaced; otherwise the bytes go in
    // at the cursor, over what is there unless inserting.
    if (nCount <= 1) {
        nFirst = m_pView->Cursor();
        nCount = m_bInsertMode ? 0 : std::min<uint64_t>(bytes.size(), nSize - nFirst);
    }
    const uint64_t nCursor = nFirst + bytes.size();
    Change(static_cast<uint32_t>(nFirst), static_cast<uint32_t>(nCount), std::move(bytes), nCursor,
           QStringLiteral("Paste into %1"));
}

bool CKvtBinaryPage::Change(uint32_t nOffset, uint32_t nRemove, std::vector<uint8_t> inserted, uint64_t nCursor,
                            const QString& sVerb, int nDigitRole)
{
    CKvtNodeBINARY* pNode = m_pNode;
    const uint32_t nSize = BinaryValueSize(*pNode);
    if (nOffset > nSize || nRemove > nSize - nOffset || inserted.size() > UINT32_MAX) {
        m_Session.Dialogs().Beep();
        return false;
    }
    std::vector<uint8_t> removed(pNode->m_pData + nOffset, pNode->m_pData + nOffset + nRemove);
    if (!SpliceBinaryValue(*pNode, nOffset, nRemove, inserted.data(), static_cast<uint32_t>(inserted.size()))) {
        m_Session.Dialogs().Beep();
        return false;
    }
    auto* pStep = new CKvtBinaryEditStep(
        m_Session, pNode, m_Session.TreeModel().PathOf(m_Session.SelectedItem()), nOffset, std::move(removed),
        std::move(inserted), [this](CKvtNodeBINARY* pShown, uint64_t nAt) { OnStepShown(pShown, nAt); });
    pStep->setText(sVerb.arg(NodeName(pNode)));
    if (nDigitRole == kFirstDigit)
        pStep->JoinNextRewrite();
    else if (nDigitRole == kSecondDigit)
        pStep->CompletePreviousByte();
    m_Session.PushStep(pStep);
    m_Session.TreeModel().UpdateCaption(m_Session.SelectedItem());
    m_pView->BytesChanged(nCursor);
    ShowLength();
    m_Session.RefreshGui();
    return true;
}

void CKvtBinaryPage::ShowError(const char* pFormat, const std::string& sFileName) const
{
    COroString sText;
    sText.Format(pFormat, sFileName.c_str());
    KvtMessageBox_st box;
    box.sText = sText.CStr();
    box.sTitle = g_sTitle.CStr();
    box.nIcon = TKvtBoxIcon::Error;
    m_Session.Dialogs().MessageBox(box);
}

void CKvtBinaryPage::ImportFile()
{
    if (!m_pNode)
        return;
    KvtFileDialogRequest_st request;
    request.nKind = TKvtFileDialogKind::Open;
    request.sFilter = kAllFilesFilter;
    std::string sFileName;
    if (!m_Session.Dialogs().AskFileName(request, sFileName))
        return;
    std::vector<uint8_t> bytes;
    if (!ReadBinaryValueFile(sFileName, bytes)) {
        ShowError("Cannot read file %s", sFileName);
        return;
    }
    m_nPendingDigitAt = -1;
    Change(0, BinaryValueSize(*m_pNode), std::move(bytes), 0, QStringLiteral("Import into %1"));
}

void CKvtBinaryPage::ExportFile()
{
    if (!m_pNode)
        return;
    KvtFileDialogRequest_st request;
    request.nKind = TKvtFileDialogKind::Save;
    request.sFilter = kAllFilesFilter;
    std::string sFileName;
    if (!m_Session.Dialogs().AskFileName(request, sFileName))
        return;
    if (!WriteBinaryValueFile(sFileName, m_pNode->m_pData, BinaryValueSize(*m_pNode)))
        ShowError("Cannot create file %s", sFileName);
}
