#pragma once

#include <QImage>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <string>

#include "clock.h"
#include "clock_wake.h"
#include "layout.h"

class QPainter;

// The intrinsic controls of a form. Texts are UTF-8. Windowless controls (labels, shapes, lines,
// images) are painted by the form's surface in layout order; the others are child widgets.
namespace forms {

class Windowless {
  public:
    virtual ~Windowless() = default;
    virtual void paint(QPainter& painter) const = 0;
    virtual QRect bounds() const = 0;
    // Whether the mouse at this point is this control's: its presses and its tool tip.
    virtual bool takesMouse(QPoint) const { return false; }
    virtual void press(Qt::MouseButton, Qt::KeyboardModifiers, QPoint) {}
    virtual std::string toolTip() const { return {}; }
};

class Label : public Windowless {
  public:
    Label(const layout::Control& stored, QWidget& surface);
    const std::string& caption() const { return caption_; }
    // Sets the caption and sizes the label to it; its left and top stay.
    void setCaption(const std::string& caption);
    void paint(QPainter& painter) const override;
    QRect bounds() const override { return rect_; }

  private:
    QWidget& surface_;
    QRect rect_;
    QFont font_;
    QColor back_;
    QColor fore_;
    Qt::Alignment alignment_;
    std::string caption_;
};

class Shape : public Windowless {
  public:
    explicit Shape(const layout::Control& stored);
    void paint(QPainter& painter) const override;
    QRect bounds() const override { return rect_; }

  private:
    QRect rect_;
    QColor border_;
    std::optional<QColor> fill_;
    int borderWidth_;
};

class Line : public Windowless {
  public:
    explicit Line(const layout::Control& stored);
    void paint(QPainter& painter) const override;
    QRect bounds() const override;

  private:
    QLine line_;
    QColor colour_;
    int width_;
};

// A picture control; a mouse press on it goes to its MouseDown handler, and the pointer resting
// on it shows its tool tip.
class Image : public Windowless {
  public:
    // index, button, modifier keys, pointer position in twips, as the handler receives them.
    using MouseDown = std::function<void(std::int16_t, std::int16_t, std::int16_t, float, float)>;

    Image(const layout::Control& stored, QPixmap picture);
    void onMouseDown(MouseDown handler) { mouseDown_ = std::move(handler); }
    void paint(QPainter& painter) const override;
    QRect bounds() const override { return rect_; }
    bool takesMouse(QPoint point) const override { return rect_.contains(point); }
    void press(Qt::MouseButton button, Qt::KeyboardModifiers keys, QPoint point) override;
    std::string toolTip() const override { return toolTip_; }

  private:
    QRect rect_;
    std::string toolTip_;
    QPixmap picture_;
    bool stretch_;
    std::int16_t index_;
    MouseDown mouseDown_;
};

class TextBoxWidget;

// A text box: single line, no length limit.
class TextBox {
  public:
    TextBox(const layout::Control& stored, QWidget& parent);
    // Valid until the text next changes.
    const std::string& text() const;
    // Repaints only when the text differs, so that a dial set on every tick costs nothing while
    // its second lasts and a selection in it survives.
    void setText(const std::string& text);
    QLineEdit& widget();

  private:
    TextBoxWidget* edit_;
};

class ButtonWidget;

// A command button in graphical style: its face filled with its back colour, or its pictures.
class CommandButton {
  public:
    CommandButton(const layout::Control& stored, QWidget& parent, QPixmap picture,
                  QPixmap downPicture);
    std::string caption() const;
    void setCaption(const std::string& caption);
    void onClick(std::function<void()> handler);
    QPushButton& widget();

  private:
    ButtonWidget* button_;
};

// Ticks come from the event loop only. Intervals under 10 ms tick every 10 ms, unless the timer
// is paced by the clock.
class Timer {
  public:
    explicit Timer(const layout::Control& stored);
    bool enabled() const { return enabled_; }
    void setEnabled(bool enabled);
    int interval() const { return interval_; }
    void onTick(std::function<void()> handler) { tick_ = std::move(handler); }
    // Stops for good: no tick after this, whatever is set later.
    void halt();

    // For a timer whose ticks can change nothing between the turns of the clock's second but
    // through the user: instead of its interval, it ticks once on the first pass of the event
    // loop, then at each turn of the second of `clock`, when the wall clock is set, and after
    // each nudge. An idle window then wakes the processor once a second, not a hundred times.
    void paceBySeconds(const rt::Clock& clock, ClockWake& wake);
    // A tick as soon as the event loop is free; the form nudges after each of the user's actions.
    // Does nothing unless the timer is paced and running.
    void nudge();

  private:
    bool running() const { return enabled_ && !halted_; }
    void apply();
    void tick();
    void armForNextSecond();

    QTimer timer_;
    int interval_;
    bool enabled_ = false;
    bool halted_ = false;
    std::function<void()> tick_;
    const rt::Clock* clock_ = nullptr;
    ClockWake* wake_ = nullptr;
};

// Seconds from `reading` to the next turn of its second; a full second on the turn itself.
double secondsToNextTurn(const rt::LocalReading& reading);

inline constexpr int kShortestTimerInterval = 10;

}  // namespace forms
