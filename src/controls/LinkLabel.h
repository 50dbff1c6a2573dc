#pragma once

#include <QLabel>

#include <functional>

namespace clipforge {

// A label that acts as a link: clicked with the left button, or reached by Tab and pressed with
// Space or Enter. Its focus mark shows only once the keyboard has been used.
class LinkLabel : public QLabel {
    Q_OBJECT

public:
    explicit LinkLabel(const QString& text, QWidget* parent = nullptr);

    std::function<void()> OnClick;
    void Click();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace clipforge
