#include "KVTWalkProgressDialog.h"

#include <QProgressDialog>
#include <QWidget>

#include "bcglobal.h"

namespace {

// The bar's steps: the dialog lets events through only when its value
// changes, so this also bounds the event processing of one walk.
constexpr int kSteps = 1000;

} // namespace

CKvtWalkProgressDialog::CKvtWalkProgressDialog(QWidget* pWindow, const QString& sLabel, int nDelay)
    : m_pWindow(pWindow), m_sLabel(sLabel), m_nDelay(nDelay), m_pPrevious(SetKvtWalkProgress(this)),
      m_bCancelled(false), m_bShown(false)
{
}

CKvtWalkProgressDialog::~CKvtWalkProgressDialog()
{
    SetKvtWalkProgress(m_pPrevious);
    // The window had handed the focus to the dialog: it takes it back, so
    // the panel's controls keep receiving their focus events.
    m_pDialog.reset();
    if (m_bShown && m_pWindow)
        m_pWindow->activateWindow();
}

bool CKvtWalkProgressDialog::WalkProgress(uint64_t nDone, uint64_t nTotal)
{
    if (m_bCancelled)
        return false;
    if (!m_pDialog) {
        m_pDialog = std::make_unique<QProgressDialog>(m_sLabel, QStringLiteral("Cancel"), 0, kSteps, m_pWindow);
        m_pDialog->setObjectName(QStringLiteral("dlgWalkProgress"));
        m_pDialog->setWindowTitle(QString::fromLatin1(g_sTitle.CStr()));
        // Room for the whole title beside the window manager's buttons.
        m_pDialog->setMinimumWidth(m_pDialog->fontMetrics().horizontalAdvance(m_pDialog->windowTitle()) + 160);
        m_pDialog->setWindowModality(Qt::WindowModal);
        m_pDialog->setMinimumDuration(m_nDelay);
        m_pDialog->setAutoReset(false);
        m_pDialog->setAutoClose(false);
        m_pDialog->setValue(0);
    }
    const uint64_t nStep = nTotal == 0 ? 0 : nDone * kSteps / nTotal;
    // Never the maximum while the walk goes on: the bar stays open until the
    // dialog is destroyed.
    m_pDialog->setValue(static_cast<int>(nStep < kSteps ? nStep : kSteps - 1));
    m_bShown = m_bShown || m_pDialog->isVisible();
    if (m_pDialog->wasCanceled())
        m_bCancelled = true;
    return !m_bCancelled;
}
