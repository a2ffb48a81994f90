#pragma once
// While the window opens, saves or exports a document, warnings of the layers
// below go to the Problems panel instead of one Abort/Retry/Ignore box each:
// this handler takes them for its own lifetime, answers Ignore and notes the
// node the running walk is at. Assertions and BCAssert still go to the
// handler it replaced, with their boxes.

#include <string>
#include <unordered_set>
#include <vector>

#include "KVTProblemsModel.h"
#include "ororeport.h"

class CKvtProblemCollector : public IOroReportHandler {
public:
    explicit CKvtProblemCollector(CKvtProblemsModel& model);
    // Hands the rows to the model, then gives reports back to the previous handler.
    ~CKvtProblemCollector() override;
    CKvtProblemCollector(const CKvtProblemCollector&) = delete;
    CKvtProblemCollector& operator=(const CKvtProblemCollector&) = delete;

    TOroReportAnswer Report(const OroReport_st& report) override;

    // Rows taken so far.
    int Count() const { return static_cast<int>(m_Problems.size()); }

private:
    CKvtProblemsModel& m_Model;
    IOroReportHandler* m_pPrevious;
    std::vector<KvtProblem_st> m_Problems;
    // The same warning at the same node is one cause: one row.
    std::unordered_set<std::string> m_Seen;
};
