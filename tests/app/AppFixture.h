#pragma once

#include "app/MainDlg.h"
#include "dialogs/ScriptedDialogs.h"
#include "support/Keyboard.h"
#include "support/Wait.h"
#include "support/ScopedConfigFolder.h"
#include "support/ScopedVariable.h"

#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

// A program folder of its own (catalogue, converter, default output folder) and the real
// main window over it, with every dialog answered by the script.
class AppFixture {
public:
    // Halfway: reports a 10-second source converted to its middle, then waits until a file named
    // like its output plus ".go" appears before it writes its output.
    // Partial: writes part of its output, then never ends.
    // Early: the real converter, given only its source's first second, exiting 0.
    // Paced: the real converter reading its source at the source's own pace.
    enum class Converter { Real, Hanging, Succeeding, Failing, Missing, Halfway, Partial, Early, Paced };

    explicit AppFixture(Converter converter = Converter::Real, const QByteArray& catalogue = QByteArray());
    ~AppFixture();

    TmainDlg& window() { return *window_; }
    TUIHook& hook();
    ScriptedDialogs dialogs;

    QString programFolder() const { return programFolder_.path() + QLatin1Char('/'); }
    QString workFolder() const { return work_.path() + QLatin1Char('/'); }
    // How the window checks outputs from the next Convert on ([convert] check in clipforge.conf);
    // off to begin with for the fake converters that write no media file.
    void chooseOutputCheck(const char* mode);

    // Adds files through Add and the Add Files dialog, choosing profile and folder there.
    void addJobs(const QStringList& names, int profile, const QString& folder);
    int profileWithExtension(const char* extension);
    // The jobs' source files, in the list's order.
    QStringList sources();
    // The hint of the job in row, a line each: a waiting job has three, a finished, failed or
    // converting one a fourth.
    QStringList hint(int row);
    QPoint rowCentre(int row);

private:
    // Each window starts with nothing remembered.
    clipforge::test::ScopedConfigFolder configuration_;
    QTemporaryDir programFolder_;
    QTemporaryDir work_;
    std::unique_ptr<clipforge::ScopedDialogService> scope_;
    std::unique_ptr<TmainDlg> window_;
};

using clipforge::test::giveKeyboard;
using clipforge::test::keepRunningFor;
using clipforge::test::waitFor;

// Empty when the file cannot be read.
QByteArray readBytes(const QString& path);
// Makes the file's folder first; false when the file was not written whole.
bool writeBytes(const QString& path, const QByteArray& bytes);

class TImageButton;
class TMyButtonEx;
void click(TImageButton* button);
void click(TMyButtonEx* button);

// For the user's own profiles: no profiles are installed for the whole system.
class WithoutSystemProfiles : public ::testing::Test {
    clipforge::test::ScopedVariable systemProfiles_ {"CLIPFORGE_SYSTEM_PROFILES", "/nonexistent/clipforge-profiles"};
};

// Short clips made by the real converter, shared by the tests of one run.
QStringList generatedClips();
