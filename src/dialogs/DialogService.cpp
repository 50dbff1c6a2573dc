#include "dialogs/DialogService.h"

#include "dialogs/FileFilter.h"
#include "dialogs/TypedFileNames.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>

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

QStringList QtDialogService::openFileNames(QWidget* owner, const QString& filter)
{
    QFileDialog dialog(owner, QString(), QString(), toQtFilter(filter));
    dialog.setFileMode(QFileDialog::ExistingFiles);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return confirmedFiles(dialog);
}

QString QtDialogService::openFileName(QWidget* owner, const QString& filter)
{
    return QFileDialog::getOpenFileName(owner, QString(), QString(), toQtFilter(filter));
}

QString QtDialogService::saveFileName(QWidget* owner, const QString& filter)
{
    // The program itself decides about extensions and replacing, so the dialog must not.
    return QFileDialog::getSaveFileName(owner, QString(), QString(), toQtFilter(filter), nullptr,
                                        QFileDialog::DontConfirmOverwrite);
}

QString QtDialogService::existingDirectory(QWidget* owner, const QString& title)
{
    return QFileDialog::getExistingDirectory(owner, title);
}

void QtDialogService::message(QWidget* owner, const QString& text, QMessageBox::Icon icon)
{
    QMessageBox box(icon, applicationTitle(), text, QMessageBox::Ok, owner);
    box.exec();
}

bool QtDialogService::openUrl(const QUrl& address)
{
    return QDesktopServices::openUrl(address);
}

void QtDialogService::execModal(QDialog& dialog)
{
    dialog.exec();
}

}  // namespace clipforge
