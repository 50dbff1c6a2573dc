#include "app/JobMenu.h"

#include "app/JobTreeView.h"
#include "app/MainDlg.h"
#include "app/WebPages.h"
#include "core/LocalText.h"
#include "core/Paths.h"
#include "core/TreeManager.h"
#include "engine/DefaultOutputFolder.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <QUrl>

namespace clipforge {

JobMenu::JobMenu(TmainDlg& form, TTreeManager& jobs, std::function<bool()> listChangesAllowed,
                 std::function<void()> listChanged)
    : form_(form)
    , jobs_(jobs)
    , listChangesAllowed_(std::move(listChangesAllowed))
    , listChanged_(std::move(listChanged))
{
    connect(form.PopupMenu1, &QMenu::aboutToShow, this, [this] { updateItems(); });
    connect(form.pmiOpenFolder, &QAction::triggered, this, [this] { pmiOpenFolderClick(); });
    connect(form.pmiRemoveFinished, &QAction::triggered, this, [this] { pmiRemoveFinishedClick(); });
}

QString JobMenu::outputFolder(int row) const
{
    if (row >= 0 && row < jobs_.Count() && !jobs_.Job(row).ItemData.Path.isEmpty())
        return jobs_.Job(row).ItemData.Path;
    return widen(defaultOutputFolder(programFolder()));
}

void JobMenu::updateItems()
{
    form_.pmiOpenFolder->setEnabled(QFileInfo(outputFolder(form_.JobTree->popupRow())).isDir());
    form_.pmiRemoveFinished->setEnabled(listChangesAllowed_() && !finishedRows().isEmpty());
}

QList<int> JobMenu::finishedRows() const
{
    QList<int> finished;
    for (int row = 0; row < jobs_.Count(); ++row) {
        if (jobs_.Job(row).State == jsFinished)
            finished << row;
    }
    return finished;
}

void JobMenu::pmiOpenFolderClick()
{
    const QString folder = outputFolder(form_.JobTree->popupRow());
    if (QFileInfo(folder).isDir())
        openOnDesktop(QUrl::fromLocalFile(folder));
}

void JobMenu::pmiRemoveFinishedClick()
{
    if (!listChangesAllowed_())
        return;
    const QList<int> finished = finishedRows();
    if (finished.isEmpty())
        return;
    jobs_.DeleteRows(finished);
    listChanged_();
}

}  // namespace clipforge
