#include "AppFixture.h"

#include "app/ClockText.h"
#include "dialogs/FittedLabel.h"
#include "dialogs/FormStyle.h"

#include <QDir>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

namespace {

bool cutsItsText(const QLabel& label)
{
    const QSize wanted = label.sizeHint();
    return label.width() < wanted.width() || label.height() < wanted.height();
}

// Grows to the left, never past its text's needs, and comes back to its place; also for a text
// set through the plain label.
TEST(Fonts, AFittedLabelGrowsTowardsItsFreeSide)
{
    QWidget form;
    form.resize(400, 100);
    const QRect place(200, 10, 60, 18);
    auto* label = clipforge::formstyle::makeFixedLabel(&form, QStringLiteral("short"), place, -12,
                                                       clipforge::formstyle::fsBold, 0);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    EXPECT_EQ(label->geometry(), place);

    label->setText(QStringLiteral("a text much wider than sixty pixels"));
    EXPECT_FALSE(cutsItsText(*label));
    EXPECT_EQ(label->geometry().right(), place.right());
    EXPECT_EQ(label->geometry().top(), place.top());
    EXPECT_LT(label->geometry().left(), place.left());

    label->setText(QStringLiteral("short"));
    EXPECT_EQ(label->geometry(), place);
    static_cast<QLabel*>(label)->setText(QStringLiteral("another text much wider than sixty pixels"));
    label->repaint();
    EXPECT_FALSE(cutsItsText(*label));
    EXPECT_EQ(label->geometry().right(), place.right());

    label->setFont(clipforge::formstyle::formFont(-40));
    EXPECT_FALSE(cutsItsText(*label));
    EXPECT_GT(label->height(), place.height());
}

// A minimal system has only the DejaVu faces: the window then draws in DejaVu Sans, which is
// wider than the faces it asks for, and still no text is cut.
TEST(Fonts, WithOnlyDejaVuSansNoLabelOfTheWindowCutsItsText)
{
    if (qEnvironmentVariableIsEmpty("CLIPFORGE_ONLY_DEJAVU"))
        GTEST_SKIP() << "needs a font configuration with DejaVu Sans alone: ctest runs it as app_font_tests";
    QStringList families = QFontDatabase::families();
    // The generic names are aliases fontconfig offers for whatever face it has.
    for (const char* generic : {"Sans Serif", "Serif", "Monospace"})
        families.removeAll(QString::fromLatin1(generic));
    ASSERT_EQ(families, QStringList {QStringLiteral("DejaVu Sans")});
    AppFixture app;
    TmainDlg& window = app.window();
    EXPECT_EQ(QFontInfo(window.lbUpdate->font()).family(), QStringLiteral("DejaVu Sans"));
    window.lbCount->setText(clipforge::counterText(10000, 10000));
    window.lbTimer->setText(clipforge::clockText(3600 * 1000 - 1));

    for (const QLabel* label : window.findChildren<QLabel*>()) {
        if (label->isVisible() && !label->text().isEmpty()) {
            EXPECT_FALSE(cutsItsText(*label)) << label->text().toStdString();
        }
    }
    EXPECT_EQ(window.lbUpdate->geometry().right(), 740 + 104 - 1);
    EXPECT_EQ(window.lbTimer->geometry().right(), 600 + 244 - 1);
    EXPECT_EQ(window.lbCount->geometry().right(), 576 + 244 - 1);
    const QString shots = qEnvironmentVariable("CLIPFORGE_SCREENSHOT_DIR");
    if (!shots.isEmpty()) {
        QDir().mkpath(shots);
        window.grab().save(QDir(shots).filePath(QStringLiteral("main-window-dejavu-only.png")));
    }
}

}  // namespace
