#include "controls/PngImageList.h"

TPngImageList::TPngImageList(QObject* parent)
    : QObject(parent), pngImages_([this] { collectionChanged(); })
{
}

void TPngImageList::SetEnabledImages(bool enabled)
{
    if (enabled == enabledImages_)
        return;
    enabledImages_ = enabled;
    Rebuild();
}

void TPngImageList::SetPngImages(const TPngImageCollectionItems& images)
{
    pngImages_.Assign(images);
}

void TPngImageList::SetPngOptions(TPngOptions options)
{
    if (options == pngOptions_)
        return;
    pngOptions_ = options;
    Rebuild();
}

void TPngImageList::SetWidth(int width)
{
    if (width == width_)
        return;
    width_ = width;
    BeginUpdate();
    pngImages_.Clear();
    EndUpdate();
}

void TPngImageList::SetHeight(int height)
{
    if (height == height_)
        return;
    height_ = height;
    BeginUpdate();
    pngImages_.Clear();
    EndUpdate();
}

void TPngImageList::SetMasked(bool masked)
{
    if (masked == masked_)
        return;
    masked_ = masked;
    Rebuild();
}

void TPngImageList::BeginUpdate()
{
    ++updateCount_;
}

void TPngImageList::EndUpdate(bool rebuild)
{
    if (updateCount_ > 0)
        --updateCount_;
    if (updateCount_ == 0 && rebuild)
        Rebuild();
}

void TPngImageList::collectionChanged()
{
    Rebuild();
}

void TPngImageList::Rebuild()
{
    if (updateCount_ > 0) {
        rebuildPending_ = true;
        return;
    }
    rebuildPending_ = false;
    images_.clear();
    for (int i = 0; i < pngImages_.Count(); ++i) {
        const TPngImage& picture = pngImages_.Items(i)->PngImage();
        if (!picture.empty())
            images_.push_back(readyImage(picture));
    }
    emit changed(this);
}

QImage TPngImageList::readyImage(const TPngImage& picture) const
{
    QImage image(width_ > 0 ? width_ : 1, height_ > 0 ? height_ : 1, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    clipforge::Canvas canvas(image);
    const TPngOptions look = (!enabledImages_ && pngOptions_) ? pngOptions_ : TPngOptions{};
    DrawPicture(picture, canvas, {0, 0, image.width(), image.height()}, look);
    return image;
}

void TPngImageList::Draw(clipforge::Canvas& canvas, int x, int y, int index, bool enabled) const
{
    const TPngImageCollectionItem* item = pngImages_.Items(index);
    if (item == nullptr)
        return;
    DrawPicture(item->PngImage(), canvas, {x, y, x + width_, y + height_}, enabled ? TPngOptions{} : pngOptions_);
}

QImage TPngImageList::image(int index) const
{
    if (index < 0 || index >= Count())
        return {};
    return images_[static_cast<std::size_t>(index)];
}

QPixmap TPngImageList::pixmap(int index) const
{
    const QImage source = image(index);
    return source.isNull() ? QPixmap() : QPixmap::fromImage(source);
}

QIcon TPngImageList::icon(int index) const
{
    const QPixmap source = pixmap(index);
    return source.isNull() ? QIcon() : QIcon(source);
}

int TPngImageList::insertPicture(int index, const TPngImage& picture)
{
    BeginUpdate();
    TPngImageCollectionItem* item = pngImages_.Insert(index);
    item->SetPngImage(picture);
    EndUpdate();
    for (int i = 0; i < pngImages_.Count(); ++i) {
        if (pngImages_.Items(i) == item)
            return i;
    }
    return -1;
}

void TPngImageList::replacePicture(int index, const TPngImage& picture)
{
    if (TPngImageCollectionItem* item = pngImages_.Items(index))
        item->SetPngImage(picture);
}

TPngImage TPngImageList::pictureFromIcon(const QIcon& icon) const
{
    return TPngImage::fromImage(icon.pixmap(QSize(width_, height_)).toImage());
}

int TPngImageList::Add(const QImage& bitmap, const QImage& mask)
{
    return insertPicture(pngImages_.Count(), TPngImage::fromBitmapWithMask(bitmap, mask));
}

int TPngImageList::AddIcon(const QIcon& icon)
{
    return insertPicture(pngImages_.Count(), pictureFromIcon(icon));
}

int TPngImageList::AddImage(const TPngImageList& source, int index)
{
    const TPngImageCollectionItem* from = source.PngImages().Items(index);
    if (from == nullptr)
        return -1;
    BeginUpdate();
    pngImages_.Add()->Assign(*from);
    EndUpdate();
    return pngImages_.Count() - 1;
}

void TPngImageList::AddImages(const TPngImageList& source)
{
    if (&source == this)
        return;
    BeginUpdate();
    for (int i = 0; i < source.PngImages().Count(); ++i)
        pngImages_.Add()->Assign(*source.PngImages().Items(i));
    EndUpdate();
}

int TPngImageList::AddMasked(const QImage& bitmap, TColor maskColor)
{
    return insertPicture(pngImages_.Count(), TPngImage::fromBitmapWithMaskColor(bitmap, maskColor));
}

void TPngImageList::Clear()
{
    pngImages_.Clear();
}

void TPngImageList::Delete(int index)
{
    pngImages_.Delete(index);
}

void TPngImageList::Insert(int index, const QImage& bitmap, const QImage& mask)
{
    insertPicture(index, TPngImage::fromBitmapWithMask(bitmap, mask));
}

void TPngImageList::InsertIcon(int index, const QIcon& icon)
{
    insertPicture(index, pictureFromIcon(icon));
}

void TPngImageList::InsertMasked(int index, const QImage& bitmap, TColor maskColor)
{
    insertPicture(index, TPngImage::fromBitmapWithMaskColor(bitmap, maskColor));
}

void TPngImageList::Move(int currentIndex, int newIndex)
{
    pngImages_.Move(currentIndex, newIndex);
}

void TPngImageList::Replace(int index, const QImage& bitmap, const QImage& mask)
{
    replacePicture(index, TPngImage::fromBitmapWithMask(bitmap, mask));
}

void TPngImageList::ReplaceIcon(int index, const QIcon& icon)
{
    replacePicture(index, pictureFromIcon(icon));
}

void TPngImageList::ReplaceMasked(int index, const QImage& bitmap, TColor maskColor)
{
    replacePicture(index, TPngImage::fromBitmapWithMaskColor(bitmap, maskColor));
}
