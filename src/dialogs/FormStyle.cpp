#include "dialogs/FormStyle.h"

#include "controls/Canvas.h"
#include "dialogs/FittedLabel.h"
#include "controls/MyButtonEx.h"
#include "controls/PngImageList.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QWidget>

namespace clipforge::formstyle {

QFont formFont(int height, int styles)
{
    QFont font = makeFont(QStringLiteral("Trebuchet MS"), height, (styles & fsBold) != 0);
    font.setItalic((styles & fsItalic) != 0);
    font.setUnderline((styles & fsUnderline) != 0);
    return font;
}

void setBackground(QWidget& widget, TColor color)
{
    QPalette colours = widget.palette();
    colours.setColor(QPalette::Window, colorToQColor(color));
    widget.setPalette(colours);
    widget.setAutoFillBackground(true);
}

void setTextColor(QWidget& widget, TColor color)
{
    QPalette colours = widget.palette();
    colours.setColor(QPalette::WindowText, colorToQColor(color));
    colours.setColor(QPalette::Text, colorToQColor(color));
    widget.setPalette(colours);
}

TColor textColor(const QWidget& widget)
{
    return colorFromQColor(widget.palette().color(QPalette::WindowText));
}

QLabel* makeLabel(QWidget* parent, const QString& caption, int left, int top, int height, int styles, TColor color)
{
    auto* label = new QLabel(caption, parent);
    label->setFont(formFont(height, styles));
    setTextColor(*label, color);
    label->move(left, top);
    label->adjustSize();
    return label;
}

FittedLabel* makeFixedLabel(QWidget* parent, const QString& caption, const QRect& place, int height, int styles,
                            TColor color)
{
    auto* label = new FittedLabel(caption, place, parent);
    styleFixedLabel(*label, place, height, styles, color);
    return label;
}

void styleFixedLabel(QLabel& label, const QRect& place, int height, int styles, TColor color)
{
    label.setFont(formFont(height, styles));
    setTextColor(label, color);
    label.setAlignment(Qt::AlignRight | Qt::AlignTop);
    fitToText(label, place);
}

TMyButtonEx* makeButton(QWidget* parent, const QString& caption, const QRect& place)
{
    auto* button = new TMyButtonEx(parent);
    button->setGeometry(place);
    button->SetCaption(caption);
    button->setFont(formFont(-12, fsBold));
    button->SetFontColor(captionBlue);
    button->SetDefaultColorFrom(15852245);
    button->SetDefaultColorTo(15849665);
    button->SetClickColorFrom(16576454);
    button->SetClickColorTo(16769224);
    button->SetOverColorFrom(clBlack);
    button->SetOverColorTo(clBlack);
    button->SetBorderColor(14401438);
    button->SetDrawFocus(false);
    return button;
}

void addListPicture(TPngImageList& list, const TPngImage& picture, const QString& name)
{
    TPngImageCollectionItem* item = list.PngImages().Add();
    item->SetPngImage(picture);
    item->SetBackground(clWindow);
    if (!name.isEmpty())
        item->SetName(name);
}

void centreOnDesktop(QWidget& window, int clientWidth, int clientHeight)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect desktop = screen->availableGeometry();
    window.move(desktop.center() - QPoint(clientWidth / 2, clientHeight / 2));
}

}  // namespace clipforge::formstyle
