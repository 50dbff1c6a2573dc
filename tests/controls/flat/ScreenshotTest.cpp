// Writes pictures of the flat controls for a person to look at.
#include "FlatTestHelpers.h"

#include "controls/FlatEdit.h"
#include "controls/FlatHintController.h"
#include "controls/LinePanel.h"
#include "controls/MenuDraw.h"
#include "controls/MyFlatComboBox.h"
#include "controls/MyFlatHint.h"
#include "controls/MyFlatHintWindow.h"
#include "controls/MyListBox.h"
#include "controls/PngImage.h"
#include "controls/PngImageList.h"

#include <QAbstractItemView>
#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QMenu>
#include <QPainter>
#include <QTest>

#include <gtest/gtest.h>

namespace {

void save(const QImage& image, const char* name)
{
    const QString folder = qEnvironmentVariable("CLIPFORGE_SCREENSHOT_DIR");
    QDir().mkpath(folder);
    const QString path = folder + u'/' + QLatin1String(name) + QStringLiteral(".png");
    ASSERT_TRUE(image.save(path)) << path.toStdString();
}

QImage stacked(const QImage& top, const QImage& bottom)
{
    QImage image(std::max(top.width(), bottom.width()), top.height() + bottom.height(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.drawImage(0, 0, top);
    painter.drawImage(0, top.height(), bottom);
    return image;
}

QFont formFont()
{
    return clipforge::makeFont(QStringLiteral("Trebuchet MS"), -16);
}

// The dialogs' profile list.
void useDialogComboLook(TMyFlatComboBox& combo)
{
    combo.setStyle(csDropDownList);
    combo.setColor(clWindow);
    combo.setColorArrowBackground(clBtnFace);
    combo.setColorBorder(clWhite);
    combo.setFont(formFont());
    combo.setFontColor(7960979);
}

// The main window's hint settings.
void useWindowHintLook(TMyFlatHint& hint)
{
    hint.setColorBackground(clInfoBk);
    hint.setColorArrowBackground(clInfoBk);
    hint.setColorArrow(9126421);
    hint.setFont(formFont());
    hint.setFontColor(9126421);
}

TEST(FlatScreenshots, HintWindowInEveryCorner)
{
    TMyFlatHint hint;
    useWindowHintLook(hint);
    const QString text = QStringLiteral("[File Name]: /home/user/clips/holiday.avi\n[format]: MP4\n[path]: ");
    const QSize size = TMyFlatHintWindow::measureHint(text, hint);
    QImage sheet(2 * size.width() + 30, 2 * size.height() + 30, QImage::Format_RGB32);
    sheet.fill(QColor(0xD1, 0xA4, 0x81).rgb());
    QPainter painter(&sheet);
    for (int corner = 0; corner < 4; ++corner) {
        const int column = (corner == 1 || corner == 3) ? 0 : 1;
        const int row = corner < 2 ? 0 : 1;
        painter.drawImage(10 + column * (size.width() + 10), 10 + row * (size.height() + 10),
                          TMyFlatHintWindow::renderHint(size, corner, text, hint));
    }
    painter.end();
    save(sheet, "hint-window");
}

TEST(FlatScreenshots, OpenPopupMenu)
{
    QMenu menu;
    menu.addAction(QStringLiteral("&Delete"))->setStatusTip(QStringLiteral("delete selected item"));
    QAction* clear = menu.addAction(QStringLiteral("&Clear"));
    clear->setStatusTip(QStringLiteral("clear all items"));
    menu.addSeparator();
    QAction* properties = menu.addAction(QStringLiteral("&Properties"));
    properties->setStatusTip(QStringLiteral("show properties"));
    properties->setEnabled(false);
    TMenuDraw draw;
    draw.Attach(&menu);
    menu.popup(QPoint(20, 20));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&menu));
    menu.setActiveAction(clear);
    save(menu.grab().toImage(), "popup-menu");
    menu.close();
}

TEST(FlatScreenshots, DroppedDownComboAndFlatEdits)
{
    QWidget form;
    form.resize(460, 140);
    QPalette palette = form.palette();
    palette.setColor(QPalette::Window, Qt::white);
    form.setPalette(palette);
    TMyFlatComboBox combo(&form);
    useDialogComboLook(combo);
    combo.setGeometry(9, 10, 425, 30);
    combo.addItems({QStringLiteral("MP4 (H.264, AAC)"), QStringLiteral("AVI (MPEG-4, MP3)"),
                    QStringLiteral("WebM (VP9, Opus)"), QStringLiteral("MP3 audio only")});
    TMyFlatEdit directory(&form);
    directory.setReadOnly(true);
    directory.setColorBorder(clWhite);
    directory.setColorFlat(clWhite);
    directory.setFont(formFont());
    directory.setFontColor(7960979);
    directory.setGeometry(8, 60, 393, directory.height());
    directory.setText(QStringLiteral("/home/user/Videos/converted/"));
    TMyFlatEdit number(&form);
    number.setValueType(evtInteger);
    number.setText(QStringLiteral("42"));
    number.move(8, 100);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    save(form.grab().toImage(), "flat-inputs");

    combo.setFocus();
    save(combo.grab().toImage(), "combo-focused");
    combo.showPopup();
    QWidget* popup = combo.view()->parentWidget();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(popup));
    save(stacked(combo.grab().toImage(), popup->grab().toImage()), "combo-dropped-down");
    combo.hidePopup();
    combo.setEnabled(false);
    save(combo.grab().toImage(), "combo-disabled");
}

// The profile list as the dialogs open it: eight whole rows, starting at the chosen profile.
TEST(FlatScreenshots, DroppedDownProfileListAtTheCurrentProfile)
{
    TMyFlatComboBox combo;
    useDialogComboLook(combo);
    combo.resize(425, 30);
    for (int i = 0; i < 19; ++i)
        combo.addItem(QStringLiteral("Profile %1 (H.264 + AAC)").arg(i + 1));
    combo.setCurrentIndex(12);
    combo.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&combo));
    QTest::mouseClick(&combo, Qt::LeftButton, {}, QPoint(100, 15));
    QWidget* popup = combo.view()->parentWidget();
    ASSERT_TRUE(popup->isVisible());
    save(stacked(combo.grab().toImage(), popup->grab().toImage()), "combo-dropped-down-at-current");
    combo.hidePopup();
}

// A job's hint holding a path longer than the hint's width: the path stays whole.
TEST(FlatScreenshots, HintHoldingALongPath)
{
    TMyFlatHint hint;
    useWindowHintLook(hint);
    const QString text = QStringLiteral("source /data/videos/holiday-2024/clips/b2.mov converting to MKV video (H.264 + AAC)");
    const QSize size = TMyFlatHintWindow::measureHint(text, hint);
    save(TMyFlatHintWindow::renderHint(size, 1, text, hint), "hint-long-path");
}

TEST(FlatScreenshots, PanelsAndListBox)
{
    TLinePanel outer;
    outer.resize(440, 200);
    outer.setColor(16767935);
    outer.setLineColor(14922381);
    outer.setLineBorders(lbTop | lbLeft | lbRight | lbBottom);
    outer.setBorderWidth(5);
    TLinePanel caption(&outer);
    caption.setGeometry(10, 10, 200, 30);
    caption.setColor(15657705);
    caption.setLineBorders(lbBottom);
    caption.setLineColor(14922381);
    caption.setFont(formFont());
    caption.setCaption(QStringLiteral("Caption, centred"));
    TLinePanel disabled(&outer);
    disabled.setGeometry(220, 10, 200, 30);
    disabled.setColor(clBtnFace);
    disabled.setFont(formFont());
    disabled.setCaption(QStringLiteral("Disabled caption"));
    disabled.setAlignment(taLeftJustify);
    disabled.setEnabled(false);

    TPngImageList images;
    images.SetWidth(32);
    images.SetHeight(32);
    QImage picture(32, 32, QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setBrush(QColor(0x3C, 0x8D, 0xD8));
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(2, 4, 28, 24, 4, 4);
    painter.end();
    images.PngImages().Add()->SetPngImage(TPngImage::fromImage(picture));
    TLinePanel white(&outer);
    white.setGeometry(10, 50, 420, 140);
    white.setColor(clWhite);
    white.setBorderWidth(5);
    TMyListBox list(&white);
    list.setFrameShape(QFrame::NoFrame);
    list.setGeometry(5, 5, 410, 130);
    list.setFont(formFont());
    list.setFontColor(7960979);
    list.setItemHeight(35);
    list.setImageList(&images);
    list.addItems({QStringLiteral("/home/user/clips/holiday.avi"), QStringLiteral("/home/user/clips/birthday.mov"),
                   QStringLiteral("/home/user/clips/a-name-far-too-long-for-the-list-box-to-show-whole.mkv")});
    list.setCurrentRow(1);
    outer.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&outer));
    save(outer.grab().toImage(), "panels-and-list-box");
}

} // namespace
