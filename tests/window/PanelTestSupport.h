#pragma once
// Driving the edit panel and the tree view as the user does: clicks that move
// the focus, typing, Enter, right-clicks. The window must be active for focus
// events to be delivered, so every test activates it first.

#include <QModelIndex>
#include <QString>
#include <QStringList>
#include <string>

#include "KVTEditorMain.h"
#include "KVTTreeNodes.h"

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QTreeView;
class QWidget;

template <typename T> T* Control(TfrmMain& window, const char* pName)
{
    return window.findChild<T*>(QString::fromLatin1(pName));
}

// Shows and activates the window; false when it never became active.
bool ActivateWindow(TfrmMain& window);

// The node at a '/'-separated path of labels under the root ("" is the root,
// "Items/#0" the list Items' first element); null when there is none.
CKvtNodeBase* NodeAtPath(CKvtNodeTopLevelStruct* pRoot, const std::string& sPath);
// The tree item that shows the node, its parents' items made on the way.
QModelIndex ItemOf(TfrmMain& window, CKvtNodeBase* pNode);

// Left-click on the node's item (it is scrolled into view first).
void ClickItem(TfrmMain& window, CKvtNodeBase* pNode);
// Right-click on the node's item, or with null below the last item.
void RightClickItem(TfrmMain& window, CKvtNodeBase* pNode);

// A left-click into the control: it takes the focus as a user's click does.
void ClickInto(QWidget* pControl);
// Clicks into the control, selects all its text and types sText over it.
void TypeInto(QWidget* pControl, const QString& sText);
void PressEnter(QWidget* pControl);

// What the controls show.
QString MemoShows(const QPlainTextEdit* pMemo);
QStringList ListItems(const QComboBox* pList);
// Languages of the node's entries, in stored order.
QStringList EntryLanguages(CKvtNodeBase* pLocString);
// The text of the first entry of the language, or "<none>".
QString EntryText(CKvtNodeBase* pLocString, int32_t nLanguage);

// A localized string's entries in stored order, "[language/gender text]" each.
std::string LocStringEntriesText(CKvtNodeBase* pLocString);

// Captions of the children of the node's item, in display order.
QStringList ChildNames(TfrmMain& window, CKvtNodeBase* pParent);

// One line per node in document order (type, label unless a list element,
// edit text, struct ID); two documents hold the same tree when equal.
std::string TreeOutline(CKvtNodeBase* pNode);
