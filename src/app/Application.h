#pragma once

#include <QApplication>

#include <exception>

namespace clipforge {

// The application object. Any exception that leaves an event handler ends up here and is
// shown as a message box with the application's title; the program then carries on.
class Application : public QApplication {
public:
    Application(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};

// The default display of an error: its message in a message box titled with the
// application's title, with the error icon.
void showException(const std::exception_ptr& error);

// Names the application "Norvane Clipforge"; the title of the task bar and every message box.
void setApplicationTitle();

}  // namespace clipforge
