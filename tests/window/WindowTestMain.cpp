// The window tests: one Qt Test class per area, run in turn on the offscreen
// platform with the base objects the editor's entry creates.

#include <QApplication>
#include <clocale>
#include <cstring>
#include <vector>

#include "WindowTestSupport.h"
#include "orobase.h"
#include "ororeportrecorder.h"
#include "ororesman.h"

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    // Closing a test's window must not end anything.
    application.setQuitOnLastWindowClosed(false);
    std::setlocale(LC_NUMERIC, "C");

    // Warnings of the document model are answered with Ignore and kept.
    COroReportRecorder recorder;
    g_pOroBase = new COroBase;
    g_pOroResMan = new COroResMan;

    // "window_tests CLASS [Qt Test options]" runs one class only; the options
    // (test function names among them) then apply to that class.
    const struct {
        const char* pName;
        int (*pRun)(int, char**);
    } classes[] = {{"DocumentLifecycleTest", RunDocumentLifecycleTests},
                   {"RecentFilesMenuTest", RunRecentFilesMenuTests},
                   {"TreeViewTest", RunTreeViewTests},
                   {"LayoutTest", RunLayoutTests},
                   {"ReportHandlerTest", RunReportHandlerTests},
                   {"EditPanelTest", RunEditPanelTests},
                   {"LocStringPageTest", RunLocStringPageTests},
                   {"NodeCommandsTest", RunNodeCommandsTests},
                   {"SaveFaultWindowTest", RunSaveFaultWindowTests}};
    const char* pOnly = nullptr;
    for (const auto& testClass : classes) {
        if (argc > 1 && std::strcmp(argv[1], testClass.pName) == 0)
            pOnly = testClass.pName;
    }
    std::vector<char*> arguments(argv, argv + argc);
    if (pOnly)
        arguments.erase(arguments.begin() + 1);
    int nFailures = 0;
    for (const auto& testClass : classes) {
        if (!pOnly || std::strcmp(pOnly, testClass.pName) == 0)
            nFailures += testClass.pRun(static_cast<int>(arguments.size()), arguments.data());
    }

    delete g_pOroResMan;
    g_pOroResMan = nullptr;
    delete g_pOroBase;
    g_pOroBase = nullptr;
    return nFailures == 0 ? 0 : 1;
}
