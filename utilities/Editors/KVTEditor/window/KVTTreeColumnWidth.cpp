#include "KVTTreeColumnWidth.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QHeaderView>
#include <QStyle>
#include <QTreeView>
#include <algorithm>

#include "KVTTreeModel.h"

CKvtTreeColumnWidth::CKvtTreeColumnWidth(QTreeView& view, CKvtTreeModel& model)
    : QObject(&view), m_View(view), m_Model(model), m_nWidth(0)
{
    m_View.header()->setStretchLastSection(false);
    m_View.header()->setSectionResizeMode(QHeaderView::Fixed);
    connect(&m_Model, &QAbstractItemModel::modelReset, this, [this]() { Reset(); });
    connect(&m_Model, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex& parent, int nFirst, int nLast) { Measure(parent, nFirst, nLast); });
    // Removed items may leave their addresses to new ones.
    connect(&m_Model, &QAbstractItemModel::rowsRemoved, this, [this]() { m_pLastParent = nullptr; });
    connect(&m_Model, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& topLeft, const QModelIndex& bottomRight) {
                if (topLeft.isValid() && bottomRight.isValid())
                    Measure(topLeft.parent(), topLeft.row(), bottomRight.row());
            });
    Reset();
}

void CKvtTreeColumnWidth::Reset()
{
    m_pLastParent = nullptr;
    m_nWidth = 0;
    Apply(0);
    const int nTopRows = m_Model.rowCount(QModelIndex());
    if (nTopRows > 0)
        Measure(QModelIndex(), 0, nTopRows - 1);
}

void CKvtTreeColumnWidth::Measure(const QModelIndex& parent, int nFirst, int nLast)
{
    // Every row under one parent has the same indentation.
    const int nDepth = (m_View.rootIsDecorated() ? 1 : 0) + LevelOf(parent);
    const QFontMetrics metrics(m_View.font());
    // A fixed-pitch font (the tree's own) makes a caption's width its length
    // times one character's, so that a parent with a million children is
    // measured without laying out a million texts.
    const bool bFixedPitch = QFontInfo(m_View.font()).fixedPitch();
    const int nCharWidth = metrics.horizontalAdvance(QLatin1Char('M'));
    const int nMargins = 2 * (m_View.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &m_View) + 1) + 2;
    int nWidest = 0;
    for (int nRow = nFirst; nRow <= nLast; ++nRow) {
        const QModelIndex index = m_Model.index(nRow, 0, parent);
        const int nText = bFixedPitch ? m_Model.CaptionLengthAt(index) * nCharWidth
                                      : metrics.horizontalAdvance(m_Model.data(index).toString());
        nWidest = std::max(nWidest, nText);
    }
    Apply(nDepth * m_View.indentation() + nWidest + nMargins);
}

int CKvtTreeColumnWidth::LevelOf(const QModelIndex& parent)
{
    // Children are made one level at a time, mostly under the parent measured
    // last or under one of its children: a tree as deep as the user can make
    // it is then measured without walking up from every level.
    int nLevel = 0;
    if (!parent.isValid()) {
        nLevel = 0;
    } else if (m_pLastParent && parent.internalPointer() == m_pLastParent) {
        nLevel = m_nLastLevel;
    } else if (m_pLastParent && parent.parent().internalPointer() == m_pLastParent) {
        nLevel = m_nLastLevel + 1;
    } else {
        for (QModelIndex ancestor = parent; ancestor.isValid(); ancestor = ancestor.parent())
            ++nLevel;
    }
    m_pLastParent = parent.internalPointer();
    m_nLastLevel = nLevel;
    return nLevel;
}

void CKvtTreeColumnWidth::Apply(int nWidth)
{
    if (nWidth < m_nWidth)
        return;
    m_nWidth = nWidth;
    if (m_View.header()->count() > 0)
        m_View.header()->resizeSection(0, nWidth);
}
