#pragma once
// What the window tests share: a main window with scripted dialogs and its
// settings file in a temporary folder, documents written through the
// document model, and a way to make a file unwritable even for root.

#include <QAction>
#include <QModelIndex>
#include <QStringList>
#include <functional>
#include <memory>
#include <string>

#include "KVTEditorMain.h"
#include "KVTScriptedDialogs.h"
#include "KVTTreeModel.h"
#include "TempDir.h"

// A main window as the editor creates it, but with scripted dialogs and with
// the program's path (which places the settings file) in a temporary folder.
// No hex editor is registered unless the test writes the registry file.
class CWindowHarness {
public:
    CWindowHarness();
    ~CWindowHarness();
    CWindowHarness(const CWindowHarness&) = delete;
    CWindowHarness& operator=(const CWindowHarness&) = delete;

    // Creates the window (its constructor loads the settings) and shows it.
    TfrmMain& Start();
    // Destroys the window (its destructor saves the settings).
    void Stop();

    TfrmMain& Window() { return *m_pWindow; }
    CKvtScriptedDialogs& Dialogs() { return m_Dialogs; }
    CTempDir& Dir() { return m_Dir; }
    std::string SettingsFile() const { return m_Dir.File("kvted.ini"); }
    std::string RegistryFile() const { return m_Dir.File("registry.ini"); }

    QAction* Action(const char* pName) const;
    QString Caption() const { return m_pWindow->windowTitle(); }
    // The window caption expected for a document state.
    static QString Title(const char* pSuffix);

private:
    CTempDir m_Dir;
    CKvtScriptedDialogs m_Dialogs;
    std::unique_ptr<TfrmMain> m_pWindow;
};

// Adds a leaf or container to pParent; pValue (when given) is set as text.
CKvtNodeBase* AddNode(CKvtNodeStruct* pParent, TKvtFieldType nType, const char* pLabel, const char* pValue = nullptr);
// Builds a document with fill and saves it; false when the save failed.
bool WriteDocument(const std::string& sPath, const std::function<void(CKvtNodeTopLevelStruct&)>& fill,
                   const char* pFileType = "DATA");
// A small valid document: one BYTE field "Flag" = 1.
bool WriteSmallDocument(const std::string& sPath);
// The example document of the text export: type ABCD; Flag (BYTE 1) and a
// list Items with one element holding the STRING Name.
bool WriteExportExample(const std::string& sPath);

// Number of nodes in the subtree (the node included).
int64_t CountNodes(CKvtNodeBase* pNode);

// Captions of the model's children of parent, in display order.
QStringList ChildCaptions(CKvtTreeModel& model, const QModelIndex& parent);
// The first child item whose caption starts with sStart (invalid if none).
QModelIndex ChildStartingWith(CKvtTreeModel& model, const QModelIndex& parent, const QString& sStart);

// Takes the right to write files regardless of their permission bits away
// from this thread while it lives (root keeps it otherwise), so that a file
// without write permission cannot be opened for writing.
class CScopedNoWriteOverride {
public:
    CScopedNoWriteOverride();
    ~CScopedNoWriteOverride();
    CScopedNoWriteOverride(const CScopedNoWriteOverride&) = delete;
    CScopedNoWriteOverride& operator=(const CScopedNoWriteOverride&) = delete;

private:
    bool m_bDropped;
    unsigned m_nSavedEffective;
};

// True when the file cannot be opened for reading and writing.
bool IsUnwritable(const std::string& sPath);

