#include "KVTProblemCollector.h"

#include "KVTNodePath.h"
#include "KVTWalkTrail.h"

CKvtProblemCollector::CKvtProblemCollector(CKvtProblemsModel& model)
    : m_Model(model), m_pPrevious(SetOroReportHandler(this))
{
}

CKvtProblemCollector::~CKvtProblemCollector()
{
    SetOroReportHandler(m_pPrevious);
    m_Model.Append(m_Problems);
}

TOroReportAnswer CKvtProblemCollector::Report(const OroReport_st& report)
{
    if (report.kind != TOroReportKind::Warning)
        return m_pPrevious->Report(report);
    KvtProblem_st problem;
    problem.sModule = report.module ? report.module : "";
    problem.nLine = report.line;
    problem.sMessage = report.message ? report.message : "";
    if (const CKvtWalkTrail* pTrail = CKvtWalkTrail::Current())
        problem.sPath = GetNodePath(pTrail->Chain());
    std::string sKey = problem.sPath;
    for (const std::string& sPart : {problem.sModule, std::to_string(problem.nLine), problem.sMessage}) {
        sKey += '\0';
        sKey += sPart;
    }
    if (m_Seen.insert(std::move(sKey)).second)
        m_Problems.push_back(std::move(problem));
    return TOroReportAnswer::Ignore;
}
