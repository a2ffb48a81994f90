#pragma once
// Find in the window: the find bar's searches run on the document (not on
// the items made so far) in the order the tree shows the nodes; a hit is
// then made visible and selected, which applies the panel as any selection
// change does. Find All lists every hit in a dock panel while it runs, with
// its progress in the status bar and, when it runs longer than the delay, in
// a progress dialog; its Stop button, Escape or the dialog's Cancel ends it. While it
// runs, every other input to the window is held back, so the document cannot
// change under it.

#include <QObject>
#include <QString>
#include <memory>

#include "KVTTextMatch.h"

class CKvtDocumentSession;
class CKvtFindBar;
class CKvtFindResultsModel;
class QDockWidget;
class QMainWindow;
class QModelIndex;
class QPushButton;
class QStatusBar;
class QTreeView;

class CKvtFindController : public QObject {
    Q_OBJECT
public:
    // Creates the bar (the caller places it) and the results panel (docked
    // at the window's bottom, hidden until Find All).
    CKvtFindController(CKvtDocumentSession& session, QMainWindow& window, QTreeView& tree, QStatusBar& status);
    ~CKvtFindController() override;

    CKvtFindBar& Bar() const { return *m_pBar; }
    QDockWidget& ResultsPanel() const { return *m_pResultsPanel; }
    CKvtFindResultsModel& Results() const { return *m_pResults; }

    void FindNext(bool bBackward);
    void FindAll();
    void StopFindAll() { m_bStopRequested = true; }
    bool IsFindAllRunning() const { return m_bRunning; }
    // How long Find All runs before its progress dialog shows.
    void SetProgressDelay(int nMilliseconds) { m_nProgressDelay = nMilliseconds; }

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

private:
    // The match for the bar's text and options; null (with the reason in
    // *pError, empty for an empty text) when it can find nothing.
    std::unique_ptr<IKvtTextMatch> MakeMatch(QString& sError) const;
    void CheckExpression();
    void ResultClicked(const QModelIndex& index);
    // Lets the window paint and take the Stop click; false once stopped.
    bool KeepRunning(const QString& sProgress);

    CKvtDocumentSession& m_Session;
    QMainWindow& m_Window;
    QTreeView& m_Tree;
    QStatusBar& m_Status;
    CKvtFindBar* m_pBar;
    QDockWidget* m_pResultsPanel;
    CKvtFindResultsModel* m_pResults;
    QPushButton* m_pStop;
    bool m_bRunning = false;
    bool m_bStopRequested = false;
    int m_nProgressDelay;
};
