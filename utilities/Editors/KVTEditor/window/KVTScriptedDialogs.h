#pragma once
// The dialog seam for tests: every box and file dialog is recorded, answers
// come from queues filled by the test, and beeps are counted. A box or dialog
// that finds its queue empty is counted as unscripted and answered as if the
// user closed it (Cancel where the box has one, Ignore for a warning box, Ok
// for a box with only Ok; a file dialog is cancelled).

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "KVTDialogs.h"

class CKvtScriptedDialogs : public IKvtDialogs {
public:
    TKvtBoxAnswer MessageBox(const KvtMessageBox_st& box) override;
    bool AskFileName(const KvtFileDialogRequest_st& request, std::string& sFileName) override;
    void Beep() override { ++m_nBeeps; }

    void QueueAnswer(TKvtBoxAnswer nAnswer) { m_Answers.push_back(nAnswer); }
    void QueueFileName(const std::string& sFileName) { m_FileNames.emplace_back(sFileName); }
    void QueueFileDialogCancel() { m_FileNames.emplace_back(std::nullopt); }

    const std::vector<KvtMessageBox_st>& Boxes() const { return m_Boxes; }
    const std::vector<KvtFileDialogRequest_st>& FileDialogs() const { return m_FileDialogs; }
    int Beeps() const { return m_nBeeps; }
    int Unscripted() const { return m_nUnscripted; }
    // Answers and file names queued but never asked for.
    size_t PendingAnswers() const { return m_Answers.size(); }
    size_t PendingFileNames() const { return m_FileNames.size(); }

    // Forgets everything recorded and queued.
    void Reset();

private:
    std::deque<TKvtBoxAnswer> m_Answers;
    std::deque<std::optional<std::string>> m_FileNames;
    std::vector<KvtMessageBox_st> m_Boxes;
    std::vector<KvtFileDialogRequest_st> m_FileDialogs;
    int m_nBeeps = 0;
    int m_nUnscripted = 0;
};
