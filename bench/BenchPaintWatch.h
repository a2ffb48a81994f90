#pragma once
// Notes the paint events of a widget, so a measurement can stop the clock
// when the user would first see the result.

#include <QEvent>
#include <QObject>

class CBenchPaintWatch : public QObject {
public:
    explicit CBenchPaintWatch(QObject* pParent) : QObject(pParent) {}

    void Reset() { m_bPainted = false; }
    bool Painted() const { return m_bPainted; }

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override
    {
        if (pEvent->type() == QEvent::Paint)
            m_bPainted = true;
        return QObject::eventFilter(pWatched, pEvent);
    }

private:
    bool m_bPainted = false;
};
