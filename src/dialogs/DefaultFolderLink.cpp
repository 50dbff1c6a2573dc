#include "dialogs/DefaultFolderLink.h"

#include "dialogs/FormStyle.h"

namespace clipforge {

using namespace formstyle;

DefaultFolderLink::DefaultFolderLink(QWidget* parent, std::function<void()> onUse)
    : LinkLabel(QStringLiteral("use default folder"), parent)
{
    OnClick = std::move(onUse);
    setFont(formFont(-12, fsUnderline));
    adjustSize();
    resize(width() + 4, height());
    move(rightEdge - width(), top);
    setUsable(false);
}

void DefaultFolderLink::setUsable(bool usable)
{
    setEnabled(usable);
    setTextColor(*this, usable ? captionBlue : disabledGrey);
    // A disabled label would paint in the palette's disabled colour, not the form's grey.
    QPalette colours = palette();
    colours.setColor(QPalette::Disabled, QPalette::WindowText, colours.color(QPalette::Active, QPalette::WindowText));
    setPalette(colours);
}

}  // namespace clipforge
