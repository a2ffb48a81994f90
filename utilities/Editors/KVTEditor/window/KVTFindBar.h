#pragma once
// The find bar above the tree: the text to find, what to search and how,
// the reason a text is not a valid expression, and the buttons. Enter finds
// the next hit, Shift+Enter the previous one, Escape closes the bar (F3 and
// Shift+F3 are the window's actions, so they work from the tree too).

#include <QWidget>

#include "KVTNodeMatcher.h"

class QCheckBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QToolButton;

class CKvtFindBar : public QWidget {
    Q_OBJECT
public:
    explicit CKvtFindBar(QWidget* pParent = nullptr);

    QString Text() const;
    KvtFindOptions_st Options() const;
    // Shows the bar with the focus in its text box, the text selected.
    void Open();
    // Shows why the text finds nothing (empty: no reason shown).
    void SetError(const QString& sError);

signals:
    void FindRequested(bool bBackward);
    void FindAllRequested();
    // The text or an option changed: a new expression may need checking.
    void SearchChanged();
    void Closed();

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;
    // Escape anywhere in the bar (a check box, a button) closes it too.
    void keyPressEvent(QKeyEvent* pEvent) override;
    // A new palette (a dark theme) needs another red for the message.
    void changeEvent(QEvent* pEvent) override;

private:
    void ColourErrorText();
    QCheckBox* NewCheck(const char* pName, const char* pText, bool bChecked);
    QToolButton* NewButton(const char* pName, const char* pText);

    QLineEdit* eFindText;
    QCheckBox* cbFindLabels;
    QCheckBox* cbFindValues;
    QCheckBox* cbFindTypes;
    QCheckBox* cbMatchCase;
    QCheckBox* cbWholeWord;
    QCheckBox* cbRegularExpression;
    QLabel* lFindError = nullptr;
};
