#pragma once
// The rows of the Find All panel: one per hit, its path, type name and
// value as the tree previews it. Rows hold texts, not nodes, so that a
// document changed since the search leaves nothing dangling: a click finds
// the node again by its path.

#include <QAbstractTableModel>
#include <string>
#include <vector>

struct KvtFindHit_st {
    std::string sPath;
    std::string sType;
    std::string sValue;
};

class CKvtFindResultsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int nRole = Qt::DisplayRole) const override;
    QVariant headerData(int nSection, Qt::Orientation nOrientation, int nRole = Qt::DisplayRole) const override;

    void Clear();
    // Adds the hits after the rows shown so far.
    void Append(std::vector<KvtFindHit_st>& hits);
    const KvtFindHit_st* HitAt(int nRow) const;

private:
    std::vector<KvtFindHit_st> m_Hits;
};
