#include "controls/PngImageCollectionItem.h"

#include "controls/PngImageCollectionItems.h"

TPngImageCollectionItem::TPngImageCollectionItem(TPngImageCollectionItems* collection, int index)
    : collection_(collection), name_(QStringLiteral("PngImage%1").arg(index))
{
}

void TPngImageCollectionItem::SetPngImage(const TPngImage& picture)
{
    pngImage_ = picture;
    changed();
}

void TPngImageCollectionItem::SetBackground(TColor color)
{
    if (color == background_)
        return;
    background_ = color;
    changed();
}

QString TPngImageCollectionItem::DisplayName() const
{
    return name_;
}

void TPngImageCollectionItem::Assign(const TPngImageCollectionItem& source)
{
    copyFrom(source);
    changed();
}

void TPngImageCollectionItem::copyFrom(const TPngImageCollectionItem& source)
{
    pngImage_ = source.pngImage_;
    background_ = source.background_;
    name_ = source.name_;
}

void TPngImageCollectionItem::changed()
{
    if (collection_ != nullptr)
        collection_->itemChanged();
}
