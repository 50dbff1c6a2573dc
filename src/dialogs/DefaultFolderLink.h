#pragma once

#include <QLabel>

#include <functional>

namespace clipforge {

// "use default folder" under a folder field: the one way back to the default output folder
// once a folder has been chosen. A link in the caption colour while the field holds a folder,
// grey and inert while it is empty; a left click, or Space or Enter once it has the keyboard
// focus, empties the field.
class DefaultFolderLink : public QLabel {
public:
    static constexpr int rightEdge = 401;  // the folder field's right edge
    static constexpr int top = 255;

    DefaultFolderLink(QWidget* parent, std::function<void()> onUse);

    // Follows the field: usable only while there is a folder to go back from.
    void setUsable(bool usable);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void use();

    std::function<void()> onUse_;
};

}  // namespace clipforge
