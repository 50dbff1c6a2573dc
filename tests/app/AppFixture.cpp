#include "AppFixture.h"

#include "app/JobTreeView.h"
#include "app/UIHook.h"
#include "controls/ImageButton.h"
#include "controls/MyButtonEx.h"
#include "controls/LinePanel.h"
#include "controls/PngSpeedButton.h"
#include "core/CommandManager.h"
#include "core/Paths.h"
#include "core/TreeManager.h"
#include "dialogs/AddDlg.h"
#include "support/FakeConverter.h"
#include "dialogs/DefaultFolderLink.h"
#include "engine/PacketReader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

bool installConverter(const std::string& folder, AppFixture::Converter converter)
{
    switch (converter) {
    case AppFixture::Converter::Real:
        return clipforge::test::installRealConverter(folder);
    case AppFixture::Converter::Missing:
        return std::filesystem::create_directories(folder + "convert");
    case AppFixture::Converter::Succeeding:
        return clipforge::test::installFakeConverter(folder, "converts");
    case AppFixture::Converter::Halfway:
        return clipforge::test::installFakeConverter(folder, "half");
    case AppFixture::Converter::Partial:
        return clipforge::test::installFakeConverter(folder, "hang");
    case AppFixture::Converter::Early:
        return clipforge::test::installFakeConverter(folder, "early");
    case AppFixture::Converter::Paced:
        return clipforge::test::installFakeConverter(folder, "paced");
    case AppFixture::Converter::Failing:
        return clipforge::test::installFakeConverter(folder, "nocodec");
    case AppFixture::Converter::Hanging:
        break;
    }
    return clipforge::test::installFakeConverter(folder, "stuck");
}

}  // namespace

AppFixture::AppFixture(Converter converter, const QByteArray& catalogue)
{
    const QString folder = programFolder();
    const QString shipped = qEnvironmentVariable("CLIPFORGE_APP_DIR") + QStringLiteral("/command");
    writeBytes(folder + QStringLiteral("command"), catalogue.isNull() ? readBytes(shipped) : catalogue);
    if (!installConverter(folder.toStdString(), converter))
        ADD_FAILURE() << "no converter in the program folder";
    // The fake converter's "converted" is no media file: only the converters that really convert
    // have their outputs checked, unless a test asks.
    if (converter != Converter::Real && converter != Converter::Early)
        chooseOutputCheck("off");
    clipforge::setProgramFolderForTesting(folder.toStdString());
    // Packets are read by the build's reader, as the program reads them with the one beside it.
    clipforge::PacketReader::setDefaultHelper(qEnvironmentVariable("CLIPFORGE_APP_DIR").toStdString() +
                                              "/clipforge-packets");
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

void AppFixture::chooseOutputCheck(const char* mode)
{
    writeBytes(configuration_.path() + QStringLiteral("/clipforge/clipforge.conf"), QByteArray("[convert]\ncheck=") + mode + "\n");
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

QStringList AppFixture::sources()
{
    TTreeManager& jobs = *hook().TreeManager();
    QStringList files;
    for (int row = 0; row < jobs.Count(); ++row)
        files << jobs.Job(row).ItemData.FileName;
    return files;
}

QStringList AppFixture::hint(int row)
{
    return hook().TreeManager()->Hint(row).split(QLatin1Char('\n'));
}

QPoint AppFixture::rowCentre(int row)
{
    return window_->JobTree->visualRect(hook().TreeManager()->index(row, 0)).center();
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

QByteArray readBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
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
