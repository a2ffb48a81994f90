// The editor's program entry: the base objects, the application object and
// the main window, the file named on the command line, the message loop, and
// the clean-up in the designed order.

#include <QApplication>
#include <QElapsedTimer>
#include <QTreeView>
#include <clocale>

#include "KVTApplicationIcon.h"
#include "KVTCommandLine.h"
#include "KVTEditorMain.h"
#include "KVTQtDialogs.h"
#include "KVTQtReportHandler.h"
#include "KVTStartupProbe.h"
#include "orobase.h"
#include "ororesman.h"

int main(int argc, char** argv)
{
    QElapsedTimer sinceMain;
    sinceMain.start();
    // Taken before the application object removes the options it knows, so
    // every argument counts as part of the file name.
    const COroString sCommandLine = JoinCommandLine(argc, argv);

    g_pOroBase = new COroBase;
    g_pOroResMan = new COroResMan;

    int nExitCode = 0;
    {
        QApplication application(argc, argv);
        // Values are shown and parsed with the C conventions, exactly as the
        // command-line tool shows them, whatever the user's locale.
        std::setlocale(LC_NUMERIC, "C");
        // The desktop matches the window to its entry (kvteditor.desktop).
        QGuiApplication::setDesktopFileName(QStringLiteral("kvteditor"));
        QApplication::setWindowIcon(KvtApplicationIcon());

        CKvtQtDialogs dialogs;
        CKvtQtReportHandler reportHandler(dialogs);
        IOroReportHandler* pPreviousHandler = SetOroReportHandler(&reportHandler);

        auto* pWindow = new TfrmMain(dialogs);
        if (auto* pTree = pWindow->findChild<QTreeView*>(QStringLiteral("tvKVT")))
            new CKvtStartupProbe(pTree, sinceMain);
        if (sCommandLine.GetLength() > 0)
            pWindow->OpenFile(CommandLineFileName(sCommandLine));
        pWindow->show();

        nExitCode = application.exec();

        delete g_pOroResMan;
        g_pOroResMan = nullptr;
        delete g_pOroBase;
        g_pOroBase = nullptr;
        // The window goes last: its destructor frees the document and saves
        // the settings, and needs neither base object.
        delete pWindow;
        SetOroReportHandler(pPreviousHandler);
    }
    return nExitCode;
}
