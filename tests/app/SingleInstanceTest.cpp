#include "AppFixture.h"

#include "app/FilesFromOtherStarts.h"
#include "app/InstanceClient.h"
#include "app/InstanceMessage.h"
#include "app/OpenFiles.h"
#include "app/SingleInstance.h"
#include "app/StartupNotice.h"
#include "app/UIHook.h"
#include "controls/MyButtonEx.h"
#include "core/LocalText.h"
#include "core/TreeManager.h"
#include "dialogs/AddDlg.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>

#include <sys/inotify.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <sstream>

#include <gtest/gtest.h>

namespace {

QString program()
{
    return qEnvironmentVariable("CLIPFORGE_APP_DIR") + QStringLiteral("/clipforge");
}

// The real program, started as a desktop would, with its own runtime folder.
std::unique_ptr<QProcess> start(const QStringList& arguments, const QString& runtime, const QString& folder = {},
                                const QByteArray& startupId = {})
{
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.remove(QStringLiteral("XDG_ACTIVATION_TOKEN"));
    environment.insert(QStringLiteral("DESKTOP_STARTUP_ID"), QString::fromLatin1(startupId));
    process->setProcessEnvironment(environment);
    if (!folder.isEmpty())
        process->setWorkingDirectory(folder);
    process->start(program(), arguments);
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

struct Listening {
    explicit Listening(const QString& runtime)
        : instance(clipforge::SingleInstance::start(clipforge::InstancePlaces::inFolder(runtime), {}, errors))
    {
        if (instance.server())
            instance.server()->setReceiver([this](const clipforge::InstanceMessage& m) { received.push_back(m); });
    }
    std::ostringstream errors;
    clipforge::SingleInstance instance;
    std::vector<clipforge::InstanceMessage> received;
};

TEST(InstanceMessage, ArrivesWholeWhateverItsPiecesAndRefusesOtherBytes)
{
    const clipforge::InstanceMessage sent {"_TIME12345 \"x\"", {QStringLiteral("/v/clip one.mkv"),
                                                               clipforge::widen("/v/\xe9t\xe9.avi"), QString()}};
    const QByteArray bytes = sent.encode() + "rest";
    for (qsizetype cut = 0; cut < bytes.size() - 4; ++cut) {
        QByteArray buffer = bytes.left(cut);
        EXPECT_FALSE(clipforge::InstanceMessage::take(buffer)) << cut;
    }
    QByteArray buffer = bytes;
    const auto taken = clipforge::InstanceMessage::take(buffer);
    ASSERT_TRUE(taken);
    EXPECT_EQ(taken->activationToken, sent.activationToken);
    EXPECT_EQ(taken->files, sent.files);
    EXPECT_EQ(clipforge::narrow(taken->files[1]), "/v/\xe9t\xe9.avi");
    EXPECT_EQ(buffer, QByteArray("rest"));

    for (QByteArray other : {QByteArray("GET / HTTP/1.0\r\n\r\n"), QByteArray("\0\0\0\4abcd", 8),
                             QByteArray("\x7f\xff\xff\xff", 4)})
        EXPECT_THROW(clipforge::InstanceMessage::take(other), std::runtime_error) << other.toStdString();
}

// A second start gives its files, as absolute paths, and its start-up id to the running window,
// and ends at once; no second window comes up.
TEST(SingleInstance, ASecondStartHandsItsFilesToTheRunningWindow)
{
    QTemporaryDir runtime;
    QTemporaryDir work;
    QDir(work.path()).mkpath(QStringLiteral("folder/sub"));
    for (const char* name : {"clip one.mkv", "folder/sub/b.ts", "folder/a.ogv"})
        QFile(work.filePath(QString::fromLatin1(name))).open(QIODevice::WriteOnly);
    Listening window(runtime.path());
    ASSERT_EQ(window.instance.role(), clipforge::SingleInstance::Role::Serving) << window.errors.str();

    const auto second = start({QStringLiteral("clip one.mkv"), QStringLiteral("folder"), QStringLiteral("missing")},
                              runtime.path(), work.path(), "launcher-42_TIME1234");
    ASSERT_TRUE(waitFor([&] { return ended(*second) && !window.received.empty(); }));
    EXPECT_EQ(second->exitCode(), 0) << second->readAllStandardError().toStdString();
    EXPECT_TRUE(second->readAllStandardError().contains("missing"));
    ASSERT_EQ(window.received.size(), 1u);
    EXPECT_EQ(window.received[0].activationToken, QByteArray("launcher-42_TIME1234"));
    EXPECT_EQ(window.received[0].files,
              (QStringList {work.filePath(QStringLiteral("clip one.mkv")), work.filePath(QStringLiteral("folder/a.ogv")),
                            work.filePath(QStringLiteral("folder/sub/b.ts"))}));
}

// What a killed window left behind does not stop a start; what is not a socket is not removed.
TEST(SingleInstance, ADeadSocketIsReplacedAndNothingElseIsTouched)
{
    for (const bool socketLeft : {true, false}) {
        QTemporaryDir runtime;
        const clipforge::InstancePlaces places = clipforge::InstancePlaces::inFolder(runtime.path());
        if (socketLeft) {
            leaveDeadSocket(places.socket);
        } else {
            QFile other(places.socket);
            other.open(QIODevice::WriteOnly);
            other.write("not ours");
        }
        ASSERT_TRUE(QFileInfo::exists(places.socket));
        Listening window(runtime.path());
        if (!socketLeft) {
            EXPECT_EQ(window.instance.role(), clipforge::SingleInstance::Role::Alone);
            QFile other(places.socket);
            ASSERT_TRUE(other.open(QIODevice::ReadOnly));
            EXPECT_EQ(other.readAll(), QByteArray("not ours"));
            continue;
        }
        ASSERT_EQ(window.instance.role(), clipforge::SingleInstance::Role::Serving) << window.errors.str();
        const auto second = start({}, runtime.path());
        ASSERT_TRUE(waitFor([&] { return ended(*second) && window.received.size() == 1; }));
        EXPECT_EQ(second->exitCode(), 0);
        EXPECT_TRUE(window.received[0].files.isEmpty());
    }
}

// Two starts at the same moment: one window, which gets the other's files; its socket goes with it.
TEST(SingleInstance, TwoStartsAtOnceMakeOneWindow)
{
    QTemporaryDir runtime;
    const auto first = start({}, runtime.path());
    const auto second = start({}, runtime.path());
    ASSERT_TRUE(waitFor([&] { return ended(*first) || ended(*second); }));
    QProcess& window = ended(*first) ? *second : *first;
    QProcess& handedOver = ended(*first) ? *first : *second;
    EXPECT_EQ(handedOver.exitCode(), 0) << handedOver.readAllStandardError().toStdString();
    EXPECT_EQ(handedOver.exitStatus(), QProcess::NormalExit);
    const clipforge::InstancePlaces places = clipforge::InstancePlaces::inFolder(runtime.path());
    // Still there and still taking starts.
    EXPECT_EQ(clipforge::handOver(places.socket, {}, 30000), clipforge::HandOver::Delivered);
    ASSERT_EQ(window.state(), QProcess::Running) << window.readAllStandardError().toStdString();

    window.terminate();
    ASSERT_TRUE(waitFor([&] { return ended(window); }));
    EXPECT_EQ(window.exitCode(), 0);
    EXPECT_FALSE(QFileInfo::exists(places.socket));
}

// A start that finds another one between its probe and its listen waits for it, and then hands
// its files over instead of opening a second window.
TEST(SingleInstance, AStartWaitsWhileAnotherIsBetweenProbeAndListen)
{
    QTemporaryDir runtime;
    const clipforge::InstancePlaces places = clipforge::InstancePlaces::inFolder(runtime.path());
    auto held = std::make_unique<QLockFile>(places.lock);
    ASSERT_TRUE(held->lock());
    // The waiting start reads the lock file to learn whether its holder still lives.
    const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(::inotify_add_watch(watch, QFile::encodeName(places.lock).constData(), IN_OPEN), 0);
    const auto second = start({QStringLiteral("--"), generatedClips()[0]}, runtime.path());
    char events[4096];
    const bool triedTheLock = waitFor([&] { return ::read(watch, events, sizeof events) > 0 || ended(*second); });
    ::close(watch);
    ASSERT_TRUE(triedTheLock);
    ASSERT_FALSE(ended(*second)) << second->readAllStandardError().toStdString();

    std::vector<clipforge::InstanceMessage> received;
    clipforge::InstanceServer window;
    ASSERT_TRUE(window.listen(places.socket));
    window.setReceiver([&](const clipforge::InstanceMessage& message) { received.push_back(message); });
    held.reset();
    ASSERT_TRUE(waitFor([&] { return ended(*second) && received.size() == 1; }));
    EXPECT_EQ(second->exitCode(), 0);
    EXPECT_EQ(received[0].files, generatedClips().mid(0, 1));
}

TEST(SingleInstance, FilesReachTheAddFilesDialogOrWaitForTheRunToEnd)
{
    AppFixture app(AppFixture::Converter::Hanging);
    auto* arrivals = new clipforge::FilesFromOtherStarts(app.window());
    const QStringList clips = generatedClips();
    QStringList seen;
    bool dialogHadKeyboard = false;
    const auto answerWithOk = [&] {
        app.dialogs.modalScripts.push_back([&](QDialog& dialog) {
            dialogHadKeyboard = waitFor([&] { return dialog.isActiveWindow(); });
            auto& add = dynamic_cast<TaddDlg&>(dialog);
            seen = add.FileList;
            click(add.btnOk);
        });
    };
    app.window().showMinimized();
    answerWithOk();
    arrivals->receive({{}, clips.mid(0, 1)});
    ASSERT_TRUE(waitFor([&] { return app.dialogs.modalCount == 1; }));
    EXPECT_EQ(seen, clips.mid(0, 1));
    EXPECT_TRUE(dialogHadKeyboard);
    EXPECT_FALSE(app.window().isMinimized());

    click(app.window().btnConvert);
    ASSERT_TRUE(waitFor([&] { return app.hook().TreeManager()->Job(0).State == 1; }));
    arrivals->receive({{}, clips.mid(1, 1)});
    arrivals->receive({{}, clips.mid(2, 1)});
    EXPECT_EQ(arrivals->held(), clips.mid(1, 2));
    EXPECT_EQ(app.dialogs.modalCount, 1);

    answerWithOk();
    app.hook().btnStopClick();
    ASSERT_TRUE(waitFor([&] { return app.dialogs.modalCount == 2; }));
    EXPECT_EQ(seen, clips.mid(1, 2)) << "the files of both starts, in one Add";
    EXPECT_TRUE(arrivals->held().isEmpty());
}

TEST(SingleInstance, FilesWaitForAModalDialogToClose)
{
    AppFixture app;
    auto* arrivals = new clipforge::FilesFromOtherStarts(app.window());
    const QStringList clips = generatedClips();
    QStringList seen;
    app.dialogs.modalScripts.push_back([&](QDialog&) {
        arrivals->receive({{}, clips.mid(0, 1)});
        EXPECT_EQ(arrivals->held(), clips.mid(0, 1));
    });
    app.dialogs.modalScripts.push_back([&](QDialog& dialog) { seen = dynamic_cast<TaddDlg&>(dialog).FileList; });
    clipforge::openFilesOnceShown(app.window(), clips.mid(1, 1));
    ASSERT_TRUE(waitFor([&] { return app.dialogs.modalCount == 2; }));
    EXPECT_EQ(seen, clips.mid(0, 1));
}

TEST(StartupNotice, TheRemoveMessageQuotesTheId)
{
    EXPECT_EQ(clipforge::startupRemoveMessage("kwin-42_TIME7"), QByteArray("remove: ID=\"kwin-42_TIME7\"") + '\0');
    EXPECT_EQ(clipforge::startupRemoveMessage("a \"b\\"), QByteArray("remove: ID=\"a \\\"b\\\\\"") + '\0');
}

}  // namespace
