#pragma once
// Watches the progress dialogs of open, save, export and Find All: counts
// those that show and presses a dialog's Cancel button once its bar reaches
// a given value (in thousandths of the work; negative: never).

#include <QObject>
#include <set>

class CProgressCancelWatch : public QObject {
public:
    explicit CProgressCancelWatch(int nPermille);
    ~CProgressCancelWatch() override;
    CProgressCancelWatch(const CProgressCancelWatch&) = delete;
    CProgressCancelWatch& operator=(const CProgressCancelWatch&) = delete;

    int Shown() const { return static_cast<int>(m_Shown.size()); }
    // The bar's value when Cancel was pressed; -1 when it was not.
    int PressedAt() const { return m_nPressedAt; }

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

private:
    int m_nPermille;
    std::set<QObject*> m_Shown;
    int m_nPressedAt = -1;
};
