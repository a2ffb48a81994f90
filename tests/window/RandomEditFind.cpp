// The random run's Find command: the label of a picked node, searched for
// from the current selection, must select a node whose label holds it, the
// status bar must show that node's path, and the items must lead to it.

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

#include "KVTDocumentSession.h"
#include "KVTNodePath.h"
#include "KVTTreeReveal.h"
#include "RandomEditSession.h"

namespace {

bool HasLabel(CKvtNodeBase* pNode)
{
    return pNode->m_sLabel.GetLength() > 0;
}

} // namespace

std::string CRandomEditSession::Find()
{
    if (m_Random.OneIn(4)) {
        const char* pOrder = m_Random.OneIn(2) ? "miFileOrder" : "miSortByCaption";
        Log(std::string("view order ") + pOrder);
        m_Harness.Action(pOrder)->trigger();
    }
    CKvtNodeBase* pTarget = PickNode(HasLabel);
    if (!pTarget)
        return std::string();
    const std::string sLabel = pTarget->m_sLabel.CStr();
    Log("find '" + sLabel + "'");
    m_Harness.Action("actFind")->trigger();
    const std::pair<const char*, bool> options[] = {{"cbFindLabels", true},  {"cbFindValues", false},
                                                    {"cbFindTypes", false},  {"cbMatchCase", true},
                                                    {"cbWholeWord", false}, {"cbRegularExpression", false}};
    for (const auto& [pName, bChecked] : options)
        m_Window.findChild<QCheckBox*>(QString::fromLatin1(pName))->setChecked(bChecked);
    m_Window.findChild<QLineEdit*>(QStringLiteral("eFindText"))->setText(QString::fromLatin1(sLabel.c_str()));
    m_Harness.Action("actFindNext")->trigger();

    CKvtNodeBase* pFound = m_Window.Session().SelectedNode();
    if (!pFound || std::string(pFound->m_sLabel.CStr()).find(sLabel) == std::string::npos)
        return "Find selected no node whose label holds '" + sLabel + "'";
    CKvtNodeTopLevelStruct* pRoot = m_Window.RootNode();
    const std::vector<CKvtNodeBase*> chain = FindNodeChain(pRoot, pFound);
    if (GetItemChain(m_Window.TreeModel(), m_Window.Session().SelectedItem()) != chain)
        return "the selected item does not lead to the node Find found";
    const QByteArray path = m_Window.findChild<QLabel*>(QStringLiteral("lNodePath"))->text().toLatin1();
    if (path.toStdString() != GetNodePath(chain) || ResolveNodePath(pRoot, path.toStdString()).pNode != pFound)
        return "the status bar's path " + path.toStdString() + " does not name the selected node";
    return std::string();
}
