#pragma once
// The rows of the Problems panel: one per warning raised while the window
// opened, saved or exported the document: the reporting module and line,
// the message and the path of the node being read or written (empty when the
// walk was at no node). Rows hold texts, not nodes: a double-click finds the
// node again by its path.

#include <QAbstractTableModel>
#include <string>
#include <vector>

struct KvtProblem_st {
    std::string sModule;
    int nLine = 0;
    std::string sMessage;
    std::string sPath;
};

class CKvtProblemsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum TColumn { ModuleColumn, LineColumn, MessageColumn, PathColumn, ColumnCount };

    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int nRole = Qt::DisplayRole) const override;
    QVariant headerData(int nSection, Qt::Orientation nOrientation, int nRole = Qt::DisplayRole) const override;

    void Clear();
    // Adds the rows after those shown so far, in one step.
    void Append(std::vector<KvtProblem_st>& problems);
    const KvtProblem_st* ProblemAt(int nRow) const;
    int Count() const { return static_cast<int>(m_Problems.size()); }

private:
    std::vector<KvtProblem_st> m_Problems;
};
