// The window's report handler: warnings and assertions of the lower layers
// as boxes with their designed captions, icons and buttons; Abort and
// assertions end the process; BCAssert shuts the application down in order.

#include <QEventLoop>
#include <QTest>
#include <QTimer>
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

#include "Bcdebug.h"
#include "KVTQtReportHandler.h"
#include "WindowTestProcess.h"
#include "WindowTestSupport.h"
#include "bcglobal.h"
#include "orobase.h"

namespace {

// Installs a handler for the lifetime of the object.
class CScopedHandler {
public:
    explicit CScopedHandler(IOroReportHandler* pHandler) : m_pPrevious(SetOroReportHandler(pHandler)) {}
    ~CScopedHandler() { SetOroReportHandler(m_pPrevious); }
    CScopedHandler(const CScopedHandler&) = delete;
    CScopedHandler& operator=(const CScopedHandler&) = delete;

private:
    IOroReportHandler* m_pPrevious;
};

// Runs body in a child process; the signal that ended it, or 0.
int SignalOfChild(const std::function<void()>& body)
{
    const pid_t pid = fork();
    if (pid == 0) {
        // The test framework reports crashes of the test program itself;
        // the child's abort is the expected outcome, so it ends plainly.
        std::signal(SIGABRT, SIG_DFL);
        body();
        _exit(0);
    }
    int nStatus = 0;
    if (pid < 0 || waitpid(pid, &nStatus, 0) != pid)
        return -1;
    return WIFSIGNALED(nStatus) ? WTERMSIG(nStatus) : 0;
}

} // namespace

class ReportHandlerTest : public QObject {
    Q_OBJECT
private slots:
    void warningShowsAbortRetryIgnore();
    void assertShowsTheStopBox();
    void abortAndAssertEndTheProcess();
    void bcAssertShowsTheTitleAndShutsDown();
};

void ReportHandlerTest::warningShowsAbortRetryIgnore()
{
    CKvtScriptedDialogs dialogs;
    CKvtQtReportHandler handler(dialogs);
    CScopedHandler installed(&handler);
    dialogs.QueueAnswer(TKvtBoxAnswer::Ignore);
    dialogs.QueueAnswer(TKvtBoxAnswer::Retry);
    OroRaiseWarning("KVTTreeNodes", 17, "count cut");
    // Retry without a debugger carries on like Ignore.
    OroRaiseWarning("KVTTreeNodes", 18, nullptr);

    QCOMPARE(dialogs.Boxes().size(), size_t(2));
    const KvtMessageBox_st& box = dialogs.Boxes()[0];
    QCOMPARE(box.sTitle, std::string("Oro Warning"));
    QCOMPARE(box.nIcon, TKvtBoxIcon::Warning);
    QCOMPARE(box.nButtons, TKvtBoxButtons::AbortRetryIgnore);
    QVERIFY(box.bSystemModal);
    QVERIFY(box.sText.find("KVTTreeNodes") != std::string::npos);
    QVERIFY(box.sText.find("Programmer says: count cut") != std::string::npos);
    QVERIFY(dialogs.Boxes()[1].sText.find("18") != std::string::npos);
}

void ReportHandlerTest::assertShowsTheStopBox()
{
    CKvtScriptedDialogs dialogs;
    CKvtQtReportHandler handler(dialogs);
    const OroReport_st report{
        TOroReportKind::Assert,           "Oro Assert", "orodebug", 153, "Memory Allocation Failed!!!",
        "An Assertion failed in orodebug"};
    handler.Report(report);
    QCOMPARE(dialogs.Boxes().size(), size_t(1));
    const KvtMessageBox_st& box = dialogs.Boxes()[0];
    QCOMPARE(box.sTitle, std::string("Oro Assert"));
    QCOMPARE(box.nIcon, TKvtBoxIcon::Error);
    QCOMPARE(box.nButtons, TKvtBoxButtons::Ok);
    QVERIFY(box.bSystemModal);
    QCOMPARE(box.sText, std::string("An Assertion failed in orodebug"));
}

void ReportHandlerTest::abortAndAssertEndTheProcess()
{
    const int nAbort = SignalOfChild([]() {
        CKvtScriptedDialogs dialogs;
        dialogs.QueueAnswer(TKvtBoxAnswer::Abort);
        CKvtQtReportHandler handler(dialogs);
        SetOroReportHandler(&handler);
        OroRaiseWarning("KVTTreeNodes", 1, "abort me");
    });
    QCOMPARE(nAbort, SIGABRT);
    const int nAssert = SignalOfChild([]() {
        CKvtScriptedDialogs dialogs;
        CKvtQtReportHandler handler(dialogs);
        SetOroReportHandler(&handler);
        OroRaiseAssert("KVTTreeItem.cpp", 2, "pChild");
    });
    QCOMPARE(nAssert, SIGABRT);
}

void ReportHandlerTest::bcAssertShowsTheTitleAndShutsDown()
{
    CWindowHarness harness;
    harness.Start();
    CKvtQtReportHandler handler(harness.Dialogs());
    CScopedHandler installed(&handler);
    harness.Dialogs().QueueAnswer(TKvtBoxAnswer::Ok);

    BCAssert("KVTEditorMain.cpp", 294);
    QCOMPARE(harness.Dialogs().Boxes().size(), size_t(1));
    const KvtMessageBox_st& box = harness.Dialogs().Boxes()[0];
    QCOMPARE(box.sText, std::string("Assertion Failed: KVTEditorMain.cpp, Line: 294"));
    QCOMPARE(box.sTitle, std::string(g_sTitle.CStr()));
    QCOMPARE(box.nIcon, TKvtBoxIcon::None);
    QCOMPARE(box.nButtons, TKvtBoxButtons::Ok);
    QVERIFY(!box.bSystemModal);
    // A watchdog that dies with this test, so it cannot end a later test's loop.
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, []() { QCoreApplication::exit(1); });
    watchdog.start(5000);
    QCOMPARE(QCoreApplication::exec(), 0);
}

KVT_WINDOW_TEST_MAIN(ReportHandlerTest)

#include "ReportHandlerTest.moc"
