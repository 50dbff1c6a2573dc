#include "app/AddDlgOpener.h"

#include "dialogs/AddDlg.h"
#include "core/LocalText.h"
#include "core/Paths.h"
#include "dialogs/DialogService.h"
#include "core/VideoFiles.h"
#include "engine/DefaultOutputFolder.h"

namespace clipforge {

QString videoFilter()
{
    QStringList patterns;
    for (const std::string& extension : videoExtensions())
        patterns << QStringLiteral("*.") + QString::fromStdString(extension);
    return QStringLiteral("All Supported Formats|%1|All Files|*.*").arg(patterns.join(QLatin1Char(';')));
}

AddDlgOpener::AddDlgOpener(const std::vector<std::string>& profileNames)
    : profileNames_(profileNames)
{
}

std::optional<AddChoice> AddDlgOpener::ask(const QStringList& names) const
{
    TaddDlg dialog(profileNames_);
    dialog.setFiles(names);
    dialog.appendLine(QStringLiteral("file count: %1").arg(names.size()));
    dialog.appendLine(QStringLiteral("format: %1").arg(dialog.ComboBox1->currentText()));
    dialog.setDefaultFolder(widen(defaultOutputFolder(programFolder())));
    dialog.appendLine(dialog.saveToLine());
    dialog.appendLine(QStringLiteral("Ready to go...click OK"));
    dialog.appendLine(QStringLiteral("Cancel the operation...click Cancel"));
    DialogService::instance().execModal(dialog);
    if (!dialog.Confirmed)
        return std::nullopt;
    return AddChoice {static_cast<std::int32_t>(dialog.ComboBox1->currentIndex()), dialog.etDirectory->text()};
}

}  // namespace clipforge
