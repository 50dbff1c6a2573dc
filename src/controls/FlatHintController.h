#pragma once

#include <QBasicTimer>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>

#include <memory>
#include <vector>

class TMyFlatHint;
class TMyFlatHintWindow;

namespace clipforge {

struct HintTiming {
    int pause = 500;        // pointer resting on a control before its hint shows
    int shortPause = 25;    // moving to another control while a hint is up
    int hidePause = 5000;   // a shown hint goes away after this long
};

// The application-wide replacement of tooltips: watches the pointer through an application event
// filter, swallows the toolkit's own tooltip events, and shows hints in the flat hint window with
// the hint timing. It exists while at least one TMyFlatHint lives, so it never reaches a
// destroyed settings component.
class FlatHintController : public QObject {
    Q_OBJECT
public:
    static void attach(TMyFlatHint* settings);
    static void detach(TMyFlatHint* settings);
    static FlatHintController* instance();

    // The settings of the window nearest the top: the active window's, else the newest one's.
    static TMyFlatHint* findSettings();

    ~FlatHintController() override;

    TMyFlatHintWindow& window() { return *window_; }
    const HintTiming& timing() const { return timing_; }
    void setTiming(const HintTiming& timing) { timing_ = timing; }

    // The hint a control offers at a point in its coordinates: item views answer per cell.
    struct Target {
        QPointer<QWidget> control;
        QRect cursorRect;
    };
    static Target targetAt(QWidget* widget, QPoint position);
    static QString hintText(const Target& target, QPoint position);

    // Hides the hint; it shows again only once the pointer reaches another hint area.
    void cancelHint();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    FlatHintController();

    void pointerMoved(QWidget* widget, QPoint globalPosition);
    void showPendingHint();
    void forgetTarget();
    bool sameTarget(const Target& target, QPoint globalPosition) const;

    std::unique_ptr<TMyFlatHintWindow> window_;
    std::vector<TMyFlatHint*> settings_;
    HintTiming timing_;
    Target target_;
    QPoint pointer_;
    QBasicTimer showTimer_;
    QBasicTimer hideTimer_;
};

} // namespace clipforge
