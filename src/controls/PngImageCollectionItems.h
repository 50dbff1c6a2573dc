#pragma once

#include "controls/PngImageCollectionItem.h"

#include <functional>
#include <memory>
#include <vector>

// The pictures of a PNG image list. Every change is reported to the owner, which rebuilds.
class TPngImageCollectionItems {
public:
    explicit TPngImageCollectionItems(std::function<void()> onChange = {});
    TPngImageCollectionItems(const TPngImageCollectionItems&) = delete;
    TPngImageCollectionItems& operator=(const TPngImageCollectionItems&) = delete;

    int Count() const { return static_cast<int>(items_.size()); }
    // No item (nullptr) for an index outside 0 .. Count() - 1.
    TPngImageCollectionItem* Items(int index);
    const TPngImageCollectionItem* Items(int index) const;

    TPngImageCollectionItem* Add();
    TPngImageCollectionItem* Insert(int index);
    void Delete(int index);
    void Move(int from, int to);
    void Clear();
    void Assign(const TPngImageCollectionItems& source);

    void itemChanged() { changed(); }

private:
    void changed();

    std::function<void()> onChange_;
    std::vector<std::unique_ptr<TPngImageCollectionItem>> items_;
};
