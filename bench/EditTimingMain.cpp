// Times the node commands and one panel edit in the real window
// on a document of a million nodes, to check that each stays responsive.
// Usage: QT_QPA_PLATFORM=offscreen kvt_edit_timing
//
// Document A holds Sub (100 structs of 999 DWORD fields: 100,001 nodes) and
// Ten (a struct of 9 fields: 10 nodes). Document B holds 1,000 structs of
// 1,000 DWORD fields (1,001,001 nodes). Each subtree is copied in A, B is
// opened (the clipboard survives), the copy is pasted and deleted again.
// Every figure includes the tree view's update and repaint.

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTreeView>
#include <clocale>
#include <cstdio>
#include <functional>
#include <string>

#include "KVTTreeModel.h"
#include "WindowTestSupport.h"
#include "orobase.h"
#include "ororeportrecorder.h"
#include "ororesman.h"

namespace {

void AddDwords(CKvtNodeStruct* pParent, int nCount)
{
    char label[16];
    for (int i = 0; i < nCount; ++i) {
        std::snprintf(label, sizeof label, "F%04d", i);
        AddNode(pParent, ftDWORD, label, "7");
    }
}

bool WriteSource(const std::string& sPath)
{
    return WriteDocument(sPath, [](CKvtNodeTopLevelStruct& root) {
        CKvtNodeStruct* pSub = AddNode(&root, ftSTRUCT, "Sub")->GetStructNode();
        char label[16];
        for (int s = 0; s < 100; ++s) {
            std::snprintf(label, sizeof label, "P%03d", s);
            AddDwords(AddNode(pSub, ftSTRUCT, label)->GetStructNode(), 999);
        }
        AddDwords(AddNode(&root, ftSTRUCT, "Ten")->GetStructNode(), 9);
    });
}

bool WriteMillion(const std::string& sPath)
{
    return WriteDocument(sPath, [](CKvtNodeTopLevelStruct& root) {
        char label[16];
        for (int s = 0; s < 1000; ++s) {
            std::snprintf(label, sizeof label, "S%04d", s);
            AddDwords(AddNode(&root, ftSTRUCT, label)->GetStructNode(), 1000);
        }
    });
}

// Runs the step, lets the view catch up and paints it; milliseconds taken.
double Timed(TfrmMain& window, const std::function<void()>& step)
{
    QTreeView* pTree = window.findChild<QTreeView*>(QStringLiteral("tvKVT"));
    QElapsedTimer timer;
    timer.start();
    step();
    QCoreApplication::processEvents();
    pTree->viewport()->repaint();
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

QModelIndex Child(TfrmMain& window, const QModelIndex& parent, const char* pLabel)
{
    CKvtNodeStruct* pParent = window.TreeModel().NodeAt(parent)->GetStructNode();
    for (int32_t i = 0; i < pParent->GetChildCount(); ++i) {
        if (pParent->GetChild(i)->m_sLabel == pLabel)
            return window.TreeModel().FindChildItem(parent, pParent->GetChild(i));
    }
    return QModelIndex();
}

void Report(const char* pStep, double fMilliseconds)
{
    std::printf("%-58s %10.1f ms\n", pStep, fMilliseconds);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    COroReportRecorder recorder;
    g_pOroBase = new COroBase;
    g_pOroResMan = new COroResMan;
    int nExit = 0;
    {
        CWindowHarness harness;
        TfrmMain& window = harness.Start();
        const std::string sSource = harness.Dir().File("source.kvt");
        const std::string sMillion = harness.Dir().File("million.kvt");
        if (!WriteSource(sSource) || !WriteMillion(sMillion)) {
            std::fprintf(stderr, "kvt_edit_timing: could not write the documents\n");
            nExit = 1;
        } else {
            CKvtTreeModel& model = window.TreeModel();
            QAction* pCopy = harness.Action("actNodeCopy");
            QAction* pPaste = harness.Action("actNodePaste");
            QAction* pDelete = harness.Action("actNodeDelete");
            QTreeView* pTree = window.findChild<QTreeView*>(QStringLiteral("tvKVT"));

            for (const char* pSubtree : {"Ten", "Sub"}) {
                window.OpenFile(sSource.c_str());
                window.SelectItem(Child(window, model.RootIndex(), pSubtree));
                const double fCopy = Timed(window, [&]() { pCopy->trigger(); });
                const double fOpen = Timed(window, [&]() { window.OpenFile(sMillion.c_str()); });
                std::printf("subtree %s: %lld nodes; document: %lld nodes\n", pSubtree,
                            static_cast<long long>(CountNodes(window.ClipboardNode())),
                            static_cast<long long>(CountNodes(window.RootNode())));
                Report("copy the subtree (in the source document)", fCopy);
                Report("open the million-node document", fOpen);
                // The root open, as a user sees the structs before pasting.
                pTree->expand(model.RootIndex());
                window.SelectItem(model.RootIndex());
                QCoreApplication::processEvents();
                Report("paste into the root", Timed(window, [&]() { pPaste->trigger(); }));
                const QModelIndex s500 = Child(window, model.RootIndex(), "S0500");
                window.SelectItem(s500);
                pTree->expand(s500);
                QCoreApplication::processEvents();
                Report("paste into S0500 (1,000 children, open)", Timed(window, [&]() { pPaste->trigger(); }));
                const QModelIndex pasted = model.index(model.rowCount(s500) - 1, 0, s500);
                window.SelectItem(pasted);
                Report("delete the copy pasted into S0500", Timed(window, [&]() { pDelete->trigger(); }));
                const QModelIndex pastedInRoot =
                    model.index(model.rowCount(model.RootIndex()) - 1, 0, model.RootIndex());
                window.SelectItem(pastedInRoot);
                Report("delete the copy pasted into the root", Timed(window, [&]() { pDelete->trigger(); }));
                std::printf("document after the deletes: %lld nodes\n\n",
                            static_cast<long long>(CountNodes(window.RootNode())));
            }

            // One edit and one add in the million-node document.
            const QModelIndex s700 = Child(window, model.RootIndex(), "S0700");
            const QModelIndex field = Child(window, s700, "F0500");
            window.SelectItem(field);
            auto* pValue = window.findChild<QPlainTextEdit*>(QStringLiteral("eValue"));
            pValue->setPlainText(QStringLiteral("123"));
            Report("apply an edited value (S0700/F0500)", Timed(window, [&]() { window.SetDataFromEdits(); }));
            window.SelectItem(s700);
            QAction* pAddInt = window.findChild<QAction*>(QStringLiteral("Add5"));
            Report("add an INT to S0700", Timed(window, [&]() { pAddInt->trigger(); }));
            Report("move the selection to the root", Timed(window, [&]() { window.SelectItem(model.RootIndex()); }));
            QAction* pAddStruct = window.findChild<QAction*>(QStringLiteral("Add15"));
            Report("add a struct to the root (1,000 children)", Timed(window, [&]() { pAddStruct->trigger(); }));
        }
        // Nothing is saved: the window closes without asking.
        harness.Stop();
    }
    delete g_pOroResMan;
    g_pOroResMan = nullptr;
    delete g_pOroBase;
    g_pOroBase = nullptr;
    return nExit;
}
