#include "KVTHexView.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>

namespace {

constexpr int kRowsPerWheelStep = 3;
constexpr int kCellMargin = 6;

// Keys the page takes for editing: the window's shortcuts on them (Delete
// Node, Copy and Paste of nodes) must not take them from the view.
bool IsEditKey(const QKeyEvent* pEvent)
{
    if (pEvent->matches(QKeySequence::Copy) || pEvent->matches(QKeySequence::Paste) ||
        pEvent->matches(QKeySequence::SelectAll))
        return true;
    const int nKey = pEvent->key();
    if (nKey == Qt::Key_Delete || nKey == Qt::Key_Backspace || nKey == Qt::Key_Insert)
        return true;
    const QString sText = pEvent->text();
    return (pEvent->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier)) == 0 && sText.size() == 1 &&
           sText.at(0).isLetterOrNumber();
}

} // namespace

CKvtHexView::CKvtHexView(QWidget* pParent)
    : QTableView(pParent), m_pModel(new CKvtHexTableModel(this)), m_pScrollBar(new QScrollBar(Qt::Vertical, pParent)),
      m_nCursor(0), m_nAnchor(0)
{
    setModel(m_pModel);
    // The table holds only the rows in view; the own scroll bar moves them.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);
    setWordWrap(false);
    setShowGrid(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setHighlightSections(false);
    m_pScrollBar->setRange(0, 0);
    connect(m_pScrollBar, &QScrollBar::valueChanged, this, [this](int nValue) {
        m_pModel->SetTopRow(static_cast<uint32_t>(std::max(0, nValue)));
        ShowCursorCell();
    });
}

void CKvtHexView::ShowNode(CKvtNodeBINARY* pNode)
{
    // Cell sizes follow the font, which the page sets before the first value.
    const QFontMetrics metrics(font());
    verticalHeader()->setDefaultSectionSize(metrics.height() + 4);
    const int nByteWidth = metrics.horizontalAdvance(QStringLiteral("00")) + kCellMargin;
    setColumnWidth(CKvtHexTableModel::kOffsetColumn, metrics.horizontalAdvance(QStringLiteral("00000000")) + kCellMargin);
    for (int nColumn = CKvtHexTableModel::kFirstByteColumn; nColumn < CKvtHexTableModel::kTextColumn; ++nColumn)
        setColumnWidth(nColumn, nByteWidth);
    setColumnWidth(CKvtHexTableModel::kTextColumn,
                   metrics.horizontalAdvance(QString(CKvtHexTableModel::kBytesPerRow, QLatin1Char('W'))) + kCellMargin);
    m_pModel->ShowNode(pNode);
    m_nCursor = 0;
    m_nAnchor = 0;
    UpdateRowsInView();
    m_pScrollBar->setValue(0);
    ShowSelection();
}

void CKvtHexView::BytesChanged(uint64_t nCursor)
{
    m_pModel->BytesChanged();
    UpdateScrollRange();
    SetCursor(nCursor);
}

void CKvtHexView::SetCursor(uint64_t nPosition, bool bExtend)
{
    m_nCursor = std::min<uint64_t>(nPosition, m_pModel->ByteCount());
    if (!bExtend)
        m_nAnchor = m_nCursor;
    m_nAnchor = std::min<uint64_t>(m_nAnchor, m_pModel->ByteCount());
    EnsureCursorVisible();
    ShowSelection();
}

void CKvtHexView::SelectedRange(uint64_t& nFirst, uint64_t& nCount) const
{
    const uint64_t nSize = m_pModel->ByteCount();
    nFirst = std::min(m_nAnchor, m_nCursor);
    const uint64_t nLast = std::min(std::max(m_nAnchor, m_nCursor), nSize == 0 ? 0 : nSize - 1);
    nCount = (nSize == 0 || nFirst >= nSize || nLast < nFirst) ? 0 : nLast - nFirst + 1;
}

void CKvtHexView::ShowSelection()
{
    uint64_t nFirst = 0;
    uint64_t nCount = 0;
    SelectedRange(nFirst, nCount);
    if (nCount == 0)
        m_pModel->SetSelection(1, 0);
    else
        m_pModel->SetSelection(nFirst, nFirst + nCount - 1);
    ShowCursorCell();
}

void CKvtHexView::ShowCursorCell()
{
    // The current cell marks the cursor (also at the end position, which has
    // no byte to highlight); scrolled out of view, no cell is current.
    const QModelIndex cursorCell = m_pModel->IndexOfPosition(m_nCursor);
    if (cursorCell.isValid())
        selectionModel()->setCurrentIndex(cursorCell, QItemSelectionModel::NoUpdate);
    else
        selectionModel()->clearCurrentIndex();
    viewport()->update();
}

int CKvtHexView::FullRowsInView() const
{
    const int nRowHeight = std::max(1, verticalHeader()->defaultSectionSize());
    return std::max(1, viewport()->height() / nRowHeight);
}

void CKvtHexView::UpdateRowsInView()
{
    const int nRowHeight = std::max(1, verticalHeader()->defaultSectionSize());
    m_pModel->SetRowsInView((viewport()->height() + nRowHeight - 1) / nRowHeight);
    UpdateScrollRange();
}

void CKvtHexView::UpdateScrollRange()
{
    const uint32_t nTotal = m_pModel->TotalRows();
    const auto nFull = static_cast<uint32_t>(FullRowsInView());
    const uint32_t nLastTop = nTotal > nFull ? nTotal - nFull : 0;
    m_pScrollBar->setRange(0, static_cast<int>(std::min<uint32_t>(nLastTop, INT32_MAX)));
    m_pScrollBar->setPageStep(static_cast<int>(nFull));
    m_pScrollBar->setSingleStep(1);
    m_pModel->SetTopRow(static_cast<uint32_t>(m_pScrollBar->value()));
}

void CKvtHexView::EnsureCursorVisible()
{
    const uint64_t nRow = m_nCursor / CKvtHexTableModel::kBytesPerRow;
    const uint64_t nTop = m_pModel->TopRow();
    const auto nFull = static_cast<uint64_t>(FullRowsInView());
    if (nRow < nTop)
        m_pScrollBar->setValue(static_cast<int>(nRow));
    else if (nRow >= nTop + nFull)
        m_pScrollBar->setValue(static_cast<int>(nRow - nFull + 1));
}

void CKvtHexView::MoveByUser(uint64_t nPosition, bool bExtend)
{
    SetCursor(nPosition, bExtend);
    if (m_OnCursorMoved)
        m_OnCursorMoved();
}

bool CKvtHexView::MoveByKey(QKeyEvent* pEvent)
{
    constexpr uint64_t nRow = CKvtHexTableModel::kBytesPerRow;
    const uint64_t nEnd = m_pModel->ByteCount();
    const uint64_t nPage = nRow * static_cast<uint64_t>(FullRowsInView());
    const bool bExtend = pEvent->modifiers() & Qt::ShiftModifier;
    const bool bControl = pEvent->modifiers() & Qt::ControlModifier;
    const uint64_t nAt = m_nCursor;
    uint64_t nTo = nAt;
    switch (pEvent->key()) {
    case Qt::Key_Left: nTo = nAt > 0 ? nAt - 1 : 0; break;
    case Qt::Key_Right: nTo = nAt + 1; break;
    case Qt::Key_Up: nTo = nAt >= nRow ? nAt - nRow : nAt; break;
    case Qt::Key_Down: nTo = nAt + nRow <= nEnd ? nAt + nRow : nAt; break;
    case Qt::Key_PageUp: nTo = nAt >= nPage ? nAt - nPage : nAt % nRow; break;
    case Qt::Key_PageDown: nTo = nAt + nPage <= nEnd ? nAt + nPage : nEnd; break;
    case Qt::Key_Home: nTo = bControl ? 0 : nAt - nAt % nRow; break;
    case Qt::Key_End: nTo = bControl ? nEnd : std::min(nEnd, nAt - nAt % nRow + nRow - 1); break;
    default: return false;
    }
    MoveByUser(nTo, bExtend);
    return true;
}

bool CKvtHexView::event(QEvent* pEvent)
{
    if (pEvent->type() == QEvent::ShortcutOverride && IsEditKey(static_cast<QKeyEvent*>(pEvent))) {
        pEvent->accept();
        return true;
    }
    return QTableView::event(pEvent);
}

void CKvtHexView::keyPressEvent(QKeyEvent* pEvent)
{
    if (m_pModel->Node() && ((m_EditKeyHandler && m_EditKeyHandler(pEvent)) || MoveByKey(pEvent))) {
        pEvent->accept();
        return;
    }
    pEvent->ignore();
}

int64_t CKvtHexView::PositionAtPoint(const QPoint& point) const
{
    const QModelIndex index = indexAt(point);
    return m_pModel->PositionAt(index);
}

void CKvtHexView::mousePressEvent(QMouseEvent* pEvent)
{
    setFocus(Qt::MouseFocusReason);
    const int64_t nPosition = PositionAtPoint(pEvent->position().toPoint());
    if (pEvent->button() == Qt::LeftButton && nPosition >= 0)
        MoveByUser(static_cast<uint64_t>(nPosition), pEvent->modifiers() & Qt::ShiftModifier);
    pEvent->accept();
}

void CKvtHexView::mouseMoveEvent(QMouseEvent* pEvent)
{
    if (!(pEvent->buttons() & Qt::LeftButton))
        return;
    const int64_t nPosition = PositionAtPoint(pEvent->position().toPoint());
    if (nPosition >= 0 && static_cast<uint64_t>(nPosition) != m_nCursor)
        MoveByUser(static_cast<uint64_t>(nPosition), true);
}

void CKvtHexView::mouseDoubleClickEvent(QMouseEvent* pEvent)
{
    // No cell editor: a double click is a click.
    mousePressEvent(pEvent);
}

void CKvtHexView::wheelEvent(QWheelEvent* pEvent)
{
    const int nSteps = pEvent->angleDelta().y() / QWheelEvent::DefaultDeltasPerStep;
    if (nSteps != 0)
        m_pScrollBar->setValue(m_pScrollBar->value() - nSteps * kRowsPerWheelStep);
    pEvent->accept();
}

void CKvtHexView::resizeEvent(QResizeEvent* pEvent)
{
    QTableView::resizeEvent(pEvent);
    UpdateRowsInView();
    ShowSelection();
}
