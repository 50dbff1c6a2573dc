#pragma once

#include "controls/ButtonPress.h"
#include "controls/Canvas.h"
#include "controls/PngImage.h"

#include <QImage>
#include <QWidget>

#include <functional>

// A button drawn as one of four pictures: normal, mouse over, pressed, disabled. Its own Enabled
// flag only changes the look and withholds clicks; the mouse still reaches the control.
class TImageButton : public QWidget {
    Q_OBJECT

public:
    using NotifyEvent = std::function<void(TImageButton* sender)>;

    explicit TImageButton(QWidget* parent = nullptr);

    const TPngImage& Image() const { return image_; }
    void SetImage(const TPngImage& picture) { setPicture(image_, picture); }
    const TPngImage& ImageOver() const { return imageOver_; }
    void SetImageOver(const TPngImage& picture) { setPicture(imageOver_, picture); }
    const TPngImage& ImageDown() const { return imageDown_; }
    void SetImageDown(const TPngImage& picture) { setPicture(imageDown_, picture); }
    const TPngImage& ImageDisable() const { return imageDisable_; }
    void SetImageDisable(const TPngImage& picture) { setPicture(imageDisable_, picture); }
    bool UseDown() const { return useDown_; }
    void SetUseDown(bool useDown);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    NotifyEvent OnClick;

    // Reached by Tab while enabled; it never takes the focus from a mouse click.
    void SetTabStop(bool tabStop);
    // The keyboard's click (Space, Enter, its caption's accelerator): raises OnClick while enabled.
    void Click();

    bool IsOver() const { return press_.hovered(); }
    bool IsDown() const { return press_.pressed(); }
    // The hit area: where the current look's picture is drawn.
    clipforge::Rect ImageRect() const { return imageRect_; }

    // The control as painted, transparent where no picture covers it.
    QImage render() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    struct Look {
        const TPngImage* picture;
        clipforge::Rect rect;
    };
    Look currentLook() const;
    void setPicture(TPngImage& field, const TPngImage& picture);
    void stateChanged();
    void updateFocusPolicy();

    TPngImage image_;
    TPngImage imageDown_;
    TPngImage imageOver_;
    TPngImage imageDisable_;
    bool useDown_ = true;
    bool enabled_ = true;
    bool tabStop_ = false;
    // A press dragged off the picture has been cancelled; coming back does not revive it.
    clipforge::ButtonPress press_ {clipforge::ButtonPress::DragBack::Cancels};
    clipforge::Rect imageRect_;
};
