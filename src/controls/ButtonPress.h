#pragma once

namespace clipforge {

// The mouse over a picture button and a press on it, for the program's three kinds of button:
// whether the pointer hovers, whether the button shows pressed, and whether a release clicks. A
// press dragged off the button either comes back when the pointer does (Revives) or is over for
// good (Cancels).
class ButtonPress {
public:
    enum class DragBack { Revives, Cancels };

    explicit ButtonPress(DragBack dragBack) : dragBack_(dragBack) {}

    bool hovered() const { return hovered_; }
    bool pressed() const { return pressed_; }
    // A press is under way: a release will end it.
    bool tracking() const { return tracking_; }

    void hover(bool over) { hovered_ = over; }
    void press() { tracking_ = pressed_ = true; }
    // The pointer moved, inside the button's pressing area or not; true when the look changed.
    bool move(bool inside)
    {
        const bool was = pressed_;
        if (tracking_ && (dragBack_ == DragBack::Revives || !inside))
            pressed_ = inside;
        tracking_ = tracking_ && (pressed_ || dragBack_ == DragBack::Revives);
        return pressed_ != was;
    }
    // Ends the press; true when it is a click: released inside a press still under way.
    bool release(bool inside)
    {
        const bool click = (dragBack_ == DragBack::Revives ? tracking_ : pressed_) && inside;
        cancel();
        return click;
    }
    void cancel() { tracking_ = pressed_ = false; }

private:
    DragBack dragBack_;
    bool hovered_ = false;
    bool tracking_ = false;
    bool pressed_ = false;
};

}  // namespace clipforge
