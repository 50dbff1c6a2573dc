#pragma once

#include <QObject>

#include <map>

class QLabel;
class TImageButton;

namespace clipforge {

// Lets a caption label act as part of its image button: pointing at, pressing and
// releasing the label, with any mouse button, reaches the button as a left-button action
// inside its picture, delivered before the label's own handling returns. The caption's
// underlined letter with Alt clicks the button, while the button is enabled.
class CaptionForwarder : public QObject {
public:
    using QObject::QObject;

    void forward(QLabel* label, TImageButton* button);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::map<QObject*, TImageButton*> buttons_;
};

}  // namespace clipforge
