#include "TestPictures.h"

#include "controls/GradientProgressBar.h"
#include "controls/ImageButton.h"
#include "controls/MyButtonEx.h"
#include "controls/PngImageList.h"
#include "controls/PngSpeedButton.h"

#include <QDir>
#include <QEnterEvent>
#include <QPainter>
#include <QTest>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

using Shot = std::pair<QString, QImage>;

// Every state of every control, laid out as labelled rows on one sheet per control.
class Sheet {
public:
    void add(const QString& label, const QImage& image) { shots_.emplace_back(label, image); }

    QImage compose() const
    {
        int width = 0;
        int height = 8;
        for (const Shot& shot : shots_) {
            width = std::max(width, shot.second.width() + labelWidth + 16);
            height += std::max(shot.second.height(), 16) + 8;
        }
        QImage sheet(width, height, QImage::Format_RGB32);
        sheet.fill(QColor(0xE8, 0xE8, 0xE8));
        QPainter painter(&sheet);
        painter.setFont(clipforge::makeFont(QStringLiteral("DejaVu Sans"), -11));
        int y = 8;
        for (const Shot& shot : shots_) {
            painter.drawText(QRect(8, y, labelWidth, 16), Qt::AlignLeft | Qt::AlignVCenter, shot.first);
            painter.drawImage(labelWidth + 8, y, shot.second);
            y += std::max(shot.second.height(), 16) + 8;
        }
        return sheet;
    }

    bool save(const QString& folder, const QString& name) const
    {
        return compose().save(QDir(folder).filePath(name));
    }

private:
    static constexpr int labelWidth = 220;
    std::vector<Shot> shots_;
};

// A round picture with a soft edge, so alpha, fading and greying all show.
TPngImage roundPicture(int size, QColor color)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QRadialGradient gradient(size / 2.0, size / 2.0, size / 2.0);
    gradient.setColorAt(0.0, color.lighter(160));
    gradient.setColorAt(0.8, color);
    gradient.setColorAt(1.0, Qt::transparent);
    painter.setBrush(gradient);
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(0, 0, size, size);
    painter.end();
    return TPngImage::fromImage(image);
}

// A widget's image over the sheet's grey, as the parent's background would show through.
QImage onBackground(const QImage& image)
{
    QImage result(image.size(), QImage::Format_RGB32);
    result.fill(QColor(0xFF, 0xDB, 0xBF));
    QPainter(&result).drawImage(0, 0, image);
    return result;
}

void enter(QWidget& widget)
{
    QEnterEvent event(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QCoreApplication::sendEvent(&widget, &event);
}

void progressBarSheet(const QString& folder)
{
    Sheet sheet;
    const char* names[] = {"custom", "desert", "grass", "silver", "sky", "rose", "sun",
                           "hackers", "night", "velvet", "metal", "violet", "toxic"};
    for (int scheme = csDesert; scheme <= csToxic; ++scheme) {
        for (int position : {0, 37, 100}) {
            TGradientProgressBar bar;
            bar.resize(300, 17);
            bar.SetColorScheme(static_cast<TColorScheme>(scheme));
            bar.SetPosition(position);
            sheet.add(QStringLiteral("%1, %2%").arg(QLatin1String(names[scheme])).arg(position), bar.render());
        }
    }
    TGradientProgressBar vertical;
    vertical.resize(17, 120);
    vertical.SetOrientation(pbVertical);
    vertical.SetPosition(60);
    sheet.add(QStringLiteral("desert, vertical, 60%"), vertical.render());
    vertical.SetColorScheme(csNight);
    vertical.SetPosition(100);
    sheet.add(QStringLiteral("night, vertical, 100%"), vertical.render());
    TGradientProgressBar form;
    form.resize(828, 17);
    form.SetColorScheme(csDesert);
    form.SetColorBorder(0xE3B28D);
    form.SetPosition(45);
    sheet.add(QStringLiteral("main window bar, 45%"), form.render());
    EXPECT_TRUE(sheet.save(folder, QStringLiteral("gradient-progress-bar.png")));
}

void styleAsForm(TMyButtonEx& button, const QString& caption)
{
    button.resize(121, 41);
    button.setFont(clipforge::makeFont(QStringLiteral("Trebuchet MS"), -12, true));
    button.SetFontColor(0x8B4215);
    button.SetDefaultColorFrom(0xF1E2D5);
    button.SetDefaultColorTo(0xF1D8C1);
    button.SetClickColorFrom(0xFCEFC6);
    button.SetClickColorTo(0xFFE0C8);
    button.SetBorderColor(0xDBBF9E);
    button.SetCaption(caption);
}

void gradientButtonSheet(const QString& folder)
{
    Sheet sheet;
    for (bool withGlyph : {false, true}) {
        const QString kind = withGlyph ? QStringLiteral(" with glyph") : QString();
        TMyButtonEx button;
        styleAsForm(button, QStringLiteral("&Import"));
        if (withGlyph)
            button.SetGlyph(roundPicture(16, QColor(40, 120, 200)));
        sheet.add(QStringLiteral("normal") + kind, onBackground(button.render()));
        QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(60, 20));
        sheet.add(QStringLiteral("pressed") + kind, onBackground(button.render()));
        QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(60, 20));
        button.SetEnabled(false);
        sheet.add(QStringLiteral("disabled") + kind, onBackground(button.render()));
    }
    TMyButtonEx plain;
    plain.SetCaption(QStringLiteral("&Cancel"));
    sheet.add(QStringLiteral("defaults, 75 x 25"), onBackground(plain.render()));
    TMyButtonEx focused;
    styleAsForm(focused, QStringLiteral("E&xport"));
    focused.SetDrawFocus(true);
    QImage face = focused.render();
    {
        clipforge::Canvas canvas(face);
        canvas.focusRect({4, 4, 121 - 4, 41 - 4});
    }
    sheet.add(QStringLiteral("focused, draw focus on"), onBackground(face));
    EXPECT_TRUE(sheet.save(folder, QStringLiteral("gradient-button.png")));
}

void imageButtonSheet(const QString& folder)
{
    Sheet sheet;
    TImageButton button;
    button.resize(70, 70);
    button.SetImage(roundPicture(64, QColor(40, 120, 200)));
    button.SetImageOver(roundPicture(64, QColor(60, 180, 60)));
    button.SetImageDown(roundPicture(64, QColor(200, 120, 40)));
    button.SetImageDisable(roundPicture(64, QColor(150, 150, 150)));
    sheet.add(QStringLiteral("normal"), onBackground(button.render()));
    enter(button);
    sheet.add(QStringLiteral("mouse over"), onBackground(button.render()));
    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(30, 30));
    sheet.add(QStringLiteral("pressed (shifted 2, 2)"), onBackground(button.render()));
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(30, 30));
    button.SetEnabled(false);
    sheet.add(QStringLiteral("disabled"), onBackground(button.render()));
    EXPECT_TRUE(sheet.save(folder, QStringLiteral("image-button.png")));
}

void speedButtonAndListSheet(const QString& folder)
{
    Sheet sheet;
    const TPngImage folderPicture = roundPicture(16, QColor(220, 160, 40));
    for (bool flat : {true, false}) {
        const QString kind = flat ? QStringLiteral("flat") : QStringLiteral("raised");
        TPngSpeedButton button;
        button.resize(24, 24);
        button.SetFlat(flat);
        button.SetPngImage(folderPicture);
        sheet.add(kind + QStringLiteral(", normal"), button.render());
        enter(button);
        sheet.add(kind + QStringLiteral(", mouse over"), button.render());
        QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(10, 10));
        sheet.add(kind + QStringLiteral(", pressed"), button.render());
        QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(10, 10));
        button.setEnabled(false);
        sheet.add(kind + QStringLiteral(", disabled (faded)"), button.render());
        button.SetPngOptions(pngBlendOnDisabled | pngGrayscaleOnDisabled);
        sheet.add(kind + QStringLiteral(", disabled (faded, grey)"), button.render());
    }
    TPngSpeedButton captioned;
    captioned.resize(110, 28);
    captioned.SetCaption(QStringLiteral("Directory"));
    captioned.SetPngImage(folderPicture);
    sheet.add(QStringLiteral("with caption"), captioned.render());

    TPngImageList list;
    const QColor colours[] = {QColor(150, 150, 150), QColor(40, 120, 200), QColor(60, 180, 60), QColor(200, 50, 50)};
    for (const QColor& colour : colours)
        list.PngImages().Add()->SetPngImage(roundPicture(16, colour));
    const std::pair<QString, TPngOptions> looks[] = {
        {QStringLiteral("image list, enabled"), {}},
        {QStringLiteral("image list, faded"), pngBlendOnDisabled},
        {QStringLiteral("image list, grey"), pngGrayscaleOnDisabled},
        {QStringLiteral("image list, faded and grey"), pngBlendOnDisabled | pngGrayscaleOnDisabled}};
    for (const auto& look : looks) {
        list.SetPngOptions(look.second);
        QImage row = clipforge::makeBitmap(4 * 20, 16);
        clipforge::Canvas canvas(row);
        for (int i = 0; i < 4; ++i)
            list.Draw(canvas, i * 20, 0, i, !look.second);
        sheet.add(look.first, row);
    }
    EXPECT_TRUE(sheet.save(folder, QStringLiteral("speed-button-and-image-list.png")));
}

} // namespace

TEST(Screenshots, EveryControlInEveryState)
{
    const QString folder = qEnvironmentVariable("CLIPFORGE_SCREENSHOT_DIR");
    if (folder.isEmpty())
        GTEST_SKIP() << "CLIPFORGE_SCREENSHOT_DIR is not set";
    ASSERT_TRUE(QDir().mkpath(folder));
    progressBarSheet(folder);
    gradientButtonSheet(folder);
    imageButtonSheet(folder);
    speedButtonAndListSheet(folder);
}
