#pragma once

#include "controls/ButtonPress.h"
#include "controls/Canvas.h"
#include "controls/Color.h"
#include "controls/PngImage.h"

#include <QImage>
#include <QString>
#include <QWidget>

#include <functional>

// A focusable push button with rounded corners, a two-colour gradient face, an optional PNG
// glyph and a caption with an accelerator letter.
class TMyButtonEx : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)

public:
    using NotifyEvent = std::function<void(TMyButtonEx* sender)>;

    explicit TMyButtonEx(QWidget* parent = nullptr);

    const QString& Caption() const { return caption_; }
    void SetCaption(const QString& caption);
    TColor FontColor() const { return fontColor_; }
    void SetFontColor(TColor color);
    bool Default() const { return default_; }
    void SetDefault(bool value) { default_ = value; }
    bool Enabled() const { return isEnabled(); }
    void SetEnabled(bool enabled);

    TColor DefaultColorFrom() const { return defaultColorFrom_; }
    void SetDefaultColorFrom(TColor color) { setColor(defaultColorFrom_, color); }
    TColor DefaultColorTo() const { return defaultColorTo_; }
    void SetDefaultColorTo(TColor color) { setColor(defaultColorTo_, color); }
    TColor ClickColorFrom() const { return clickColorFrom_; }
    void SetClickColorFrom(TColor color) { setColor(clickColorFrom_, color); }
    TColor ClickColorTo() const { return clickColorTo_; }
    void SetClickColorTo(TColor color) { setColor(clickColorTo_, color); }
    // Stored for the forms; there is no hover look.
    TColor OverColorFrom() const { return overColorFrom_; }
    void SetOverColorFrom(TColor color) { setColor(overColorFrom_, color); }
    TColor OverColorTo() const { return overColorTo_; }
    void SetOverColorTo(TColor color) { setColor(overColorTo_, color); }
    TColor BorderColor() const { return borderColor_; }
    void SetBorderColor(TColor color) { setColor(borderColor_, color); }
    const TPngImage& Glyph() const { return glyph_; }
    void SetGlyph(const TPngImage& glyph);
    bool DrawFocus() const { return drawFocus_; }
    void SetDrawFocus(bool drawFocus);
    NotifyEvent OnClick;

    bool IsDown() const { return press_.pressed(); }
    // The accelerator: the letter after "&" in the caption, case-insensitive. Answers whether
    // the character was this button's and the click ran.
    bool DialogChar(QChar character);
    void Click();

    // The face as painted, without the focus frame.
    QImage render() const;
    // The focus frame shows on a focused, enabled button that draws focus, or on any such
    // button once the keyboard has been used.
    bool showsFocusFrame() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;

private:
    void setColor(TColor& field, TColor color);
    void fireClick();
    void updateShortcut();
    int captionLeft(const clipforge::Canvas& canvas) const;

    QString caption_;
    TColor fontColor_ = clWindowText;
    bool default_ = false;
    TColor defaultColorFrom_ = 0xEEEEEE;
    TColor defaultColorTo_ = 0xE4E4E4;
    TColor clickColorFrom_ = 0xE4E4E4;
    TColor clickColorTo_ = 0xEEEEEE;
    TColor overColorFrom_ = 0;
    TColor overColorTo_ = 0;
    TColor borderColor_ = 0xC5C5C5;
    TPngImage glyph_;
    bool drawFocus_ = false;
    clipforge::ButtonPress press_ {clipforge::ButtonPress::DragBack::Cancels};
    int shortcutId_ = 0;
};

namespace clipforge {

// The face gradient: rows from the third to the last, all but the two rightmost columns, each
// row's colour computed afresh; equal colours give one flat fill.
void drawButtonGradient(QImage& bitmap, TColor from, TColor to);

// The accelerator letter of a caption ("&Import" gives 'I'), or a null character.
QChar acceleratorOf(const QString& caption);

} // namespace clipforge
