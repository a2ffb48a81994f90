#pragma once
// The rows of a binary value that the hex view shows: an offset column, 16
// bytes in hexadecimal and the same bytes as Latin-1 text. The model holds
// only the rows in view (from a top row on), never a copy of the value: it
// reads the node's bytes when the view asks, so a value of any length costs
// the same. The view moves the top row as it scrolls.

#include <QAbstractTableModel>
#include <QBrush>
#include <cstdint>

class CKvtNodeBINARY;

class CKvtHexTableModel : public QAbstractTableModel {
public:
    static constexpr int kBytesPerRow = 16;
    static constexpr int kOffsetColumn = 0;
    static constexpr int kFirstByteColumn = 1;
    static constexpr int kTextColumn = kFirstByteColumn + kBytesPerRow;

    explicit CKvtHexTableModel(QObject* pParent = nullptr);

    // The value shown (null: none), from its first row.
    void ShowNode(CKvtNodeBINARY* pNode);
    CKvtNodeBINARY* Node() const { return m_pNode; }
    uint32_t ByteCount() const;
    // Rows of the whole value; the last one holds the end position, where
    // typed bytes are appended.
    uint32_t TotalRows() const;
    // The first row in view and how many rows the view has room for.
    uint32_t TopRow() const { return m_nTopRow; }
    void SetTopRow(uint32_t nTopRow);
    void SetRowsInView(int nRows);
    // The bytes drawn as selected, first to last (none when first > last).
    void SetSelection(uint64_t nFirst, uint64_t nLast);
    // The value's bytes or length changed: the rows in view are made again.
    void BytesChanged();

    // The byte position of a cell (its row's start for the offset and text
    // columns), or -1 for an invalid index.
    int64_t PositionAt(const QModelIndex& index) const;
    // The cell of a position in view, invalid when it is out of view.
    QModelIndex IndexOfPosition(uint64_t nPosition) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int nRole = Qt::DisplayRole) const override;
    QVariant headerData(int nSection, Qt::Orientation orientation, int nRole = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    QVariant DisplayText(uint64_t nRowStart, int nColumn) const;
    void RedrawRows();
    // Keeps the top row inside the value after it shrank.
    uint32_t LastTopRow() const;

    CKvtNodeBINARY* m_pNode;
    uint32_t m_nTopRow;
    int m_nRowsInView;
    uint64_t m_nSelectionFirst;
    uint64_t m_nSelectionLast;
    int m_nShownRows;
};
