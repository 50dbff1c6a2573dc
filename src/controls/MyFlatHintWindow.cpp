#include "controls/MyFlatHintWindow.h"

#include "controls/FlatHintController.h"
#include "controls/MyFlatHint.h"
#include "controls/WordWrap.h"

#include <QCursor>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

#include <array>

using clipforge::Canvas;
using clipforge::Rect;

namespace {

// The arrow as one polyline, offsets from its tip for a pop-up opening right of and below the pointer.
constexpr std::array<QPoint, 18> arrowShape = {{
    {0, 0}, {0, 6}, {1, 6}, {1, 0}, {6, 0}, {6, 1}, {2, 1}, {2, 4}, {5, 7},
    {6, 7}, {3, 4}, {3, 3}, {6, 6}, {7, 6}, {3, 2}, {4, 2}, {7, 5}, {7, 6},
}};

bool stripOnLeft(int arrowCorner)
{
    return arrowCorner == 1 || arrowCorner == 3;
}

Rect stripRect(int arrowCorner, const Rect& client)
{
    if (stripOnLeft(arrowCorner))
        return {client.left + 1, client.top + 1, client.left + 15, client.bottom - 1};
    return {client.right - 15, client.top + 1, client.right - 1, client.bottom - 1};
}

Rect textAreaRect(int arrowCorner, const Rect& client)
{
    if (stripOnLeft(arrowCorner))
        return {client.left + 15, client.top + 1, client.right - 1, client.bottom - 1};
    return {client.left + 1, client.top + 1, client.right - 15, client.bottom - 1};
}

constexpr unsigned hintTextFlags = clipforge::dtWordBreak | clipforge::dtNoPrefix;

} // namespace

TMyFlatHintWindow::TMyFlatHintWindow()
    : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
}

QSize TMyFlatHintWindow::measureHint(const QString& text, const TMyFlatHint& settings)
{
    QImage scratch = clipforge::makeBitmap(1, 1);
    Canvas canvas(scratch);
    canvas.setFont(settings.Font());
    Rect bounds{0, 0, settings.MaxHintWidth() - MarginWidth, 0};
    canvas.drawText(text, bounds, clipforge::dtCalcRect | hintTextFlags);
    return QSize(bounds.width() + MarginWidth, bounds.height() + MarginHeight);
}

THintPlacement TMyFlatHintWindow::placeHint(QSize size, QPoint pointer, QSize screen)
{
    const int midX = screen.width() / 2;
    const int midY = screen.height() / 2;
    const int x = pointer.x();
    const int y = pointer.y();
    const bool top = y >= 0 && y < midY;
    const bool bottom = y >= midY && y < screen.height();
    const bool left = x >= 0 && x < midX;
    const bool right = x >= midX && x < screen.width();
    THintPlacement placement;
    if (top && left)
        placement.ArrowCorner = 1;
    else if (top && right)
        placement.ArrowCorner = 0;
    else if (bottom && left)
        placement.ArrowCorner = 3;
    else
        placement.ArrowCorner = 2;
    const int gap = placement.ArrowCorner == 1 ? 12 : 5;
    const int w = size.width();
    const int h = size.height();
    switch (placement.ArrowCorner) {
    case 0: placement.Bounds = {x - w - gap, y + gap, x - gap, y + h + gap}; break;
    case 1: placement.Bounds = {x + gap, y + gap, x + w + gap, y + h + gap}; break;
    case 3: placement.Bounds = {x + gap, y - h - gap, x + w + gap, y - gap}; break;
    default: placement.Bounds = {x - w - gap, y - h - gap, x - gap, y - gap}; break;
    }
    return placement;
}

QPoint TMyFlatHintWindow::arrowPointFor(int arrowCorner, const Rect& strip)
{
    switch (arrowCorner) {
    case 1: return {strip.left + 2, strip.top + 2};
    case 0: return {strip.right - 3, strip.top + 2};
    case 3: return {strip.left + 2, strip.bottom - 3};
    default: return {strip.right - 3, strip.bottom - 3};
    }
}

void TMyFlatHintWindow::paintArrow(Canvas& canvas, int arrowCorner, QPoint tip, TColor color)
{
    const int sx = stripOnLeft(arrowCorner) ? 1 : -1;
    const int sy = (arrowCorner == 0 || arrowCorner == 1) ? 1 : -1;
    std::vector<QPoint> points;
    points.reserve(arrowShape.size());
    for (const QPoint& offset : arrowShape)
        points.emplace_back(tip.x() + sx * offset.x(), tip.y() + sy * offset.y());
    canvas.setPenColor(color);
    canvas.setPenWidth(1);
    canvas.polyline(points);
}

QImage TMyFlatHintWindow::renderHint(QSize size, int arrowCorner, const QString& text, const TMyFlatHint& settings)
{
    QImage image = clipforge::makeBitmap(size.width(), size.height());
    Canvas canvas(image);
    const Rect client{0, 0, size.width(), size.height()};
    const Rect strip = stripRect(arrowCorner, client);
    Rect textArea = textAreaRect(arrowCorner, client);
    canvas.fillRect(strip, settings.ColorArrowBackground());
    canvas.fillRect(textArea, settings.ColorBackground());
    canvas.frameRect(client, settings.ColorBorder());
    paintArrow(canvas, arrowCorner, arrowPointFor(arrowCorner, strip), settings.ColorArrow());
    canvas.setBrushStyle(clipforge::BrushStyle::Clear);
    canvas.setFont(settings.Font());
    canvas.setFontColor(settings.FontColor());
    Rect textRect = textArea.inflated(-3, -1);
    // Drawn in the lines it was measured in: wrapping again at the measured width could join
    // words that a wider, unbreakable word had pushed apart.
    const QFontMetrics metrics(settings.Font(), &image);
    const QString lines = clipforge::wrapAtSpaces(text, settings.MaxHintWidth() - MarginWidth, metrics).join(u'\n');
    canvas.drawText(lines, textRect, clipforge::dtNoPrefix);
    return image;
}

void TMyFlatHintWindow::ActivateHint(const QRect& rect, const QString& text)
{
    ActivateHint(rect, text, QCursor::pos());
}

void TMyFlatHintWindow::ActivateHint(const QRect&, const QString& text, QPoint pointer)
{
    setWindowTitle(text);
    settings_ = clipforge::FlatHintController::findSettings();
    if (!settings_)
        return;
    const QSize size = measureHint(text, *settings_);
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize screenSize = screen ? screen->geometry().size() : QSize();
    const THintPlacement placement = placeHint(size, pointer, screenSize);
    arrowCorner_ = placement.ArrowCorner;
    arrowPoint_ = arrowPointFor(arrowCorner_, stripRect(arrowCorner_, {0, 0, size.width(), size.height()}));
    // The look is fixed when the hint opens: a later colour change waits for the next hint.
    image_ = renderHint(size, arrowCorner_, text, *settings_);
    setGeometry(placement.Bounds.toQRect());
    show();
    raise();
    update();
}

void TMyFlatHintWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(0, 0, image_);
}
