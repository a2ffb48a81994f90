#include "KVTStartupProbe.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTreeView>
#include <cstring>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

// Milliseconds since the kernel started this process (its start time in
// /proc/self/stat counts clock ticks since boot); -1 when unknown.
long long MillisecondsSinceProcessStart()
{
    std::ifstream stat("/proc/self/stat");
    std::string sLine;
    if (!std::getline(stat, sLine))
        return -1;
    // The command name may contain blanks; the fields after it are plain.
    const size_t nClose = sLine.rfind(')');
    if (nClose == std::string::npos)
        return -1;
    std::istringstream fields(sLine.substr(nClose + 2));
    std::string sField;
    // Field 22 (starttime) is the 20th after the name.
    for (int i = 0; i < 20 && fields >> sField; ++i) {
    }
    const long nTicks = sysconf(_SC_CLK_TCK);
    timespec now{};
    if (sField.empty() || nTicks <= 0 || clock_gettime(CLOCK_BOOTTIME, &now) != 0)
        return -1;
    const double dStart = std::strtod(sField.c_str(), nullptr) / static_cast<double>(nTicks);
    const double dNow = static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
    return static_cast<long long>((dNow - dStart) * 1000.0);
}

} // namespace

CKvtStartupProbe::CKvtStartupProbe(QTreeView* pTree, const QElapsedTimer& sinceMain)
    : QObject(pTree), m_pTree(pTree), m_SinceMain(sinceMain), m_bExpand(false), m_nStage(0)
{
    if (!IsRequested())
        return;
    m_bExpand = std::strcmp(std::getenv("KVTEDITOR_STARTUP_TIMING"), "expand") == 0;
    pTree->viewport()->installEventFilter(this);
}

bool CKvtStartupProbe::IsRequested()
{
    const char* pValue = std::getenv("KVTEDITOR_STARTUP_TIMING");
    return pValue && pValue[0] != '\0';
}

void CKvtStartupProbe::Report(const char* pWhat)
{
    std::fprintf(stderr, "kvteditor: %s %lld ms after process start (%lld ms after main)\n", pWhat,
                 MillisecondsSinceProcessStart(), static_cast<long long>(m_SinceMain.elapsed()));
}

bool CKvtStartupProbe::eventFilter(QObject* pWatched, QEvent* pEvent)
{
    if (pEvent->type() != QEvent::Paint || m_nStage == 2)
        return QObject::eventFilter(pWatched, pEvent);
    const QModelIndex root = m_pTree->model()->index(0, 0);
    if (m_nStage == 0) {
        Report("tree painted");
        if (m_bExpand && root.isValid()) {
            m_nStage = 1;
            m_SinceExpand.start();
            // After this paint, as a click on the root's expander would.
            QMetaObject::invokeMethod(
                m_pTree, [this, root]() { m_pTree->expand(root); }, Qt::QueuedConnection);
            return QObject::eventFilter(pWatched, pEvent);
        }
    } else if (m_pTree->model()->rowCount(root) == 0) {
        return QObject::eventFilter(pWatched, pEvent);
    } else {
        Report("root's children painted");
        std::fprintf(stderr, "kvteditor: expanding the root took %lld ms\n",
                     static_cast<long long>(m_SinceExpand.elapsed()));
    }
    m_nStage = 2;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), []() { QCoreApplication::exit(0); }, Qt::QueuedConnection);
    return QObject::eventFilter(pWatched, pEvent);
}
