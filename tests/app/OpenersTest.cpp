#include "AppFixture.h"

#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// With no program installed to open pages, Support and "check for updates" say where the guide
// is rather than doing nothing.
TEST(Openers, WithoutAProgramToOpenPagesTheMessageNamesTheGuide)
{
    AppFixture app;
    app.dialogs.openUrlWorks = false;
    QTest::mouseClick(app.window().lbSupport, Qt::LeftButton);
    QTest::mouseClick(app.window().lbUpdate, Qt::LeftButton);
    ASSERT_EQ(app.dialogs.openedUrls.size(), 2u);
    ASSERT_EQ(app.dialogs.messages.size(), 2u);
    for (const ScriptedDialogs::Message& message : app.dialogs.messages) {
        EXPECT_TRUE(message.text.contains(QStringLiteral("The user guide is at %1help/index.html")
                                              .arg(app.programFolder())))
            << message.text.toStdString();
        EXPECT_TRUE(message.text.contains(QStringLiteral("xdg-utils")));
        EXPECT_EQ(message.icon, QMessageBox::Information);
    }
}

}  // namespace
