#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include <functional>

class TTreeManager;
class TmainDlg;

namespace clipforge {

// The job menu's everyday items after the first three: "Open output folder", for the job the menu
// was opened on (its own folder, or the default one below the jobs), and "Remove finished jobs", so a new run
// does not convert them again. Each opening of the menu enables only what can be done then.
class JobMenu : public QObject {
public:
    // listChanged: called after jobs were removed (the window refreshes its counter).
    JobMenu(TmainDlg& form, TTreeManager& jobs, std::function<bool()> listChangesAllowed,
            std::function<void()> listChanged);

    // Where the job at row writes: its own folder, or the default one for a job without one
    // (and for no job).
    QString outputFolder(int row) const;

    void pmiOpenFolderClick();
    void pmiRemoveFinishedClick();

private:
    void updateItems();
    QList<int> finishedRows() const;

    TmainDlg& form_;
    TTreeManager& jobs_;
    std::function<bool()> listChangesAllowed_;
    std::function<void()> listChanged_;
};

}  // namespace clipforge
