#include "app/JobProperties.h"

#include "core/CommandManager.h"
#include "core/LocalText.h"
#include "core/Paths.h"
#include "core/TreeManager.h"
#include "core/xml/FileIo.h"
#include "dialogs/DialogService.h"
#include "dialogs/ItemDlg.h"

namespace clipforge {

JobProperties::JobProperties(TTreeManager& jobs, const TCommandManager& catalogue, std::function<bool()> idle)
    : jobs_(jobs)
    , catalogue_(catalogue)
    , idle_(std::move(idle))
{
}

void JobProperties::Properties(int row)
{
    if (row < 0 || row >= jobs_.Count())
        return;
    const TItemData job = jobs_.Job(row).ItemData;
    TItemDlg dialog(catalogue_.Names());
    dialog.setFile(job.FileName);
    dialog.ComboBox1->setCurrentIndex(catalogue_.RowOf(job.Format));
    dialog.etDirectory->setText(job.Path);
    dialog.appendLine(QStringLiteral("file name: %1").arg(widen(fileNamePart(narrow(job.FileName)))));
    dialog.appendLine(QStringLiteral("file size: %1 Bytes").arg(GetFileSize64(job.FileName)));
    DialogService::instance().execModal(dialog);
    // The row may hold another job by now only if the list changed, which a run or the
    // dialog's own modality prevents; the file name tells for sure.
    if (!dialog.Confirmed || !idle_() || row >= jobs_.Count() || jobs_.Job(row).ItemData.FileName != job.FileName)
        return;
    jobs_.ChangeJob(row, catalogue_.NumberAt(dialog.ComboBox1->currentIndex()), dialog.etDirectory->text());
}

}  // namespace clipforge
