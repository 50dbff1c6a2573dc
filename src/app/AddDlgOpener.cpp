#include "app/AddDlgOpener.h"

#include "dialogs/AddDlg.h"
#include "core/LocalText.h"
#include "core/Paths.h"
#include "dialogs/DialogService.h"
#include "core/VideoFiles.h"
#include "dialogs/UserSettings.h"
#include "engine/DefaultOutputFolder.h"

namespace clipforge {

QString videoFilter()
{
    QStringList patterns;
    for (const std::string& extension : videoExtensions())
        patterns << QStringLiteral("*.") + QString::fromStdString(extension);
    return QStringLiteral("All Supported Formats|%1|All Files|*.*").arg(patterns.join(QLatin1Char(';')));
}

namespace {

QStringList itemsOf(const QComboBox& list)
{
    QStringList items;
    for (int i = 0; i < list.count(); ++i)
        items << list.itemText(i);
    return items;
}

// The profile and folder confirmed last time, where they still exist.
void preselectLastChoice(TaddDlg& dialog)
{
    const int profile = UserSettings::lastProfile(itemsOf(*dialog.ComboBox1));
    if (profile >= 0)
        dialog.ComboBox1->setCurrentIndex(profile);
    dialog.etDirectory->setText(UserSettings::lastOutputFolder());
}

void rememberChoice(const TaddDlg& dialog)
{
    UserSettings::rememberProfile(dialog.ComboBox1->currentIndex(), dialog.ComboBox1->currentText());
    UserSettings::rememberOutputFolder(dialog.etDirectory->text());
}

}  // namespace

AddDlgOpener::AddDlgOpener(const std::vector<std::string>& profileNames)
    : profileNames_(profileNames)
{
}

std::optional<AddChoice> AddDlgOpener::ask(const QStringList& names) const
{
    TaddDlg dialog(profileNames_);
    dialog.setFiles(names);
    preselectLastChoice(dialog);
    dialog.appendLine(QStringLiteral("file count: %1").arg(names.size()));
    dialog.appendLine(QStringLiteral("format: %1").arg(dialog.ComboBox1->currentText()));
    dialog.setDefaultFolder(widen(defaultOutputFolder(programFolder())));
    dialog.appendLine(dialog.saveToLine());
    dialog.appendLine(QStringLiteral("Ready to go...click OK"));
    dialog.appendLine(QStringLiteral("Cancel the operation...click Cancel"));
    DialogService::instance().execModal(dialog);
    if (!dialog.Confirmed)
        return std::nullopt;
    rememberChoice(dialog);
    return AddChoice {static_cast<std::int32_t>(dialog.ComboBox1->currentIndex()), dialog.etDirectory->text()};
}

}  // namespace clipforge
