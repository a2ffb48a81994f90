#pragma once
// One random editing run: a seeded document opened in the window, then
// random commands as the user gives them (select, edit value, label and
// struct ID, add each type, copy, paste, delete, Hex Data, Preview,
// localized-string add/store/delete, save, close and reopen, find, export as
// JSON, leaving a node without typing, typing and then saving, exporting or
// toggling Preview before the focus leaves the box, runs of Undo and Redo,
// undoing every step then redoing them all, and editing a binary value on
// its page). After every command the
// tree view must mirror the document; after every save the file
// must open again as the tree it was saved from (apart from what the format
// cannot hold), and the opened document must save to the same bytes. Undoing
// every step gives the bytes the document saved to when it was opened;
// redoing them all gives the bytes of the state before.

#include <array>
#include <cstdint>
#include <deque>
#include <set>
#include <string>
#include <vector>

#include "RandomSource.h"
#include "SavedFormCheck.h"
#include "WindowTestSupport.h"

class COroReportRecorder;

enum class TRandomCommand {
    Select,
    EditValue,
    EditLabel,
    EditStructId,
    Add,
    Copy,
    Paste,
    Delete,
    HexData,
    Preview,
    LocStringAdd,
    LocStringStore,
    LocStringDelete,
    Save,
    Reopen,
    Find,
    ExportJson,
    LeaveUntyped,
    TypeThenCommand,
    Undo,
    Redo,
    UndoAll,
    EditBinary,
    CancelledSave,
    Count
};

struct RandomEditStats_st {
    std::array<int32_t, static_cast<size_t>(TRandomCommand::Count)> commands{};
    int32_t nSavesWritten = 0;
    int32_t nSavesRefused = 0; // the file type was not four characters
    int32_t nSavesCancelled = 0; // through the progress dialog
    int32_t nReopens = 0;
    int32_t nSavesWithLimits = 0; // saves where the format could not hold all
    int32_t nNamesakeFields = 0;
    int32_t nNonStructElements = 0;
    int32_t nVersionsReplaced = 0;
    int32_t nBoxes = 0;
    int32_t nMaxNodes = 0;
    int32_t nStepsUndone = 0;     // by Undo and Undo All together
    int32_t nMostStepsUndone = 0; // by one Undo All
};

const char* RandomCommandName(TRandomCommand nCommand);

class CRandomEditSession {
public:
    CRandomEditSession(uint64_t nSeed, CWindowHarness& harness, COroReportRecorder& reports);

    // Runs the commands; empty when every check held, else the first fault
    // with the commands that led to it.
    std::string Run(int32_t nCommands);
    const RandomEditStats_st& Stats() const { return m_Stats; }

private:
    std::string Start();
    std::string RunCommand(TRandomCommand nCommand);
    TRandomCommand PickCommand();

    std::string Select();
    std::string EditValue();
    std::string EditLabel();
    std::string EditStructId();
    std::string Add();
    std::string Copy();
    std::string Paste();
    std::string Delete();
    std::string LocStringAdd();
    std::string LocStringStore();
    std::string LocStringDelete();
    std::string Save();
    // Save with the progress dialog's Cancel pressed at a random point.
    std::string CancelledSave();
    // What a Save triggered on a document (modified or not, Save enabled or
    // not) in a folder of these entries must have left.
    std::string CheckSave(bool bModified, bool bEnabled, const std::set<std::string>& entries);
    std::string Reopen();
    // Finds a picked node's label through the find bar, sometimes after
    // switching the view's order (RandomEditFind.cpp).
    std::string Find();
    std::string ExportJson();
    std::string LeaveUntyped();
    std::string TypeThenCommand();
    std::string TypeThenSave();
    std::string UndoRedo(bool bUndo);
    std::string UndoAllRedoAll();
    // Edits a picked BINARY value on its page (RandomEditBinary.cpp).
    std::string EditBinary();

    // Checks of a save's outcome, and of the document just opened again.
    std::string CheckWrittenSave();
    std::string CheckRefusedSave();
    std::string CheckReopened();
    // After one Undo or Redo: the view mirrors the document and the caption
    // marks it modified exactly when the stack is off its clean state.
    std::string CheckReplayed();
    // The bytes the window's document saves to now, or its outline when its
    // file type cannot be saved.
    std::string DocumentForm();
    // The same for the undo checks: a fault when reports came before it; the
    // save's own warnings are dropped.
    std::string TakeForm(std::string& sForm);
    std::string CheckReports(TRandomCommand nCommand);

    // Clicks the node's item (right button when bRight); a fault when it did
    // not become the selected one.
    std::string ClickNode(CKvtNodeBase* pNode, bool bRight = false);
    std::vector<CKvtNodeBase*> Nodes(bool (*pWanted)(CKvtNodeBase*));
    CKvtNodeBase* PickNode(bool (*pWanted)(CKvtNodeBase*));
    int32_t NodeCount(CKvtNodeBase* pNode);
    // Fields whose label an earlier field of their struct carries.
    std::vector<CKvtNodeBase*> Namesakes();
    void Log(const std::string& sText);

    CRandomSource m_Random;
    CWindowHarness& m_Harness;
    TfrmMain& m_Window;
    COroReportRecorder& m_Reports;
    std::string m_sPath;
    std::string m_sScratchPath;
    // What the file holds, and what opening it and saving gives.
    std::string m_sFileBytes;
    std::string m_sReopenBytes;
    // Whether the last file written held everything its tree held.
    bool m_bFileHeldAll = true;
    // Whether the command's save was refused.
    bool m_bSaveRefused = false;
    // Whether the command ran a save (it may warn where Save does).
    bool m_bSaveRan = false;
    // What the document saved to when it was last opened.
    std::string m_sOpenedForm;
    std::deque<std::string> m_Log;
    RandomEditStats_st m_Stats;
};
