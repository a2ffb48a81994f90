#pragma once
// Start-up timing: with KVTEDITOR_STARTUP_TIMING set in the environment the
// editor reports on standard error how long it took from the start of the
// process to the first painting of the tree view, then quits. With the value
// "expand" it first expands the root item as a click would and also reports
// when the root's children have been painted. Used to measure opening large
// documents.

#include <QElapsedTimer>
#include <QObject>

class QTreeView;

class CKvtStartupProbe : public QObject {
    Q_OBJECT
public:
    // Watches the tree when the environment asks for it; otherwise idle.
    CKvtStartupProbe(QTreeView* pTree, const QElapsedTimer& sinceMain);

    static bool IsRequested();

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

private:
    void Report(const char* pWhat);

    QTreeView* m_pTree;
    QElapsedTimer m_SinceMain;
    QElapsedTimer m_SinceExpand;
    bool m_bExpand;
    int m_nStage;
};
