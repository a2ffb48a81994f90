#include "WindowTestProcess.h"

#include <clocale>

#include "orobase.h"
#include "ororesman.h"

CWindowTestProcess::CWindowTestProcess(int& argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    m_pApplication = std::make_unique<QApplication>(argc, argv);
    // Closing a test's window must not end anything.
    m_pApplication->setQuitOnLastWindowClosed(false);
    std::setlocale(LC_NUMERIC, "C");
    m_pRecorder = std::make_unique<COroReportRecorder>();
    g_pOroBase = new COroBase;
    g_pOroResMan = new COroResMan;
}

CWindowTestProcess::~CWindowTestProcess()
{
    delete g_pOroResMan;
    g_pOroResMan = nullptr;
    delete g_pOroBase;
    g_pOroBase = nullptr;
}
