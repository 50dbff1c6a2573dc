#pragma once

#include <QImage>
#include <QWidget>

// The start-up picture: borderless, 570 x 330, slightly see-through, centred on the desktop.
class TSplashDlg : public QWidget {
public:
    TSplashDlg();

    const QImage& picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void FormCreate();

    QImage picture_;
};

namespace clipforge {

// Shows the splash and dispatches events until at least minimumMs have passed.
void showSplashFor(TSplashDlg& splash, int minimumMs);

}  // namespace clipforge
