#pragma once
// The open document as the window's parts share it: the root node, its file
// name, the undo stack whose clean state says whether it is modified, the
// read-only flag, the localized-string node on its page, the program's node
// clipboard, the tree model and, through the view, the selection. The panel,
// its pages and the node commands work on this instead of on the main window.

#include <QModelIndex>
#include <QUndoStack>
#include <functional>
#include <memory>
#include <vector>

#include "KVTTreeNodes.h"
#include "orostring.h"

class CKvtNodeEditStep;
class CKvtTreeModel;
class IKvtDialogs;
class IKvtSessionView;

class CKvtDocumentSession {
public:
    // The model, the view and the dialogs must outlive the session.
    CKvtDocumentSession(CKvtTreeModel& treeModel, IKvtSessionView& view, IKvtDialogs& dialogs);
    // Empties the tree model before the nodes its items point at are freed.
    ~CKvtDocumentSession();
    CKvtDocumentSession(const CKvtDocumentSession&) = delete;
    CKvtDocumentSession& operator=(const CKvtDocumentSession&) = delete;

    // A new, empty, unmodified document under the name (empty: never saved).
    // The previous one must have been closed.
    void StartDocument(const COroString& sFileName, bool bReadOnly);
    // Takes over a document made elsewhere (an import): untitled and modified.
    // The previous one must have been closed.
    void AdoptDocument(std::unique_ptr<CKvtNodeTopLevelStruct> pRoot);
    // Empties the tree model, frees the document and forgets its name and flags.
    void CloseDocument();

    CKvtNodeTopLevelStruct* RootNode() const { return m_pRootNode.get(); }
    const COroString& FileName() const { return m_sFileName; }
    void SetFileName(const COroString& sFileName) { m_sFileName = sFileName; }
    bool IsReadOnly() const { return m_bReadOnly; }
    void SetReadOnly(bool bReadOnly) { m_bReadOnly = bReadOnly; }

    // Modified: the undo stack is away from its clean state (opening, New and
    // a successful save set it), or the document was never saved (New).
    bool IsModified() const { return m_bNeverSaved || !m_UndoStack.isClean(); }
    // A change that is no undo step: a new document not saved yet.
    void MarkModified() { m_bNeverSaved = true; }
    // After a successful save.
    void SetUnmodified();

    // Every change of the document is a step on this stack.
    QUndoStack& UndoStack() { return m_UndoStack; }
    // Pushes a step whose change has been made already (its first redo is
    // empty).
    void PushStep(QUndoCommand* pStep);
    // Begins an edit of the node shown by item (the state before is kept)...
    std::unique_ptr<CKvtNodeEditStep> BeginNodeEdit(CKvtNodeBase* pNode, const QModelIndex& item);
    // ...and pushes it as one step when it changed the node, named sText or,
    // when that is empty, by what changed. True when it changed the node.
    bool EndNodeEdit(std::unique_ptr<CKvtNodeEditStep> pStep, const QString& sText = QString());
    // Apply the panel's pending text, then undo or redo one step and select
    // the node it changed.
    void Undo();
    void Redo();
    // While a step is undone or redone: the panel then applies nothing, since
    // what it shows may be the state the step is leaving.
    bool IsReplaying() const { return m_bReplaying; }
    // Steps name the node they changed (by its path from the root) here.
    void SetStepTarget(const std::vector<CKvtNodeBase*>& path) { m_StepTarget = path; }

    // The localized-string node shown on its page, and whether a panel
    // control has the focus (the page does not redisplay meanwhile), as the
    // probe given by the window finds it when asked.
    CKvtNodeLOCSTRING* LocStrNode() const { return m_pLocStrNode; }
    void SetLocStrNode(CKvtNodeLOCSTRING* pNode) { m_pLocStrNode = pNode; }
    // Never while a step is undone or redone: the page must show what the
    // step left, not keep what the memo held before.
    bool IsLocStrEditing() const { return !m_bReplaying && m_IsLocStrEditing && m_IsLocStrEditing(); }
    void SetLocStrEditingProbe(std::function<bool()> isEditing) { m_IsLocStrEditing = std::move(isEditing); }

    // The program's own clipboard: a deep copy the session owns.
    CKvtNodeBase* ClipboardNode() const { return m_pClipboardNode.get(); }
    void ReplaceClipboardNode(CKvtNodeBase* pCopy) { m_pClipboardNode.reset(pCopy); }

    CKvtTreeModel& TreeModel() const { return m_TreeModel; }
    IKvtDialogs& Dialogs() const { return m_Dialogs; }
    QModelIndex SelectedItem() const;
    // The selected item's node, null when none.
    CKvtNodeBase* SelectedNode() const;
    void SelectItem(const QModelIndex& index);
    void RefreshGui();
    // Every command that works on the document as a whole (save, export,
    // close, undo...) calls this first; false: do not go on.
    bool ApplyPendingPanelEdit();

private:
    void Replay(bool bUndo);

    CKvtTreeModel& m_TreeModel;
    IKvtSessionView& m_View;
    IKvtDialogs& m_Dialogs;

    std::unique_ptr<CKvtNodeTopLevelStruct> m_pRootNode;
    COroString m_sFileName;
    bool m_bNeverSaved;
    bool m_bReadOnly;
    bool m_bReplaying;
    std::vector<CKvtNodeBase*> m_StepTarget;
    CKvtNodeLOCSTRING* m_pLocStrNode;
    std::function<bool()> m_IsLocStrEditing;
    std::unique_ptr<CKvtNodeBase> m_pClipboardNode;
    // Last: its steps may own detached nodes and items, freed first.
    QUndoStack m_UndoStack;
};
