#include "KVTHexTableModel.h"

#include <QApplication>
#include <QPalette>
#include <algorithm>

#include "KVTBinarySplice.h"

namespace {

const char kHexDigits[] = "0123456789ABCDEF";

// Latin-1 shows every byte but the control codes, which show as dots.
char TextOf(uint8_t nByte)
{
    return (nByte < 0x20 || (nByte >= 0x7F && nByte < 0xA0)) ? '.' : static_cast<char>(nByte);
}

} // namespace

CKvtHexTableModel::CKvtHexTableModel(QObject* pParent)
    : QAbstractTableModel(pParent), m_pNode(nullptr), m_nTopRow(0), m_nRowsInView(1), m_nSelectionFirst(1),
      m_nSelectionLast(0), m_nShownRows(0)
{}

uint32_t CKvtHexTableModel::ByteCount() const
{
    return m_pNode ? BinaryValueSize(*m_pNode) : 0;
}

uint32_t CKvtHexTableModel::TotalRows() const
{
    return m_pNode ? ByteCount() / kBytesPerRow + 1 : 0;
}

uint32_t CKvtHexTableModel::LastTopRow() const
{
    // The view's scroll bar stops where the last row is the last one in
    // full view; the model only keeps the top row on a row of the value.
    const uint32_t nTotal = TotalRows();
    return nTotal > 0 ? nTotal - 1 : 0;
}

void CKvtHexTableModel::ShowNode(CKvtNodeBINARY* pNode)
{
    beginResetModel();
    m_pNode = pNode;
    m_nTopRow = 0;
    m_nSelectionFirst = 1;
    m_nSelectionLast = 0;
    m_nShownRows = rowCount();
    endResetModel();
}

void CKvtHexTableModel::SetTopRow(uint32_t nTopRow)
{
    nTopRow = std::min(nTopRow, LastTopRow());
    if (nTopRow == m_nTopRow)
        return;
    m_nTopRow = nTopRow;
    RedrawRows();
}

void CKvtHexTableModel::SetRowsInView(int nRows)
{
    nRows = std::max(1, nRows);
    if (nRows == m_nRowsInView)
        return;
    m_nRowsInView = nRows;
    m_nTopRow = std::min(m_nTopRow, LastTopRow());
    RedrawRows();
}

void CKvtHexTableModel::SetSelection(uint64_t nFirst, uint64_t nLast)
{
    m_nSelectionFirst = nFirst;
    m_nSelectionLast = nLast;
    if (m_nShownRows > 0)
        emit dataChanged(index(0, 0), index(m_nShownRows - 1, kTextColumn));
}

void CKvtHexTableModel::BytesChanged()
{
    m_nTopRow = std::min(m_nTopRow, LastTopRow());
    RedrawRows();
}

void CKvtHexTableModel::RedrawRows()
{
    // Only the few rows in view exist: a changed count is a cheap reset.
    const int nRows = rowCount();
    if (nRows != m_nShownRows) {
        beginResetModel();
        m_nShownRows = nRows;
        endResetModel();
        return;
    }
    if (nRows > 0)
        emit dataChanged(index(0, 0), index(nRows - 1, kTextColumn));
}

int64_t CKvtHexTableModel::PositionAt(const QModelIndex& index) const
{
    if (!index.isValid())
        return -1;
    const uint64_t nRowStart = (static_cast<uint64_t>(m_nTopRow) + static_cast<uint64_t>(index.row())) * kBytesPerRow;
    const int nColumn = index.column();
    if (nColumn < kFirstByteColumn || nColumn >= kTextColumn)
        return static_cast<int64_t>(nRowStart);
    return static_cast<int64_t>(nRowStart + static_cast<uint64_t>(nColumn - kFirstByteColumn));
}

QModelIndex CKvtHexTableModel::IndexOfPosition(uint64_t nPosition) const
{
    const uint64_t nRow = nPosition / kBytesPerRow;
    if (nRow < m_nTopRow || nRow - m_nTopRow >= static_cast<uint64_t>(rowCount()))
        return QModelIndex();
    return index(static_cast<int>(nRow - m_nTopRow), kFirstByteColumn + static_cast<int>(nPosition % kBytesPerRow));
}

int CKvtHexTableModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid() || !m_pNode)
        return 0;
    const uint32_t nTotal = TotalRows();
    const uint32_t nLeft = nTotal > m_nTopRow ? nTotal - m_nTopRow : 0;
    return static_cast<int>(std::min<uint32_t>(nLeft, static_cast<uint32_t>(m_nRowsInView)));
}

int CKvtHexTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kTextColumn + 1;
}

QVariant CKvtHexTableModel::DisplayText(uint64_t nRowStart, int nColumn) const
{
    // Read each time from the node: its buffer moves whenever its length
    // changes.
    const uint64_t nSize = ByteCount();
    if (nColumn == kOffsetColumn) {
        char sOffset[9];
        for (int i = 7; i >= 0; --i)
            sOffset[7 - i] = kHexDigits[(nRowStart >> (4 * i)) & 0xF];
        sOffset[8] = '\0';
        return QString::fromLatin1(sOffset);
    }
    if (nColumn == kTextColumn) {
        const uint64_t nEnd = std::min<uint64_t>(nSize, nRowStart + kBytesPerRow);
        QString sText;
        for (uint64_t nPos = nRowStart; nPos < nEnd; ++nPos)
            sText += QChar(QLatin1Char(TextOf(m_pNode->m_pData[nPos])));
        return sText;
    }
    const uint64_t nPos = nRowStart + static_cast<uint64_t>(nColumn - kFirstByteColumn);
    if (nPos >= nSize)
        return QString();
    const uint8_t nByte = m_pNode->m_pData[nPos];
    const char sHex[3] = {kHexDigits[nByte >> 4], kHexDigits[nByte & 0xF], '\0'};
    return QString::fromLatin1(sHex);
}

QVariant CKvtHexTableModel::data(const QModelIndex& index, int nRole) const
{
    if (!m_pNode || !index.isValid() || index.row() >= rowCount())
        return QVariant();
    const int nColumn = index.column();
    const uint64_t nRowStart = (static_cast<uint64_t>(m_nTopRow) + static_cast<uint64_t>(index.row())) * kBytesPerRow;
    const bool bByteCell = nColumn >= kFirstByteColumn && nColumn < kTextColumn;
    const uint64_t nPos = nRowStart + static_cast<uint64_t>(nColumn - kFirstByteColumn);
    const bool bSelected = bByteCell && nPos >= m_nSelectionFirst && nPos <= m_nSelectionLast;
    switch (nRole) {
    case Qt::DisplayRole:
        return DisplayText(nRowStart, nColumn);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(nColumn == kTextColumn ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter);
    case Qt::BackgroundRole:
        return bSelected ? QApplication::palette().brush(QPalette::Highlight) : QVariant();
    case Qt::ForegroundRole:
        if (bSelected)
            return QApplication::palette().brush(QPalette::HighlightedText);
        return nColumn == kOffsetColumn ? QApplication::palette().brush(QPalette::Disabled, QPalette::Text) : QVariant();
    default:
        return QVariant();
    }
}

QVariant CKvtHexTableModel::headerData(int nSection, Qt::Orientation orientation, int nRole) const
{
    if (orientation != Qt::Horizontal || nRole != Qt::DisplayRole)
        return QAbstractTableModel::headerData(nSection, orientation, nRole);
    if (nSection == kOffsetColumn)
        return QStringLiteral("Offset");
    if (nSection == kTextColumn)
        return QStringLiteral("Text");
    const int nByte = nSection - kFirstByteColumn;
    return QString(QLatin1Char(kHexDigits[nByte >> 4])) + QLatin1Char(kHexDigits[nByte & 0xF]);
}

Qt::ItemFlags CKvtHexTableModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsEnabled : Qt::NoItemFlags;
}
