#pragma once
// The "Binary Data" page: the selected binary value in a hex view, its
// length, and its editing. Hex digits overwrite the byte at the cursor (two
// digits a byte) or, in insert mode (the Insert key), insert one; Delete and
// Backspace remove the selected bytes; Ctrl+C copies them as hex text and
// Ctrl+V pastes hex text; Import… and Export… exchange the whole value with
// a file. Every change is one step on the session's undo stack.

#include <QFont>
#include <QString>
#include <cstdint>
#include <vector>

#include "KVTTreeNodes.h"

class CKvtDocumentSession;
class CKvtHexView;
class QKeyEvent;
class QLabel;
class QPushButton;
class QWidget;

struct KvtBinaryPageControls_st {
    QWidget* tsBinaryTab; // its layout takes the view and the buttons
    QLabel* Label5;       // the editing hint and mode
    QLabel* lBinaryLength;
    QFont font; // the tree's fixed-pitch font
};

class CKvtBinaryPage {
public:
    CKvtBinaryPage(CKvtDocumentSession& session, const KvtBinaryPageControls_st& controls);
    ~CKvtBinaryPage();
    CKvtBinaryPage(const CKvtBinaryPage&) = delete;
    CKvtBinaryPage& operator=(const CKvtBinaryPage&) = delete;

    // Shows the selected node when it is a binary one, else nothing (the
    // view then holds no pointer to a node that may go away).
    void Display();
    CKvtHexView& View() const { return *m_pView; }
    bool IsInsertMode() const { return m_bInsertMode; }

    // The buttons' commands.
    void ImportFile();
    void ExportFile();

private:
    bool EditKey(QKeyEvent* pEvent);
    void TypeDigit(uint8_t nDigit);
    void RemoveSelection(bool bBackspace);
    void CopySelection() const;
    void PasteHexText();
    // Replaces nRemove bytes at nOffset with inserted as one undo step and
    // puts the cursor at nCursor; false (with a beep) when the value cannot
    // take it.
    bool Change(uint32_t nOffset, uint32_t nRemove, std::vector<uint8_t> inserted, uint64_t nCursor,
                const QString& sVerb, int nDigitRole = 0);
    void ShowLength() const;
    void ShowMode() const;
    void OnStepShown(CKvtNodeBINARY* pNode, uint64_t nCursor);
    void ShowError(const char* pFormat, const std::string& sFileName) const;

    CKvtDocumentSession& m_Session;
    KvtBinaryPageControls_st m_Controls;
    CKvtHexView* m_pView;
    QPushButton* bBinaryImport;
    QPushButton* bBinaryExport;
    CKvtNodeBINARY* m_pNode;
    bool m_bInsertMode;
    // The byte whose first digit was typed, or -1.
    int64_t m_nPendingDigitAt;
    // Where undo or redo left the cursor of a node, for its next display.
    CKvtNodeBINARY* m_pReplayedNode;
    uint64_t m_nReplayedCursor;
};
