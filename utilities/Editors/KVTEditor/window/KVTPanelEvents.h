#pragma once
// The edit panel's control events, mapped onto the panel's and the
// localized-string page's handlers: focus
// entering and leaving a box, Enter in the value, label and StrRef boxes,
// keys in the language list. Qt delivers the old control's focus-out before
// the new control's focus-in, and a push button takes the focus on press,
// before it reports the click, so the old control's exit always runs first.
//
// Focus that moves to a popup (a menu, a list's drop-down), to another window
// (a message box) or away from the application is no exit: the user has not
// left the control, and applying then would run in the middle of whatever
// opened the popup or the box.

#include <QObject>
#include <map>

class CKvtEditPanel;
class CKvtLocStringPage;
class QEvent;
class QWidget;

class CKvtPanelEvents : public QObject {
public:
    // What a control does on its events.
    enum class TRole {
        Value,      // the value memo: exit applies, Enter applies first
        Label,      // the label box: enter/exit shared, Enter applies
        Property,   // the type and index boxes: enter/exit shared
        StrRef,     // the StrRef box: enter/exit shared, Enter applies
        LanguageID, // the language list: enter/exit shared, keys, Enter adds
        Shared,     // the gender list and the language text: enter/exit shared
        Button,     // Add and Delete: exit applies
    };

    CKvtPanelEvents(CKvtEditPanel& editPanel, CKvtLocStringPage& locStringPage);
    // Starts watching the control.
    void Watch(QWidget* pControl, TRole nRole);

    // Focus changes that count as entering or leaving a control.
    static bool IsUserFocusChange(const QEvent* pEvent);
    // Whether one of the controls whose focus holds back the localized-string
    // page's display (all but the value memo and the buttons) has the focus,
    // or is being left right now. Asked of the focus itself each time: focus
    // events that never come (a box, a missing window manager) cannot leave
    // a stale state behind.
    bool HasEditingFocus() const;

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

private:
    void FocusOut(const QObject* pControl, TRole nRole);
    bool IsEditingControl(const QObject* pControl) const;
    // True when the key is consumed.
    bool KeyPress(TRole nRole, int nKey);

    CKvtEditPanel& m_EditPanel;
    CKvtLocStringPage& m_LocStringPage;
    std::map<const QObject*, TRole> m_Roles;
    // The control whose exit handlers are running.
    const QObject* m_pLeaving = nullptr;
};
