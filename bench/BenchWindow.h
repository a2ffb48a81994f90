#pragma once
// The editor's window on the offscreen platform, driven as a user would:
// open a file and wait until the tree view has painted, expand items, and
// make single edits in a large document. Needs a QApplication.

#include <QModelIndex>
#include <memory>
#include <string>

#include "BenchFigures.h"
#include "KVTScriptedDialogs.h"

class TfrmMain;
class QTreeView;
class CBenchPaintWatch;

class CBenchWindow {
public:
    // The window keeps its settings in sScratch, as the editor keeps them
    // beside the program.
    explicit CBenchWindow(const std::string& sScratch);
    ~CBenchWindow();
    CBenchWindow(const CBenchWindow&) = delete;
    CBenchWindow& operator=(const CBenchWindow&) = delete;

    // Seconds from OpenFile until the tree view has painted the document's
    // first rows; the document stays open. Negative when the open failed.
    double OpenToTree(const std::string& sFile);
    // Seconds from expanding the root until its children are painted.
    double ExpandRoot();
    void CloseDocument();
    TfrmMain& Window() { return *m_pWindow; }

    // Single edits in the open document, inside its largest top-level list,
    // through the window's own commands.
    void MeasureEdits(BenchEditFigures_st& figures, int nRuns);
    // Undo and Redo in the open document: a 100,001-node subtree pasted as
    // the root's last child and deleted again, and the memory of 1,000
    // value steps.
    void MeasureUndo(BenchEditFigures_st& figures, int nRuns);

private:
    // Runs the event loop until the tree has painted (and, with a valid
    // parent, shows its children); false after a generous timeout.
    bool WaitForPaint(const QModelIndex& parent = QModelIndex());
    // Works off the events an edit posted, the repaint among them.
    void SettleView();
    double ExpandItem(const QModelIndex& index);
    double SelectAndApply(const QModelIndex& item, const char* pText);
    // Seconds for the window action of that name, until the view is up to date.
    double RunCommand(const char* pAction);
    // Median seconds of Undo and of Redo, taken in turns.
    void TimeUndoRedo(int nRuns, double& dUndo, double& dRedo);

    CKvtScriptedDialogs m_Dialogs;
    std::unique_ptr<TfrmMain> m_pWindow;
    QTreeView* m_pTree;
    CBenchPaintWatch* m_pWatch;
};
