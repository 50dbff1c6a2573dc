#include "controls/MyFlatHint.h"

#include "controls/Canvas.h"
#include "controls/FlatHintController.h"

TMyFlatHint::TMyFlatHint(QObject* owner)
    : QObject(owner), font_(clipforge::makeFont(QStringLiteral("MS Sans Serif"), -11))
{
    clipforge::FlatHintController::attach(this);
}

TMyFlatHint::~TMyFlatHint()
{
    clipforge::FlatHintController::detach(this);
}

void TMyFlatHint::SetColor(int index, TColor value)
{
    if (index >= ciBackground && index <= ciArrow)
        colors_[index] = value;
}

TColor TMyFlatHint::GetColor(int index) const
{
    if (index >= ciBackground && index <= ciArrow)
        return colors_[index];
    return clBlack;
}
