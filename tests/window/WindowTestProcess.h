#pragma once
// What every window test program sets up around its one Qt Test class: the
// offscreen platform (unless QT_QPA_PLATFORM names another), the application
// and the base objects the editor's entry creates.

#include <QApplication>
#include <QTest>
#include <memory>

#include "ororeportrecorder.h"

class CWindowTestProcess {
public:
    CWindowTestProcess(int& argc, char** argv);
    ~CWindowTestProcess();
    CWindowTestProcess(const CWindowTestProcess&) = delete;
    CWindowTestProcess& operator=(const CWindowTestProcess&) = delete;

private:
    std::unique_ptr<QApplication> m_pApplication;
    // Warnings of the document model are answered with Ignore and kept.
    std::unique_ptr<COroReportRecorder> m_pRecorder;
};

// The main of a window test program, in place of QTEST_MAIN.
#define KVT_WINDOW_TEST_MAIN(TestClass)                                                                                \
    int main(int argc, char** argv)                                                                                    \
    {                                                                                                                  \
        CWindowTestProcess process(argc, argv);                                                                        \
        TestClass test;                                                                                                \
        return QTest::qExec(&test, argc, argv);                                                                        \
    }
