#pragma once

#include <QObject>

#include <functional>

class QLabel;

namespace clipforge {

// Gives a label a click: a left-button release over the label, for as long as this lives.
class LabelClick : public QObject {
public:
    LabelClick(QLabel* label, std::function<void()> onClick);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* label_;
    std::function<void()> onClick_;
};

}  // namespace clipforge
