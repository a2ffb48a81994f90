#include "RandomEditSession.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTreeView>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>

#include "KVTControlText.h"
#include "KVTDocumentSession.h"
#include "KVTFileChecks.h"
#include "KVTJsonReader.h"
#include "KVTJsonWriter.h"
#include "KVTProblemsModel.h"
#include "KVTProblemsPanel.h"
#include "KVTWalkProgressDialog.h"
#include "ProgressCancelWatch.h"
#include "KVTTreeModel.h"
#include "PanelTestSupport.h"
#include "RandomDocument.h"
#include "TreeMirrorCheck.h"
#include "ororeportrecorder.h"

namespace {

using TRoot = std::unique_ptr<CKvtNodeTopLevelStruct>;

// Pastes are skipped (a delete runs instead) once the document would grow
// past this many nodes, so that a run keeps its pace.
constexpr int32_t kMaxDocumentNodes = 1500;
// Commands kept for the report of a fault.
constexpr size_t kLogLength = 12;

const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_";
const char kPrintable[] = " !#$%&()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[]^_abcdefghijklmnopqrstuvwxyz{|}~";

std::string ReadFile(const std::string& sPath)
{
    std::ifstream in(sPath, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TRoot OpenSide(const std::string& sPath, bool& bLoaded)
{
    TRoot pRoot(new CKvtNodeTopLevelStruct);
    bool bRefused = false;
    bLoaded = pRoot->LoadDocument(sPath.c_str(), &bRefused) && !bRefused;
    return pRoot;
}

// The names in the folder (a save must leave no temporary file behind).
std::set<std::string> FolderEntries(const std::string& sFolder)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(sFolder))
        names.insert(entry.path().filename().string());
    return names;
}

bool IsAny(CKvtNodeBase*)
{
    return true;
}
bool IsNotRoot(CKvtNodeBase* pNode)
{
    return pNode->GetType() != ftTOPLEVELSTRUCT;
}
bool IsLeaf(CKvtNodeBase* pNode)
{
    return pNode->GetStructNode() == nullptr;
}
bool IsContainer(CKvtNodeBase* pNode)
{
    return pNode->GetStructNode() != nullptr;
}
bool IsStruct(CKvtNodeBase* pNode)
{
    return pNode->GetType() == ftSTRUCT;
}
bool IsLocString(CKvtNodeBase* pNode)
{
    return pNode->GetType() == ftLOCSTRING;
}

// Relative weights of the commands, in the order of TRandomCommand.
constexpr std::array<uint32_t, static_cast<size_t>(TRandomCommand::Count)> kWeights = {
    14, // Select
    16, // EditValue
    8,  // EditLabel
    5,  // EditStructId
    10, // Add
    5,  // Copy
    5,  // Paste
    6,  // Delete
    2,  // HexData
    2,  // Preview
    4,  // LocStringAdd
    5,  // LocStringStore
    3,  // LocStringDelete
    4,  // Save
    2,  // Reopen
    3,  // Find
    2,  // ExportJson
    6,  // LeaveUntyped
    4,  // TypeThenCommand
    6,  // Undo
    4,  // Redo
    1,  // UndoAll
    4,  // EditBinary
    2,  // CancelledSave
};

} // namespace

const char* RandomCommandName(TRandomCommand nCommand)
{
    static const char* const kNames[] = {
        "select",        "edit value",      "edit label",       "edit struct ID",    "add",
        "copy",          "paste",           "delete",           "Hex Data",          "Preview",
        "localized add", "localized store", "localized delete", "save",              "close and reopen",
        "find",          "export as JSON",  "leave untyped",    "type then command", "undo",
        "redo",          "undo all and redo all", "edit binary", "cancelled save"};
    return kNames[static_cast<size_t>(nCommand)];
}

CRandomEditSession::CRandomEditSession(uint64_t nSeed, CWindowHarness& harness, COroReportRecorder& reports)
    : m_Random(nSeed), m_Harness(harness), m_Window(harness.Window()), m_Reports(reports)
{
    m_sPath = harness.Dir().File("random.kvt");
    m_sScratchPath = harness.Dir().File("scratch.kvt");
}

std::string CRandomEditSession::Run(int32_t nCommands)
{
    std::string sFault = Start();
    for (int32_t i = 0; i < nCommands && sFault.empty(); ++i) {
        const TRandomCommand nCommand = PickCommand();
        ++m_Stats.commands[static_cast<size_t>(nCommand)];
        m_Harness.Dialogs().Reset();
        m_Reports.Clear();
        // The panel keeps the last open's or save's rows; each command's own are checked.
        m_Window.Problems().Clear();
        m_bSaveRefused = false;
        m_bSaveRan = false;
        sFault = RunCommand(nCommand);
        if (sFault.empty())
            sFault = CheckReports(nCommand);
        if (sFault.empty())
            sFault = FindTreeMirrorFault(m_Window.TreeModel(), m_Window.RootNode());
        m_Stats.nBoxes += static_cast<int32_t>(m_Harness.Dialogs().Boxes().size());
        if (m_Window.RootNode())
            m_Stats.nMaxNodes = std::max(m_Stats.nMaxNodes, NodeCount(m_Window.RootNode()));
        if (!sFault.empty()) {
            std::string sReport = "command " + std::to_string(i + 1) + " (" + RandomCommandName(nCommand) +
                                  "): " + sFault + "\nlast commands:\n";
            for (const std::string& sLine : m_Log)
                sReport += "  " + sLine + "\n";
            return sReport;
        }
    }
    return sFault;
}

std::string CRandomEditSession::Start()
{
    const bool bWritten = WriteDocument(
        m_sPath, [this](CKvtNodeTopLevelStruct& root) { FillRandomDocument(root, m_Random, 400); }, "RAND");
    if (!bWritten)
        return "the starting document could not be written";
    m_sFileBytes = ReadFile(m_sPath);
    bool bLoaded = false;
    TRoot pSide = OpenSide(m_sPath, bLoaded);
    if (!bLoaded || !pSide->SaveDocument(m_sScratchPath.c_str()))
        return "the starting document does not open and save";
    m_sReopenBytes = ReadFile(m_sScratchPath);
    if (m_sReopenBytes != m_sFileBytes)
        return "the starting document does not save to its own bytes";
    if (!ActivateWindow(m_Window) || !m_Window.OpenFile(m_sPath.c_str()))
        return "the window did not open the starting document";
    m_sOpenedForm = DocumentForm();
    return FindTreeMirrorFault(m_Window.TreeModel(), m_Window.RootNode());
}

TRandomCommand CRandomEditSession::PickCommand()
{
    uint32_t nTotal = 0;
    for (uint32_t nWeight : kWeights)
        nTotal += nWeight;
    uint32_t nPick = m_Random.Below(nTotal);
    for (size_t i = 0; i < kWeights.size(); ++i) {
        if (nPick < kWeights[i])
            return static_cast<TRandomCommand>(i);
        nPick -= kWeights[i];
    }
    return TRandomCommand::Select;
}

std::string CRandomEditSession::RunCommand(TRandomCommand nCommand)
{
    switch (nCommand) {
    case TRandomCommand::Select: return Select();
    case TRandomCommand::EditValue: return EditValue();
    case TRandomCommand::EditLabel: return EditLabel();
    case TRandomCommand::EditStructId: return EditStructId();
    case TRandomCommand::Add: return Add();
    case TRandomCommand::Copy: return Copy();
    case TRandomCommand::Paste: return Paste();
    case TRandomCommand::Delete: return Delete();
    case TRandomCommand::HexData:
        Log("Hex Data");
        m_Harness.Action("miHexView")->trigger();
        return std::string();
    case TRandomCommand::Preview:
        Log("Preview");
        m_Harness.Action("miPreviewDataInTree")->trigger();
        return std::string();
    case TRandomCommand::LocStringAdd: return LocStringAdd();
    case TRandomCommand::LocStringStore: return LocStringStore();
    case TRandomCommand::LocStringDelete: return LocStringDelete();
    case TRandomCommand::Save: return Save();
    case TRandomCommand::Reopen: return Reopen();
    case TRandomCommand::Find: return Find();
    case TRandomCommand::ExportJson: return ExportJson();
    case TRandomCommand::LeaveUntyped: return LeaveUntyped();
    case TRandomCommand::TypeThenCommand: return TypeThenCommand();
    case TRandomCommand::Undo: return UndoRedo(true);
    case TRandomCommand::Redo: return UndoRedo(false);
    case TRandomCommand::UndoAll: return UndoAllRedoAll();
    case TRandomCommand::EditBinary: return EditBinary();
    case TRandomCommand::CancelledSave: return CancelledSave();
    case TRandomCommand::Count: break;
    }
    return "unknown command";
}

std::vector<CKvtNodeBase*> CRandomEditSession::Nodes(bool (*pWanted)(CKvtNodeBase*))
{
    std::vector<CKvtNodeBase*> nodes;
    if (!m_Window.RootNode())
        return nodes;
    std::vector<CKvtNodeBase*> pending{m_Window.RootNode()};
    while (!pending.empty()) {
        CKvtNodeBase* pNode = pending.back();
        pending.pop_back();
        if (pWanted(pNode))
            nodes.push_back(pNode);
        if (CKvtNodeStruct* pStruct = pNode->GetStructNode()) {
            for (int32_t i = pStruct->GetChildCount() - 1; i >= 0; --i)
                pending.push_back(pStruct->GetChild(i));
        }
    }
    return nodes;
}

CKvtNodeBase* CRandomEditSession::PickNode(bool (*pWanted)(CKvtNodeBase*))
{
    const std::vector<CKvtNodeBase*> nodes = Nodes(pWanted);
    return nodes.empty() ? nullptr : nodes[m_Random.Below(static_cast<uint32_t>(nodes.size()))];
}

std::vector<CKvtNodeBase*> CRandomEditSession::Namesakes()
{
    std::vector<CKvtNodeBase*> namesakes;
    for (CKvtNodeBase* pNode : Nodes(IsContainer)) {
        if (pNode->GetType() == ftLIST)
            continue;
        CKvtNodeStruct* pStruct = pNode->GetStructNode();
        std::set<std::string> labels;
        for (int32_t i = 0; i < pStruct->GetChildCount(); ++i) {
            if (!labels.insert(pStruct->GetChild(i)->m_sLabel.CStr()).second)
                namesakes.push_back(pStruct->GetChild(i));
        }
    }
    return namesakes;
}

int32_t CRandomEditSession::NodeCount(CKvtNodeBase* pNode)
{
    return static_cast<int32_t>(CountNodes(pNode));
}

void CRandomEditSession::Log(const std::string& sText)
{
    static const bool s_bTrace = std::getenv("KVT_RANDOM_TRACE") != nullptr;
    if (s_bTrace)
        std::fprintf(stderr, "%s\n", sText.c_str());
    m_Log.push_back(sText);
    if (m_Log.size() > kLogLength)
        m_Log.pop_front();
}

std::string CRandomEditSession::Select()
{
    CKvtNodeBase* pNode = PickNode(IsAny);
    Log(std::string("select '") + pNode->m_sLabel.CStr() + "'");
    return ClickNode(pNode);
}

std::string CRandomEditSession::ClickNode(CKvtNodeBase* pNode, bool bRight)
{
    // Leaving the selected node applies the panel, and a caption that gains a
    // line break then changes the rows' height under the pointer; a user
    // whose click landed elsewhere clicks again.
    for (int nTry = 0; nTry < 2; ++nTry) {
        if (bRight)
            RightClickItem(m_Window, pNode);
        else
            ClickItem(m_Window, pNode);
        // A click that left a box with a refused text open stays where it was.
        if (!m_Harness.Dialogs().Boxes().empty() || m_Window.TreeModel().NodeAt(m_Window.SelectedItem()) == pNode)
            return std::string();
    }
    CKvtNodeBase* pSelected = m_Window.TreeModel().NodeAt(m_Window.SelectedItem());
    QTreeView* pTree = Control<QTreeView>(m_Window, "tvKVT");
    const QRect rect = pTree->visualRect(ItemOf(m_Window, pNode));
    return std::string("the clicked node is not selected; selected: ") +
           (pSelected ? pSelected->m_sLabel.CStr() : "none") + ", item at " + std::to_string(rect.x()) + "," +
           std::to_string(rect.y()) + " size " + std::to_string(rect.width()) + "x" + std::to_string(rect.height()) +
           ", viewport height " + std::to_string(pTree->viewport()->height());
}

std::string CRandomEditSession::EditValue()
{
    // The root's value is its file type and version; change it rarely.
    CKvtNodeBase* pNode = m_Random.Percent(3) ? m_Window.RootNode() : PickNode(IsLeaf);
    if (!pNode)
        return Add();
    std::string sText;
    if (pNode->GetType() == ftTOPLEVELSTRUCT)
        sText = m_Random.Percent(70) ? "RAND V3.2" : m_Random.Text(m_Random.Below(10), kLetters);
    else
        sText = RandomValueText(m_Random, pNode->GetType());
    Log(std::string("edit value of '") + pNode->m_sLabel.CStr() + "' to '" + sText + "'");
    if (std::string sFault = ClickNode(pNode); !sFault.empty())
        return sFault;
    auto* pValue = Control<QPlainTextEdit>(m_Window, "eValue");
    TypeInto(pValue, QString::fromLatin1(sText.c_str()));
    if (m_Random.Percent(30))
        PressEnter(pValue);
    ClickInto(Control<QLineEdit>(m_Window, "eFieldID"));
    return std::string();
}

std::string CRandomEditSession::EditLabel()
{
    // Often the user names one of the fields that share a label (new fields
    // start unnamed), so that the document returns to one the file holds
    // whole.
    const std::vector<CKvtNodeBase*> namesakes = Namesakes();
    if (!namesakes.empty() && m_Random.Percent(40)) {
        CKvtNodeBase* pNode = namesakes[m_Random.Below(static_cast<uint32_t>(namesakes.size()))];
        const std::string sLabel = "R" + std::to_string(m_Random.Below(1000000));
        Log(std::string("name the namesake '") + pNode->m_sLabel.CStr() + "' '" + sLabel + "'");
        if (std::string sFault = ClickNode(pNode); !sFault.empty())
            return sFault;
        TypeInto(Control<QLineEdit>(m_Window, "eFieldID"), QString::fromLatin1(sLabel.c_str()));
        PressEnter(Control<QLineEdit>(m_Window, "eFieldID"));
        return std::string();
    }
    CKvtNodeBase* pNode = PickNode(IsNotRoot);
    if (!pNode)
        return std::string();
    std::string sLabel;
    const uint32_t nKind = m_Random.Below(100);
    if (nKind < 40) {
        sLabel = m_Random.Text(static_cast<size_t>(m_Random.Between(1, 12)), kLetters);
    } else if (nKind < 55) {
        // A sibling's label, in any case: refused.
        CKvtNodeBase* pOther = PickNode(IsNotRoot);
        sLabel = pOther->m_sLabel.CStr();
    } else if (nKind < 65) {
        sLabel = m_Random.Text(17, kLetters);
    } else if (nKind < 70) {
        sLabel.clear();
    } else {
        sLabel = m_Random.Text(16, kLetters);
    }
    Log(std::string("edit label of '") + pNode->m_sLabel.CStr() + "' to '" + sLabel + "'");
    if (std::string sFault = ClickNode(pNode); !sFault.empty())
        return sFault;
    auto* pLabel = Control<QLineEdit>(m_Window, "eFieldID");
    TypeInto(pLabel, QString::fromLatin1(sLabel.c_str()));
    if (m_Random.Percent(40))
        PressEnter(pLabel);
    ClickInto(Control<QLineEdit>(m_Window, "eNType"));
    if (pNode->m_sLabel.GetLength() > 16)
        return "a label longer than 16 characters was taken";
    return std::string();
}

std::string CRandomEditSession::EditStructId()
{
    CKvtNodeBase* pNode = PickNode(IsStruct);
    if (!pNode)
        return std::string();
    std::string sText;
    switch (m_Random.Below(4)) {
    case 0: sText = std::to_string(m_Random.Below(100)); break;
    case 1: sText = "0x" + m_Random.Text(static_cast<size_t>(m_Random.Between(1, 9)), "0123456789abcdef"); break;
    case 2: sText = "-" + std::to_string(m_Random.Below(5)); break;
    default: sText = m_Random.Text(static_cast<size_t>(m_Random.Between(0, 5)), " $x0123abz-"); break;
    }
    Log(std::string("edit struct ID of '") + pNode->m_sLabel.CStr() + "' to '" + sText + "'");
    if (std::string sFault = ClickNode(pNode); !sFault.empty())
        return sFault;
    TypeInto(Control<QLineEdit>(m_Window, "eNType"), QString::fromLatin1(sText.c_str()));
    ClickInto(Control<QLineEdit>(m_Window, "eFieldID"));
    return std::string();
}

std::string CRandomEditSession::Add()
{
    CKvtNodeBase* pParent = PickNode(IsContainer);
    int32_t nPosition = m_Random.Between(0, 15);
    if (nPosition >= 14)
        ++nPosition; // past the separator
    Log(std::string("add entry ") + std::to_string(nPosition) + " to '" + pParent->m_sLabel.CStr() + "'");
    const int32_t nBefore = pParent->GetStructNode()->GetChildCount();
    if (std::string sFault = ClickNode(pParent, true); !sFault.empty())
        return sFault;
    QAction* pEntry = m_Window.findChild<QAction*>(QStringLiteral("Add%1").arg(nPosition));
    const bool bEnabled = pEntry->isEnabled();
    pEntry->trigger();
    const int32_t nAfter = pParent->GetStructNode()->GetChildCount();
    if (nAfter != nBefore + (bEnabled ? 1 : 0))
        return "adding gave " + std::to_string(nAfter - nBefore) + " new children";
    // Users mostly name what they add (a list's elements have no names).
    if (bEnabled && pParent->GetType() != ftLIST && m_Random.Percent(75)) {
        CKvtNodeBase* pAdded = pParent->GetStructNode()->GetChild(nAfter - 1);
        const std::string sLabel = "N" + std::to_string(m_Random.Below(1000000));
        Log("label the new node '" + sLabel + "'");
        if (std::string sFault = ClickNode(pAdded); !sFault.empty())
            return sFault;
        TypeInto(Control<QLineEdit>(m_Window, "eFieldID"), QString::fromLatin1(sLabel.c_str()));
        PressEnter(Control<QLineEdit>(m_Window, "eFieldID"));
    }
    return std::string();
}

std::string CRandomEditSession::Copy()
{
    CKvtNodeBase* pNode = PickNode(IsNotRoot);
    if (!pNode)
        return std::string();
    Log(std::string("copy '") + pNode->m_sLabel.CStr() + "'");
    if (std::string sFault = ClickNode(pNode); !sFault.empty())
        return sFault;
    QTest::keyClick(Control<QTreeView>(m_Window, "tvKVT"), Qt::Key_C, Qt::ControlModifier);
    if (!m_Window.ClipboardNode() || m_Window.ClipboardNode() == pNode)
        return "the copy is not in the program's clipboard";
    if (TreeOutline(m_Window.ClipboardNode()) != TreeOutline(pNode))
        return "the clipboard holds another subtree than the one copied";
    return std::string();
}

std::string CRandomEditSession::Paste()
{
    CKvtNodeBase* pClip = m_Window.ClipboardNode();
    if (pClip && NodeCount(m_Window.RootNode()) + NodeCount(pClip) > kMaxDocumentNodes)
        return Delete();
    CKvtNodeBase* pTarget = PickNode(IsAny);
    Log(std::string("paste into '") + pTarget->m_sLabel.CStr() + "'");
    if (std::string sFault = ClickNode(pTarget); !sFault.empty())
        return sFault;
    CKvtNodeStruct* pStruct = pTarget->GetStructNode();
    const int32_t nBefore = pStruct ? pStruct->GetChildCount() : 0;
    QTest::keyClick(Control<QTreeView>(m_Window, "tvKVT"), Qt::Key_V, Qt::ControlModifier);
    if (pClip && pStruct) {
        if (pStruct->GetChildCount() != nBefore + 1)
            return "the paste did not add one child";
        CKvtNodeBase* pPasted = pStruct->GetChild(nBefore);
        if (pPasted == pClip || NodeCount(pPasted) != NodeCount(pClip))
            return "the pasted subtree is not a copy of the clipboard";
    }
    return std::string();
}

std::string CRandomEditSession::Delete()
{
    CKvtNodeBase* pNode = PickNode(IsNotRoot);
    if (!pNode)
        return std::string();
    Log(std::string("delete '") + pNode->m_sLabel.CStr() + "'");
    const int32_t nBefore = NodeCount(m_Window.RootNode());
    const int32_t nGone = NodeCount(pNode);
    if (std::string sFault = ClickNode(pNode); !sFault.empty())
        return sFault;
    QTest::keyClick(Control<QTreeView>(m_Window, "tvKVT"), Qt::Key_Delete);
    if (NodeCount(m_Window.RootNode()) != nBefore - nGone)
        return "the delete did not remove exactly the selected subtree";
    return std::string();
}

std::string CRandomEditSession::LocStringAdd()
{
    CKvtNodeBase* pNode = PickNode(IsLocString);
    if (!pNode)
        return Add();
    const std::string sLanguage =
        m_Random.Percent(85) ? std::to_string(m_Random.Between(0, 9)) : m_Random.Text(m_Random.Below(3), "-x1a");
    const std::string sText = m_Random.Text(static_cast<size_t>(m_Random.Between(0, 24)), kPrintable);
    Log(std::string("add language '") + sLanguage + "' text '" + sText + "' to '" + pNode->m_sLabel.CStr() + "'");
    if (std::string sFault = ClickNode(pNode); !sFault.empty())
        return sFault;
    auto* pList = Control<QComboBox>(m_Window, "cbLangIDs");
    TypeInto(pList, QString::fromLatin1(sLanguage.c_str()));
    if (m_Random.Percent(50))
        PressEnter(pList);
    else
        QTest::mouseClick(Control<QPushButton>(m_Window, "bOroLocStringAdd"), Qt::LeftButton);
    if (m_Random.Percent(70))
        TypeInto(Control<QPlainTextEdit>(m_Window, "mOroLocStringValue"), QString::fromLatin1(sText.c_str()));
    ClickInto(Control<QLineEdit>(m_Window, "eFieldID"));
    return std::string();
}

std::string CRandomEditSession::LocStringStore()
{
    CKvtNodeBase* pNode = PickNode(IsLocString);
    if (!pNode)
        return Add();
    // Mostly a text; sometimes an empty one, which removes the language.
    const std::string sText =
        m_Random.Percent(85) ? m_Random.Text(static_cast<size_t>(m_Random.Between(1, 30)), kPrintable) : "";
    Log(std::string("store '") + sText + "' in '" + pNode->m_sLabel.CStr() + "'");
    if (std::string sFault = ClickNode(pNode); !sFault.empty())
        return sFault;
    auto* pList = Control<QComboBox>(m_Window, "cbLangIDs");
    if (pList->count() > 1 && m_Random.Percent(50)) {
        pList->setCurrentIndex(static_cast<int>(m_Random.Below(static_cast<uint32_t>(pList->count()))));
    }
    TypeInto(Control<QPlainTextEdit>(m_Window, "mOroLocStringValue"), QString::fromLatin1(sText.c_str()));
    // Leaving the memo stores the text: by the label box or by another node.
    if (m_Random.Percent(50)) {
        ClickInto(Control<QLineEdit>(m_Window, "eFieldID"));
        return std::string();
    }
    return ClickNode(PickNode(IsAny));
}

std::string CRandomEditSession::LocStringDelete()
{
    CKvtNodeBase* pNode = PickNode(IsLocString);
    if (!pNode)
        return Add();
    Log(std::string("delete language of '") + pNode->m_sLabel.CStr() + "'");
    if (std::string sFault = ClickNode(pNode); !sFault.empty())
        return sFault;
    QTest::mouseClick(Control<QPushButton>(m_Window, "bOroLocStringDelete"), Qt::LeftButton);
    return std::string();
}

std::string CRandomEditSession::Save()
{
    Log("save");
    const bool bModified = m_Window.IsModified();
    const bool bEnabled = m_Harness.Action("actFileSave")->isEnabled();
    const std::set<std::string> entries = FolderEntries(m_Harness.Dir().Path());
    m_Harness.Action("actFileSave")->trigger();
    return CheckSave(bModified, bEnabled, entries);
}

std::string CRandomEditSession::CancelledSave()
{
    // Cancelled, the save leaves the file and its folder as they were and
    // the document modified; a walk that ends before the chosen point saves
    // as Save does.
    const int nPermille = 1 + static_cast<int>(m_Random.Below(999));
    Log("save, cancelled at " + std::to_string(nPermille) + "/1000");
    m_bSaveRan = true;
    const bool bModified = m_Window.IsModified();
    const bool bEnabled = m_Harness.Action("actFileSave")->isEnabled();
    const std::set<std::string> entries = FolderEntries(m_Harness.Dir().Path());
    m_Window.SetProgressDelay(0);
    int nPressedAt = -1;
    // The dialog takes the focus while it shows; the window asks for it back
    // when the dialog closes, which the event loop delivers. The next
    // commands expect it where it was.
    QWidget* pFocus = QApplication::focusWidget();
    {
        const CProgressCancelWatch watch(nPermille);
        m_Harness.Action("actFileSave")->trigger();
        nPressedAt = watch.PressedAt();
    }
    QApplication::processEvents();
    if (QApplication::activeWindow() != &m_Window)
        return "the window did not take the focus back from the progress dialog";
    if (pFocus && QApplication::focusWidget() != pFocus)
        pFocus->setFocus();
    m_Window.SetProgressDelay(CKvtWalkProgressDialog::kDefaultDelay);
    if (nPressedAt < 0)
        return CheckSave(bModified, bEnabled, entries);
    ++m_Stats.nSavesCancelled;
    if (FolderEntries(m_Harness.Dir().Path()) != entries)
        return "a cancelled save left another file in the folder";
    if (ReadFile(m_sPath) != m_sFileBytes)
        return "a cancelled save changed the file";
    if (!m_Window.IsModified())
        return "a cancelled save left the document unmodified";
    if (!m_Harness.Dialogs().Boxes().empty())
        return "a cancelled save showed a box: " + m_Harness.Dialogs().Boxes().back().sText;
    if (m_Window.statusBar()->currentMessage() != QStringLiteral("Saving cancelled."))
        return "a cancelled save did not say so";
    return std::string();
}

std::string CRandomEditSession::CheckSave(bool bModified, bool bEnabled, const std::set<std::string>& entries)
{
    if (FolderEntries(m_Harness.Dir().Path()) != entries)
        return "the save left another file in the folder";
    if (!bModified) {
        // Save is disabled on an unchanged document, unless the panel holds
        // typed text, which Save applies first.
        if (ReadFile(m_sPath) == m_sFileBytes)
            return std::string();
        if (!bEnabled || m_Window.IsModified())
            return "an unchanged document was written";
        return CheckWrittenSave();
    }
    const COroString& sFileType = m_Window.RootNode()->m_sFileType;
    if (!IsOpenableFileType(std::string_view(sFileType.CStr(), static_cast<size_t>(sFileType.GetLength())))) {
        m_bSaveRefused = true;
        return CheckRefusedSave();
    }
    return CheckWrittenSave();
}

std::string CRandomEditSession::CheckRefusedSave()
{
    ++m_Stats.nSavesRefused;
    const std::vector<KvtMessageBox_st>& boxes = m_Harness.Dialogs().Boxes();
    if (boxes.empty() || boxes.back().nIcon != TKvtBoxIcon::Error ||
        boxes.back().sText.find(m_sPath) == std::string::npos)
        return "a refused save showed no save error";
    if (!m_Window.IsModified())
        return "a refused save left the document unmodified";
    if (ReadFile(m_sPath) != m_sFileBytes)
        return "a refused save changed the file";
    return std::string();
}

std::string CRandomEditSession::CheckWrittenSave()
{
    if (!m_Harness.Dialogs().Boxes().empty())
        return "the save showed a box: " + m_Harness.Dialogs().Boxes().back().sText;
    if (m_Window.IsModified())
        return "the document is still modified after it was saved";
    ++m_Stats.nSavesWritten;
    m_sFileBytes = ReadFile(m_sPath);

    // The file opens again as the tree it was saved from.
    bool bLoaded = false;
    TRoot pReopened = OpenSide(m_sPath, bLoaded);
    KvtFormatLimits_st limits;
    const std::string sDifference = CompareSavedTree(m_Window.RootNode(), pReopened.get(), limits);
    if (!sDifference.empty())
        return "the saved file opens differently: " + sDifference;
    const bool bStructural = limits.nNamesakeFields > 0 || limits.nNonStructElements > 0;
    if (!bLoaded && !bStructural)
        return "the saved file has a field that cannot be read";
    if (limits.Any()) {
        ++m_Stats.nSavesWithLimits;
        m_Stats.nNamesakeFields += limits.nNamesakeFields;
        m_Stats.nNonStructElements += limits.nNonStructElements;
        m_Stats.nVersionsReplaced += limits.bVersionReplaced ? 1 : 0;
    }

    // Saving what was opened gives the file's bytes; where the format could
    // not hold the tree, it gives a form that is then a fixed point.
    if (!pReopened->SaveDocument(m_sScratchPath.c_str()))
        return "the reopened document could not be saved";
    m_sReopenBytes = ReadFile(m_sScratchPath);
    m_bFileHeldAll = !bStructural;
    if (!bStructural && m_sReopenBytes != m_sFileBytes)
        return "saving the reopened document gives other bytes than the file";
    if (bStructural) {
        TRoot pAgain = OpenSide(m_sScratchPath, bLoaded);
        const std::string sAgainPath = m_sScratchPath + ".again";
        if (!pAgain->SaveDocument(sAgainPath.c_str()) || ReadFile(sAgainPath) != m_sReopenBytes)
            return "the saved form is not a fixed point after one reopen";
        std::filesystem::remove(sAgainPath);
    }
    return std::string();
}

std::string CRandomEditSession::Reopen()
{
    // Close by opening the file again: a changed document is saved first,
    // dropped, or the open is cancelled.
    const uint32_t nChoice = m_Random.Below(10);
    Log(std::string("close and reopen (") + (nChoice < 3 ? "save first" : nChoice < 9 ? "discard" : "cancel") + ")");
    if (nChoice < 3 && m_Window.IsModified()) {
        std::string sFault = Save();
        if (!sFault.empty())
            return sFault;
        m_Harness.Dialogs().Reset();
    }
    const bool bModified = m_Window.IsModified();
    const std::string sBefore = TreeOutline(m_Window.RootNode());
    if (bModified)
        m_Harness.Dialogs().QueueAnswer(nChoice == 9 ? TKvtBoxAnswer::Cancel : TKvtBoxAnswer::No);
    m_Harness.Dialogs().QueueFileName(m_sPath);
    m_Harness.Action("actFileOpen")->trigger();
    if (bModified && nChoice == 9) {
        if (!m_Window.IsModified() || TreeOutline(m_Window.RootNode()) != sBefore)
            return "a cancelled close changed the document";
        return std::string();
    }
    ++m_Stats.nReopens;
    return CheckReopened();
}

std::string CRandomEditSession::ExportJson()
{
    // File > Export as JSON writes the document's JSON form, which reads back
    // as the same tree, except where the tree holds a label the format
    // cannot (longer than 16 bytes): that is refused on reading.
    Log("export as JSON");
    const std::string sJsonPath = m_Harness.Dir().File("random.json");
    m_Harness.Dialogs().QueueFileName(sJsonPath);
    m_Harness.Action("actFileExportJson")->trigger();
    const std::string sText = ReadFile(sJsonPath);
    std::remove(sJsonPath.c_str());
    if (sText != CKvtJsonWriter::ToString(m_Window.RootNode()))
        return "the exported file is not the document's JSON form";
    std::string sError;
    std::unique_ptr<CKvtNodeTopLevelStruct> pBack = CKvtJsonReader::FromText(sText.c_str(), sText.size(), sError);
    if (!pBack)
        return sError.find("a label holds at most 16 bytes") != std::string::npos
                   ? std::string()
                   : "the exported JSON is refused: " + sError;
    if (TreeOutline(pBack.get()) != TreeOutline(m_Window.RootNode()))
        return "the exported JSON reads back as another tree";
    return std::string();
}

std::string CRandomEditSession::CheckReopened()
{
    if (m_Window.IsModified() || m_Window.FileName() != m_sPath.c_str()) {
        std::string sBoxes;
        for (const KvtMessageBox_st& box : m_Harness.Dialogs().Boxes())
            sBoxes += " [" + box.sText + "]";
        return std::string("the file was not opened again (") + (m_Window.IsModified() ? "modified" : "unmodified") +
               ", file '" + m_Window.FileName().CStr() + "', boxes:" + sBoxes + ")";
    }
    if (!m_Window.RootNode()->SaveDocument(m_sScratchPath.c_str()))
        return "the reopened document could not be saved";
    m_sOpenedForm = ReadFile(m_sScratchPath);
    if (m_sOpenedForm != m_sReopenBytes) {
        // Kept for a closer look when asked for.
        if (const char* pKeep = std::getenv("KVT_RANDOM_KEEP")) {
            std::filesystem::copy_file(m_sPath, std::string(pKeep) + "/file.kvt",
                                       std::filesystem::copy_options::overwrite_existing);
            std::filesystem::copy_file(m_sScratchPath, std::string(pKeep) + "/reopened.kvt",
                                       std::filesystem::copy_options::overwrite_existing);
            std::ofstream(std::string(pKeep) + "/expected.kvt", std::ios::binary) << m_sReopenBytes;
        }
        return m_bFileHeldAll ? "saving the reopened document gives other bytes than the file"
                              : "saving the reopened document gives other bytes than its first reopen did";
    }
    return std::string();
}

std::string CRandomEditSession::TakeForm(std::string& sForm)
{
    if (!m_Reports.Reports().empty()) {
        const OroRecordedReport_st& report = m_Reports.Reports().front();
        return "unexpected report " + report.module + "/" + std::to_string(report.line) + ": " + report.message;
    }
    sForm = DocumentForm();
    // Saving a tree the format cannot hold whole warns; the check is about
    // the bytes, which are the same each time.
    m_Reports.Clear();
    return std::string();
}

std::string CRandomEditSession::DocumentForm()
{
    CKvtNodeTopLevelStruct* pRoot = m_Window.RootNode();
    const COroString& sFileType = pRoot->m_sFileType;
    if (!IsOpenableFileType(std::string_view(sFileType.CStr(), static_cast<size_t>(sFileType.GetLength()))))
        return "outline\n" + TreeOutline(pRoot);
    if (!pRoot->SaveDocument(m_sScratchPath.c_str()))
        return "not saved";
    return ReadFile(m_sScratchPath);
}

std::string CRandomEditSession::CheckReplayed()
{
    if (std::string sFault = FindTreeMirrorFault(m_Window.TreeModel(), m_Window.RootNode()); !sFault.empty())
        return sFault;
    const QUndoStack& stack = m_Window.Session().UndoStack();
    if (m_Window.windowTitle().endsWith(QLatin1Char('*')) != !stack.isClean())
        return "the caption's modified mark disagrees with the undo stack";
    return std::string();
}

std::string CRandomEditSession::UndoRedo(bool bUndo)
{
    // A run of several, mostly from the tree, sometimes with text typed into
    // the panel (Undo applies it first, as any command does).
    const int32_t nTimes = m_Random.Between(1, 6);
    Log(std::string(bUndo ? "undo " : "redo ") + std::to_string(nTimes) + " times");
    QAction* pAction = m_Harness.Action(bUndo ? "actEditUndo" : "actEditRedo");
    const QUndoStack& stack = m_Window.Session().UndoStack();
    for (int32_t i = 0; i < nTimes; ++i) {
        if (pAction->isEnabled() != (bUndo ? stack.canUndo() : stack.canRedo()))
            return "the action's enabling disagrees with the undo stack";
        const int nBefore = stack.index();
        pAction->trigger();
        if (bUndo && nBefore > 0)
            ++m_Stats.nStepsUndone;
        if (std::string sFault = CheckReplayed(); !sFault.empty())
            return sFault;
    }
    return std::string();
}

std::string CRandomEditSession::UndoAllRedoAll()
{
    Log("undo all, redo all");
    QUndoStack& stack = m_Window.Session().UndoStack();
    QAction* pUndo = m_Harness.Action("actEditUndo");
    QAction* pRedo = m_Harness.Action("actEditRedo");
    // The last state is the one at the top of the stack.
    while (stack.canRedo())
        pRedo->trigger();
    std::string sLastForm;
    if (std::string sFault = TakeForm(sLastForm); !sFault.empty())
        return sFault;
    // Undo applies the panel first; nothing is typed there now, so the
    // stack keeps its steps.
    int32_t nUndone = 0;
    const int32_t nSteps = stack.index();
    while (stack.canUndo()) {
        if (nUndone > nSteps)
            return "Undo keeps finding steps to undo";
        pUndo->trigger();
        ++nUndone;
        if (std::string sFault = CheckReplayed(); !sFault.empty())
            return "undoing all: " + sFault;
    }
    m_Stats.nStepsUndone += nUndone;
    m_Stats.nMostStepsUndone = std::max(m_Stats.nMostStepsUndone, nUndone);
    if (pUndo->isEnabled())
        return "Undo is enabled with nothing to undo";
    std::string sForm;
    if (std::string sFault = TakeForm(sForm); !sFault.empty())
        return sFault;
    if (sForm != m_sOpenedForm)
        return "undoing every step does not give the document as it was opened";
    int32_t nRedone = 0;
    while (stack.canRedo()) {
        pRedo->trigger();
        ++nRedone;
        if (std::string sFault = CheckReplayed(); !sFault.empty())
            return "redoing all: " + sFault;
    }
    if (nRedone != nUndone)
        return "redid " + std::to_string(nRedone) + " of " + std::to_string(nUndone) + " steps undone";
    if (std::string sFault = TakeForm(sForm); !sFault.empty())
        return sFault;
    if (sForm != sLastForm)
        return "redoing every step does not give the document as it was before";
    return std::string();
}

std::string CRandomEditSession::CheckReports(TRandomCommand nCommand)
{
    // Warnings are expected only where the format cannot hold the tree: on
    // saving it, and on opening what was saved from it.
    // A refused save warns too (the file type would not open again).
    const bool bSaving =
        nCommand == TRandomCommand::Save || nCommand == TRandomCommand::Reopen || m_bSaveRan;
    const bool bMayWarn = bSaving && (!m_bFileHeldAll || m_bSaveRefused);
    for (const OroRecordedReport_st& report : m_Reports.Reports()) {
        if (report.module == "orodebug" || !bMayWarn)
            return "unexpected report " + report.module + "/" + std::to_string(report.line) + ": " + report.message;
    }
    // The window's own open and save list their warnings in the Problems
    // panel, which only they fill (and empty).
    const CKvtProblemsModel& problems = m_Window.Problems().Model();
    for (int nRow = 0; bSaving && nRow < problems.Count(); ++nRow) {
        const KvtProblem_st& problem = *problems.ProblemAt(nRow);
        if (problem.sModule == "orodebug" || !bMayWarn)
            return "unexpected problem " + problem.sModule + "/" + std::to_string(problem.nLine) + " at '" +
                   problem.sPath + "': " + problem.sMessage;
    }
    return std::string();
}

std::string CRandomEditSession::LeaveUntyped()
{
    // Selecting a node, visiting its boxes and leaving it changes nothing.
    CKvtNodeBase* pNode = PickNode(IsAny);
    CKvtNodeBase* pNext = PickNode(IsAny);
    Log(std::string("leave '") + pNode->m_sLabel.CStr() + "' untyped for '" + pNext->m_sLabel.CStr() + "'");
    if (std::string sFault = ClickNode(pNode); !sFault.empty())
        return sFault;
    if (!m_Harness.Dialogs().Boxes().empty())
        return std::string();  // the click applied a refused text of an earlier command
    const int nBeeps = m_Harness.Dialogs().Beeps();
    const bool bModified = m_Window.IsModified();
    const std::string sBefore = TreeOutline(m_Window.RootNode());
    const char* const kBoxes[] = {"eValue", "eFieldID", "eNType", "eStrRef", "cbLangIDs", "mOroLocStringValue"};
    QWidget* pBox = Control<QWidget>(m_Window, kBoxes[m_Random.Below(pNode->GetType() == ftLOCSTRING ? 6 : 3)]);
    if (pBox->isVisible() && pBox->isEnabled())
        ClickInto(pBox);
    if (std::string sFault = ClickNode(pNext); !sFault.empty())
        return sFault;
    if (TreeOutline(m_Window.RootNode()) != sBefore)
        return "leaving a node without typing changed the document";
    if (m_Window.IsModified() != bModified)
        return "leaving a node without typing changed the modified flag";
    if (m_Harness.Dialogs().Beeps() != nBeeps || !m_Harness.Dialogs().Boxes().empty())
        return "leaving a node without typing beeped or showed a box";
    return std::string();
}

std::string CRandomEditSession::TypeThenCommand()
{
    // A value typed and never applied by leaving the box: the command applies
    // it first, as leaving would have.
    CKvtNodeBase* pNode = PickNode(IsLeaf);
    const TKvtFieldType nType = pNode->GetType();
    if (nType == ftLOCSTRING || nType == ftBINARY || nType == ftTOPLEVELSTRUCT)
        return LeaveUntyped();
    const std::string sText = RandomValueText(m_Random, nType);
    const uint32_t nCommand = m_Random.Below(4);
    const char* const kCommands[] = {"save", "export", "Preview", "export as JSON"};
    Log(std::string("type '") + sText + "' into '" + pNode->m_sLabel.CStr() + "' then " + kCommands[nCommand]);
    if (std::string sFault = ClickNode(pNode); !sFault.empty())
        return sFault;
    if (!m_Harness.Dialogs().Boxes().empty())
        return std::string();
    auto* pValue = Control<QPlainTextEdit>(m_Window, "eValue");
    const QString sShown = MemoShows(pValue);
    TypeInto(pValue, QString::fromLatin1(sText.c_str()));
    const bool bTyped = MemoShows(pValue) != sShown;
    // What leaving the box would leave in the node.
    std::unique_ptr<CKvtNodeBase> pExpected(CreateKvtNode(nType));
    COroString sExpected = pNode->GetEditText();
    if (bTyped && pExpected->SetFromText(MemoText(*pValue)))
        sExpected = pExpected->GetEditText();
    std::string sFault;
    if (nCommand == 0) {
        if (bTyped && !m_Window.IsReadOnly() && !m_Harness.Action("actFileSave")->isEnabled())
            return "typed text left Save disabled";
        sFault = TypeThenSave();
    } else if (nCommand == 1) {
        m_Harness.Dialogs().QueueFileName(m_sScratchPath + ".txt");
        m_Harness.Action("actFileExport")->trigger();
    } else if (nCommand == 2) {
        m_Harness.Action("miPreviewDataInTree")->trigger();
    } else {
        const std::string sJsonPath = m_sScratchPath + ".json";
        m_Harness.Dialogs().QueueFileName(sJsonPath);
        m_Harness.Action("actFileExportJson")->trigger();
        std::remove(sJsonPath.c_str());
    }
    if (!sFault.empty())
        return sFault;
    if (pNode->GetEditText() != sExpected)
        return std::string("the typed text was not applied first: '") + pNode->GetEditText().CStr() + "', expected '" +
               sExpected.CStr() + "'";
    if (m_Window.TreeModel().NodeAt(m_Window.SelectedItem()) != pNode)
        return "the node is no longer selected after the command";
    return std::string();
}

std::string CRandomEditSession::TypeThenSave()
{
    m_bSaveRan = true;
    const bool bEnabled = m_Harness.Action("actFileSave")->isEnabled();
    m_Harness.Action("actFileSave")->trigger();
    if (!bEnabled)
        return ReadFile(m_sPath) == m_sFileBytes ? std::string() : "a disabled Save wrote the file";
    const COroString& sFileType = m_Window.RootNode()->m_sFileType;
    if (!IsOpenableFileType(std::string_view(sFileType.CStr(), static_cast<size_t>(sFileType.GetLength())))) {
        m_bSaveRefused = true;
        return CheckRefusedSave();
    }
    return CheckWrittenSave();
}
