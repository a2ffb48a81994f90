#include "KVTFindResultsModel.h"

int CKvtFindResultsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_Hits.size());
}

int CKvtFindResultsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 3;
}

QVariant CKvtFindResultsModel::data(const QModelIndex& index, int nRole) const
{
    const KvtFindHit_st* pHit = HitAt(index.row());
    if (!pHit || nRole != Qt::DisplayRole)
        return QVariant();
    const std::string& sText = index.column() == 0 ? pHit->sPath : index.column() == 1 ? pHit->sType : pHit->sValue;
    return QString::fromLatin1(sText.data(), static_cast<qsizetype>(sText.size()));
}

QVariant CKvtFindResultsModel::headerData(int nSection, Qt::Orientation nOrientation, int nRole) const
{
    if (nOrientation != Qt::Horizontal || nRole != Qt::DisplayRole)
        return QVariant();
    static const char* const kTitles[] = {"Path", "Type", "Value"};
    return nSection >= 0 && nSection < 3 ? QString::fromLatin1(kTitles[nSection]) : QVariant();
}

void CKvtFindResultsModel::Clear()
{
    beginResetModel();
    m_Hits.clear();
    endResetModel();
}

void CKvtFindResultsModel::Append(std::vector<KvtFindHit_st>& hits)
{
    if (hits.empty())
        return;
    const int nFirst = static_cast<int>(m_Hits.size());
    beginInsertRows(QModelIndex(), nFirst, nFirst + static_cast<int>(hits.size()) - 1);
    for (KvtFindHit_st& hit : hits)
        m_Hits.push_back(std::move(hit));
    endInsertRows();
    hits.clear();
}

const KvtFindHit_st* CKvtFindResultsModel::HitAt(int nRow) const
{
    if (nRow < 0 || static_cast<size_t>(nRow) >= m_Hits.size())
        return nullptr;
    return &m_Hits[static_cast<size_t>(nRow)];
}
