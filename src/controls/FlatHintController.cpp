#include "controls/FlatHintController.h"

#include "controls/MyFlatHint.h"
#include "controls/MyFlatHintWindow.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QMouseEvent>
#include <QTimerEvent>

#include <algorithm>

namespace clipforge {

namespace {

std::unique_ptr<FlatHintController>& theController()
{
    static std::unique_ptr<FlatHintController> controller;
    return controller;
}

QAbstractItemView* viewOfViewport(QWidget* widget)
{
    auto* view = qobject_cast<QAbstractItemView*>(widget->parentWidget());
    return view != nullptr && view->viewport() == widget ? view : nullptr;
}

} // namespace

FlatHintController::FlatHintController()
    : window_(std::make_unique<TMyFlatHintWindow>())
{
    qApp->installEventFilter(this);
}

FlatHintController::~FlatHintController()
{
    if (qApp != nullptr)
        qApp->removeEventFilter(this);
}

void FlatHintController::attach(TMyFlatHint* settings)
{
    auto& controller = theController();
    if (!controller) {
        if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr)
            return; // no widgets, nothing to show hints on
        controller.reset(new FlatHintController);
    }
    controller->settings_.push_back(settings);
    controller->timing_ = HintTiming{};
}

void FlatHintController::detach(TMyFlatHint* settings)
{
    auto& controller = theController();
    if (!controller)
        return;
    auto& list = controller->settings_;
    list.erase(std::remove(list.begin(), list.end(), settings), list.end());
    if (list.empty())
        controller.reset();
}

FlatHintController* FlatHintController::instance()
{
    return theController().get();
}

TMyFlatHint* FlatHintController::findSettings()
{
    FlatHintController* controller = instance();
    if (controller == nullptr || controller->settings_.empty())
        return nullptr;
    const QWidget* active = QApplication::activeWindow();
    for (TMyFlatHint* settings : controller->settings_) {
        const auto* owner = qobject_cast<const QWidget*>(settings->parent());
        if (active != nullptr && owner != nullptr && owner->window() == active)
            return settings;
    }
    return controller->settings_.back();
}

FlatHintController::Target FlatHintController::targetAt(QWidget* widget, QPoint position)
{
    for (QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
        if (QAbstractItemView* view = viewOfViewport(w)) {
            const QModelIndex index = view->indexAt(position);
            if (index.isValid() && !index.data(Qt::ToolTipRole).toString().isEmpty())
                return {w, view->visualRect(index)};
        }
        if (!w->toolTip().isEmpty())
            return {w, w->rect()};
        if (w->isWindow())
            break;
        position = w->mapToParent(position);
    }
    return {};
}

QString FlatHintController::hintText(const Target& target, QPoint position)
{
    QWidget* control = target.control;
    if (control == nullptr)
        return {};
    if (QAbstractItemView* view = viewOfViewport(control)) {
        const QModelIndex index = view->indexAt(position);
        const QString text = index.data(Qt::ToolTipRole).toString();
        if (!text.isEmpty())
            return text;
    }
    return control->toolTip();
}

bool FlatHintController::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::ToolTip:
        return true; // every hint goes through the flat window
    case QEvent::MouseMove: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget != nullptr && mouse->buttons() == Qt::NoButton && widget != window_.get())
            pointerMoved(widget, mouse->globalPosition().toPoint());
        break;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::Wheel:
        cancelHint();
        break;
    case QEvent::Leave:
        if (auto* widget = qobject_cast<QWidget*>(watched); widget != nullptr && widget->isWindow()
            && widget != window_.get())
            forgetTarget();
        break;
    case QEvent::ApplicationDeactivate:
        forgetTarget();
        break;
    default:
        break;
    }
    return false;
}

bool FlatHintController::sameTarget(const Target& target, QPoint globalPosition) const
{
    QWidget* control = target_.control;
    return control != nullptr && target.control == control
        && target_.cursorRect.contains(control->mapFromGlobal(globalPosition));
}

void FlatHintController::pointerMoved(QWidget* widget, QPoint globalPosition)
{
    pointer_ = globalPosition;
    const Target target = targetAt(widget, widget->mapFromGlobal(globalPosition));
    if (sameTarget(target, globalPosition))
        return;
    const bool hintWasUp = window_->isVisible();
    window_->hide();
    hideTimer_.stop();
    target_ = target;
    if (!target_.control) {
        showTimer_.stop();
        return;
    }
    showTimer_.start(hintWasUp ? timing_.shortPause : timing_.pause, this);
}

void FlatHintController::cancelHint()
{
    showTimer_.stop();
    hideTimer_.stop();
    window_->hide();
}

void FlatHintController::forgetTarget()
{
    cancelHint();
    target_ = {};
}

void FlatHintController::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == showTimer_.timerId()) {
        showTimer_.stop();
        showPendingHint();
    } else if (event->timerId() == hideTimer_.timerId()) {
        hideTimer_.stop();
        window_->hide();
    }
}

void FlatHintController::showPendingHint()
{
    QWidget* control = target_.control;
    TMyFlatHint* settings = findSettings();
    if (control == nullptr || settings == nullptr || !control->isVisible())
        return;
    const QPoint local = control->mapFromGlobal(pointer_);
    QString text = hintText(target_, local);
    THintInfo info{target_.control, local, target_.cursorRect, timing_.hidePause};
    bool canShow = true;
    if (settings->OnShowHint)
        settings->OnShowHint(text, canShow, info);
    if (!canShow || text.isEmpty())
        return;
    window_->ActivateHint(QRect(), text, pointer_);
    if (window_->isVisible())
        hideTimer_.start(info.HideTimeout, this);
}

} // namespace clipforge
