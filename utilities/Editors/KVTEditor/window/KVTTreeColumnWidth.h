#pragma once
// Keeps the tree view's one column as wide as the widest caption shown so
// far. Sizing the column to its contents the view's own way measures only
// the rows in view, so the width changes as the view scrolls; a horizontal
// scroll bar that comes and goes with that width changes which rows are in
// view, and the view can then lay itself out again and again without end.
// Here the width grows as items are made or re-captioned and starts anew when
// the view is rebuilt; it never depends on the scroll position.

#include <QObject>

class CKvtTreeModel;
class QModelIndex;
class QTreeView;

class CKvtTreeColumnWidth : public QObject {
public:
    CKvtTreeColumnWidth(QTreeView& view, CKvtTreeModel& model);

    // The width the column has been given.
    int Width() const { return m_nWidth; }

private:
    void Reset();
    // Widens the column for the rows nFirst..nLast of parent.
    void Measure(const QModelIndex& parent, int nFirst, int nLast);
    void Apply(int nWidth);
    // Number of items from the root down to parent (0 for no parent).
    int LevelOf(const QModelIndex& parent);

    QTreeView& m_View;
    CKvtTreeModel& m_Model;
    int m_nWidth;
    // The parent measured last and its level.
    const void* m_pLastParent = nullptr;
    int m_nLastLevel = 0;
};
