// The random run's "edit binary" command: a picked BINARY value edited on
// the "Binary Data" page as the user does it (whole bytes typed over or
// into it, a selection removed with Delete or Backspace, hex text pasted),
// after which the value must hold exactly the expected bytes and the page
// must show them and their length. The run's Undo and Redo commands then
// take these steps back and forth like every other.

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QTabWidget>
#include <QTest>

#include "KVTBinarySplice.h"
#include "KVTHexView.h"
#include "PanelTestSupport.h"
#include "RandomEditSession.h"

namespace {

constexpr uint32_t kMostBytes = 24;

bool IsBinary(CKvtNodeBase* pNode)
{
    return pNode->GetType() == ftBINARY;
}

std::string ValueBytes(const CKvtNodeBINARY& node)
{
    return std::string(reinterpret_cast<const char*>(node.m_pData), BinaryValueSize(node));
}

std::string HexText(const std::string& sBytes, const char* pGap)
{
    static const char kDigits[] = "0123456789abcdef";
    std::string sText;
    for (const char c : sBytes) {
        if (!sText.empty())
            sText += pGap;
        sText += kDigits[static_cast<uint8_t>(c) >> 4];
        sText += kDigits[static_cast<uint8_t>(c) & 0xF];
    }
    return sText;
}

} // namespace

std::string CRandomEditSession::EditBinary()
{
    auto* pNode = static_cast<CKvtNodeBINARY*>(PickNode(IsBinary));
    if (!pNode)
        return Add();
    std::string sFault = ClickNode(pNode);
    if (!sFault.empty() || !m_Harness.Dialogs().Boxes().empty())
        return sFault;
    auto* pPages = Control<QTabWidget>(m_Window, "pcDataPage");
    auto* pView = Control<CKvtHexView>(m_Window, "gBinaryData");
    if (pPages->currentWidget()->objectName() != QStringLiteral("tsBinaryTab") || pView->Model().Node() != pNode)
        return "the binary node's page does not show it";

    std::string sExpected = ValueBytes(*pNode);
    const auto nSize = static_cast<uint32_t>(sExpected.size());
    const uint32_t nAt = m_Random.Below(nSize + 1);
    const uint32_t nCount = 1 + m_Random.Below(kMostBytes);
    std::string sBytes;
    for (uint32_t i = 0; i < nCount; ++i)
        sBytes += static_cast<char>(m_Random.Below(256));
    // The cursor goes where the user would click after scrolling there.
    pView->SetCursor(nAt);
    QTest::mouseClick(pView->viewport(), Qt::LeftButton, {},
                      pView->visualRect(pView->Model().IndexOfPosition(nAt)).center());
    const bool bInsert = m_Random.OneIn(2);
    if (bInsert)
        QTest::keyClick(pView, Qt::Key_Insert);
    std::string sDone;
    switch (m_Random.Below(4)) {
    case 0:
        QTest::keyClicks(pView, QString::fromLatin1(HexText(sBytes, "").c_str()));
        sExpected.replace(nAt, bInsert ? 0 : sBytes.size(), sBytes);
        sDone = "typed";
        break;
    case 1:
        QGuiApplication::clipboard()->setText(QString::fromLatin1(HexText(sBytes, " ").c_str()));
        QTest::keyClick(pView, Qt::Key_V, Qt::ControlModifier);
        sExpected.replace(nAt, bInsert ? 0 : sBytes.size(), sBytes);
        sDone = "pasted";
        break;
    default: {
        for (uint32_t i = 1; i < nCount; ++i)
            QTest::keyClick(pView, Qt::Key_Right, Qt::ShiftModifier);
        const bool bBackspace = m_Random.OneIn(2);
        QTest::keyClick(pView, bBackspace ? Qt::Key_Backspace : Qt::Key_Delete);
        // At the end position only Backspace has a byte to take: the one before.
        if (nAt < nSize)
            sExpected.erase(nAt, nCount);
        else if (bBackspace && nAt > 0)
            sExpected.erase(nAt - 1, 1);
        sDone = bBackspace ? "removed with Backspace" : "removed with Delete";
        break;
    }
    }
    if (bInsert)
        QTest::keyClick(pView, Qt::Key_Insert);
    Log("edit binary '" + std::string(pNode->m_sLabel.CStr()) + "' at " + std::to_string(nAt) + " of " +
        std::to_string(nSize) + ": " + std::to_string(nCount) + " bytes " + sDone + (bInsert ? " (insert)" : ""));

    if (ValueBytes(*pNode) != sExpected)
        return "the value holds " + HexText(ValueBytes(*pNode), " ") + ", expected " + HexText(sExpected, " ");
    const QString sLength = QStringLiteral("Length: %1 bytes").arg(sExpected.size());
    if (Control<QLabel>(m_Window, "lBinaryLength")->text() != sLength)
        return "the page does not show the length " + sLength.toStdString();
    const uint64_t nCursor = pView->Cursor();
    const QString sCell = pView->Model().IndexOfPosition(nCursor).data().toString().toLower();
    if (nCursor < sExpected.size() && sCell.toStdString() != HexText(sExpected.substr(nCursor, 1), ""))
        return "the cell at the cursor shows " + sCell.toStdString();
    return std::string();
}
