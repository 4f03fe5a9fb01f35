#include "controls.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStyleHints>
#include <algorithm>
#include <climits>
#include <cmath>
#include <optional>
#include <string>

#include "appearance.h"

namespace forms {

namespace {

Qt::Alignment alignmentOf(layout::Alignment a) {
    switch (a) {
        case layout::Alignment::Centre:
            return Qt::AlignHCenter;
        case layout::Alignment::Right:
            return Qt::AlignRight;
        case layout::Alignment::Left:
            break;
    }
    return Qt::AlignLeft;
}

// The two-pixel 3D edge of the classic controls: raised for a button, sunken for a text box.
// Filled a pixel row at a time, so that it covers whole pixels at any device pixel ratio.
void drawEdge(QPainter& p, QRect r, bool sunken) {
    const QColor light(0xFF, 0xFF, 0xFF), face(0xC0, 0xC0, 0xC0), shadow(0x80, 0x80, 0x80),
        dark(0x00, 0x00, 0x00);
    auto frame = [&p](QRect box, QColor topLeft, QColor bottomRight) {
        p.fillRect(QRect(box.left(), box.top(), box.width(), 1), topLeft);
        p.fillRect(QRect(box.left(), box.top(), 1, box.height()), topLeft);
        p.fillRect(QRect(box.left(), box.bottom(), box.width(), 1), bottomRight);
        p.fillRect(QRect(box.right(), box.top(), 1, box.height()), bottomRight);
    };
    if (sunken) {
        frame(r, shadow, light);
        frame(r.adjusted(1, 1, -1, -1), dark, face);
    } else {
        frame(r, face, dark);
        frame(r.adjusted(1, 1, -1, -1), light, shadow);
    }
}

// A text box of the classic look: a 2-pixel sunken edge and a 1-pixel margin inside it.
// QLineEdit keeps 2 pixels of its own inside the margins that it is given.
constexpr int kEdgeWidth = 2;
constexpr int kTextMargin = 1;
constexpr int kLineEditMargin = 2;

// QLineEdit lays out its whole text on every paint (about 2 s for 10 MB), and a blinking cursor
// repaints it twice a second. Past this length the cursor of the focused box stays still.
constexpr int kSteadyCursorLength = 10000;

}  // namespace

class TextBoxWidget : public QLineEdit {
  public:
    TextBoxWidget(QWidget& parent, Qt::Alignment alignment)
        : QLineEdit(&parent), centred_(alignment & Qt::AlignHCenter) {
        setFrame(false);
        // It fills its whole rectangle, so the form need not paint what lies behind it.
        setAttribute(Qt::WA_OpaquePaintEvent);
        QObject::connect(this, &QLineEdit::textChanged, this, [this] {
            utf8_.reset();
            placeText();
            steadyCursor(hasFocus() && text().size() > kSteadyCursorLength);
        });
    }
    ~TextBoxWidget() override { steadyCursor(false); }

    // The text as UTF-8, converted again only after it changed: the clock tick reads the alarm
    // box on every tick, and a pasted text may be megabytes long.
    const std::string& utf8Text() const {
        if (!utf8_) {
            utf8_ = text().toStdString();
        }
        return *utf8_;
    }

    // Centres the text's ink, not its line: the dials' large fonts carry more line height than
    // the boxes have, and a centred text that fits the box shows whole even where it reaches
    // into the margins. A text too long for the box scrolls within the margins as usual.
    void placeText() {
        const QFontMetrics metrics(font());
        const QRect ink = metrics.tightBoundingRect(text());
        // Digits fix the height, so that the line stays put as the text changes.
        const QRect band = ink.united(metrics.tightBoundingRect(QStringLiteral("0123456789")));
        const int top = (height() - band.height()) / 2 - band.top() - metrics.ascent();
        const int bottom = height() - top - metrics.height();
        int left = kEdgeWidth + kTextMargin - kLineEditMargin;
        int right = left;
        if (centred_ && !text().isEmpty() && ink.width() <= width()) {
            // One pixel to spare, lest QLineEdit measure the text a pixel wider and scroll it.
            const int used = metrics.horizontalAdvance(text()) + 2;
            const int origin = (width() - ink.width()) / 2 - ink.left();
            left = origin - kLineEditMargin;
            right = width() - origin - used - kLineEditMargin;
        }
        setTextMargins(left, top, right, bottom);
    }

  protected:
    void paintEvent(QPaintEvent* event) override {
        QLineEdit::paintEvent(event);
        QPainter p(this);
        drawEdge(p, rect(), true);
    }
    void focusInEvent(QFocusEvent* event) override {
        QLineEdit::focusInEvent(event);
        steadyCursor(text().size() > kSteadyCursorLength);
    }
    void focusOutEvent(QFocusEvent* event) override {
        steadyCursor(false);
        QLineEdit::focusOutEvent(event);
    }

  private:
    // The flash time is the application's, but only the focused box has a cursor that blinks:
    // the box with the focus sets it and gives it back when the focus leaves.
    void steadyCursor(bool steady) {
        QStyleHints& hints = *QGuiApplication::styleHints();
        if (steady && !flashTime_) {
            flashTime_ = hints.cursorFlashTime();
            hints.setCursorFlashTime(0);
        } else if (!steady && flashTime_) {
            hints.setCursorFlashTime(*flashTime_);
            flashTime_.reset();
        }
    }

    bool centred_;
    mutable std::optional<std::string> utf8_;
    std::optional<int> flashTime_;  // the application's, while this box holds its cursor still
};

// ---- Label

Label::Label(const layout::Control& stored, QWidget& surface)
    : surface_(surface),
      rect_(pixelRect(stored.rect)),
      font_(font(stored.font)),
      back_(colour(stored.backColour, Qt::white)),
      fore_(colour(stored.foreColour, Qt::black)),
      alignment_(alignmentOf(stored.alignment)) {
    setCaption(stored.text);
}

void Label::setCaption(const std::string& caption) {
    const QRect old = rect_;
    caption_ = caption;
    const QFontMetrics metrics(font_);
    rect_.setSize(
        QSize(metrics.horizontalAdvance(QString::fromStdString(caption_)), metrics.height()));
    surface_.update(old.united(rect_));
}

void Label::paint(QPainter& p) const {
    p.fillRect(rect_, back_);
    p.setFont(font_);
    p.setPen(fore_);
    p.drawText(rect_, alignment_ | Qt::AlignTop | Qt::TextSingleLine,
               QString::fromStdString(caption_));
}

// ---- Shape

Shape::Shape(const layout::Control& stored)
    : rect_(pixelRect(stored.rect)),
      border_(colour(stored.borderColour, Qt::black)),
      borderWidth_(std::max(1, stored.borderWidth)) {
    if (stored.fillColour) {
        fill_ = colour(*stored.fillColour);
    }
}

// Rounded by a sixth of the shorter side, but no more than 12 pixels, so that what the layout
// sets 8 pixels inside a panel's corner stays clear of its curve.
constexpr qreal kMaxCornerRadius = 12;

void Shape::paint(QPainter& p) const {
    // The border is centred on the rectangle's edge: its middle runs along the middle of the
    // rectangle's outermost pixels, half of it inside, half outside.
    const QRectF edge = QRectF(rect_).adjusted(0.5, 0.5, -0.5, -0.5);
    const qreal radius = std::min(std::min(edge.width(), edge.height()) / 6.0, kMaxCornerRadius);
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(border_, borderWidth_, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(fill_ ? QBrush(*fill_) : QBrush(Qt::NoBrush));
    p.drawRoundedRect(edge, radius, radius);
    p.restore();
}

// ---- Line

Line::Line(const layout::Control& stored)
    : line_(pixels(stored.x1), pixels(stored.y1), pixels(stored.x2), pixels(stored.y2)),
      colour_(colour(stored.borderColour, Qt::black)),
      width_(std::max(1, stored.borderWidth)) {}

void Line::paint(QPainter& p) const {
    // A line of width w at pixel c covers pixels c - w/2 (rounded down) onwards, w of them; its
    // middle is then half a pixel on for an odd width. Drawn there, it covers the same pixels
    // at any device pixel ratio. The shift is across the line only: its flat ends stay put.
    const qreal across = (width_ % 2) * 0.5;
    const QPointF shift(line_.dx() == 0 || line_.dy() != 0 ? across : 0,
                        line_.dy() == 0 || line_.dx() != 0 ? across : 0);
    p.setPen(QPen(colour_, width_, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QLineF(line_).translated(shift));
}

QRect Line::bounds() const {
    return QRect(line_.p1(), line_.p2()).normalized().adjusted(-width_, -width_, width_, width_);
}

// ---- Image

Image::Image(const layout::Control& stored, QPixmap picture)
    : rect_(pixelRect(stored.rect)),
      toolTip_(stored.toolTip),
      picture_(std::move(picture)),
      stretch_(stored.stretch),
      index_(static_cast<std::int16_t>(std::max(0, stored.index))) {}

void Image::paint(QPainter& p) const {
    if (picture_.isNull()) {
        return;
    }
    if (stretch_) {
        p.drawPixmap(rect_, picture_);
    } else {
        p.drawPixmap(rect_.topLeft(), picture_);
    }
}

void Image::press(Qt::MouseButton button, Qt::KeyboardModifiers keys, QPoint point) {
    if (!mouseDown_) {
        return;
    }
    const std::int16_t buttonCode = button == Qt::LeftButton     ? 1
                                    : button == Qt::RightButton  ? 2
                                    : button == Qt::MiddleButton ? 4
                                                                 : 0;
    std::int16_t shift = 0;
    shift |= (keys & Qt::ShiftModifier) ? 1 : 0;
    shift |= (keys & Qt::ControlModifier) ? 2 : 0;
    shift |= (keys & Qt::AltModifier) ? 4 : 0;
    const QPoint local = point - rect_.topLeft();
    mouseDown_(index_, buttonCode, shift, float(local.x() * kTwipsPerPixel),
               float(local.y() * kTwipsPerPixel));
}

// ---- TextBox

TextBox::TextBox(const layout::Control& stored, QWidget& parent) {
    auto* edit = new TextBoxWidget(parent, alignmentOf(stored.alignment));
    edit_ = edit;
    edit_->setObjectName(QString::fromStdString(stored.name));
    edit_->setGeometry(pixelRect(stored.rect));
    edit_->setMaxLength(INT_MAX);
    edit_->setFont(font(stored.font));
    edit_->setAlignment(alignmentOf(stored.alignment) | Qt::AlignVCenter);
    edit_->setReadOnly(stored.readOnly);
    edit_->setFocusPolicy(stored.tabStop ? Qt::StrongFocus : Qt::ClickFocus);
    QPalette palette = edit_->palette();
    palette.setColor(QPalette::Base, colour(stored.backColour, palette.color(QPalette::Base)));
    palette.setColor(QPalette::Text, colour(stored.foreColour, palette.color(QPalette::Text)));
    edit_->setPalette(palette);
    edit_->setText(QString::fromStdString(stored.text));
    edit_->setCursorPosition(0);
    edit->placeText();
    edit_->setVisible(stored.visible);
}

const std::string& TextBox::text() const {
    return edit_->utf8Text();
}

QLineEdit& TextBox::widget() {
    return *edit_;
}

void TextBox::setText(const std::string& text) {
    const QString fresh = QString::fromStdString(text);
    if (fresh != edit_->text()) {
        // A text that the program sets shows from its start, not scrolled to its end.
        edit_->setText(fresh);
        edit_->setCursorPosition(0);
    }
}

// ---- CommandButton

class ButtonWidget : public QPushButton {
  public:
    ButtonWidget(const layout::Control& stored, QWidget& parent, QPixmap picture,
                 QPixmap downPicture)
        : QPushButton(&parent),
          back_(colour(stored.backColour, colour(layout::Colour{0x8000000F}))),
          fore_(colour(stored.foreColour, colour(layout::Colour{0x80000012}))),
          picture_(std::move(picture)),
          downPicture_(std::move(downPicture)) {
        setObjectName(QString::fromStdString(stored.name));
        setGeometry(pixelRect(stored.rect));
        setFont(forms::font(stored.font));
        setFocusPolicy(stored.tabStop ? Qt::StrongFocus : Qt::ClickFocus);
        setText(QString::fromStdString(stored.text));
        setAutoDefault(false);
        setVisible(stored.visible);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        const bool down = isDown();
        p.fillRect(rect(), back_);
        const QPixmap& shown = down && !downPicture_.isNull() ? downPicture_ : picture_;
        const QPoint shiftDown = down ? QPoint(1, 1) : QPoint(0, 0);
        if (!shown.isNull()) {
            const QRect place(QPoint(0, 0), shown.size());
            p.drawPixmap(place.translated(rect().center() - place.center() + shiftDown), shown);
        } else {
            p.setPen(fore_);
            p.drawText(rect().translated(shiftDown), Qt::AlignCenter | Qt::TextSingleLine, text());
        }
        drawEdge(p, rect(), down);
        if (hasFocus()) {
            p.setPen(QPen(Qt::black, 1, Qt::DotLine));
            p.drawRect(QRectF(rect().adjusted(3, 3, -4, -4)).translated(0.5, 0.5));
        }
    }

    // Enter clicks the focused button, as Space does.
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            click();
            return;
        }
        QPushButton::keyPressEvent(event);
    }

  private:
    QColor back_;
    QColor fore_;
    QPixmap picture_;
    QPixmap downPicture_;
};

CommandButton::CommandButton(const layout::Control& stored, QWidget& parent, QPixmap picture,
                             QPixmap downPicture)
    : button_(new ButtonWidget(stored, parent, std::move(picture), std::move(downPicture))) {}

std::string CommandButton::caption() const {
    return button_->text().toStdString();
}

void CommandButton::setCaption(const std::string& caption) {
    button_->setText(QString::fromStdString(caption));
}

void CommandButton::onClick(std::function<void()> handler) {
    QObject::connect(button_, &QPushButton::clicked, button_,
                     [handler = std::move(handler)] { handler(); });
}

QPushButton& CommandButton::widget() {
    return *button_;
}

// ---- Timer

Timer::Timer(const layout::Control& stored) : interval_(stored.interval), enabled_(stored.enabled) {
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { tick(); });
    apply();
}

void Timer::setEnabled(bool enabled) {
    enabled_ = enabled;
    apply();
}

void Timer::halt() {
    halted_ = true;
    apply();
}

void Timer::paceBySeconds(const rt::Clock& clock, ClockWake& wake) {
    clock_ = &clock;
    wake_ = &wake;
    wake.onWake([this] { tick(); });
    timer_.stop();
    timer_.setSingleShot(true);
    apply();
}

void Timer::nudge() {
    if (wake_ != nullptr && running()) {
        timer_.start(0);
    }
}

void Timer::apply() {
    if (wake_ != nullptr) {
        if (running()) {
            nudge();
        } else {
            timer_.stop();
            wake_->disarm();
        }
        return;
    }
    if (running() && interval_ > 0) {
        // Restarting a running timer would push its next tick back; leave it running.
        if (!timer_.isActive()) {
            timer_.start(std::max(interval_, kShortestTimerInterval));
        }
    } else {
        timer_.stop();
    }
}

void Timer::tick() {
    if (wake_ != nullptr) {
        timer_.stop();  // a nudge pending is served by this tick
    }
    if (tick_) {
        tick_();
    }
    if (wake_ != nullptr && running()) {
        armForNextSecond();
    }
}

// Read after the tick, so that a tick that came a little early, still in the second before,
// is followed by another right at the turn.
void Timer::armForNextSecond() {
    wake_->arm(secondsToNextTurn(clock_->now()));
}

double secondsToNextTurn(const rt::LocalReading& reading) {
    return std::floor(reading.secondsOfDay) + 1.0 - reading.secondsOfDay;
}

}  // namespace forms
