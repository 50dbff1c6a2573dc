#include "app/Application.h"

#include "ClipforgeResources.h"
#include "app/EndFromOutside.h"
#include "controls/AccessibleControls.h"
#include "core/DisplayText.h"
#include "core/Errors.h"
#include "core/LocalText.h"
#include "dialogs/DialogService.h"
#include "engine/StartFailureReporter.h"

#include <QWidget>

#include <stdexcept>

namespace clipforge {

namespace {

QString messageOf(const std::exception_ptr& error)
{
    try {
        std::rethrow_exception(error);
    } catch (const ESystemError& e) {
        // The system's own text, in lines of its own, and no name in it.
        return widen(e.what());
    } catch (const std::exception& e) {
        return widen(displayText(e.what()));
    } catch (...) {
        return QStringLiteral("An unexpected error occurred.");
    }
}

}  // namespace

Application::Application(int& argc, char** argv)
    : QApplication(argc, argv)
{
    clipforge::initResources();
    // Before any window exists, so that none is read the toolkit's way first.
    installAccessibleControls();
    setApplicationTitle();
    watchSessionEnd(*this);
    // A converter that cannot be started is the one thing the runner reports by itself.
    setStartFailureReporter([](const std::string& message) {
        DialogService::instance().message(QApplication::activeWindow(), widen(displayText(message)), QMessageBox::Critical);
    });
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
    setApplicationTitle(QStringLiteral("Norvane Clipforge"));
}

}  // namespace clipforge
