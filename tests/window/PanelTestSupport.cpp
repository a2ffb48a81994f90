#include "PanelTestSupport.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextDocument>
#include <QTreeView>
#include <algorithm>
#include <utility>
#include <vector>

#include "KVTControlText.h"
#include "KVTTreeModel.h"

namespace {

QTreeView* Tree(TfrmMain& window)
{
    return Control<QTreeView>(window, "tvKVT");
}

// The point at the middle of the item's caption, the item made visible.
QPoint ItemPoint(TfrmMain& window, const QModelIndex& item)
{
    QTreeView* pTree = Tree(window);
    // The user clicks what is on the screen: rows laid out anew. (With
    // uniform row heights, a caption that gained a line break changes every
    // row's height only at the next layout.)
    pTree->doItemsLayout();
    // Scrolling to an item under collapsed parents expands them first, and
    // the scroll position may be computed before the expanded rows are laid
    // out: scroll again until the item lies wholly inside the viewport.
    for (int nTry = 0; nTry < 3; ++nTry) {
        pTree->scrollTo(item);
        QCoreApplication::processEvents();
        if (pTree->viewport()->rect().contains(pTree->visualRect(item)))
            break;
    }
    // A deep item may be wider than the viewport: its middle can then lie
    // past the right edge, where a click selects nothing; its text's start
    // is on the screen.
    const QRect rect = pTree->visualRect(item);
    return QPoint(std::min(rect.center().x(), rect.left() + 8), rect.center().y());
}

// The chain of nodes from the root down to pNode (empty when not found).
std::vector<CKvtNodeBase*> PathTo(CKvtNodeBase* pRoot, CKvtNodeBase* pNode)
{
    std::vector<std::pair<CKvtNodeBase*, size_t>> pending{{pRoot, 0}};
    std::vector<CKvtNodeBase*> chain;
    while (!pending.empty()) {
        auto [pCurrent, nDepth] = pending.back();
        pending.pop_back();
        chain.resize(nDepth);
        chain.push_back(pCurrent);
        if (pCurrent == pNode)
            return chain;
        if (CKvtNodeStruct* pStruct = pCurrent->GetStructNode()) {
            for (int32_t i = pStruct->GetChildCount() - 1; i >= 0; --i)
                pending.emplace_back(pStruct->GetChild(i), nDepth + 1);
        }
    }
    return {};
}

} // namespace

bool ActivateWindow(TfrmMain& window)
{
    window.show();
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}

CKvtNodeBase* NodeAtPath(CKvtNodeTopLevelStruct* pRoot, const std::string& sPath)
{
    CKvtNodeBase* pNode = pRoot;
    size_t nStart = 0;
    while (pNode && nStart < sPath.size()) {
        const size_t nEnd = std::min(sPath.find('/', nStart), sPath.size());
        const std::string sPart = sPath.substr(nStart, nEnd - nStart);
        nStart = nEnd + 1;
        CKvtNodeStruct* pStruct = pNode->GetStructNode();
        pNode = nullptr;
        if (!pStruct)
            break;
        if (!sPart.empty() && sPart[0] == '#') {
            const int32_t nElement = std::stoi(sPart.substr(1));
            if (nElement < pStruct->GetChildCount())
                pNode = pStruct->GetChild(nElement);
            continue;
        }
        for (int32_t i = 0; i < pStruct->GetChildCount() && !pNode; ++i) {
            if (pStruct->GetChild(i)->m_sLabel == sPart.c_str())
                pNode = pStruct->GetChild(i);
        }
    }
    return pNode;
}

QModelIndex ItemOf(TfrmMain& window, CKvtNodeBase* pNode)
{
    CKvtTreeModel& model = window.TreeModel();
    const std::vector<CKvtNodeBase*> chain = PathTo(window.RootNode(), pNode);
    if (chain.empty())
        return QModelIndex();
    QModelIndex item = model.RootIndex();
    for (size_t i = 1; i < chain.size() && item.isValid(); ++i)
        item = model.FindChildItem(item, chain[i]);
    return item;
}

void ClickItem(TfrmMain& window, CKvtNodeBase* pNode)
{
    const QModelIndex item = ItemOf(window, pNode);
    QTest::mouseClick(Tree(window)->viewport(), Qt::LeftButton, Qt::NoModifier, ItemPoint(window, item));
}

void RightClickItem(TfrmMain& window, CKvtNodeBase* pNode)
{
    QTreeView* pTree = Tree(window);
    QPoint point;
    if (pNode) {
        point = ItemPoint(window, ItemOf(window, pNode));
    } else {
        // Below the last row there is no item.
        point = QPoint(5, pTree->viewport()->height() - 3);
    }
    QTest::mousePress(pTree->viewport(), Qt::RightButton, Qt::NoModifier, point);
    QTest::mouseRelease(pTree->viewport(), Qt::RightButton, Qt::NoModifier, point);
}

void ClickInto(QWidget* pControl)
{
    QWidget* pTarget = pControl;
    if (auto* pCombo = qobject_cast<QComboBox*>(pControl); pCombo && pCombo->lineEdit())
        pTarget = pCombo->lineEdit();
    else if (auto* pMemo = qobject_cast<QPlainTextEdit*>(pControl))
        pTarget = pMemo->viewport();
    QTest::mouseClick(pTarget, Qt::LeftButton, Qt::NoModifier, QPoint(4, 4));
}

void TypeInto(QWidget* pControl, const QString& sText)
{
    ClickInto(pControl);
    QTest::keyClick(pControl, Qt::Key_A, Qt::ControlModifier);
    if (sText.isEmpty())
        QTest::keyClick(pControl, Qt::Key_Delete);
    else
        QTest::keyClicks(pControl, sText);
}

void PressEnter(QWidget* pControl)
{
    QTest::keyClick(pControl, Qt::Key_Return);
}

QString MemoShows(const QPlainTextEdit* pMemo)
{
    return pMemo->document()->toRawText();
}

QStringList ListItems(const QComboBox* pList)
{
    QStringList items;
    for (int i = 0; i < pList->count(); ++i)
        items << pList->itemText(i);
    return items;
}

QStringList EntryLanguages(CKvtNodeBase* pLocString)
{
    QStringList languages;
    const COroLocString& value = static_cast<CKvtNodeLOCSTRING*>(pLocString)->m_Value;
    for (int32_t i = 0; i < value.GetStringCount(); ++i) {
        int32_t nLanguage = 0;
        COroString sText;
        uint8_t nGender = 0;
        value.GetStringByIndex(static_cast<uint32_t>(i), nLanguage, sText, nGender);
        languages << QString::number(nLanguage);
    }
    return languages;
}

QString EntryText(CKvtNodeBase* pLocString, int32_t nLanguage)
{
    const COroLocString& value = static_cast<CKvtNodeLOCSTRING*>(pLocString)->m_Value;
    for (int32_t i = 0; i < value.GetStringCount(); ++i) {
        int32_t nEntryLanguage = 0;
        COroString sText;
        uint8_t nGender = 0;
        value.GetStringByIndex(static_cast<uint32_t>(i), nEntryLanguage, sText, nGender);
        if (nEntryLanguage == nLanguage)
            return QString::fromLatin1(sText.CStr());
    }
    return QStringLiteral("<none>");
}

QStringList ChildNames(TfrmMain& window, CKvtNodeBase* pParent)
{
    CKvtTreeModel& model = window.TreeModel();
    const QModelIndex parent = ItemOf(window, pParent);
    QStringList names;
    const int nCount = model.ChildItemCount(parent);
    for (int i = 0; i < nCount; ++i)
        names << model.data(model.index(i, 0, parent)).toString().section(QLatin1Char(' '), 0, 0);
    return names;
}

std::string LocStringEntriesText(CKvtNodeBase* pLocString)
{
    std::string sEntries;
    const COroLocString& value = static_cast<CKvtNodeLOCSTRING*>(pLocString)->m_Value;
    for (int32_t i = 0; i < value.GetStringCount(); ++i) {
        int32_t nLanguage = 0;
        COroString sText;
        uint8_t nGender = 0;
        value.GetStringByIndex(static_cast<uint32_t>(i), nLanguage, sText, nGender);
        sEntries += "[" + std::to_string(nLanguage) + "/" + std::to_string(nGender) + " " + sText.CStr() + "]";
    }
    return sEntries;
}

std::string TreeOutline(CKvtNodeBase* pRoot)
{
    std::string sOutline;
    // Node, depth, whether it is a list's element (whose label is not kept).
    struct Pending {
        CKvtNodeBase* pNode;
        int nDepth;
        bool bElement;
    };
    std::vector<Pending> pending{{pRoot, 0, false}};
    while (!pending.empty()) {
        const Pending current = pending.back();
        pending.pop_back();
        CKvtNodeBase* pNode = current.pNode;
        sOutline += std::string(static_cast<size_t>(current.nDepth), '\t');
        sOutline += std::to_string(pNode->GetType()) + " ";
        sOutline += current.bElement ? std::string("#") : std::string(pNode->m_sLabel.CStr());
        sOutline += " = " + std::string(pNode->GetEditText().CStr());
        sOutline += " id " + std::to_string(pNode->GetStructID());
        if (pNode->GetType() == ftLOCSTRING)
            sOutline += " " + LocStringEntriesText(pNode);
        sOutline += "\n";
        if (CKvtNodeStruct* pStruct = pNode->GetStructNode()) {
            const bool bList = pNode->GetType() == ftLIST;
            for (int32_t i = pStruct->GetChildCount() - 1; i >= 0; --i)
                pending.push_back({pStruct->GetChild(i), current.nDepth + 1, bList});
        }
    }
    return sOutline;
}
