#pragma once
// The open document as the window's parts share it: the root node, its file
// name, the modified and read-only flags, the localized-string node on its
// page, the program's node clipboard, the tree model and, through the view,
// the selection. The panel, its pages and the node commands work on this
// instead of on the main window.

#include <QModelIndex>
#include <functional>
#include <memory>

#include "KVTTreeNodes.h"
#include "orostring.h"

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

    // Every change of the document marks it modified through here; a save
    // clears the mark.
    bool IsModified() const { return m_bModified; }
    void MarkModified() { m_bModified = true; }
    void SetUnmodified() { m_bModified = false; }

    // The localized-string node shown on its page, and whether a panel
    // control has the focus (the page does not redisplay meanwhile), as the
    // probe given by the window finds it when asked.
    CKvtNodeLOCSTRING* LocStrNode() const { return m_pLocStrNode; }
    void SetLocStrNode(CKvtNodeLOCSTRING* pNode) { m_pLocStrNode = pNode; }
    bool IsLocStrEditing() const { return m_IsLocStrEditing && m_IsLocStrEditing(); }
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
    CKvtTreeModel& m_TreeModel;
    IKvtSessionView& m_View;
    IKvtDialogs& m_Dialogs;

    std::unique_ptr<CKvtNodeTopLevelStruct> m_pRootNode;
    COroString m_sFileName;
    bool m_bModified;
    bool m_bReadOnly;
    CKvtNodeLOCSTRING* m_pLocStrNode;
    std::function<bool()> m_IsLocStrEditing;
    std::unique_ptr<CKvtNodeBase> m_pClipboardNode;
};
