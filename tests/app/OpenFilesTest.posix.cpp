#include "AppFixture.h"

#include "app/AddDlgOpener.h"
#include "app/OpenFiles.h"
#include "app/UIHook.h"
#include "controls/MyButtonEx.h"
#include "controls/MyListBox.h"
#include "core/TreeManager.h"
#include "dialogs/AddDlg.h"

#include <QCoreApplication>
#include <QDir>
#include <QDropEvent>
#include <QFileDialog>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <sys/stat.h>

#include <gtest/gtest.h>

namespace {

QString makeFile(const QTemporaryDir& folder, const QString& name)
{
    QFile file(folder.filePath(name));
    file.open(QIODevice::WriteOnly);
    return file.fileName();
}

// What the Add Files dialog showed, read while it is open; the script then presses OK.
struct AddDialogSeen {
    QStringList files;
    QStringList rows;
    QStringList lines;
};

void answerAddWithOk(AppFixture& app, AddDialogSeen& seen)
{
    app.dialogs.modalScripts.push_back([&seen](QDialog& dialog) {
        auto& add = dynamic_cast<TaddDlg&>(dialog);
        seen.files = add.FileList;
        for (int row = 0; row < add.MyListBox1->count(); ++row)
            seen.rows << add.MyListBox1->item(row)->text();
        seen.lines = add.lines();
        click(add.btnOk);
    });
}

struct DropResult {
    bool enterAccepted;
    bool dropAccepted;
};

DropResult dropOn(QWidget& window, const QList<QUrl>& urls)
{
    QMimeData data;
    data.setUrls(urls);
    const QPoint at = window.rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &enter);
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &drop);
    return {enter.isAccepted(), drop.isAccepted()};
}

TEST(OpenFiles, OnlyFilesAreKeptAsFullPathsInTheirOrder)
{
    QTemporaryDir folder;
    const QString a = makeFile(folder, QStringLiteral("a.avi"));
    const QString b = makeFile(folder, QStringLiteral("-b c.mov"));
    QDir(folder.path()).mkdir(QStringLiteral("sub.avi"));
    const QString previous = QDir::currentPath();
    QDir::setCurrent(folder.path());

    std::vector<std::string> leftOut;
    const QStringList files = clipforge::filesToOpen(
        {"-b c.mov", a.toStdString(), "sub.avi", "missing.avi", "", "./a.avi"}, &leftOut);
    QDir::setCurrent(previous);

    EXPECT_EQ(files, (QStringList {b, a, folder.path() + QStringLiteral("/./a.avi")}));
    EXPECT_EQ(leftOut, (std::vector<std::string> {"sub.avi", "missing.avi", ""}));
}

// Files given at start and files dropped on the window (only the local files of the drop) open
// the Add Files dialog with them.
TEST(OpenFiles, FilesGivenAtStartOrDroppedOpenTheAddFilesDialog)
{
    QTemporaryDir folder;
    const QStringList clips = generatedClips().mid(0, 2);
    for (const bool dropped : {false, true}) {
        AppFixture app;
        AddDialogSeen seen;
        answerAddWithOk(app, seen);
        if (dropped) {
            const DropResult result =
                dropOn(app.window(), {QUrl(QStringLiteral("https://example.org/clip.avi")), QUrl::fromLocalFile(clips[0]),
                                      QUrl::fromLocalFile(folder.path()), QUrl::fromLocalFile(clips[1])});
            EXPECT_TRUE(result.enterAccepted);
            EXPECT_TRUE(result.dropAccepted);
        } else {
            clipforge::openFilesOnceShown(app.window(), clips);
        }
        ASSERT_TRUE(waitFor([&] { return app.dialogs.modalCount == 1; })) << dropped;

        EXPECT_EQ(seen.files, clips) << dropped;
        EXPECT_EQ(seen.rows, clips) << dropped;
        ASSERT_GE(seen.lines.size(), 3);
        EXPECT_EQ(seen.lines[0], QStringLiteral("file count: 2"));
        // The default folder is named, so the user sees where the files will go.
        EXPECT_EQ(seen.lines[2], QStringLiteral("save to: use global path (%1convert/)").arg(app.programFolder()));
        EXPECT_EQ(app.hook().TreeManager()->Count(), 2);
        EXPECT_EQ(app.window().lbCount->text(), QStringLiteral("2 files, finished 0 of 2"));
        // Nothing was picked by hand: Add's file dialog never came up.
        EXPECT_TRUE(app.dialogs.filters.empty()) << dropped;
    }
}

// A dropped folder stands for the regular video files inside it, at any depth, sorted by path;
// links (even one making a circle), FIFOs and other files stay out.
TEST(OpenFiles, ADroppedFolderOpensItsVideos)
{
    QTemporaryDir folder;
    const QString root = folder.filePath(QStringLiteral("holiday"));
    QDir(root).mkpath(QStringLiteral("day 2"));
    const QStringList videos {makeFile(folder, QStringLiteral("holiday/B.MKV")),
                              makeFile(folder, QStringLiteral("holiday/a.m2ts")),
                              makeFile(folder, QStringLiteral("holiday/day 2/c.webm"))};
    makeFile(folder, QStringLiteral("holiday/notes.txt"));
    QFile::link(videos[0], root + QStringLiteral("/link.mkv"));
    QFile::link(root, root + QStringLiteral("/day 2/circle"));
    ::mkfifo(QFile::encodeName(root + QStringLiteral("/pipe.mpg")).constData(), 0600);
    AppFixture app;
    AddDialogSeen seen;
    answerAddWithOk(app, seen);
    EXPECT_TRUE(dropOn(app.window(), {QUrl::fromLocalFile(root)}).dropAccepted);
    ASSERT_TRUE(waitFor([&] { return app.dialogs.modalCount == 1; }));
    EXPECT_EQ(seen.files, videos);
}

TEST(OpenFiles, ADropWithoutFilesIsRefused)
{
    AppFixture app;
    QTemporaryDir folder;
    const DropResult result = dropOn(app.window(), {QUrl(QStringLiteral("https://example.org/a.avi")),
                                                    QUrl::fromLocalFile(folder.path())});
    EXPECT_FALSE(result.enterAccepted);
    EXPECT_FALSE(result.dropAccepted);
    keepRunningFor(200);
    EXPECT_EQ(app.dialogs.modalCount, 0);
}

TEST(OpenFiles, ADropDuringARunAddsNothing)
{
    AppFixture app(AppFixture::Converter::Hanging);
    app.addJobs(generatedClips().mid(0, 1), 0, QString());
    const int dialogsBefore = app.dialogs.modalCount;
    click(app.window().btnConvert);
    ASSERT_TRUE(waitFor([&] { return app.hook().TreeManager()->Job(0).State == 1; }));

    const DropResult result = dropOn(app.window(), {QUrl::fromLocalFile(generatedClips()[1])});
    EXPECT_FALSE(result.enterAccepted);
    EXPECT_FALSE(result.dropAccepted);
    // Started files are refused the same way while the run lasts.
    clipforge::openFilesOnceShown(app.window(), generatedClips().mid(1, 1));
    keepRunningFor(300);
    EXPECT_EQ(app.dialogs.modalCount, dialogsBefore);
    EXPECT_EQ(app.hook().TreeManager()->Count(), 1);
    app.hook().btnStopClick();
}

}  // namespace

// The toolkit's own file dialog, typed into as a user does.
TEST(AddFileDialog, ATypedNameThatExistsIsAddedWhateverItsExtension)
{
    QTemporaryDir folder;
    for (const char* name : {"long20.avi", "c3.mkv", "other.avi"}) {
        QFile file(folder.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    QTimer::singleShot(0, [&folder] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->setDirectory(folder.path());  // where the user went to
        auto* list = dialog->findChild<QListView*>(QStringLiteral("listView"));
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_TRUE(list && name);
        // The listed files are known before typing, as they are for a person who looks first.
        EXPECT_TRUE(QTest::qWaitFor([&] { return list->model()->rowCount(list->rootIndex()) >= 2; }, 20000));
        QTest::keyClicks(name, QStringLiteral("\"long20.avi\" \"c3.mkv\""));
        QTest::keyClick(name, Qt::Key_Return);
        if (dialog->isVisible())
            dialog->reject();
    });
    clipforge::QtDialogService platform;
    const QStringList chosen = platform.openFileNames(nullptr, clipforge::videoFilter(), QString());
    EXPECT_EQ(chosen, QStringList({folder.filePath(QStringLiteral("long20.avi")), folder.filePath(QStringLiteral("c3.mkv"))}));
}
