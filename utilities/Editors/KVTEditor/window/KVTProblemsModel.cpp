#include "KVTProblemsModel.h"

namespace {

QString Latin1(const std::string& s)
{
    return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

} // namespace

int CKvtProblemsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : Count();
}

int CKvtProblemsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant CKvtProblemsModel::data(const QModelIndex& index, int nRole) const
{
    const KvtProblem_st* pProblem = ProblemAt(index.row());
    if (!pProblem || (nRole != Qt::DisplayRole && nRole != Qt::ToolTipRole))
        return QVariant();
    switch (index.column()) {
    case ModuleColumn: return Latin1(pProblem->sModule);
    case LineColumn: return pProblem->nLine;
    case MessageColumn: return Latin1(pProblem->sMessage);
    case PathColumn: return Latin1(pProblem->sPath);
    default: break;
    }
    return QVariant();
}

QVariant CKvtProblemsModel::headerData(int nSection, Qt::Orientation nOrientation, int nRole) const
{
    if (nOrientation != Qt::Horizontal || nRole != Qt::DisplayRole)
        return QVariant();
    static const char* const kTitles[ColumnCount] = {"Module", "Line", "Message", "Node"};
    return nSection >= 0 && nSection < ColumnCount ? QString::fromLatin1(kTitles[nSection]) : QVariant();
}

void CKvtProblemsModel::Clear()
{
    if (m_Problems.empty())
        return;
    beginResetModel();
    m_Problems.clear();
    endResetModel();
}

void CKvtProblemsModel::Append(std::vector<KvtProblem_st>& problems)
{
    if (problems.empty())
        return;
    const int nFirst = Count();
    beginInsertRows(QModelIndex(), nFirst, nFirst + static_cast<int>(problems.size()) - 1);
    for (KvtProblem_st& problem : problems)
        m_Problems.push_back(std::move(problem));
    endInsertRows();
    problems.clear();
}

const KvtProblem_st* CKvtProblemsModel::ProblemAt(int nRow) const
{
    if (nRow < 0 || static_cast<size_t>(nRow) >= m_Problems.size())
        return nullptr;
    return &m_Problems[static_cast<size_t>(nRow)];
}
