#include "appearance.h"

#include <QApplication>
#include <QPalette>
#include <algorithm>
#include <cmath>

namespace forms {

int pixels(int twips) {
    return static_cast<int>(std::lround(twips / double(kTwipsPerPixel)));
}

QRect pixelRect(const layout::Rect& r) {
    return QRect(pixels(r.left), pixels(r.top), pixels(r.width), pixels(r.height));
}

namespace {

struct SystemColour {
    int index;
    QPalette::ColorRole role;
    QRgb fallback;
};

// Roles nearest in meaning to each system colour that the layout names; the fallbacks are
// used where the palette has no such role (the desktop) or no palette is there.
constexpr SystemColour kSystemColours[] = {
    {1, QPalette::NoRole, qRgb(0x3A, 0x6E, 0xA5)},           // desktop
    {2, QPalette::Highlight, qRgb(0x0A, 0x24, 0x6A)},        // active title bar
    {5, QPalette::Base, qRgb(0xFF, 0xFF, 0xFF)},             // window background
    {8, QPalette::Text, qRgb(0x00, 0x00, 0x00)},             // window text
    {9, QPalette::HighlightedText, qRgb(0xFF, 0xFF, 0xFF)},  // title bar text
    {13, QPalette::Highlight, qRgb(0x0A, 0x24, 0x6A)},       // selected items
    {15, QPalette::Button, qRgb(0xD4, 0xD0, 0xC8)},          // button face
    {18, QPalette::ButtonText, qRgb(0x00, 0x00, 0x00)},      // button text
};

QColor systemColour(int index) {
    for (const SystemColour& entry : kSystemColours) {
        if (entry.index != index) {
            continue;
        }
        if (entry.role == QPalette::NoRole || qApp == nullptr) {
            return QColor(entry.fallback);
        }
        return QApplication::palette().color(QPalette::Active, entry.role);
    }
    return QColor(Qt::black);
}

}  // namespace

QColor colour(const layout::Colour& c) {
    if (c.isSystem()) {
        return systemColour(c.systemIndex());
    }
    return QColor(c.value & 0xFF, (c.value >> 8) & 0xFF, (c.value >> 16) & 0xFF);
}

QColor colour(const std::optional<layout::Colour>& stored, QColor fallback) {
    return stored ? colour(*stored) : fallback;
}

namespace {

int pixelsOfPoints(double points) {
    return std::max(1, static_cast<int>(std::lround(points * 4.0 / 3.0)));
}

}  // namespace

QFont font(const std::optional<layout::Font>& stored) {
    if (!stored) {
        QFont f = QApplication::font();
        if (f.pointSizeF() > 0) {
            f.setPixelSize(pixelsOfPoints(f.pointSizeF()));
        }
        return f;
    }
    QFont f(QString::fromStdString(stored->face));
    f.setPixelSize(pixelsOfPoints(stored->points));
    f.setWeight(static_cast<QFont::Weight>(std::clamp(stored->weight, 1, 1000)));
    f.setItalic(stored->italic);
    return f;
}

void registerFontSubstitutes() {
    QFont::insertSubstitutions(QStringLiteral("Franklin Gothic Medium"),
                               {QStringLiteral("URW Gothic"), QStringLiteral("Liberation Sans")});
    QFont::insertSubstitutions(QStringLiteral("Script"),
                               {QStringLiteral("Z003"), QStringLiteral("URW Chancery L")});
    QFont::insertSubstitutions(QStringLiteral("Palatino Linotype"),
                               {QStringLiteral("P052"), QStringLiteral("Liberation Serif")});
    QFont::insertSubstitutions(QStringLiteral("Courier New"), {QStringLiteral("Liberation Mono"),
                                                               QStringLiteral("Nimbus Mono PS")});
}

}  // namespace forms
