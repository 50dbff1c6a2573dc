#pragma once

#include "controls/Canvas.h"

#include <QFlags>
#include <QImage>
#include <QString>
#include <QWidget>

enum TLineBorder { lbTop = 0x1, lbLeft = 0x2, lbRight = 0x4, lbBottom = 0x8 };
Q_DECLARE_FLAGS(TLineBorders, TLineBorder)
Q_DECLARE_OPERATORS_FOR_FLAGS(TLineBorders)

enum TAlignment { taLeftJustify, taRightJustify, taCenter };

// A flat container: solid background, optional one-pixel lines on its edges and a caption.
// BorderWidth keeps its children that far inside its edges.
class TLinePanel : public QWidget {
    Q_OBJECT
public:
    explicit TLinePanel(QWidget* parent = nullptr);

    TColor LineColor() const { return lineColor_; }
    void setLineColor(TColor value);
    TLineBorders LineBorders() const { return lineBorders_; }
    void setLineBorders(TLineBorders value);

    const QString& Caption() const { return caption_; }
    void setCaption(const QString& value);
    TAlignment Alignment() const { return alignment_; }
    void setAlignment(TAlignment value);
    TColor FontColor() const { return fontColor_; }
    void setFontColor(TColor value);

    // The background; ParentColor takes the parent's background instead.
    TColor Color() const;
    void setColor(TColor value);
    bool ParentColor() const { return parentColor_; }
    void setParentColor(bool value);

    int BorderWidth() const { return borderWidth_; }
    void setBorderWidth(int value);

    // The client area without the border, where lines and caption go.
    clipforge::Rect clientRect() const;

    // The panel as it paints, off-screen; the same bitmap serves every paint.
    const QImage& renderImage();

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void paintLines(clipforge::Canvas& canvas, const clipforge::Rect& client) const;
    void paintCaption(clipforge::Canvas& canvas, const clipforge::Rect& client) const;
    void applyColorToPalette();

    TColor lineColor_ = 0xB99D7F;
    TLineBorders lineBorders_;
    QString caption_;
    TAlignment alignment_ = taCenter;
    TColor fontColor_ = clWindowText;
    TColor color_ = clBtnFace;
    bool parentColor_ = true;
    int borderWidth_ = 0;
    QImage bitmap_;
};
