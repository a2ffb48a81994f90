#include "ProgressCancelWatch.h"

#include <QApplication>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>

CProgressCancelWatch::CProgressCancelWatch(int nPermille) : m_nPermille(nPermille)
{
    qApp->installEventFilter(this);
}

CProgressCancelWatch::~CProgressCancelWatch()
{
    qApp->removeEventFilter(this);
}

bool CProgressCancelWatch::eventFilter(QObject* pWatched, QEvent* pEvent)
{
    auto* pDialog = qobject_cast<QProgressDialog*>(pWatched);
    if (pDialog && pEvent->type() == QEvent::Show && m_Shown.insert(pDialog).second) {
        QProgressBar* pBar = pDialog->findChild<QProgressBar*>();
        QPushButton* pCancel = pDialog->findChild<QPushButton*>();
        if (m_nPermille >= 0 && pBar && pCancel) {
            connect(pBar, &QProgressBar::valueChanged, pCancel, [this, pCancel](int nValue) {
                if (m_nPressedAt < 0 && nValue >= m_nPermille) {
                    m_nPressedAt = nValue;
                    pCancel->click();
                }
            });
        }
    }
    return QObject::eventFilter(pWatched, pEvent);
}
