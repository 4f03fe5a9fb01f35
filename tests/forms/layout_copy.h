#pragma once

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QString>

#include "harness/temp_dir.h"

// `name` in the folder `dir`, as Qt takes a path.
inline QString pathIn(const harness::TempDir& dir, const QString& name) {
    return QString::fromStdString((dir / name.toStdString()).string());
}

// A copy of the committed layout and its pictures, for a test to change or damage.
class LayoutCopy {
  public:
    LayoutCopy() {
        const QDir committed(QStringLiteral(LAYOUT_DIR));
        for (const QString& name : committed.entryList(QDir::Files)) {
            QFile::copy(committed.filePath(name), path(name));
        }
    }
    QString path(const QString& name) const { return pathIn(dir_, name); }
    QString layout() const { return path("Form14.layout"); }

    QByteArray bytes() const { return read(layout()); }
    void write(const QString& name, const QByteArray& bytes) const {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }
    // The number of the line where `text` begins.
    int lineOf(const QByteArray& text) const {
        const QByteArray all = bytes();
        const qsizetype at = all.indexOf(text);
        return at < 0 ? -1 : int(all.left(at).count('\n')) + 1;
    }

    static QByteArray read(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

  private:
    harness::TempDir dir_{"layout"};
};
