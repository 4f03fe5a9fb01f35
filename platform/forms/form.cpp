#include "form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QImageReader>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <set>

#include "appearance.h"
#include "failure.h"
#include "signal_watch.h"
#include "window_move.h"
#include "window_style.h"

namespace forms {

// The window itself: paints the background picture and the windowless controls in layout
// order; the windowed controls are its children and lie over them.
class Surface : public QWidget {
  public:
    explicit Surface(Form& form) : form_(form) {
        // A clock sits beside the window in use: its tool tips show whether or not it is active.
        setAttribute(Qt::WA_AlwaysShowToolTips);
    }

    QPixmap background;
    std::vector<Windowless*> items;  // back to front
    bool inTaskbar = true;

  protected:
    // Sent before the window is mapped, each time it is shown: the desktop reads the hint then.
    void showEvent(QShowEvent* event) override {
        if (!inTaskbar && !event->spontaneous()) {
            user32::keepOutOfTaskbar(*this);
        }
        QWidget::showEvent(event);
    }

    void paintEvent(QPaintEvent* event) override {
        QPainter p(this);
        p.setClipRegion(event->region());
        if (!background.isNull()) {
            p.drawPixmap(0, 0, background);
        }
        for (const Windowless* item : items) {
            if (event->region().intersects(item->bounds())) {
                item->paint(p);
            }
        }
    }

    void mousePressEvent(QMouseEvent* event) override {
        const QPoint point = event->position().toPoint();
        if (Windowless* item = itemAt(point)) {
            item->press(event->button(), event->modifiers(), point);
        }
    }

    // The windowless controls have no widget of their own to carry a tool tip.
    bool event(QEvent* event) override {
        if (event->type() != QEvent::ToolTip) {
            return QWidget::event(event);
        }
        const auto* help = static_cast<QHelpEvent*>(event);
        const Windowless* item = itemAt(help->pos());
        if (item == nullptr || item->toolTip().empty()) {
            QToolTip::hideText();
            event->ignore();
            return true;
        }
        QToolTip::showText(help->globalPos(), QString::fromStdString(item->toolTip()), this,
                           item->bounds());
        return true;
    }

    // A close asked for by the desktop unloads the form, as its own close button does.
    void closeEvent(QCloseEvent* event) override {
        event->accept();
        form_.unload();
    }

  private:
    // The frontmost windowless control that takes the mouse at `point`.
    Windowless* itemAt(QPoint point) const {
        for (auto it = items.rbegin(); it != items.rend(); ++it) {
            if ((*it)->takesMouse(point)) {
                return *it;
            }
        }
        return nullptr;
    }

    Form& form_;
};

namespace {

// The number of distinct colours, to tell the richer of two icon images of one size.
int colourCount(const QImage& image) {
    std::set<QRgb> colours;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            colours.insert(image.pixel(x, y));
        }
    }
    return static_cast<int>(colours.size());
}

// The line of each of the form's own settings, so that a picture that cannot be read is named
// at its line. The form's settings come first in the file, so the first line that begins with
// a word is that setting's.
std::map<std::string, int> settingLines(const QByteArray& bytes) {
    std::map<std::string, int> lines;
    int number = 0;
    for (const QByteArray& line : bytes.split('\n')) {
        ++number;
        const QByteArray word = line.simplified().split(' ').value(0);
        lines.emplace(word.toStdString(), number);
    }
    return lines;
}

QByteArray readLayoutFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw layout::LayoutError(path.toStdString(), 0,
                                  "cannot read the file: " + file.errorString().toStdString());
    }
    return file.readAll();
}

}  // namespace

Form::Form(const QString& layoutPath, EventBoundary& boundary)
    : boundary_(boundary), layoutPath_(layoutPath) {
    const QByteArray bytes = readLayoutFile(layoutPath);
    stored_ = layout::parse(std::string_view(bytes.constData(), size_t(bytes.size())),
                            layoutPath.toStdString());
    settingLines_ = settingLines(bytes);
    surface_ = std::make_unique<Surface>(*this);
    presses_ = std::make_unique<user32::PressWatch>(*surface_);
    build(QFileInfo(layoutPath).dir().path());
}

Form::~Form() = default;

QPixmap Form::picture(const QString& layoutDir, const std::string& name, int line) {
    if (name.empty()) {
        return QPixmap();
    }
    const QString path = QDir(layoutDir).filePath(QString::fromStdString(name));
    QImageReader reader(path);
    const QImage image = reader.read();
    if (image.isNull()) {
        throw layout::LayoutError(layoutPath_.toStdString(), line,
                                  "cannot read the picture " + path.toStdString() + ": " +
                                      reader.errorString().toStdString());
    }
    return QPixmap::fromImage(image);
}

// Every image of the icon file is read, so that a damaged one is found; the icon keeps the
// richest image of each size, since a desktop asks for an icon by its size alone.
QIcon Form::icon(const QString& layoutDir, const std::string& name, int line) {
    const QString path = QDir(layoutDir).filePath(QString::fromStdString(name));
    QImageReader reader(path);
    std::map<std::pair<int, int>, QImage> bySize;
    for (int i = 0; i < std::max(1, reader.imageCount()); ++i) {
        reader.jumpToImage(i);
        const QImage image = reader.read();
        if (image.isNull()) {
            throw layout::LayoutError(layoutPath_.toStdString(), line,
                                      "cannot read the icon " + path.toStdString() + ": " +
                                          reader.errorString().toStdString());
        }
        QImage& kept = bySize[{image.width(), image.height()}];
        if (kept.isNull() || colourCount(image) > colourCount(kept)) {
            kept = image;
        }
    }
    QIcon result;
    for (const auto& [size, image] : bySize) {
        result.addPixmap(QPixmap::fromImage(image));
    }
    return result;
}

// The window's own settings: no frame of the desktop's when the layout says so, a fixed client
// area, and the desktop's default placement (the window is never positioned).
void Form::applyWindowSettings(const QString& dir) {
    QWidget& w = *surface_;
    w.setObjectName(QString::fromStdString(stored_.name));
    w.setWindowTitle(QString::fromStdString(stored_.caption));
    Qt::WindowFlags flags = Qt::Window;
    if (!stored_.border) {
        flags |= Qt::FramelessWindowHint;
    }
    w.setWindowFlags(flags);
    w.setFixedSize(pixels(stored_.clientWidth), pixels(stored_.clientHeight));
    surface_->inTaskbar = stored_.showInTaskbar;
    surface_->background = picture(dir, stored_.picture, settingLine("picture"));
    if (!stored_.icon.empty()) {
        w.setWindowIcon(icon(dir, stored_.icon, settingLine("icon")));
    }
}

void Form::build(const QString& dir) {
    applyWindowSettings(dir);
    QWidget& w = *surface_;
    for (const layout::Control& c : stored_.controls) {
        switch (c.kind) {
            case layout::Kind::TextBox: {
                auto& box = textBoxes_[c.name] = std::make_unique<TextBox>(c, w);
                // However the user changed it: typing, a paste, a drop, an input method.
                if (!box->widget().isReadOnly()) {
                    QObject::connect(&box->widget(), &QLineEdit::textChanged, &w,
                                     [this] { nudgeTimers(); });
                }
                break;
            }
            case layout::Kind::Label: {
                auto& label = labels_[c.name] = std::make_unique<Label>(c, w);
                surface_->items.push_back(label.get());
                break;
            }
            case layout::Kind::CommandButton:
                buttons_[c.name] =
                    std::make_unique<CommandButton>(c, w, picture(dir, c.picture, c.sourceLine),
                                                    picture(dir, c.downPicture, c.sourceLine));
                picture(dir, c.disabledPicture, c.sourceLine);  // read, so a bad one is found
                break;
            case layout::Kind::Timer:
                timers_[c.name] = std::make_unique<Timer>(c);
                break;
            case layout::Kind::Image: {
                auto& image = images_[c.name] =
                    std::make_unique<Image>(c, picture(dir, c.picture, c.sourceLine));
                surface_->items.push_back(image.get());
                break;
            }
            case layout::Kind::Shape:
                decorations_.push_back(std::make_unique<Shape>(c));
                surface_->items.push_back(decorations_.back().get());
                break;
            case layout::Kind::Line:
                decorations_.push_back(std::make_unique<Line>(c));
                surface_->items.push_back(decorations_.back().get());
                break;
            case layout::Kind::MultimediaControl:
            case layout::Kind::CommonDialog:
                break;  // services of their own, handed to the window's class
        }
    }
    applyTabOrder();
}

void Form::applyTabOrder() {
    std::vector<const layout::Control*> stops;
    for (const layout::Control& c : stored_.controls) {
        if (c.tabStop && c.kind == layout::Kind::CommandButton) {
            stops.push_back(&c);
        }
    }
    std::sort(stops.begin(), stops.end(),
              [](auto* a, auto* b) { return a->tabIndex < b->tabIndex; });
    for (size_t i = 1; i < stops.size(); ++i) {
        QWidget::setTabOrder(&button(stops[i - 1]->name).widget(),
                             &button(stops[i]->name).widget());
    }
    if (!stops.empty()) {
        button(stops.front()->name).widget().setFocus(Qt::OtherFocusReason);
    }
}

int Form::settingLine(const std::string& keyword) const {
    const auto it = settingLines_.find(keyword);
    return it != settingLines_.end() ? it->second : 0;
}

template <class T>
T& Form::find(std::map<std::string, std::unique_ptr<T>>& controls, const std::string& name) {
    auto it = controls.find(name);
    if (it == controls.end()) {
        throw layout::LayoutError(layoutPath_.toStdString(), 0,
                                  "the layout has no control " + name + " of the kind needed");
    }
    return *it->second;
}

TextBox& Form::textBox(const std::string& name) {
    return find(textBoxes_, name);
}
Label& Form::label(const std::string& name) {
    return find(labels_, name);
}
CommandButton& Form::button(const std::string& name) {
    return find(buttons_, name);
}
Timer& Form::timer(const std::string& name) {
    return find(timers_, name);
}
Image& Form::image(const std::string& name) {
    return find(images_, name);
}

std::function<void()> Form::event(std::string procedure, std::function<void()> body,
                                  Source source) {
    return [this, procedure = std::move(procedure), body = std::move(body), source] {
        if (!unloaded_) {
            boundary_.run(procedure, body);
            if (source == Source::user) {
                nudgeTimers();
            }
        }
    };
}

void Form::nudgeTimers() {
    for (auto& [name, timer] : timers_) {
        timer->nudge();
    }
}

QWidget& Form::window() {
    return *surface_;
}

int Form::windowState() const {
    return surface_->isMinimized() ? 1 : 0;
}

void Form::setWindowState(int state) {
    switch (state) {
        case 0:
            surface_->showNormal();
            break;
        case 1:
            surface_->showMinimized();
            break;
        default:
            // The window cannot be maximised: it has a fixed size.
            throw rt::Failure(rt::kInvalidCall, "Invalid procedure call or argument");
    }
}

void Form::unload() {
    if (unloaded_) {
        return;
    }
    unloaded_ = true;
    for (auto& [name, timer] : timers_) {
        timer->halt();
    }
    surface_->hide();
    QCoreApplication::exit(0);
}

int run(Form& form, FormEvents& events) {
    form.boundary().run("Form_Load", [&events] { events.Form_Load(); });
    SignalWatch watch([&form] { form.unload(); });
    QObject::connect(qApp, &QGuiApplication::commitDataRequest, &form.window(),
                     [&form](QSessionManager&) { form.unload(); });
    form.window().show();
    if (!form.unloaded()) {
        QApplication::exec();
    }
    form.boundary().run("Form_Terminate", [&events] { events.Form_Terminate(); });
    return 0;
}

}  // namespace forms
