#pragma once
// The one seam through which the window talks to the user in modal boxes and
// file dialogs and sounds the beep. The editor installs the Qt implementation;
// tests install a scripted one, so every box text, title, icon and button set
// can be checked and every answer chosen.

#include <string>

enum class TKvtBoxIcon { None, Information, Warning, Error, Question };
enum class TKvtBoxButtons { Ok, OkCancel, YesNoCancel, AbortRetryIgnore };
enum class TKvtBoxAnswer { Ok, Cancel, Yes, No, Abort, Retry, Ignore };

struct KvtMessageBox_st {
    std::string sText; // bytes as the program holds them (file names included)
    std::string sTitle;
    TKvtBoxIcon nIcon = TKvtBoxIcon::None;
    TKvtBoxButtons nButtons = TKvtBoxButtons::Ok;
    // Warnings and assertions of the lower layers stay on top of every
    // window and block the whole application.
    bool bSystemModal = false;
};

enum class TKvtFileDialogKind { Open, Save };

struct KvtFileDialogRequest_st {
    TKvtFileDialogKind nKind = TKvtFileDialogKind::Open;
    std::string sTitle;            // empty: the platform's own title
    std::string sStartFolder;      // empty: the platform's choice
    std::string sFilter;           // pairs "description|pattern", '|'-separated
    std::string sDefaultExtension; // without the dot; added to a name without one
};

class IKvtDialogs {
public:
    virtual ~IKvtDialogs() = default;
    // Shows the box and returns the button chosen; closing a box that has a
    // Cancel button counts as Cancel.
    virtual TKvtBoxAnswer MessageBox(const KvtMessageBox_st& box) = 0;
    // True and the chosen path, or false when the user cancelled.
    virtual bool AskFileName(const KvtFileDialogRequest_st& request, std::string& sFileName) = 0;
    // The platform's default beep.
    virtual void Beep() = 0;
};
