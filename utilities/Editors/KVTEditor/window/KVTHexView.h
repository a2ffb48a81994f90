#pragma once
// The hex view of a binary value: a table of the rows in view with a scroll
// bar of its own over all rows, a cursor at a byte position (the value's
// length is the end position, where bytes are appended) and a selection
// from an anchor to the cursor. Navigation is the view's own; edit keys go
// first to the handler the page gives. Positions are 64-bit, so no offset
// arithmetic wraps near a 4 GiB value.

#include <QTableView>
#include <cstdint>
#include <functional>

#include "KVTHexTableModel.h"

class QScrollBar;

class CKvtHexView : public QTableView {
public:
    explicit CKvtHexView(QWidget* pParent = nullptr);

    // The scroll bar over all rows; the page lays it out beside the table.
    QScrollBar* RowScrollBar() const { return m_pScrollBar; }
    CKvtHexTableModel& Model() const { return *m_pModel; }

    // Shows the value (null: none) with the cursor at its start.
    void ShowNode(CKvtNodeBINARY* pNode);
    // After the bytes changed: redraws, and puts the cursor at nCursor.
    void BytesChanged(uint64_t nCursor);
    uint64_t Cursor() const { return m_nCursor; }
    // Moves the cursor (clamped to the end position), extending the
    // selection from the anchor or starting a new one there.
    void SetCursor(uint64_t nPosition, bool bExtend = false);
    // The selected bytes: first and count (count 0 at the end position).
    void SelectedRange(uint64_t& nFirst, uint64_t& nCount) const;

    // Offered every key first; true when it took the key.
    void SetEditKeyHandler(std::function<bool(QKeyEvent*)> handler) { m_EditKeyHandler = std::move(handler); }
    // Called when the user moved the cursor (not when the page did).
    void SetOnCursorMoved(std::function<void()> onMoved) { m_OnCursorMoved = std::move(onMoved); }

protected:
    bool event(QEvent* pEvent) override;
    void keyPressEvent(QKeyEvent* pEvent) override;
    void mousePressEvent(QMouseEvent* pEvent) override;
    void mouseMoveEvent(QMouseEvent* pEvent) override;
    void mouseDoubleClickEvent(QMouseEvent* pEvent) override;
    void wheelEvent(QWheelEvent* pEvent) override;
    void resizeEvent(QResizeEvent* pEvent) override;

private:
    bool MoveByKey(QKeyEvent* pEvent);
    void MoveByUser(uint64_t nPosition, bool bExtend);
    int64_t PositionAtPoint(const QPoint& point) const;
    int FullRowsInView() const;
    void UpdateRowsInView();
    void UpdateScrollRange();
    void EnsureCursorVisible();
    void ShowSelection();
    void ShowCursorCell();

    CKvtHexTableModel* m_pModel;
    QScrollBar* m_pScrollBar;
    uint64_t m_nCursor;
    uint64_t m_nAnchor;
    std::function<bool(QKeyEvent*)> m_EditKeyHandler;
    std::function<void()> m_OnCursorMoved;
};
