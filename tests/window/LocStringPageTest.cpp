// The localized-string page driven through its real controls: the language
// list, typing a number and Enter, the text memo, Add and Delete, and the
// order of focus events between them.

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include "PanelTestSupport.h"
#include "WindowTestProcess.h"
#include "WindowTestSupport.h"

namespace {

CKvtNodeBase* AddLocString(CKvtNodeStruct* pParent, const char* pLabel, const char* pStrRef)
{
    return AddNode(pParent, ftLOCSTRING, pLabel, pStrRef);
}

void AddEntry(CKvtNodeBase* pNode, int32_t nLanguage, const char* pText, uint8_t nGender)
{
    static_cast<CKvtNodeLOCSTRING*>(pNode)->m_Value.AddString(nLanguage, pText, nGender);
}

bool WriteLocStringDocument(const std::string& sPath)
{
    return WriteDocument(sPath, [](CKvtNodeTopLevelStruct& root) {
        AddNode(&root, ftBYTE, "Flag", "1");
        CKvtNodeBase* pTitle = AddLocString(&root, "Title", "12");
        AddEntry(pTitle, 0, "Hello", 0);
        AddEntry(pTitle, 2, "Hallo", 0);
        AddEntry(AddLocString(&root, "Single", "-1"), 2, "only", 0);
        AddLocString(&root, "Empty", "0xFFFFFFFF");
        CKvtNodeBase* pGenders = AddLocString(&root, "Genders", "5");
        AddEntry(pGenders, 0, "zero", 0);
        AddEntry(pGenders, 2, "two", 0);
        AddEntry(pGenders, 1, "one-m", 0);
        AddEntry(pGenders, 1, "one-f", 1);
        AddEntry(AddLocString(&root, "Fem", "7"), 5, "fem", 1);
        CKvtNodeBase* pMany = AddLocString(&root, "Many", "8");
        AddEntry(pMany, 2, "b", 0);
        AddEntry(pMany, 10, "j", 0);
        AddEntry(pMany, 1, "a", 0);
    });
}

class CLocFixture {
public:
    CLocFixture() : m_Window(m_Harness.Start())
    {
        const std::string sPath = m_Harness.Dir().File("loc.kvt");
        m_bReady = ActivateWindow(m_Window) && WriteLocStringDocument(sPath) && m_Window.OpenFile(sPath.c_str());
        m_pList = Control<QComboBox>(m_Window, "cbLangIDs");
        m_pMemo = Control<QPlainTextEdit>(m_Window, "mOroLocStringValue");
    }
    bool Ready() const { return m_bReady; }
    TfrmMain& Window() { return m_Window; }
    CKvtScriptedDialogs& Dialogs() { return m_Harness.Dialogs(); }
    CKvtNodeBase* Node(const char* pPath) { return NodeAtPath(m_Window.RootNode(), pPath); }
    void Select(const char* pPath) { ClickItem(m_Window, Node(pPath)); }
    QComboBox* List() { return m_pList; }
    QPlainTextEdit* Memo() { return m_pMemo; }
    QString Text() const { return MemoShows(m_pMemo); }
    QStringList Items() const { return ListItems(m_pList); }
    QString Chosen() const { return m_pList->currentText(); }

private:
    CWindowHarness m_Harness;
    TfrmMain& m_Window;
    bool m_bReady = false;
    QComboBox* m_pList = nullptr;
    QPlainTextEdit* m_pMemo = nullptr;
};

} // namespace

class LocStringPageTest : public QObject {
    Q_OBJECT
private slots:
    void pageListsTheEntriesInTextOrder();
    void typingANumberAndEnterAddsALanguage();
    void clearingTheTextRemovesTheLanguage();
    void textThatIsNoNumberAddsLanguageZero();
    void negativeLanguageIsListedButNotStored();
    void deletingTheOnlyLanguage();
    void choosingALanguageShowsItsText();
    void strRefAppliesOnEnter();
    void exitRunsBeforeEnterAndBeforeClick();
    void leavingTheNodeStoresTheChosenLanguage();
    void previewCaptionFollowsTheEntries();
    void redisplayWithTheFocusInTheMemoStoresNothing();
};

void LocStringPageTest::pageListsTheEntriesInTextOrder()
{
    CLocFixture f;
    QVERIFY(f.Ready());
    QTabWidget* pPages = Control<QTabWidget>(f.Window(), "pcDataPage");
    QLineEdit* pStrRef = Control<QLineEdit>(f.Window(), "eStrRef");

    f.Select("Title");
    QCOMPARE(pPages->currentWidget()->objectName(), QStringLiteral("tsLocStringTab"));
    QVERIFY(!pPages->isTabVisible(0) && pPages->isTabVisible(1) && !pPages->isTabVisible(2));
    QCOMPARE(pStrRef->text(), QStringLiteral("12"));
    QCOMPARE(f.Items(), (QStringList{"0", "2"}));
    QCOMPARE(f.Chosen(), QStringLiteral("0"));
    QCOMPARE(f.Text(), QStringLiteral("Hello"));
    QVERIFY(f.Memo()->isEnabled());

    // No entries: StrRef -1, nothing listed, an empty memo that is disabled.
    f.Select("Empty");
    QCOMPARE(pStrRef->text(), QStringLiteral("-1"));
    QVERIFY(f.Items().isEmpty());
    QCOMPARE(f.Chosen(), QString());
    QCOMPARE(f.Text(), QString());
    QVERIFY(!f.Memo()->isEnabled());
    QCOMPARE(f.Memo()->palette().color(QPalette::Base), f.Memo()->palette().color(QPalette::Button));

    // One item per entry: a language in both genders shows twice.
    f.Select("Genders");
    QCOMPARE(f.Items(), (QStringList{"0", "1", "1", "2"}));
    QCOMPARE(f.Text(), QStringLiteral("zero"));
    QVERIFY(f.Memo()->isEnabled());
    // Text order: 10 before 2.
    f.Select("Many");
    QCOMPARE(f.Items(), (QStringList{"1", "10", "2"}));
    QCOMPARE(f.Text(), QStringLiteral("a"));
    QCOMPARE(EntryLanguages(f.Node("Many")), (QStringList{"2", "10", "1"}));
}

void LocStringPageTest::typingANumberAndEnterAddsALanguage()
{
    CLocFixture f;
    QVERIFY(f.Ready());
    CKvtNodeBase* pTitle = f.Node("Title");
    f.Select("Title");
    TypeInto(f.List(), QStringLiteral("3"));
    // Display waits while the number is typed.
    QCOMPARE(f.Text(), QStringLiteral("Hello"));
    QVERIFY(f.Window().IsLocStrEditing());
    PressEnter(f.List());
    QCOMPARE(f.Items(), (QStringList{"0", "2", "3"}));
    QCOMPARE(f.Chosen(), QStringLiteral("3"));
    QVERIFY(f.Memo()->hasFocus());
    QVERIFY(f.Memo()->isEnabled());
    // The list lost the focus to the memo: its text went under language 3.
    QCOMPARE(EntryText(pTitle, 3), QStringLiteral("Hello"));
    QVERIFY(f.Window().IsModified());

    TypeInto(f.Memo(), QStringLiteral("Bonjour"));
    f.Select("Flag");
    QCOMPARE(EntryText(pTitle, 3), QStringLiteral("Bonjour"));
    QCOMPARE(EntryText(pTitle, 0), QStringLiteral("Hello"));
    QCOMPARE(EntryLanguages(pTitle), (QStringList{"0", "2", "3"}));
    f.Select("Title");
    QCOMPARE(f.Items(), (QStringList{"0", "2", "3"}));
    QVERIFY(f.Dialogs().Boxes().empty());

    // Enter on a language that is listed already adds nothing to the list.
    TypeInto(f.List(), QStringLiteral("2"));
    PressEnter(f.List());
    QCOMPARE(f.Items(), (QStringList{"0", "2", "3"}));
    QCOMPARE(EntryText(pTitle, 2), QStringLiteral("Hello"));
}

void LocStringPageTest::clearingTheTextRemovesTheLanguage()
{
    CLocFixture f;
    QVERIFY(f.Ready());
    CKvtNodeBase* pTitle = f.Node("Title");
    f.Select("Title");
    TypeInto(f.Memo(), QString());
    QCOMPARE(f.Text(), QString());
    f.Select("Flag");
    QCOMPARE(EntryLanguages(pTitle), QStringList{"2"});
    f.Select("Title");
    QCOMPARE(f.Items(), QStringList{"2"});
    QCOMPARE(f.Text(), QStringLiteral("Hallo"));
    QVERIFY(f.Window().IsModified());
}

void LocStringPageTest::textThatIsNoNumberAddsLanguageZero()
{
    CLocFixture f;
    QVERIFY(f.Ready());
    f.Select("Single");
    TypeInto(f.List(), QStringLiteral("abc"));
    PressEnter(f.List());
    QCOMPARE(f.Items(), (QStringList{"0", "2"}));
    QCOMPARE(f.Chosen(), QStringLiteral("0"));
    QVERIFY(f.Memo()->hasFocus());
    // The list lost the focus with language 0 chosen and the memo showing
    // language 2's text: that text is now language 0's too.
    QCOMPARE(EntryText(f.Node("Single"), 0), QStringLiteral("only"));
}

void LocStringPageTest::negativeLanguageIsListedButNotStored()
{
    CLocFixture f;
    QVERIFY(f.Ready());
    CKvtNodeBase* pSingle = f.Node("Single");
    f.Select("Single");
    TypeInto(f.List(), QStringLiteral("-5"));
    PressEnter(f.List());
    QVERIFY(f.Items().contains(QStringLiteral("-5")));
    QCOMPARE(f.Items().size(), 2);
    QCOMPARE(f.Chosen(), QStringLiteral("-5"));
    QVERIFY(f.Memo()->isEnabled());
    QVERIFY(f.Memo()->hasFocus());
    TypeInto(f.Memo(), QStringLiteral("negative"));
    f.Select("Flag");
    QCOMPARE(EntryLanguages(pSingle), QStringList{"2"});
    QCOMPARE(EntryText(pSingle, 2), QStringLiteral("only"));
    // Nothing was stored, so nothing changed.
    QVERIFY(!f.Window().IsModified());
}

void LocStringPageTest::deletingTheOnlyLanguage()
{
    CLocFixture f;
    QVERIFY(f.Ready());
    CKvtNodeBase* pSingle = f.Node("Single");
    QPushButton* pDelete = Control<QPushButton>(f.Window(), "bOroLocStringDelete");
    f.Select("Single");
    QCOMPARE(f.Items(), QStringList{"2"});
    // From the tree straight to the button: nothing stores on the way.
    QTest::mouseClick(pDelete, Qt::LeftButton);
    QVERIFY(pDelete->hasFocus());
    QCOMPARE(pSingle->GetPreviewText(), COroString("0 strings"));
    QVERIFY(f.Items().isEmpty());
    QCOMPARE(f.Text(), QString());
    QVERIFY(!f.Memo()->isEnabled());
    // The deleted language is a change like any other, and Undo brings it back.
    QVERIFY(f.Window().IsModified());
    f.Window().findChild<QAction*>("actEditUndo")->trigger();
    QCOMPARE(EntryLanguages(pSingle), QStringList{"2"});
    QVERIFY(!f.Window().IsModified());
    f.Select("Flag");
    QVERIFY(!f.Window().IsModified());

    // From the memo, the memo's exit stores first (the same text: no change).
    CKvtNodeBase* pTitle = f.Node("Title");
    f.Select("Title");
    ClickInto(f.Memo());
    QTest::mouseClick(pDelete, Qt::LeftButton);
    QCOMPARE(EntryLanguages(pTitle), QStringList{"2"});
    QCOMPARE(f.Items(), QStringList{"2"});
    QCOMPARE(f.Text(), QStringLiteral("Hallo"));
    QVERIFY(f.Window().IsModified());
}

void LocStringPageTest::choosingALanguageShowsItsText()
{
    CLocFixture f;
    QVERIFY(f.Ready());
    CKvtNodeBase* pGenders = f.Node("Genders");
    f.Select("Genders");
    ClickInto(f.List());
    QTest::keyClick(f.List(), Qt::Key_Down);
    QCOMPARE(f.Chosen(), QStringLiteral("1"));
    // The first entry of the language, whatever its gender.
    QCOMPARE(f.Text(), QStringLiteral("one-m"));
    QTest::keyClick(f.List(), Qt::Key_Down);
    QTest::keyClick(f.List(), Qt::Key_Down);
    QCOMPARE(f.Chosen(), QStringLiteral("2"));
    QCOMPARE(f.Text(), QStringLiteral("two"));
    QTest::keyClick(f.List(), Qt::Key_Up);
    QCOMPARE(f.Text(), QStringLiteral("one-m"));
    // Only looking at the languages stores nothing: both genders of 1 stay.
    f.Select("Flag");
    QCOMPARE(EntryLanguages(pGenders), (QStringList{"0", "2", "1", "1"}));
    QVERIFY(!f.Window().IsModified());

    // A language stored in gender 1 only is shown, and a typed text is
    // stored as gender 0.
    CKvtNodeBase* pFem = f.Node("Fem");
    f.Select("Fem");
    QCOMPARE(f.Items(), QStringList{"5"});
    QCOMPARE(f.Text(), QStringLiteral("fem"));
    TypeInto(f.Memo(), QStringLiteral("Fem"));
    f.Select("Flag");
    const COroLocString& value = static_cast<CKvtNodeLOCSTRING*>(pFem)->m_Value;
    QCOMPARE(value.GetStringCount(), 1);
    int32_t nLanguage = 0;
    COroString sText;
    uint8_t nGender = 9;
    QVERIFY(value.GetStringByIndex(0, nLanguage, sText, nGender));
    QCOMPARE(nLanguage, 5);
    QCOMPARE(nGender, uint8_t(0));
    QCOMPARE(sText, COroString("Fem"));
}

void LocStringPageTest::strRefAppliesOnEnter()
{
    CLocFixture f;
    QVERIFY(f.Ready());
    auto* pTitle = static_cast<CKvtNodeLOCSTRING*>(f.Node("Title"));
    QLineEdit* pStrRef = Control<QLineEdit>(f.Window(), "eStrRef");
    f.Select("Title");
    TypeInto(pStrRef, QStringLiteral("99"));
    PressEnter(pStrRef);
    QCOMPARE(pTitle->m_Value.StrRef, 99);
    QVERIFY(pStrRef->hasFocus());
    QCOMPARE(f.Dialogs().Beeps(), 0);
    QVERIFY(f.Window().IsModified());
    // Letters are no number: the StrRef becomes -1, and the panel beeps.
    TypeInto(pStrRef, QStringLiteral("abc"));
    PressEnter(pStrRef);
    QCOMPARE(pTitle->m_Value.StrRef, -1);
    QCOMPARE(pStrRef->text(), QStringLiteral("-1"));
    QCOMPARE(f.Dialogs().Beeps(), 1);
    // The entries are left alone.
    QCOMPARE(EntryLanguages(pTitle), (QStringList{"0", "2"}));
}

void LocStringPageTest::exitRunsBeforeEnterAndBeforeClick()
{
    CLocFixture f;
    QVERIFY(f.Ready());
    CKvtNodeBase* pTitle = f.Node("Title");
    f.Select("Title");
    // List to memo: the list's exit stores and ends the editing, then the
    // memo's enter starts it again.
    TypeInto(f.List(), QStringLiteral("3"));
    ClickInto(f.Memo());
    QVERIFY(f.Memo()->hasFocus());
    QVERIFY(f.Window().IsLocStrEditing());
    QCOMPARE(EntryText(pTitle, 3), QStringLiteral("Hello"));

    // Memo to the Delete button: the memo's exit stores its text under 3
    // before the click deletes language 3. Were the click first, the memo's
    // later exit would store its emptied text under language 0 and drop it.
    TypeInto(f.Memo(), QStringLiteral("Hi"));
    QTest::mouseClick(Control<QPushButton>(f.Window(), "bOroLocStringDelete"), Qt::LeftButton);
    QVERIFY(!f.Window().IsLocStrEditing());
    QCOMPARE(EntryLanguages(pTitle), (QStringList{"0", "2"}));
    QCOMPARE(EntryText(pTitle, 0), QStringLiteral("Hello"));
    QCOMPARE(f.Items(), (QStringList{"0", "2"}));
    QCOMPARE(f.Text(), QStringLiteral("Hello"));

    // Memo to the Add button: stored under the chosen language, then Add.
    TypeInto(f.Memo(), QStringLiteral("Hey"));
    TypeInto(f.List(), QStringLiteral("4"));
    QTest::mouseClick(Control<QPushButton>(f.Window(), "bOroLocStringAdd"), Qt::LeftButton);
    // The memo's exit stored Hey under 0; the list lost the focus to the
    // button with 4 typed, which stored Hey under 4; then Add, finding 4 not
    // listed, emptied that new entry and listed it.
    QCOMPARE(EntryText(pTitle, 0), QStringLiteral("Hey"));
    QCOMPARE(EntryText(pTitle, 4), QString());
    QCOMPARE(f.Items(), (QStringList{"0", "2", "4"}));
    QVERIFY(f.Memo()->hasFocus());
    // The memo keeps its text for the new language (the button's exit typed
    // nothing, so it applied and redisplayed nothing); leaving stores it.
    QCOMPARE(f.Text(), QStringLiteral("Hey"));
    QVERIFY(f.Memo()->isEnabled());
    ClickInto(f.List());
    QCOMPARE(EntryText(pTitle, 4), QStringLiteral("Hey"));
}

void LocStringPageTest::leavingTheNodeStoresTheChosenLanguage()
{
    CLocFixture f;
    QVERIFY(f.Ready());
    // Without a language there is nothing to store.
    f.Select("Empty");
    f.Select("Flag");
    QVERIFY(!f.Window().IsModified());
    // With one, leaving without typing stores nothing either; a typed text
    // is stored (replacing the entry, which then comes last).
    f.Select("Title");
    f.Select("Flag");
    QVERIFY(!f.Window().IsModified());
    QCOMPARE(EntryLanguages(f.Node("Title")), (QStringList{"0", "2"}));
    QCOMPARE(EntryText(f.Node("Title"), 0), QStringLiteral("Hello"));
    f.Select("Title");
    TypeInto(f.Memo(), QStringLiteral("Hi"));
    f.Select("Flag");
    QVERIFY(f.Window().IsModified());
    QCOMPARE(EntryLanguages(f.Node("Title")), (QStringList{"2", "0"}));
    QCOMPARE(EntryText(f.Node("Title"), 0), QStringLiteral("Hi"));

    // Add empties a language stored on the way to the button; a memo then
    // cleared stores nothing, which removes the emptied entry (the file
    // could not hold it).
    f.Select("Title");
    TypeInto(f.List(), QStringLiteral("4"));
    QTest::mouseClick(Control<QPushButton>(f.Window(), "bOroLocStringAdd"), Qt::LeftButton);
    TypeInto(f.Memo(), QString());
    f.Select("Flag");
    QVERIFY(!EntryLanguages(f.Node("Title")).contains(QStringLiteral("4")));
    QCOMPARE(f.Dialogs().Beeps(), 0);
}

void LocStringPageTest::redisplayWithTheFocusInTheMemoStoresNothing()
{
    // Showing the node afresh (Hex Data redisplays it) while the memo keeps
    // the focus shows the first language's text: the text of the language
    // chosen before must not pass for typed and be stored under another.
    CLocFixture f;
    QVERIFY(f.Ready());
    f.Select("Many");
    ClickInto(f.List());
    QTest::keyClick(f.List(), Qt::Key_Down);
    QTest::keyClick(f.List(), Qt::Key_Down);
    QCOMPARE(f.Chosen(), QStringLiteral("2"));
    QCOMPARE(f.Text(), QStringLiteral("b"));
    ClickInto(f.Memo());
    for (int i = 0; i < 2; ++i) {
        Control<QAction>(f.Window(), "miHexView")->trigger();
        QVERIFY(f.Memo()->hasFocus());
        QCOMPARE(f.Chosen(), QStringLiteral("1"));
        QCOMPARE(f.Text(), QStringLiteral("a"));
    }
    f.Select("Flag");
    QVERIFY(!f.Window().IsModified());
    QCOMPARE(EntryLanguages(f.Node("Many")), (QStringList{"2", "10", "1"}));
    QCOMPARE(EntryText(f.Node("Many"), 1), QStringLiteral("a"));
    QCOMPARE(EntryText(f.Node("Many"), 2), QStringLiteral("b"));
}

KVT_WINDOW_TEST_MAIN(LocStringPageTest)

#include "LocStringPageTest.moc"

void LocStringPageTest::previewCaptionFollowsTheEntries()
{
    // With Preview the caption counts the entries; the page changes them
    // after the panel has re-captioned the item, and the count must follow.
    CLocFixture f;
    QVERIFY(f.Ready());
    TfrmMain& window = f.Window();
    QAction* pPreview = window.findChild<QAction*>("miPreviewDataInTree");
    if (!pPreview->isChecked())
        pPreview->trigger();
    QVERIFY(pPreview->isChecked());
    auto caption = [&](const char* pPath) {
        return window.TreeModel().data(ItemOf(window, f.Node(pPath))).toString();
    };
    QVERIFY2(caption("Title").endsWith(QStringLiteral("= 2 strings")), qPrintable(caption("Title")));

    // Clearing the text of language 0 and leaving the memo for the label box.
    f.Select("Title");
    TypeInto(f.Memo(), QString());
    ClickInto(Control<QLineEdit>(window, "eFieldID"));
    QCOMPARE(EntryLanguages(f.Node("Title")), QStringList{"2"});
    QVERIFY(caption("Title").endsWith(QStringLiteral("= 1 strings")));

    // Delete removes the language shown.
    f.Select("Many");
    QTest::mouseClick(Control<QPushButton>(window, "bOroLocStringDelete"), Qt::LeftButton);
    QCOMPARE(EntryLanguages(f.Node("Many")).size(), 2);
    QVERIFY(caption("Many").endsWith(QStringLiteral("= 2 strings")));

    // After a Preview rebuild clears the selection, leaving the memo still
    // re-captions the node the page shows.
    f.Select("Genders");
    pPreview->trigger();
    pPreview->trigger();
    TypeInto(f.Memo(), QString());
    ClickInto(Control<QLineEdit>(window, "eFieldID"));
    const int nLeft = static_cast<int>(EntryLanguages(f.Node("Genders")).size());
    QVERIFY(caption("Genders").endsWith(QStringLiteral("= %1 strings").arg(nLeft)));
}
