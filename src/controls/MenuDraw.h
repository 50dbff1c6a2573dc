#pragma once

#include "controls/Canvas.h"

#include <QMenu>
#include <QPointer>
#include <QSize>

#include <memory>
#include <vector>

class QAction;
#include "controls/PngImageList.h"

namespace clipforge {
class MenuDrawStyle;
}

// Paints one popup menu: every item in two lines, a bold caption over its hint (the action's
// status tip), a picture column when the menu has images, a rounded two-part gradient under the
// highlighted item, and double lines for separators. Only the items present when the menu is
// attached are painted this way.
class TMenuDraw {
public:
    TMenuDraw();
    ~TMenuDraw();
    TMenuDraw(const TMenuDraw&) = delete;
    TMenuDraw& operator=(const TMenuDraw&) = delete;

    static constexpr int PictureColumnWidth = 26;
    static constexpr TColor ItemBackground = 0xFAFAFA;
    static constexpr TColor PictureColumnBackground = 0xEEEEE9;
    static constexpr TColor LineColor = 0xC5C5C5;
    static constexpr TColor SeparatorBackground = 0xEEE7DD;
    static constexpr TColor SeparatorLowerLine = 0xFAFAFA;
    static constexpr TColor TextColor = 0x6E1500;
    static constexpr TColor DisabledTextColor = 0xDEC5D8;
    static constexpr TColor HighlightLight = 0xEFE8E4;
    static constexpr TColor HighlightUpperDark = 0xDEC5B8;
    static constexpr TColor HighlightLowerDark = 0xD8BAAB;

    bool DrawImages = true;
    bool SplitHighlight = true;

    QMenu* Menu() const { return menu_; }
    // Takes over the painting of the menu's items; images is the menu's image list (may be none).
    void Attach(QMenu* menu, TPngImageList* images = nullptr);
    TPngImageList* Images() const { return images_; }

    // The picture an item shows from the menu's image list; -1 (the default) for none.
    static void setImageIndex(QAction* action, int index);
    static int imageIndex(const QAction* action);

    bool isAttached(const QAction* action) const;
    bool paintsAsSeparator(const QAction* action) const;

    QSize MeasureItem(const QAction* action) const;
    void DrawItem(clipforge::Canvas& canvas, const QAction* action, const clipforge::Rect& rect, bool selected) const;
    void DrawSeparator(clipforge::Canvas& canvas, const QAction* action, const clipforge::Rect& rect) const;
    // One item as the menu shows it, off-screen.
    QImage renderItem(const QAction* action, QSize size, bool selected) const;

private:
    struct AttachedItem {
        QPointer<QAction> action;
        bool separator;
    };

    bool hasImages() const;
    void paintPictureColumn(clipforge::Canvas& canvas, const clipforge::Rect& rect) const;
    void paintHighlight(clipforge::Canvas& canvas, const clipforge::Rect& rect, int captionHeight, bool split) const;

    QPointer<QMenu> menu_;
    QPointer<TPngImageList> images_;
    std::vector<AttachedItem> items_;
    std::unique_ptr<clipforge::MenuDrawStyle> style_;
};
