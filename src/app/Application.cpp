#include "app/Application.h"

#include "dialogs/DialogService.h"

#include <QWidget>

#include <stdexcept>

namespace clipforge {

namespace {

QString messageOf(const std::exception_ptr& error)
{
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return QString::fromLocal8Bit(e.what());
    } catch (...) {
        return QStringLiteral("An unexpected error occurred.");
    }
}

}  // namespace

Application::Application(int& argc, char** argv)
    : QApplication(argc, argv)
{
    setApplicationTitle();
}

bool Application::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        showException(std::current_exception());
        return true;
    }
}

void showException(const std::exception_ptr& error)
{
    if (!error)
        return;
    DialogService::instance().message(QApplication::activeWindow(), messageOf(error), QMessageBox::Critical);
}

void setApplicationTitle()
{
    QApplication::setApplicationName(QStringLiteral("clipforge"));
    QApplication::setApplicationDisplayName(QStringLiteral("Norvane Clipforge"));
}

}  // namespace clipforge
