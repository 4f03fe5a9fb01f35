// The clock window's face as it is painted, read back from a grab of the real layout. Points
// are logical pixels; each is read at its middle in the grab, whatever the device pixel ratio.
#include <gtest/gtest.h>
#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QPalette>
#include <QPushButton>

#include <algorithm>
#include <cmath>
#include <optional>
#include <sstream>

#include "form.h"
#include "layout_copy.h"

namespace {

QImage layoutPicture(const char* file) {
    return QImage(QStringLiteral(LAYOUT_DIR "/") + QString::fromUtf8(file))
        .convertToFormat(QImage::Format_RGB32);
}

QColor palette(QPalette::ColorRole role) {
    return QApplication::palette().color(QPalette::Active, role);
}

std::string text(const QColor& c) {
    return "(" + std::to_string(c.red()) + "," + std::to_string(c.green()) + "," +
           std::to_string(c.blue()) + ")";
}

// Whether `c` lies on the way from `from` to `to`, as antialiased text on a fill does.
bool blendOf(const QColor& c, const QColor& from, const QColor& to) {
    const int span[] = {to.red() - from.red(), to.green() - from.green(), to.blue() - from.blue()};
    const int got[] = {c.red() - from.red(), c.green() - from.green(), c.blue() - from.blue()};
    const int widest = int(
        std::max_element(span, span + 3, [](int a, int b) { return std::abs(a) < std::abs(b); }) -
        span);
    const double t = double(got[widest]) / span[widest];
    for (int i = 0; i < 3; ++i) {
        if (t < -0.02 || t > 1.02 || std::abs(got[i] - t * span[i]) > 4) {
            return false;
        }
    }
    return true;
}

// The colour at the middle of logical pixel `p` of a grab.
QColor at(const QImage& image, QPoint p) {
    const qreal ratio = image.devicePixelRatio();
    return image.pixelColor(int((p.x() + 0.5) * ratio), int((p.y() + 0.5) * ratio));
}

// The device pixels that lie wholly within logical rectangle `r` of a grab.
QRect device(const QImage& image, QRect r) {
    const qreal ratio = image.devicePixelRatio();
    return QRect(QPoint(int(std::ceil(r.left() * ratio)), int(std::ceil(r.top() * ratio))),
                 QPoint(int((r.right() + 1) * ratio) - 1, int((r.bottom() + 1) * ratio) - 1));
}

// The real form, never shown: a grab paints it as the screen would.
class FaceTest : public testing::Test {
  protected:
    FaceTest() : boundary(errors), form(QStringLiteral(LAYOUT_DIR "/Form14.layout"), boundary) {}

    QImage grab() { return form.window().grab().toImage().convertToFormat(QImage::Format_RGB32); }
    QLineEdit& box(const char* name) { return form.textBox(name).widget(); }

    std::ostringstream errors;
    forms::EventBoundary boundary;
    forms::Form form;
};

TEST_F(FaceTest, GrabCoversTheClientAreaAtTheScreensPixelRatio) {
    const QImage shot = grab();
    const qreal ratio = shot.devicePixelRatio();
    EXPECT_EQ(shot.size(), QSize(std::lround(410 * ratio), std::lround(338 * ratio)));
    EXPECT_EQ(box("Циферблат_будильника").geometry(), QRect(53, 203, 97, 29));
}

struct Spot {
    const char* what;
    QPoint point;
    QColor colour;
};

TEST_F(FaceTest, PanelsFramesLinesAndControlsShowTheirColours) {
    const QColor cyan(0, 255, 255), red(255, 0, 0), desktop(0x3A, 0x6E, 0xA5);
    const QColor titleBar = palette(QPalette::Highlight);
    const Spot spots[] = {
        {"clock panel fill", {30, 100}, QColor(255, 192, 255)},
        {"alarm panel fill", {30, 190}, QColor(255, 255, 128)},
        {"stopwatch panel fill", {240, 200}, QColor(128, 255, 128)},
        {"clock panel border", {200, 41}, red},
        {"outline around the panels", {8, 180}, QColor(0, 255, 0)},
        {"clock dial frame", {64, 70}, red},
        {"date dial frame", {49, 128}, palette(QPalette::Base)},
        {"weekday dial frame", {233, 130}, palette(QPalette::HighlightedText)},
        {"alarm time frame", {48, 215}, desktop},
        {"stopwatch dial frame", {232, 230}, desktop},
        {"melody box frame", {23, 297}, red},
        {"top edge", {200, 0}, titleBar},
        {"left edge", {0, 170}, titleBar},
        {"line under the strip", {200, 22}, titleBar},
        {"line under the strip, second row", {200, 23}, titleBar},
        {"right edge", {408, 170}, cyan},
        {"right edge over the top edge", {409, 0}, cyan},
        {"bottom edge", {200, 336}, cyan},
        {"bottom edge over the left edge", {0, 337}, cyan},
        {"clock dial", {80, 60}, QColor(192, 255, 255)},
        {"alarm time", {56, 206}, QColor(255, 255, 192)},
        {"stopwatch dial", {240, 222}, QColor(192, 255, 192)},
        {"melody box", {100, 293}, palette(QPalette::Base)},
        {"reset button face", {325, 270}, QColor(0, 192, 0)},
        {"alarm button face", {30, 244}, QColor(255, 192, 128)},
        {"browse button face", {115, 292}, QColor(255, 192, 128)},
    };
    const QImage shot = grab();
    for (const Spot& spot : spots) {
        EXPECT_EQ(text(at(shot, spot.point)), text(spot.colour)) << spot.what;
    }
}

TEST_F(FaceTest, HiddenPlayerLeavesTheBackgroundShowing) {
    const QImage shot = grab();
    const QImage background = layoutPicture("background.bmp");
    for (const QPoint p : {QPoint(60, 331), QPoint(100, 330), QPoint(140, 333)}) {
        EXPECT_EQ(text(at(shot, p)), text(background.pixelColor(p))) << p.x() << "," << p.y();
    }
}

TEST_F(FaceTest, StripIsItsPictureStretchedFromRowOne) {
    const QImage shot = grab();
    const QImage strip = layoutPicture("strip.bmp");
    // Bands are 4 pixels wide in the picture and about 7 on screen: read each at its middle,
    // left of the window buttons, between the top edge and the line under the strip.
    for (int band = 0; (band * 4 + 2) * 512 / strip.width() < 356; ++band) {
        const int x = (band * 4 + 2) * 512 / strip.width();
        for (const int y : {2, 11, 21}) {
            EXPECT_EQ(text(at(shot, {x, y})), text(strip.pixelColor(band * 4 + 2, 16)))
                << "band " << band << " at " << x << "," << y;
        }
    }
}

// Where `picture` shows whole inside the button's 2-pixel edge, as an offset in the button.
std::optional<QPoint> placeOf(const QImage& shot, QRect button, const QImage& picture) {
    const QRect inside = button.adjusted(2, 2, -2, -2);
    for (int dy = 0; dy + picture.height() <= button.height(); ++dy) {
        for (int dx = 0; dx + picture.width() <= button.width(); ++dx) {
            bool same = true;
            for (int y = 0; same && y < picture.height(); ++y) {
                for (int x = 0; same && x < picture.width(); ++x) {
                    const QPoint p = button.topLeft() + QPoint(dx + x, dy + y);
                    same = !inside.contains(p) || at(shot, p) == picture.pixelColor(x, y);
                }
            }
            if (same) {
                return QPoint(dx, dy);
            }
        }
    }
    return std::nullopt;
}

struct ButtonPicture {
    const char* button;
    bool held;
    const char* picture;
};

TEST_F(FaceTest, WindowButtonsShowTheirPicturesAndThePressedOneWhileHeld) {
    const ButtonPicture rows[] = {
        {"Command3", false, "command3.bmp"},
        {"Command3", true, "command3_down.bmp"},  // the same arrow: it only sinks in
        {"Command4", false, "command4.bmp"},
        {"Command4", true, "command4_down.bmp"},  // the white square
    };
    for (const ButtonPicture& row : rows) {
        QPushButton& button = form.button(row.button).widget();
        button.setDown(row.held);
        const QImage picture = layoutPicture(row.picture);
        const auto place = placeOf(grab(), button.geometry(), picture);
        button.setDown(false);
        ASSERT_TRUE(place) << row.button << (row.held ? " held" : "") << " does not show "
                           << row.picture;
        // Centred, and one pixel down and to the right while held.
        const QPoint centred((button.width() - picture.width()) / 2,
                             (button.height() - picture.height()) / 2);
        const QPoint off = *place - centred - (row.held ? QPoint(1, 1) : QPoint(0, 0));
        EXPECT_LE(off.manhattanLength(), 1)
            << row.button << " at " << place->x() << "," << place->y();
    }
}

// The window buttons store no colours of their own: they look, pixel for pixel, as they would
// with the system's button face and button text stored for them.
TEST_F(FaceTest, WindowButtonsLookAsWithTheSystemButtonColoursStored) {
    const LayoutCopy copy;
    QByteArray bytes = copy.bytes();
    for (const QByteArray name : {"Command3", "Command4"}) {
        const qsizetype control = bytes.indexOf("control CommandButton " + name);
        ASSERT_GE(control, 0) << name.constData();
        bytes.insert(bytes.indexOf('\n', control) + 1, "  back 0x8000000F\n  fore 0x80000012\n");
    }
    copy.write("Form14.layout", bytes);
    forms::Form stored(copy.layout(), boundary);
    for (const char* name : {"Command3", "Command4"}) {
        ASSERT_TRUE(stored.stored().find(name)->backColour) << "the copy stores no colour";
        for (const bool held : {false, true}) {
            QPushButton& ours = form.button(name).widget();
            QPushButton& theirs = stored.button(name).widget();
            ours.setDown(held);
            theirs.setDown(held);
            EXPECT_EQ(ours.grab().toImage(), theirs.grab().toImage())
                << name << (held ? " held" : "");
        }
    }
}

TEST_F(FaceTest, AlarmLabelFitsEachCaptionAndNoEdgeOfItShows) {
    forms::Label& label = form.label("Метка_будильника");
    const QRect stored = label.bounds();
    const QColor fill(255, 255, 128), blue(0, 0, 255);
    QRect widest = stored;
    // As the program sets it: disarmed at start, armed, disarmed again.
    for (const char* caption :
         {"Будильник отклучен", "Будильник установлен на:", "Будильник отклучен"}) {
        label.setCaption(caption);
        const QRect r = label.bounds();
        widest = widest.united(r);
        EXPECT_EQ(r.topLeft(), QPoint(24, 168)) << caption;
        const QImage shot = grab();
        // Around and inside the widest rectangle the label had, only the fill and its text.
        int inkLeft = shot.width(), inkRight = -1;
        const QRect area = device(shot, widest.adjusted(-2, -2, 2, 2));
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                const QColor c = shot.pixelColor(x, y);
                ASSERT_TRUE(blendOf(c, fill, blue))
                    << caption << ": " << text(c) << " at device " << x << "," << y;
                if (c.blue() > 192) {
                    inkLeft = std::min(inkLeft, x);
                    inkRight = std::max(inkRight, x);
                }
            }
        }
        // The caption spans the label: geometry and font grew alike.
        const QRect span = device(shot, r);
        const int slack = int(std::ceil(3 * shot.devicePixelRatio()));
        EXPECT_LE(std::abs(inkLeft - span.left()), slack) << caption;
        EXPECT_LE(std::abs(inkRight - span.right()), slack) << caption;
    }
    EXPECT_GT(widest.width(), stored.width()) << "the armed caption is wider than the stored one";
}

struct Face {
    const char* box;
    const char* family;  // as the set-up installs it
    int pixels;
    bool italic;
};

TEST_F(FaceTest, DialsUseTheInstalledFacesAtTheirSizes) {
    const Face faces[] = {
        {"Циферблат_часов", "URW Gothic", 40, true},
        {"Циферблат_даты", "Z003", 24, true},
        {"Циферблат_дня_недели", "P052", 24, true},
        {"Циферблат_будильника", "Liberation Mono", 20, false},
        {"Циферблат_секундомера", "P052", 24, true},
    };
    for (const Face& face : faces) {
        const QFontInfo info(box(face.box).font());
        EXPECT_TRUE(info.family().startsWith(QString::fromUtf8(face.family)))
            << face.box << " shows in " << info.family().toStdString();
        EXPECT_EQ(info.pixelSize(), face.pixels) << face.box;
        EXPECT_EQ(info.italic(), face.italic) << face.box;
    }
    EXPECT_TRUE(QFontInfo(box("Циферблат_будильника").font()).bold());
}

TEST_F(FaceTest, ButtonsAndTheMelodyBoxUseTheDefaultFontAtNinetySixDpi) {
    const QFont standard = QApplication::font();
    const int pixels = int(std::lround(standard.pointSizeF() * 4 / 3));
    for (QWidget* widget :
         {static_cast<QWidget*>(&box("txtBrowse")),
          static_cast<QWidget*>(&form.button("cmdBrowse").widget()),
          static_cast<QWidget*>(&form.button("Кнопка_обнуления_секундомера").widget())}) {
        EXPECT_EQ(QFontInfo(widget->font()).family(), QFontInfo(standard).family())
            << widget->objectName().toStdString();
        EXPECT_EQ(widget->font().pixelSize(), pixels) << widget->objectName().toStdString();
    }
}

struct Shown {
    const char* box;
    const char* text;
};

// The device pixels of `image` within `area` that lie at least a quarter of the way from
// `back` to `fore`: the ink of a text, its faint antialiased edge left out.
QRect inkIn(const QImage& image, QRect area, const QColor& back, const QColor& fore) {
    const auto distance = [&back](const QColor& c) {
        return std::abs(c.red() - back.red()) + std::abs(c.green() - back.green()) +
               std::abs(c.blue() - back.blue());
    };
    const int threshold = distance(fore) / 4;
    QRect ink;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (distance(image.pixelColor(x, y)) > threshold) {
                ink = ink.united(QRect(x, y, 1, 1));
            }
        }
    }
    return ink;
}

// The ink of `text` drawn alone in `font`, at the grab's pixel ratio, read as the grab is.
QRect inkAlone(const QString& text, const QFont& font, const QColor& back, const QColor& fore,
               qreal ratio) {
    const QSize size(QFontMetrics(font).horizontalAdvance(text) + 40, 100);
    QImage image(size * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(back);
    QPainter p(&image);
    p.setFont(font);
    p.setPen(fore);
    p.drawText(QPoint(20, 70), text);
    p.end();
    return inkIn(image, image.rect(), back, fore);
}

// A centred text that fits its box shows whole: as much of its ink shows inside the box's
// sunken edge as when it is drawn alone, and about as far from either side.
TEST_F(FaceTest, CentredTextThatFitsShowsWhole) {
    const Shown rows[] = {
        {"Циферблат_будильника", "12:00:00"},
        {"Циферблат_часов", "23:59:58"},
        {"Циферблат_дня_недели", "понедельник"},
        {"Циферблат_секундомера", "23:59:59.9"},
    };
    for (const Shown& row : rows) {
        QLineEdit& edit = box(row.box);
        form.textBox(row.box).setText(row.text);
        const QImage shot = grab();
        const QRect inside = edit.geometry().adjusted(2, 2, -2, -2);
        const QColor back = at(shot, inside.topLeft());
        const QColor fore = edit.palette().color(QPalette::Text);
        const QRect area = device(shot, inside);
        const QRect seen = inkIn(shot, area, back, fore);
        const QRect whole =
            inkAlone(QString::fromUtf8(row.text), edit.font(), back, fore, shot.devicePixelRatio());
        ASSERT_LE(whole.width(), area.width() + 2) << row.box << ": the sample does not fit";
        // What reaches past the edge by a pixel is lost under it, and no more.
        const int ratio = int(std::ceil(shot.devicePixelRatio()));
        EXPECT_GE(seen.width(), std::min(whole.width(), area.width()) - ratio)
            << row.box << " shows " << seen.width() << " of " << whole.width();
        EXPECT_GE(seen.height(), std::min(whole.height(), area.height()) - ratio)
            << row.box << " shows " << seen.height() << " of " << whole.height();
        const int leftGap = seen.left() - area.left(), rightGap = area.right() - seen.right();
        EXPECT_LE(std::abs(leftGap - rightGap), 2 * ratio + 1) << row.box;
    }
}

}  // namespace
