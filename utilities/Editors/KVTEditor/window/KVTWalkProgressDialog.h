#pragma once
// The progress of one long walk (open, save, export) in a QProgressDialog
// with Cancel. The walk runs on the window's thread; the dialog is window
// modal, so each step of its bar lets the window repaint and the Cancel
// button be pressed, while the document cannot be touched meanwhile. The
// dialog appears only when the walk runs longer than its minimum duration.

#include <QString>
#include <memory>

#include "KVTWalkProgress.h"

class QProgressDialog;
class QWidget;

class CKvtWalkProgressDialog : public IKvtWalkProgress {
public:
    // The delay before the dialog shows, in milliseconds.
    static constexpr int kDefaultDelay = 500;

    // Observes every walk until destroyed.
    CKvtWalkProgressDialog(QWidget* pWindow, const QString& sLabel, int nDelay = kDefaultDelay);
    ~CKvtWalkProgressDialog() override;
    CKvtWalkProgressDialog(const CKvtWalkProgressDialog&) = delete;
    CKvtWalkProgressDialog& operator=(const CKvtWalkProgressDialog&) = delete;

    bool WalkProgress(uint64_t nDone, uint64_t nTotal) override;
    // Whether the user cancelled and a walk was told to stop.
    bool WasCancelled() const { return m_bCancelled; }

private:
    QWidget* m_pWindow;
    QString m_sLabel;
    int m_nDelay;
    IKvtWalkProgress* m_pPrevious;
    // Made at the first report: a short walk makes none.
    std::unique_ptr<QProgressDialog> m_pDialog;
    bool m_bCancelled;
    bool m_bShown;
};
