#pragma once

#include "controls/ButtonPress.h"
#include "controls/Canvas.h"
#include "controls/Color.h"
#include "controls/PngButtonFunctions.h"
#include "controls/PngFunctions.h"
#include "controls/PngImage.h"

#include <QImage>
#include <QString>
#include <QWidget>

#include <functional>

class TPngImageList;

// A flat-capable speed button that shows a PNG picture beside its caption.
class TPngSpeedButton : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(bool Flat READ Flat WRITE SetFlat)

public:
    using NotifyEvent = std::function<void(TPngSpeedButton* sender)>;

    explicit TPngSpeedButton(QWidget* parent = nullptr);

    const TPngImage& PngImage() const { return pngImage_; }
    void SetPngImage(const TPngImage& picture);
    TPngOptions PngOptions() const { return pngOptions_; }
    void SetPngOptions(TPngOptions options);
    bool ImageFromAction() const { return imageFromAction_; }

    const QString& Caption() const { return caption_; }
    void SetCaption(const QString& caption);
    TColor FontColor() const { return fontColor_; }
    void SetFontColor(TColor color);
    bool Flat() const { return flat_; }
    void SetFlat(bool flat);
    // -1 spacing is automatic; -1 margin centres picture and caption together.
    int Spacing() const { return spacing_; }
    void SetSpacing(int spacing);
    int Margin() const { return margin_; }
    void SetMargin(int margin);
    TButtonLayout Layout() const { return layout_; }
    void SetLayout(TButtonLayout layout);
    // Latched down; a button with a group index toggles it on click and releases its group.
    bool Down() const { return down_; }
    void SetDown(bool down);
    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int groupIndex) { groupIndex_ = groupIndex; }
    bool AllowAllUp() const { return allowAllUp_; }
    void SetAllowAllUp(bool allowAllUp) { allowAllUp_ = allowAllUp; }
    NotifyEvent OnClick;

    // Takes the picture from an action's image list when the button has none of its own or
    // its picture came from an action before.
    void ActionChange(const TPngImageList* images, int imageIndex);
    void Click();

    bool IsPressed() const { return press_.pressed() || down_; }
    bool IsHot() const { return press_.hovered(); }
    QImage render() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void paintFrame(clipforge::Canvas& canvas) const;
    void paintCaption(clipforge::Canvas& canvas, const clipforge::Rect& textRect) const;
    void releaseGroup();

    TPngImage pngImage_;
    TPngOptions pngOptions_ = pngBlendOnDisabled;
    bool imageFromAction_ = false;
    QString caption_;
    TColor fontColor_ = clBtnText;
    bool flat_ = false;
    int spacing_ = 4;
    int margin_ = -1;
    TButtonLayout layout_ = blGlyphLeft;
    bool down_ = false;
    int groupIndex_ = 0;
    bool allowAllUp_ = false;
    // A press dragged off comes back with the pointer.
    clipforge::ButtonPress press_ {clipforge::ButtonPress::DragBack::Revives};
};
