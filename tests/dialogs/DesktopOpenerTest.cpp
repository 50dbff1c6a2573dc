#include "ScriptedDialogs.h"

#include "dialogs/DesktopOpener.h"
#include "support/Wait.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using clipforge::DesktopOpener;

// An opener of the test's own, in place of xdg-open, for as long as this lives.
class FakeOpener {
public:
    explicit FakeOpener(const QByteArray& script)
    {
        QFile file(folder_.filePath(QStringLiteral("opener")));
        if (file.open(QIODevice::WriteOnly))
            file.write("#!/bin/sh\n" + script);
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        DesktopOpener::setProgramForTesting(file.fileName());
    }
    ~FakeOpener() { DesktopOpener::setProgramForTesting({}); }

    QString folder() const { return folder_.path(); }

private:
    QTemporaryDir folder_;
};

struct OpenerCase {
    const char* name;
    QByteArray script;
    QString message;  // the window's message, after "Could not open FOLDER: "; empty when none
};

class OpeningAFolder : public ::testing::TestWithParam<OpenerCase> {};

TEST_P(OpeningAFolder, SaysWhenTheOpenerEndsWithAnError)
{
    ScriptedDialogs dialogs;
    clipforge::ScopedDialogService scope(dialogs);
    FakeOpener opener(GetParam().script);
    const QString folder = opener.folder();
    clipforge::QtDialogService desktop;
    ASSERT_TRUE(desktop.openUrl(QUrl::fromLocalFile(folder)));
    ASSERT_TRUE(clipforge::test::waitFor([] { return DesktopOpener::running() == 0; }));
    EXPECT_TRUE(QFile::exists(folder + QStringLiteral("/asked"))) << "the folder was handed to the opener";
    if (GetParam().message.isEmpty()) {
        EXPECT_TRUE(dialogs.messages.empty());
        return;
    }
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text,
              QStringLiteral("Could not open ") + folder + QStringLiteral(": ") + GetParam().message.arg(DesktopOpener::program()));
    EXPECT_EQ(dialogs.messages[0].icon, QMessageBox::Warning);
}

INSTANTIATE_TEST_SUITE_P(
    Openers, OpeningAFolder,
    ::testing::Values(
        OpenerCase {"Opens", "touch \"$1/asked\"\n", QString()},
        OpenerCase {"NoProgramForFolders",
                    "touch \"$1/asked\"\necho 'No applications found for mimetype: inode/directory' >&2\nexit 3\n",
                    QStringLiteral("%1 ended with exit code 3 (\"No applications found for mimetype: "
                                   "inode/directory\").")},
        OpenerCase {"SilentFailure", "touch \"$1/asked\"\nexit 4\n", QStringLiteral("%1 ended with exit code 4.")},
        OpenerCase {"Killed", "touch \"$1/asked\"\nkill -9 $$\n", QStringLiteral("%1 ended abnormally.")}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(OpeningAFolder, AMissingOpenerIsKnownAtOnce)
{
    ScriptedDialogs dialogs;
    clipforge::ScopedDialogService scope(dialogs);
    QTemporaryDir folder;
    DesktopOpener::setProgramForTesting(folder.filePath(QStringLiteral("no-such-opener")));
    EXPECT_FALSE(clipforge::QtDialogService().openUrl(QUrl::fromLocalFile(folder.path())));
    DesktopOpener::setProgramForTesting({});
    EXPECT_EQ(DesktopOpener::running(), 0);
}

}  // namespace
