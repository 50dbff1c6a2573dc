#include "AppFixture.h"

#include "app/FilesFromOtherStarts.h"
#include "app/InstanceMessage.h"
#include "app/SingleInstance.h"
#include "app/UIHook.h"
#include "controls/MyButtonEx.h"
#include "core/LocalText.h"
#include "core/TreeManager.h"
#include "core/WriterLock.h"
#include "dialogs/AddDlg.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <sys/inotify.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <sstream>

#include <gtest/gtest.h>

namespace {

using clipforge::InstanceMessage;

// The real program, started as a desktop would, with a runtime folder of the test's.
std::unique_ptr<QProcess> start(const QStringList& arguments, const QString& runtime, const QString& folder = {})
{
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    environment.remove(QStringLiteral("XDG_ACTIVATION_TOKEN"));
    environment.insert(QStringLiteral("DESKTOP_STARTUP_ID"), QStringLiteral("launcher-42_TIME1234"));
    process->setProcessEnvironment(environment);
    process->setWorkingDirectory(folder.isEmpty() ? runtime : folder);
    process->start(qEnvironmentVariable("CLIPFORGE_APP_DIR") + QStringLiteral("/clipforge"), arguments);
    return process;
}

bool ended(QProcess& process)
{
    return process.state() == QProcess::NotRunning;
}

// A socket file with nobody behind it, as a killed window leaves it.
void leaveDeadSocket(const QString& path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    std::copy(name.begin(), name.end(), address.sun_path);
    ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    ::close(fd);
}

TEST(InstanceMessage, ArrivesWholeWhateverItsPiecesAndRefusesOtherBytes)
{
    const QByteArray bytes = InstanceMessage {"_TIME1", {clipforge::widen("/v/\xe9.avi")}}.encode() + "rest";
    for (qsizetype cut = 0; cut < bytes.size() - 4; ++cut) {
        QByteArray piece = bytes.left(cut);
        EXPECT_FALSE(InstanceMessage::take(piece)) << cut;
    }
    QByteArray buffer = bytes;
    EXPECT_EQ(clipforge::narrow(InstanceMessage::take(buffer).value().files.value(0)), "/v/\xe9.avi");
    EXPECT_EQ(buffer, QByteArray("rest"));
    QByteArray other("GET / HTTP/1.0\r\n\r\n");
    EXPECT_THROW(InstanceMessage::take(other), std::runtime_error);
    // Refused by its announced length alone, over 1 MB: the window does not gather it first.
    QByteArray huge = InstanceMessage{"", {QString(1100000, QLatin1Char('a'))}}.encode().left(8);
    EXPECT_THROW(InstanceMessage::take(huge), std::runtime_error);
    QByteArray fits = InstanceMessage{"", {QString(500000, QLatin1Char('a'))}}.encode();
    EXPECT_EQ(InstanceMessage::take(fits).value().files.value(0).size(), 500000);
}

// A killed window's socket does not stop the next start; a second start gives its files, as
// absolute paths, and its start-up id to the window, and ends at once.
TEST(SingleInstance, ASecondStartHandsItsFilesToTheRunningWindow)
{
    QTemporaryDir runtime;
    QTemporaryDir work;
    QDir(work.path()).mkpath(QStringLiteral("folder/sub"));
    for (const char* name : {"clip one.mkv", "folder/sub/b.ts", "folder/a.ogv"})
        QFile(work.filePath(QString::fromLatin1(name))).open(QIODevice::WriteOnly);
    const clipforge::InstancePlaces places = clipforge::InstancePlaces::inFolder(runtime.path());
    leaveDeadSocket(places.socket);
    std::ostringstream errors;
    const auto window = clipforge::SingleInstance::start(places, {}, errors);
    ASSERT_EQ(window.role(), clipforge::SingleInstance::Role::Serving) << errors.str();
    std::vector<InstanceMessage> received;
    window.server()->setReceiver([&](const InstanceMessage& message) { received.push_back(message); });

    const auto second = start({QStringLiteral("clip one.mkv"), QStringLiteral("folder")}, runtime.path(), work.path());
    ASSERT_TRUE(waitFor([&] { return ended(*second) && !received.empty(); }));
    EXPECT_EQ(second->exitCode(), 0) << second->readAllStandardError().toStdString();
    EXPECT_EQ(received[0].activationToken, QByteArray("launcher-42_TIME1234"));
    EXPECT_EQ(received[0].files, (QStringList {work.filePath(QStringLiteral("clip one.mkv")),
                                               work.filePath(QStringLiteral("folder/a.ogv")),
                                               work.filePath(QStringLiteral("folder/sub/b.ts"))}));
}

TEST(SingleInstance, WhatIsNotASocketIsLeftAlone)
{
    QTemporaryDir runtime;
    const clipforge::InstancePlaces places = clipforge::InstancePlaces::inFolder(runtime.path());
    QFile other(places.socket);
    ASSERT_TRUE(other.open(QIODevice::WriteOnly) && other.write("not ours") == 8);
    other.close();
    std::ostringstream errors;
    EXPECT_EQ(clipforge::SingleInstance::start(places, {}, errors).role(), clipforge::SingleInstance::Role::Alone);
    ASSERT_TRUE(other.open(QIODevice::ReadOnly));
    EXPECT_EQ(other.readAll(), QByteArray("not ours"));
}

// Two starts at once: the one that finds the other between its probe and its listen waits for
// it, and then hands its files over instead of opening a second window.
TEST(SingleInstance, TwoStartsAtOnceMakeOneWindow)
{
    QTemporaryDir runtime;
    const clipforge::InstancePlaces places = clipforge::InstancePlaces::inFolder(runtime.path());
    auto firstStart = std::make_unique<clipforge::WriterLock>(clipforge::WriterLock::tryLock(clipforge::narrow(places.lock)));
    ASSERT_TRUE(firstStart->held());
    // The waiting start opens the lock file again and again until the lock is free.
    const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(::inotify_add_watch(watch, QFile::encodeName(places.lock).constData(), IN_OPEN), 0);
    const auto second = start({QStringLiteral("--"), generatedClips()[0]}, runtime.path());
    char events[4096];
    const bool waited = waitFor([&] { return ::read(watch, events, sizeof events) > 0 || ended(*second); });
    ::close(watch);
    ASSERT_TRUE(waited && !ended(*second)) << second->readAllStandardError().toStdString();

    std::vector<InstanceMessage> received;
    clipforge::InstanceServer window;
    ASSERT_TRUE(window.listen(places.socket));
    window.setReceiver([&](const InstanceMessage& message) { received.push_back(message); });
    firstStart.reset();
    ASSERT_TRUE(waitFor([&] { return ended(*second) && received.size() == 1; }));
    EXPECT_EQ(second->exitCode(), 0);
    EXPECT_EQ(received[0].files, generatedClips().mid(0, 1));
}

// The window comes up and its Add Files dialog takes the keyboard; during a run or a dialog the
// files wait, and those of several starts open together.
TEST(SingleInstance, FilesOpenAtOnceOrWaitForTheRunOrDialogToEnd)
{
    AppFixture app(AppFixture::Converter::Hanging);
    auto* arrivals = new clipforge::FilesFromOtherStarts(app.window());
    const QStringList clips = generatedClips();
    std::vector<QStringList> seen;
    bool keyboard = false;
    const auto answerWithOk = [&](const std::function<void()>& meanwhile) {
        app.dialogs.modalScripts.push_back([&, meanwhile](QDialog& dialog) {
            keyboard = waitFor([&] { return dialog.isActiveWindow(); });
            seen.push_back(dynamic_cast<TaddDlg&>(dialog).FileList);
            meanwhile();
            click(dynamic_cast<TaddDlg&>(dialog).btnOk);
        });
    };
    app.window().showMinimized();
    answerWithOk([&] { arrivals->receive({{}, clips.mid(2, 1)}); });
    answerWithOk([] {});
    arrivals->receive({{}, clips.mid(0, 1)});
    ASSERT_TRUE(waitFor([&] { return app.dialogs.modalCount == 2; }));
    EXPECT_EQ(seen, (std::vector<QStringList> {clips.mid(0, 1), clips.mid(2, 1)}));
    EXPECT_TRUE(keyboard);
    EXPECT_FALSE(app.window().isMinimized());

    click(app.window().btnConvert);
    ASSERT_TRUE(waitFor([&] { return app.hook().TreeManager()->Job(0).State == 1; }));
    arrivals->receive({{}, clips.mid(1, 1)});
    arrivals->receive({{}, clips.mid(0, 1)});
    EXPECT_EQ(arrivals->held().size(), 2);
    answerWithOk([] {});
    app.hook().btnStopClick();
    ASSERT_TRUE(waitFor([&] { return app.dialogs.modalCount == 3; }));
    EXPECT_EQ(seen.back(), (QStringList {clips[1], clips[0]}));
}

}  // namespace
