#pragma once

#include "controls/Canvas.h"
#include "controls/PngFunctions.h"
#include "controls/PngImageCollectionItems.h"

#include <QIcon>
#include <QImage>
#include <QObject>
#include <QPixmap>

#include <vector>

// An image list whose pictures are PNG pictures with alpha. Next to the pictures it keeps the
// ready-made images (enabled or disabled look) that item views show as icons.
class TPngImageList : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool EnabledImages READ EnabledImages WRITE SetEnabledImages)
    Q_PROPERTY(int Width READ Width WRITE SetWidth)
    Q_PROPERTY(int Height READ Height WRITE SetHeight)

public:
    explicit TPngImageList(QObject* parent = nullptr);

    bool EnabledImages() const { return enabledImages_; }
    void SetEnabledImages(bool enabled);
    TPngImageCollectionItems& PngImages() { return pngImages_; }
    const TPngImageCollectionItems& PngImages() const { return pngImages_; }
    void SetPngImages(const TPngImageCollectionItems& images);
    TPngOptions PngOptions() const { return pngOptions_; }
    void SetPngOptions(TPngOptions options);
    // Changing the size empties the list: every picture is removed.
    int Width() const { return width_; }
    void SetWidth(int width);
    int Height() const { return height_; }
    void SetHeight(int height);
    bool Masked() const { return masked_; }
    void SetMasked(bool masked);

    void BeginUpdate();
    void EndUpdate(bool rebuild = true);
    void Rebuild();

    // The picture of collection item index at (x, y); nothing for an index without an item.
    void Draw(clipforge::Canvas& canvas, int x, int y, int index, bool enabled = true) const;

    // The ready-made images, one per item that has a picture.
    int Count() const { return static_cast<int>(images_.size()); }
    QImage image(int index) const;
    QPixmap pixmap(int index) const;
    QIcon icon(int index) const;

    // Bitmaps and icons become PNG pictures with alpha, stored as items at the same position.
    int Add(const QImage& bitmap, const QImage& mask);
    int AddIcon(const QIcon& icon);
    int AddImage(const TPngImageList& source, int index);
    void AddImages(const TPngImageList& source);
    int AddMasked(const QImage& bitmap, TColor maskColor);
    void Clear();
    void Delete(int index);
    void Insert(int index, const QImage& bitmap, const QImage& mask);
    void InsertIcon(int index, const QIcon& icon);
    void InsertMasked(int index, const QImage& bitmap, TColor maskColor);
    void Move(int currentIndex, int newIndex);
    void Replace(int index, const QImage& bitmap, const QImage& mask);
    void ReplaceIcon(int index, const QIcon& icon);
    void ReplaceMasked(int index, const QImage& bitmap, TColor maskColor);

signals:
    void changed(TPngImageList* sender);

private:
    void collectionChanged();
    int insertPicture(int index, const TPngImage& picture);
    void replacePicture(int index, const TPngImage& picture);
    TPngImage pictureFromIcon(const QIcon& icon) const;
    QImage readyImage(const TPngImage& picture) const;

    TPngImageCollectionItems pngImages_;
    std::vector<QImage> images_;
    bool enabledImages_ = true;
    TPngOptions pngOptions_ = pngBlendOnDisabled;
    int width_ = 16;
    int height_ = 16;
    bool masked_ = true;
    int updateCount_ = 0;
    bool rebuildPending_ = false;
};
