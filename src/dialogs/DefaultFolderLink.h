#pragma once

#include "controls/LinkLabel.h"

#include <functional>

namespace clipforge {

// "use default folder" under a folder field: the one way back to the default output folder
// once a folder has been chosen. A link in the caption colour while the field holds a folder,
// grey and inert while it is empty; pressed like any link, by the mouse, by Space or Enter once
// it has the keyboard focus, or by a screen reader.
class DefaultFolderLink : public LinkLabel {
public:
    static constexpr int rightEdge = 401;  // the folder field's right edge
    static constexpr int top = 255;

    DefaultFolderLink(QWidget* parent, std::function<void()> onUse);

    // Follows the field: usable only while there is a folder to go back from.
    void setUsable(bool usable);
};

}  // namespace clipforge
