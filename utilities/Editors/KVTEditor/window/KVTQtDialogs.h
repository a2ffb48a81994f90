#pragma once
// The dialog seam on Qt widgets: QMessageBox, QFileDialog and
// QApplication::beep().

#include <QString>
#include <QStringList>

#include "KVTDialogs.h"

class QWidget;

class CKvtQtDialogs : public IKvtDialogs {
public:
    TKvtBoxAnswer MessageBox(const KvtMessageBox_st& box) override;
    bool AskFileName(const KvtFileDialogRequest_st& request, std::string& sFileName) override;
    void Beep() override;

    // "Description (*.a)|*.a|..." as Qt name filters. Patterns are ';'-separated
    // and "*.*" means every file, as on the platform the filters were written
    // for; here names without a dot must match too, so it becomes "*".
    static QStringList NameFiltersFromPairs(const std::string& sFilter);
};
