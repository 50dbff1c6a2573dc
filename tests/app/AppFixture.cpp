#include "AppFixture.h"

#include "app/UIHook.h"
#include "controls/ImageButton.h"
#include "controls/MyButtonEx.h"
#include "controls/LinePanel.h"
#include "controls/PngSpeedButton.h"
#include "core/CommandManager.h"
#include "core/Paths.h"
#include "dialogs/AddDlg.h"
#include "dialogs/DefaultFolderLink.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <QThread>

#include <gtest/gtest.h>

namespace {

QByteArray shippedCatalogue()
{
    QFile file(qEnvironmentVariable("CLIPFORGE_APP_DIR") + QStringLiteral("/command"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

void installConverter(const QString& folder, AppFixture::Converter converter)
{
    QDir().mkpath(folder + QStringLiteral("bin"));
    QDir().mkpath(folder + QStringLiteral("convert"));
    const QString target = folder + QStringLiteral("bin/ffmpeg");
    if (converter == AppFixture::Converter::Real) {
        QFile::link(QStandardPaths::findExecutable(QStringLiteral("ffmpeg")), target);
        return;
    }
    switch (converter) {
    case AppFixture::Converter::Missing:
        return;
    case AppFixture::Converter::Succeeding:
        // Writes its output, the last argument, as a converter does.
        writeFile(target, "#!/bin/sh\nfor output; do :; done\nprintf converted > \"$output\"\n");
        break;
    case AppFixture::Converter::Halfway:
        writeFile(target, "#!/bin/sh\nfor output; do :; done\n"
                          "printf '  Duration: 00:00:10.00, start: 0.000000, bitrate: 1 kb/s\\n' >&2\n"
                          "printf 'size=1kB time=00:00:05.00 bitrate=1.0kbits/s speed=2.5x    \\r' >&2\n"
                          "while [ ! -e \"$output.go\" ]; do sleep 0.05; done\n"
                          "printf converted > \"$output\"\n");
        break;
    case AppFixture::Converter::Failing:
        writeFile(target, "#!/bin/sh\necho 'no such codec' >&2\nexit 1\n");
        break;
    default:
        // Never ends by itself: only Stop or the program's end kill it.
        writeFile(target, "#!/bin/sh\nexec sleep 600\n");
    }
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

}  // namespace

AppFixture::AppFixture(Converter converter, const QByteArray& catalogue)
{
    const QString folder = programFolder();
    writeFile(folder + QStringLiteral("command"), catalogue.isNull() ? shippedCatalogue() : catalogue);
    installConverter(folder, converter);
    clipforge::setProgramFolderForTesting(folder.toStdString());
    scope_ = std::make_unique<clipforge::ScopedDialogService>(dialogs);
    window_ = std::make_unique<TmainDlg>();
    window_->show();
    if (!QTest::qWaitForWindowExposed(window_.get()))
        ADD_FAILURE() << "the main window was never shown";
}

AppFixture::~AppFixture()
{
    window_.reset();
    scope_.reset();
    clipforge::setProgramFolderForTesting(std::string());
}

TUIHook& AppFixture::hook()
{
    if (!window_->hook())
        throw std::logic_error("the window has no controller");
    return *window_->hook();
}

int AppFixture::profileWithExtension(const char* extension)
{
    const TCommandManager& catalogue = hook().CommandManager();
    for (int i = 0; i < catalogue.Count(); ++i)
        if (catalogue.GetExt(i) == extension)
            return i;
    return -1;
}

void AppFixture::addJobs(const QStringList& names, int profile, const QString& folder)
{
    dialogs.openFileNamesAnswers.push_back(names);
    if (!folder.isEmpty())
        dialogs.directoryAnswers.push_back(folder);
    dialogs.modalScripts.push_back([profile, folder](QDialog& dialog) {
        auto& add = dynamic_cast<TaddDlg&>(dialog);
        add.ComboBox1->setCurrentIndex(profile);
        add.ComboBox1Change();
        if (!folder.isEmpty())
            QTest::mouseClick(add.btDirectory, Qt::LeftButton, {}, QPoint(12, 12));
        else if (add.lbDefaultFolder->isEnabled())  // the folder of an earlier Add is offered
            QTest::mouseClick(add.lbDefaultFolder, Qt::LeftButton, {}, add.lbDefaultFolder->rect().center());
        click(add.btnOk);
    });
    click(window_->btnAdd);
}

bool waitFor(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer waited;
    waited.start();
    while (!done()) {
        if (waited.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
    return true;
}

void click(TImageButton* button)
{
    button->repaint();  // the last paint decides where the picture, and so the hit area, is
    const QPoint inside = button->ImageRect().isEmpty() ? button->rect().center()
                                                        : button->ImageRect().toQRect().center();
    QTest::mouseClick(button, Qt::LeftButton, {}, inside);
}

void click(TMyButtonEx* button)
{
    QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
}

QStringList generatedClips()
{
    static QTemporaryDir folder;
    static QStringList clips;
    if (!clips.isEmpty())
        return clips;
    // Names a shell or a careless command line would trip over.
    const QStringList names = {QStringLiteral("clip one.avi"), QStringLiteral("clip \"two\" $(x).avi"),
                               QStringLiteral("-three; rm.avi")};
    for (const QString& name : names) {
        const QString path = folder.filePath(name);
        QProcess::execute(QStringLiteral("ffmpeg"),
                          {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-y"), QStringLiteral("-f"),
                           QStringLiteral("lavfi"), QStringLiteral("-i"),
                           QStringLiteral("testsrc=size=96x64:rate=10:duration=1"), QStringLiteral("-f"),
                           QStringLiteral("lavfi"), QStringLiteral("-i"),
                           QStringLiteral("sine=frequency=440:duration=1"), QStringLiteral("-shortest"),
                           QStringLiteral("file:") + path});
        clips << path;
    }
    return clips;
}
