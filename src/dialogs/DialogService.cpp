#include "dialogs/DialogService.h"

#include "dialogs/DesktopOpener.h"
#include "dialogs/DialogAnchor.h"
#include "dialogs/FileFilter.h"
#include "dialogs/TypedFileNames.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QPushButton>

#include <algorithm>
#include <vector>

namespace clipforge {

namespace {

DialogService*& current()
{
    static QtDialogService platform;
    static DialogService* service = &platform;
    return service;
}

}  // namespace

DialogService& DialogService::instance()
{
    return *current();
}

ScopedDialogService::ScopedDialogService(DialogService& replacement)
    : previous_(current())
{
    current() = &replacement;
}

ScopedDialogService::~ScopedDialogService()
{
    current() = previous_;
}

namespace {

QString& title()
{
    static QString text;
    return text;
}

}  // namespace

QString applicationTitle()
{
    return title();
}

void setApplicationTitle(const QString& text)
{
    title() = text;
}

QStringList QtDialogService::openFileNames(QWidget* owner, const QString& filter, const QString& folder)
{
    QFileDialog dialog(owner, QString(), folder, toQtFilter(filter));
    dialog.setFileMode(QFileDialog::ExistingFiles);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return confirmedFiles(dialog);
}

QString QtDialogService::openFileName(QWidget* owner, const QString& filter, const QString& folder)
{
    return QFileDialog::getOpenFileName(owner, QString(), folder, toQtFilter(filter));
}

QString QtDialogService::saveFileName(QWidget* owner, const QString& filter, const QString& folder)
{
    // The program itself decides about extensions and replacing, so the dialog must not: its
    // question would look at the name before the program adds the list extension.
    return QFileDialog::getSaveFileName(owner, QString(), folder, toQtFilter(filter), nullptr,
                                        QFileDialog::DontConfirmOverwrite);
}

QString QtDialogService::existingDirectory(QWidget* owner, const QString& title, const QString& folder)
{
    return QFileDialog::getExistingDirectory(owner, title, folder);
}

void QtDialogService::message(QWidget* owner, const QString& text, QMessageBox::Icon icon)
{
    QMessageBox box(icon, applicationTitle(), text, QMessageBox::Ok, owner);
    box.exec();
}

bool QtDialogService::question(QWidget* owner, const QString& text, Preferred preferred)
{
    QMessageBox box(QMessageBox::Question, applicationTitle(), text, QMessageBox::Yes | QMessageBox::No, owner);
    box.setDefaultButton(preferred == Preferred::Yes ? QMessageBox::Yes : QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

int QtDialogService::choose(QWidget* owner, const QString& text, const QStringList& answers, int preferred)
{
    QMessageBox box(QMessageBox::Question, applicationTitle(), text, QMessageBox::NoButton, owner);
    std::vector<QPushButton*> buttons;
    for (const QString& answer : answers)
        buttons.push_back(box.addButton(answer, QMessageBox::AcceptRole));
    if (preferred >= 0 && preferred < static_cast<int>(buttons.size()))
        box.setDefaultButton(buttons[static_cast<size_t>(preferred)]);
    // Without a cancel button of its own the box would give Escape to one of the answers.
    QPushButton* cancel = box.addButton(QMessageBox::Cancel);
    cancel->hide();
    box.setEscapeButton(cancel);
    box.exec();
    const auto chosen = std::find(buttons.begin(), buttons.end(), box.clickedButton());
    return chosen == buttons.end() ? -1 : static_cast<int>(chosen - buttons.begin());
}

// The toolkit only learns whether the opener started; for a folder the program waits for its end
// (without blocking) to say when nothing could open it.
bool QtDialogService::openUrl(const QUrl& address)
{
    if (!address.isLocalFile() || !QFileInfo(address.toLocalFile()).isDir())
        return QDesktopServices::openUrl(address);
    const QString folder = address.toLocalFile();
    return DesktopOpener::open(folder, [folder](const QString& why) {
        instance().message(mainWindow(), QStringLiteral("Could not open %1: %2.").arg(folder, why),
                           QMessageBox::Warning);
    });
}

void QtDialogService::execModal(QDialog& dialog)
{
    dialog.exec();
}

}  // namespace clipforge
