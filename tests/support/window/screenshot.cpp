#include "screenshot.h"

#include <QColor>
#include <QImage>
#include <QString>

namespace harness {

std::optional<Rgb> pixelAt(const std::filesystem::path& image, int x, int y) {
    const QImage picture(QString::fromStdString(image.string()));
    if (picture.isNull() || !picture.valid(x, y)) {
        return std::nullopt;
    }
    const QColor colour = picture.pixelColor(x, y);
    return Rgb{colour.red(), colour.green(), colour.blue()};
}

}  // namespace harness
