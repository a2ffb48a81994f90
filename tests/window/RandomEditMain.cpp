// The random editing runs: for each seed, a seeded document is opened in the
// window and driven by random commands, every check holding after each one.
//
// Usage: window_random_edits [--commands N] [--seeds S1,S2,...] [Qt Test options]

#include <QApplication>
#include <QObject>
#include <QTest>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "RandomEditSession.h"
#include "WindowTestSupport.h"
#include "orobase.h"
#include "ororeportrecorder.h"
#include "ororesman.h"

namespace {

int32_t g_nCommands = 1000;
std::vector<uint64_t> g_Seeds{1, 2};

COroReportRecorder* g_pReports = nullptr;

bool ParseSeeds(const char* pList)
{
    g_Seeds.clear();
    const std::string sList(pList);
    size_t nStart = 0;
    while (nStart <= sList.size()) {
        const size_t nEnd = std::min(sList.find(',', nStart), sList.size());
        const std::string sSeed = sList.substr(nStart, nEnd - nStart);
        char* pEnd = nullptr;
        const unsigned long long nSeed = std::strtoull(sSeed.c_str(), &pEnd, 10);
        if (sSeed.empty() || *pEnd != '\0')
            return false;
        g_Seeds.push_back(nSeed);
        nStart = nEnd + 1;
    }
    return !g_Seeds.empty();
}

std::string Summary(const RandomEditStats_st& stats)
{
    std::string sText;
    for (size_t i = 0; i < stats.commands.size(); ++i) {
        sText += std::string(RandomCommandName(static_cast<TRandomCommand>(i))) + " " +
                 std::to_string(stats.commands[i]) + ", ";
    }
    sText += "saves written " + std::to_string(stats.nSavesWritten) + ", refused " +
             std::to_string(stats.nSavesRefused) + ", cancelled " + std::to_string(stats.nSavesCancelled) +
             ", reopens " + std::to_string(stats.nReopens) +
             ", saves the format could not hold whole " + std::to_string(stats.nSavesWithLimits) +
             " (namesake fields " + std::to_string(stats.nNamesakeFields) + ", non-struct list elements " +
             std::to_string(stats.nNonStructElements) + ", versions replaced " +
             std::to_string(stats.nVersionsReplaced) + "), boxes " + std::to_string(stats.nBoxes) +
             ", largest document " + std::to_string(stats.nMaxNodes) + " nodes, steps undone " +
             std::to_string(stats.nStepsUndone) + " (at most " + std::to_string(stats.nMostStepsUndone) + " at once)";
    return sText;
}

} // namespace

class RandomEditingTest : public QObject {
    Q_OBJECT
private slots:
    void randomCommands_data()
    {
        QTest::addColumn<quint64>("seed");
        for (uint64_t nSeed : g_Seeds)
            QTest::newRow(("seed " + std::to_string(nSeed)).c_str()) << static_cast<quint64>(nSeed);
    }

    void randomCommands()
    {
        QFETCH(quint64, seed);
        CWindowHarness harness;
        harness.Start();
        CRandomEditSession session(seed, harness, *g_pReports);
        const std::string sFault = session.Run(g_nCommands);
        qInfo("seed %llu, %d commands: %s", static_cast<unsigned long long>(seed), g_nCommands,
              Summary(session.Stats()).c_str());
        QVERIFY2(sFault.empty(), sFault.c_str());
    }
};

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::vector<char*> arguments{argv[0]};
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--commands") == 0 && i + 1 < argc) {
            g_nCommands = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--seeds") == 0 && i + 1 < argc) {
            if (!ParseSeeds(argv[++i])) {
                std::fprintf(stderr, "window_random_edits: --seeds takes numbers separated by commas\n");
                return 2;
            }
        } else {
            arguments.push_back(argv[i]);
        }
    }
    // A full run takes longer than Qt Test's default limit per function;
    // CTest's own timeout still ends a run that hangs.
    if (qEnvironmentVariableIsEmpty("QTEST_FUNCTION_TIMEOUT"))
        qputenv("QTEST_FUNCTION_TIMEOUT", "7200000");
    QApplication application(argc, argv);
    application.setQuitOnLastWindowClosed(false);
    std::setlocale(LC_NUMERIC, "C");

    COroReportRecorder recorder;
    g_pReports = &recorder;
    g_pOroBase = new COroBase;
    g_pOroResMan = new COroResMan;
    RandomEditingTest test;
    const int nResult = QTest::qExec(&test, static_cast<int>(arguments.size()), arguments.data());
    delete g_pOroResMan;
    g_pOroResMan = nullptr;
    delete g_pOroBase;
    g_pOroBase = nullptr;
    return nResult;
}

#include "RandomEditMain.moc"
