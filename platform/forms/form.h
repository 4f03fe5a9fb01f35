#pragma once

#include <QIcon>
#include <QString>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "controls.h"
#include "event_boundary.h"
#include "layout.h"

namespace user32 {
class PressWatch;
}

namespace forms {

class Surface;

// A form created from its stored layout: the window, its controls by name, and its life cycle.
class Form {
  public:
    // Reads the layout file and every picture it names. Throws layout::LayoutError, naming the
    // file and the line, when either cannot be read.
    Form(const QString& layoutPath, EventBoundary& boundary);
    ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    TextBox& textBox(const std::string& name);
    Label& label(const std::string& name);
    CommandButton& button(const std::string& name);
    Timer& timer(const std::string& name);
    Image& image(const std::string& name);

    // Who runs an event procedure: the user (a click, a key, a press), or a timer's tick.
    enum class Source { user, timer };
    // Wraps an event procedure so that its failures end at the event boundary. After one that
    // the user ran, the timers paced by the clock tick at once.
    std::function<void()> event(std::string procedure, std::function<void()> body,
                                Source source = Source::user);
    EventBoundary& boundary() { return boundary_; }

    QWidget& window();
    const layout::Form& stored() const { return stored_; }

    // 0 normal, 1 minimised. Any other state fails (rt::Failure): the window has a fixed size.
    int windowState() const;
    void setWindowState(int state);

    // Closes the window: no tick, click or press is delivered after this, and the event loop
    // ends. Safe to call more than once.
    void unload();
    bool unloaded() const { return unloaded_; }

  private:
    void build(const QString& layoutDir);
    void nudgeTimers();
    void applyWindowSettings(const QString& layoutDir);
    QIcon icon(const QString& layoutDir, const std::string& name, int line);
    int settingLine(const std::string& keyword) const;
    void applyTabOrder();
    QPixmap picture(const QString& layoutDir, const std::string& name, int line);
    template <class T>
    T& find(std::map<std::string, std::unique_ptr<T>>& controls, const std::string& name);

    EventBoundary& boundary_;
    QString layoutPath_;
    layout::Form stored_;
    std::map<std::string, int> settingLines_;  // first line of each leading word of the file
    std::unique_ptr<Surface> surface_;
    std::unique_ptr<user32::PressWatch> presses_;  // where the strip's move begins
    std::map<std::string, std::unique_ptr<TextBox>> textBoxes_;
    std::map<std::string, std::unique_ptr<Label>> labels_;
    std::map<std::string, std::unique_ptr<CommandButton>> buttons_;
    std::map<std::string, std::unique_ptr<Timer>> timers_;
    std::map<std::string, std::unique_ptr<Image>> images_;
    std::vector<std::unique_ptr<Windowless>> decorations_;  // shapes and lines
    bool unloaded_ = false;
};

// The procedures a form runs at the two ends of its life.
class FormEvents {
  public:
    virtual ~FormEvents() = default;
    virtual void Form_Load() = 0;
    virtual void Form_Terminate() = 0;
};

// Load, show, the event loop until the form is unloaded (by its own procedures, the desktop's
// close, the end of the session, or SIGTERM, SIGINT or SIGHUP), then Terminate. Returns the
// program's exit code.
int run(Form& form, FormEvents& events);

}  // namespace forms
