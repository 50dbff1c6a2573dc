#pragma once

#include "controls/Color.h"
#include "controls/PngImage.h"

#include <QString>

class TPngImageCollectionItems;

// One picture of a PNG image list, with the colour it is flattened against where alpha is lost.
class TPngImageCollectionItem {
public:
    TPngImageCollectionItem(TPngImageCollectionItems* collection, int index);

    const TPngImage& PngImage() const { return pngImage_; }
    void SetPngImage(const TPngImage& picture);
    const QString& Name() const { return name_; }
    void SetName(const QString& name) { name_ = name; }
    TColor Background() const { return background_; }
    void SetBackground(TColor color);
    QString DisplayName() const;

    // Copies picture, background and name.
    void Assign(const TPngImageCollectionItem& source);

private:
    friend class TPngImageCollectionItems;
    void copyFrom(const TPngImageCollectionItem& source);
    void changed();

    TPngImageCollectionItems* collection_;
    TPngImage pngImage_;
    QString name_;
    TColor background_ = clBtnFace;
};
