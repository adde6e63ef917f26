// Nothing typed or clicked breaks the window. Garbage is typed, pasted and committed into every
// box the user may type into, and every widget is clicked, before the start, in each of the five
// methods and after the end. After each action the window must hold together: the run-time
// error path not reached, no dialog, valid timers, a performance table that tells the truth,
// widgets that show what the model holds, and a window that still answers; a RESTART whose new
// copy cannot start leaves the window and the run as they were.
#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QTest>

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "controls/operator_controls.h"
#include "model/form.h"
#include "model/methods.h"
#include "model/numtext.h"
#include "model/timer_table.h"
#include "sim/run/run.h"
#include "tests/user_actions.h"
#include "tests/window_support.h"
#include "ui/control_widgets.h"
#include "ui/launch.h"
#include "ui/look.h"
#include "ui/main_window.h"

namespace bruvik {
namespace {

constexpr std::int64_t kFrameNs = std::int64_t{kFrameIntervalMs} * 1'000'000;

// When in a run the student acts.
struct Moment {
  const char* name;
  int method;     // in the middle of this method (run order); -1 for none
  bool finished;  // after the end of the run
};
constexpr Moment kMoments[] = {
    {"before the start", -1, false},
    {"mid pure ALOHA", 0, false},
    {"mid slotted ALOHA", 1, false},
    {"mid 1-persistent CSMA/CD", 2, false},
    {"mid non-persistent CSMA/CD", 3, false},
    {"mid p-persistent CSMA/CD", 4, false},
    {"after the end", -1, true},
};

// The boxes the user may type into.
constexpr const char* kBoxes[] = {"Text6", "Text7", "Text9", "Text14(0)", "Text14(1)", "Text14(2)"};

// Qt's warnings while a session lives: each one is a widget used wrongly.
class WarningTrap {
 public:
  WarningTrap() {
    trap_ = this;
    previous_ = qInstallMessageHandler(&WarningTrap::handle);
  }
  ~WarningTrap() {
    qInstallMessageHandler(previous_);
    trap_ = nullptr;
  }
  WarningTrap(const WarningTrap&) = delete;
  WarningTrap& operator=(const WarningTrap&) = delete;
  std::vector<QString> warnings;

 private:
  static void handle(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    const bool note = type == QtDebugMsg || type == QtInfoMsg ||
                      message.startsWith(QLatin1String("This plugin does not support"));
    if (!note && trap_ != nullptr) trap_->warnings.push_back(message);
    if (previous_ != nullptr) previous_(type, context, message);
  }
  static inline WarningTrap* trap_ = nullptr;
  static inline QtMessageHandler previous_ = nullptr;
};

// Everything of the model a click could change.
struct Snapshot {
  struct ControlState {
    std::string text;
    bool enabled, visible, value;
    Colour border;
    int width;
    bool operator==(const ControlState&) const = default;
  };
  struct TimerState {
    bool enabled;
    std::int32_t interval;
    VirtualMs due;
    bool operator==(const TimerState&) const = default;
  };
  std::vector<ControlState> controls;
  std::vector<TimerState> timers;
  VirtualMs now = 0;
  std::string method_code;
};

Snapshot snapshot(Form1& form) {
  Snapshot s;
  for (const Control& c : form.controls()) {
    s.controls.push_back(
        {c.text(), c.enabled(), c.visible(), c.value(), c.border_color(), c.border_width()});
  }
  for (const BuiltTimer& t : timer_table()) {
    s.timers.push_back({form.Timer(t.number).enabled(), form.Timer(t.number).interval(),
                        form.clock().due(t.number)});
  }
  s.now = form.now();
  s.method_code = form.method_code();
  return s;
}

// The first difference between two snapshots, or "" when they are the same.
std::string difference(Form1& form, const Snapshot& a, const Snapshot& b) {
  if (a.now != b.now) return "the clock moved";
  if (a.method_code != b.method_code) return "the method code changed";
  for (std::size_t i = 0; i < a.controls.size(); ++i) {
    if (!(a.controls[i] == b.controls[i])) {
      return window_name(form.controls()[i].built()) + " changed (now \"" + b.controls[i].text +
             "\")";
    }
  }
  for (std::size_t i = 0; i < a.timers.size(); ++i) {
    if (!(a.timers[i] == b.timers[i])) return "Timer" + std::to_string(i + 1) + " changed";
  }
  return {};
}

bool plain(const QString& text) {
  for (QChar c : text) {
    if (c.unicode() < 0x20 || c.unicode() == 0x7F) return false;
  }
  return true;
}

// One window on a form brought to a moment of its run. The warning trap comes first: it must
// hear the window being built too.
struct Session : WarningTrap, TestWindow {
  MethodEndWatcher watcher{form};
  long long actions = 0;
  std::vector<std::pair<Control*, QWidget*>> widgets;

  int ended = 0;
  int told = 0;

  explicit Session(const Moment& moment) : TestWindow(11, true) {
    form.set_sink(&watcher, event_bit(EventKind::MethodEnd));
    // RESTART as in the program, with a new copy that never starts: this one must go on as it was.
    form.on_restart = restart_action(
        "/opt/bruvik/bruvik", {},
        [this](const QString&, const QStringList&) {
          ++restarts;
          return std::optional<QString>("fork: Resource temporarily unavailable");
        },
        [this] { ++ended; }, [this](const QString&) { ++told; });
    for (Control& c : form.controls()) {
      widgets.emplace_back(&c, window->view().widget(window_name(c.built())));
    }
    bring_to(moment);
  }
  ~Session() { form.set_sink(nullptr); }

  TextBoxView* box(const char* name) const { return window->view().widget_as<TextBoxView>(name); }
  QString message() const { return window->strip().message_label()->text(); }

  // Starts the run through its button, then lets virtual time run to the moment.
  void bring_to(const Moment& m) {
    if (m.method < 0 && !m.finished) return;
    QTest::mouseClick(at("Command1"), Qt::LeftButton);
    const auto there = [&] {
      if (m.finished) return watcher.finished;
      return form.method_index() == m.method && data_sent(form, m.method).number() >= 50;
    };
    while (!there() && form.now() < 3'600'000) form.advance_to(form.now() + 25);
    ASSERT_TRUE(there()) << m.name << " not reached by " << form.now() << " ms";
    if (m.finished) form.advance_to(form.now() + 2000);
    window->pacer().restart_origin();
    window->refresh();
  }

  // One display frame later: every rule that must hold whatever the user did. Returns the first
  // broken one, or "".
  std::string after(const std::string& action) {
    ++actions;
    wall_ns += kFrameNs;
    window->frame();
    std::string broken = check_answers();
    if (broken.empty()) {
      window->refresh();  // a flash of the last frame has had its frame
      broken = check();
    }
    return broken.empty() ? broken : broken + " (after " + action + ")";
  }

  std::string check_answers() {
    if (!window->pacer().paused() && !window->failed() && form.now() != window->pacer().target()) {
      return "the frame left the clock at " + std::to_string(form.now()) + " ms, behind " +
             std::to_string(window->pacer().target()) + " ms";
    }
    bool answered = false;
    QMetaObject::invokeMethod(
        window.get(), [&answered] { answered = true; }, Qt::QueuedConnection);
    QCoreApplication::processEvents();
    return answered ? std::string() : "the event loop did not answer";
  }

  std::string check() {
    if (!errors.empty()) return "the run-time error path was reached: " + errors[0].toStdString();
    if (window->failed()) return "the window's logic has ended";
    if (ended != 0) return "RESTART ended this copy though no new one started";
    if (told != restarts) return "a RESTART that failed was not told";
    if (!warnings.empty()) return "Qt warned: " + warnings[0].toStdString();
    if (QApplication::activeModalWidget() != nullptr) return "a dialog is open";
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (qobject_cast<QMessageBox*>(w) != nullptr && w->isVisible()) return "a message box shows";
    }
    if (!window->isVisible()) return "the window is gone";
    for (const auto& rule : {&Session::timers_broken, &Session::operator_values_broken,
                             &Session::table_broken, &Session::end_broken, &Session::view_broken}) {
      if (std::string broken = (this->*rule)(); !broken.empty()) return broken;
    }
    return {};
  }

  std::string timers_broken() {
    for (const BuiltTimer& t : timer_table()) {
      const TimerRef timer = form.Timer(t.number);
      const std::int32_t interval = timer.interval();
      const std::string name = "Timer" + std::to_string(t.number);
      if (interval < 0) return name + " holds a negative interval";
      std::int32_t fixed = -1;  // the intervals nothing changes at run time
      switch (t.role) {
        case TimerRole::Station:
          if (timer.enabled() && (interval == 0 || interval > 65535)) {
            return name + " runs with interval " + std::to_string(interval);
          }
          break;
        case TimerRole::BusBusy:
          if (interval != form.Label31.number()) return name + " differs from the slot time";
          break;
        case TimerRole::CollisionDisplay:
          fixed = 10;
          break;
        case TimerRole::CompletionTest:
          fixed = 1;
          break;
        case TimerRole::SecondsClock:
          fixed = 1000;
          break;
        case TimerRole::Frame:
          fixed = 150;
          break;
        case TimerRole::BusBusyDelay:
          fixed = 50;
          break;
      }
      if (fixed >= 0 && interval != fixed) {
        return name + " holds " + std::to_string(interval) + ", not " + std::to_string(fixed);
      }
    }
    return {};
  }

  // The operator values stay whole numbers from 1 to 10 and the derived values follow them.
  std::string operator_values_broken() {
    for (const Control* c : {&form.Text11, &form.Text12, &form.Text13}) {
      const double v = c->number();
      if (v != std::floor(v) || v < 1 || v > 10) {
        return window_name(c->built()) + " holds \"" + c->text() + "\"";
      }
    }
    const double mtu = form.Text11.number(), rate = form.Text12.number();
    const double length = form.Text13.number();
    if (form.Label34.number() != (10 - rate) * 10) return "the random limit left the rate";
    if (form.Label31.number() != std::floor(length / mtu * 100)) return "the slot time is off";
    return {};
  }

  std::string table_broken() { return performance_table_broken(form, watcher); }
  std::string end_broken() { return finished_run_broken(form, watcher); }

  // The widgets show what the model holds (an edit of the data amount waits for its commit).
  std::string view_broken() {
    const QPalette palette = window->view().palette();
    for (const auto& [c, w] : widgets) {
      const std::string name = window_name(c->built());
      if (w->isHidden() == c->visible()) return name + " is not shown as the model says";
      if (w->testAttribute(Qt::WA_Disabled) == c->enabled()) {
        return name + (c->enabled() ? " is locked" : " is open") + " against the model";
      }
      const QString text = QString::fromStdString(c->text());
      switch (c->kind()) {
        case Kind::TextBox: {
          auto* box = static_cast<QLineEdit*>(w);
          const bool pending = c == &form.Text6 && box->isModified();
          if (!pending && box->text() != text) {
            return name + " shows \"" + box->text().left(40).toStdString() + "\" but holds \"" +
                   c->text().substr(0, 40) + "\"";
          }
          break;
        }
        case Kind::Label:
          if (static_cast<QLabel*>(w)->text() != text) return name + " shows another caption";
          break;
        case Kind::CommandButton:
        case Kind::OptionButton: {
          auto* button = static_cast<QAbstractButton*>(w);
          if (button->text() != text) return name + " shows another caption";
          if (c->kind() == Kind::OptionButton && button->isChecked() != c->value()) {
            return name + " is not selected as the model says";
          }
          break;
        }
        case Kind::Line:
          if (static_cast<LineView*>(w)->colour() != to_qcolor(c->border_color(), palette)) {
            return name + " is drawn in another colour";
          }
          break;
        case Kind::Shape:
          if (static_cast<ShapeView*>(w)->colour() != to_qcolor(c->border_color(), palette)) {
            return name + " is drawn in another colour";
          }
          break;
        case Kind::Frame:
        case Kind::Image:
          break;
      }
    }
    if (window->strip().time_label()->text() != format_run_time(form.now())) {
      return "the strip shows another time";
    }
    return {};
  }
};

// ---- Typing ---------------------------------------------------------------------------------

// How the text reaches the box.
enum class Way {
  Keys,         // one key per character, sent where the focus is, control characters as keys
  OneEvent,     // one key event carrying the whole text
  Paste,        // the clipboard and Ctrl+V
  InputMethod,  // an input method commits the text
};
constexpr Way kWays[] = {Way::Keys, Way::OneEvent, Way::Paste, Way::InputMethod};
constexpr const char* kWayNames[] = {"key by key", "as one key event", "by the clipboard",
                                     "by an input method"};

// What the student does next.
enum class Ending {
  Enter,
  KeypadEnter,
  Tab,
  ClickAway,    // a click into another box
  OtherWindow,  // another window takes the focus
  Escape,
  Backspace,
  Delete,
  ControlKeys,  // Ctrl+A to Ctrl+Z but Ctrl+M, undo and redo among them
  CtrlM,        // the control character of Enter
  Nothing,
};
constexpr Ending kEndings[] = {Ending::Enter,     Ending::KeypadEnter, Ending::Tab,
                               Ending::ClickAway, Ending::OtherWindow, Ending::Escape,
                               Ending::Backspace, Ending::Delete,      Ending::ControlKeys,
                               Ending::CtrlM,     Ending::Nothing};
constexpr const char* kEndingNames[] = {
    "Enter",  "keypad Enter", "Tab",    "a click into another box", "another window",
    "Escape", "Backspace",    "Delete", "Ctrl+A to Ctrl+Z",         "Ctrl+M",
    "nothing"};
static_assert(std::size(kEndingNames) == std::size(kEndings));
static_assert(std::size(kWayNames) == std::size(kWays));
constexpr bool commits(Ending e) {
  return e == Ending::Enter || e == Ending::KeypadEnter || e == Ending::CtrlM || e == Ending::Tab ||
         e == Ending::ClickAway || e == Ending::OtherWindow;
}
// Enter locks the seconds box for good.
constexpr bool locks(Ending e) {
  return e == Ending::Enter || e == Ending::KeypadEnter || e == Ending::CtrlM;
}

void key(Qt::Key k, const QString& text = QString(), Qt::KeyboardModifiers m = Qt::NoModifier) {
  // To the focused widget, as a keyboard sends it.
  QTest::sendKeyEvent(QTest::Click, static_cast<QWidget*>(nullptr), k, text, m);
}

// One key per character, as a keyboard makes them: Enter, Tab, Backspace, Delete and Escape for
// their characters, Ctrl+letter for the other control characters.
void type_keys(const QString& text) {
  for (int i = 0; i < text.size();) {
    const int n = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
    const QString unit = text.mid(i, n);
    i += n;
    const char16_t c = unit.at(0).unicode();
    Qt::Key k = Qt::Key_unknown;
    Qt::KeyboardModifiers m = Qt::NoModifier;
    if (c == '\r' || c == '\n') {
      k = Qt::Key_Return;
    } else if (c == '\t') {
      k = Qt::Key_Tab;
    } else if (c == 0x08) {
      k = Qt::Key_Backspace;
    } else if (c == 0x7F) {
      k = Qt::Key_Delete;
    } else if (c == 0x1B) {
      k = Qt::Key_Escape;
    } else if (c >= 1 && c <= 26) {
      k = static_cast<Qt::Key>(Qt::Key_A + c - 1);
      m = Qt::ControlModifier;
    } else if (c >= 'a' && c <= 'z') {
      k = static_cast<Qt::Key>(Qt::Key_A + (c - 'a'));
    } else if (c >= 0x20 && c < 0x7F) {
      k = static_cast<Qt::Key>(c);
    }
    key(k, unit, m);
  }
}

void deliver(Way way, QWidget* box, const QString& text) {
  switch (way) {
    case Way::Keys:
      type_keys(text);
      break;
    case Way::OneEvent: {
      QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text);
      QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, text);
      QApplication::sendEvent(box, &press);
      QApplication::sendEvent(box, &release);
      break;
    }
    case Way::Paste:
      QApplication::clipboard()->setText(text);
      QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
      break;
    case Way::InputMethod: {
      QInputMethodEvent commit;
      commit.setCommitString(text);
      QApplication::sendEvent(box, &commit);
      break;
    }
  }
}

// The long texts go in by clipboard, input method or as one event: ten thousand single keys
// have a test of their own.
Way way_for(std::size_t turn, const QString& text) {
  const Way way = kWays[turn % std::size(kWays)];
  if (way == Way::Keys && text.size() > 500) return kWays[1 + turn % 3];
  return way;
}

// Types `text` into the box named `name` by `way`, ends it by `ending`, and checks what must
// hold right then. Returns the first broken rule, or "".
std::string type_into(Session& s, const char* name, const QString& text, Way way, Ending ending) {
  TextBoxView* box = s.box(name);
  Control& control = *s.form.find_named(name);
  const bool data_amount = &control == &s.form.Text6;
  if (!box->isEnabled()) {
    // Locked: nothing of what the student does reaches the model.
    const Snapshot before = snapshot(s.form);
    QTest::mouseClick(box, Qt::LeftButton);
    QTest::keyClicks(box, QStringLiteral("12\r"));
    deliver(way == Way::Keys ? Way::OneEvent : way, box, text);
    if (std::string d = difference(s.form, before, snapshot(s.form)); !d.empty()) {
      return d + " by typing into the locked " + name;
    }
    return {};
  }
  const std::string kept = control.text();
  QTest::mouseClick(box, Qt::LeftButton);
  if (QApplication::focusWidget() != box) return std::string("a click did not focus ") + name;
  QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(box, Qt::Key_Backspace);
  deliver(way, box, text);
  const bool exact = plain(text);  // no key of the text moved the focus or committed
  if (exact) {
    if (box->text() != text.left(box->maxLength())) {
      return std::string(name) + " shows \"" + box->text().left(40).toStdString() +
             "\" after typing \"" + text.left(40).toStdString() + "\"";
    }
    if (data_amount && control.text() != kept) return "the data amount changed while typing";
  }
  if (!data_amount && box->text().toStdString() != control.text()) {
    return std::string(name) + " shows \"" + box->text().left(40).toStdString() +
           "\" but holds \"" + control.text().substr(0, 40) + "\"";
  }

  const std::string shown = box->text().toStdString();
  const std::string before_end = control.text();
  switch (ending) {
    case Ending::Enter:
      key(Qt::Key_Return, QStringLiteral("\r"));
      break;
    case Ending::KeypadEnter:
      key(Qt::Key_Enter, QStringLiteral("\r"), Qt::KeypadModifier);
      break;
    case Ending::Tab:
      key(Qt::Key_Tab, QStringLiteral("\t"));
      break;
    case Ending::ClickAway:
      QTest::mouseClick(s.box(data_amount ? "Text9" : "Text6"), Qt::LeftButton);
      break;
    case Ending::OtherWindow: {
      QWidget other;
      other.resize(100, 100);
      other.show();
      other.activateWindow();
      if (!QTest::qWaitForWindowActive(&other)) return "the other window did not come up";
      break;
    }
    case Ending::Escape:
      key(Qt::Key_Escape, QString(QChar(27)));
      break;
    case Ending::Backspace:
      key(Qt::Key_Backspace, QString(QChar(8)));
      break;
    case Ending::Delete:
      key(Qt::Key_Home);
      key(Qt::Key_Delete, QString(QChar(127)));
      break;
    case Ending::ControlKeys:
      for (int k = Qt::Key_A; k <= Qt::Key_Z; ++k) {
        if (k == Qt::Key_M) continue;
        key(static_cast<Qt::Key>(k), QString(QChar(k - Qt::Key_A + 1)), Qt::ControlModifier);
      }
      key(Qt::Key_Z, QString(QChar(26)), Qt::ControlModifier | Qt::ShiftModifier);
      break;
    case Ending::CtrlM:
      key(Qt::Key_M, QStringLiteral("\r"), Qt::ControlModifier);
      break;
    case Ending::Nothing:
      break;
  }
  if (ending == Ending::OtherWindow) s.activate();

  if (data_amount && exact) {
    if (commits(ending)) {
      const bool accepted = numtext::leading_number(shown).has_value();
      const std::string now_held = accepted ? shown : before_end;
      if (control.text() != now_held) {
        return std::string("the data amount holds \"") + control.text().substr(0, 40) +
               "\" after committing \"" + shown.substr(0, 40) + "\"";
      }
      if (box->text().toStdString() != now_held) return "the data amount box shows another text";
      if (box->isModified()) return "the committed data amount still counts as an edit";
      if (accepted != s.message().isEmpty()) return "the refusal is not told, or told wrongly";
    } else if (control.text() != before_end) {
      return "the data amount changed without a commit";
    } else if (ending == Ending::Escape && box->text().toStdString() != before_end) {
      return "Escape did not take the edit back";
    }
  }
  if (!data_amount && box->isEnabled() && box->text().toStdString() != control.text()) {
    return std::string(name) + " and the model part after the ending";
  }
  return {};
}

std::vector<QString> texts_to_type() {
  std::vector<QString> texts;
  for (const std::string& t : garbage_texts()) texts.push_back(QString::fromStdString(t));
  texts.push_back(QString(40000, QLatin1Char('7')));         // more than a box holds
  texts.push_back(QStringLiteral("e\u0301\u200D\u202E12"));  // combining, joiner, right-to-left
  texts.push_back(QStringLiteral("\U0001F4E1\U0001F4E1 3"));
  return texts;
}

TEST(WindowRobustness, GarbageTypedIntoEveryBoxAtEveryMomentBreaksNothing) {
  const std::vector<QString> texts = texts_to_type();
  long long actions = 0;
  for (std::size_t m = 0; m < std::size(kMoments); ++m) {
    SCOPED_TRACE(kMoments[m].name);
    Session s(kMoments[m]);
    ASSERT_EQ(s.after("reaching the moment"), "");
    std::size_t turn = m;
    for (std::size_t b = 0; b < std::size(kBoxes); ++b) {
      for (std::size_t t = 0; t < texts.size(); ++t, ++turn) {
        const Way way = way_for(turn, texts[t]);
        // Enter locks the seconds box for good: it comes last there.
        Ending ending = kEndings[(turn * 7 + b) % std::size(kEndings)];
        if (std::string(kBoxes[b]) == "Text7" && locks(ending) && t + 1 < texts.size()) {
          ending = Ending::Nothing;
        }
        // Every control key on a full box is Qt's own text layout at work, many times over.
        if (ending == Ending::ControlKeys && texts[t].size() > 500) ending = Ending::Delete;
        const std::string action = "garbage text " + std::to_string(t) + " typed into " +
                                   kBoxes[b] + " " + kWayNames[int(way)] + ", then " +
                                   kEndingNames[int(ending)];
        ASSERT_EQ(type_into(s, kBoxes[b], texts[t], way, ending), "") << action;
        ASSERT_EQ(s.after(action), "");
      }
    }
    // The run goes on with what was typed; then Enter leaves nothing pending.
    for (int i = 0; i < 60; ++i) ASSERT_EQ(s.after("the run going on"), "");
    QTest::mouseClick(s.box("Text6"), Qt::LeftButton);
    key(Qt::Key_Return, QStringLiteral("\r"));
    ASSERT_EQ(s.after("Enter in Text6"), "");
    EXPECT_FALSE(s.box("Text6")->isModified());
    actions += s.actions;
  }
  std::printf("[  ACTIONS ] %lld typing actions checked\n", actions);
}

// ---- Clicking --------------------------------------------------------------------------------

// How the student works a button, and how many clicks that makes.
enum class Gesture {
  Click,
  DoubleClick,
  Burst,
  RightClick,
  MiddleClick,
  SlideAway,
  SpaceKey,
  EnterKey
};
struct GestureCase {
  Gesture gesture;
  const char* name;
  int clicks;
};
constexpr GestureCase kGestures[] = {
    {Gesture::Click, "a click", 1},
    {Gesture::DoubleClick, "a double click", 2},
    {Gesture::Burst, "twelve clicks", 12},
    {Gesture::RightClick, "a right click", 0},
    {Gesture::MiddleClick, "a middle click", 0},
    {Gesture::SlideAway, "a press released off the button", 0},
    {Gesture::SpaceKey, "Space with the focus on it", 1},
    {Gesture::EnterKey, "Enter with the focus on it", 1},
};

void perform(Gesture g, QWidget* w) {
  switch (g) {
    case Gesture::Click:
      QTest::mouseClick(w, Qt::LeftButton);
      break;
    case Gesture::DoubleClick:
      // As the platform sends it: a click, then a press marked as double and its release.
      QTest::mouseClick(w, Qt::LeftButton);
      QTest::mouseDClick(w, Qt::LeftButton);
      QTest::mouseRelease(w, Qt::LeftButton);
      break;
    case Gesture::Burst:
      for (int i = 0; i < 12; ++i) QTest::mouseClick(w, Qt::LeftButton);
      break;
    case Gesture::RightClick:
      QTest::mouseClick(w, Qt::RightButton);
      break;
    case Gesture::MiddleClick:
      QTest::mouseClick(w, Qt::MiddleButton);
      break;
    case Gesture::SlideAway: {
      const QPoint outside(w->width() + 20, w->height() + 20);
      QTest::mousePress(w, Qt::LeftButton);
      QTest::mouseMove(w, outside);
      QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, outside);
      break;
    }
    case Gesture::SpaceKey:
      if (w->isEnabled()) w->setFocus(Qt::TabFocusReason);
      QTest::keyClick(w, Qt::Key_Space);
      break;
    case Gesture::EnterKey:
      if (w->isEnabled()) w->setFocus(Qt::TabFocusReason);
      QTest::keyClick(w, Qt::Key_Return);
      break;
  }
}

// What a button does.
enum class Effect { Start, Lower, Raise, Restart, Order };
struct ButtonCase {
  const char* name;
  Effect effect;
  const char* box;  // Lower and Raise: the operator value
};
constexpr ButtonCase kButtons[] = {
    {"Command1", Effect::Start, nullptr},  {"Command2", Effect::Lower, "Text11"},
    {"Command3", Effect::Raise, "Text11"}, {"Command4", Effect::Lower, "Text12"},
    {"Command5", Effect::Raise, "Text12"}, {"Command6", Effect::Lower, "Text13"},
    {"Command7", Effect::Raise, "Text13"}, {"Command8", Effect::Restart, nullptr},
    {"Option1", Effect::Order, nullptr},   {"Option2", Effect::Order, nullptr},
};

// The operator value after `clicks` presses of "<" or ">": one step each, never past 1 or 10.
double stepped(double value, int clicks, bool raise) {
  for (int i = 0; i < clicks; ++i) {
    if (raise && value != 10) value += 1;
    if (!raise && value != 1 && value != 0) value -= 1;
  }
  return value;
}

// What one gesture on one button must have done, given the model before. Returns the first
// broken rule, or "".
std::string expect_effect(Session& s, const ButtonCase& b, int clicks, bool enabled,
                          const Snapshot& before, int restarts_before,
                          const std::array<double, 3>& values_before) {
  Form1& f = s.form;
  const int restarts = s.restarts - restarts_before;
  if (b.effect != Effect::Restart && restarts != 0) return "RESTART was pressed";
  const std::string unchanged = difference(f, before, snapshot(f));
  if (clicks == 0 || !enabled) {
    if (!unchanged.empty()) return unchanged + ", though no click was made";
    return {};
  }
  const Control* values[] = {&f.Text11, &f.Text12, &f.Text13};
  switch (b.effect) {
    case Effect::Start:
      if (!f.Timer(54).enabled()) return "the seconds clock does not run";
      for (int i = 0; i < kStations; ++i) {
        if (f.method_code() == "pure" && !f.Timer(station_timer(0, i)).enabled()) {
          return "a pure ALOHA station was not started";
        }
      }
      break;
    case Effect::Lower:
    case Effect::Raise:
      for (std::size_t v = 0; v < 3; ++v) {
        const bool mine = window_name(values[v]->built()) == b.box;
        const double expected =
            mine ? stepped(values_before[v], clicks, b.effect == Effect::Raise) : values_before[v];
        if (values[v]->number() != expected) {
          return window_name(values[v]->built()) + " holds " + values[v]->text() + ", not " +
                 numtext::shortest(expected);
        }
      }
      break;
    case Effect::Restart:
      if (restarts != clicks) return "RESTART was pressed " + std::to_string(restarts) + " times";
      if (!unchanged.empty()) return unchanged + " by RESTART";
      break;
    case Effect::Order: {
      const bool descending = std::string(b.name) == "Option1";
      if (f.Option1.value() != descending || f.Option2.value() == descending) {
        return "the other option is selected";
      }
      for (int row = 0; row + 1 < 5; ++row) {
        const double a = f.Text8[row].number(), next = f.Text8[row + 1].number();
        if (descending ? a < next : a > next) return "the table is not in the chosen order";
      }
      break;
    }
  }
  return {};
}

TEST(WindowRobustness, EveryButtonWorksInEveryState) {
  long long actions = 0;
  for (const Moment& m : kMoments) {
    SCOPED_TRACE(m.name);
    Session s(m);
    ASSERT_EQ(s.after("reaching the moment"), "");
    // Until the table is ranked the order options are locked; after the end they are open.
    EXPECT_EQ(s.at("Option1")->isEnabled(), m.finished);
    for (const GestureCase& g : kGestures) {
      for (const ButtonCase& b : kButtons) {
        QWidget* w = s.at(b.name);
        const bool enabled = w->isEnabled();
        const Snapshot before = snapshot(s.form);
        const int restarts = s.restarts;
        const std::array<double, 3> values = {s.form.Text11.number(), s.form.Text12.number(),
                                              s.form.Text13.number()};
        perform(g.gesture, w);
        const std::string action = std::string(g.name) + " on " + b.name;
        // Enter presses a command button; it selects no option button (Space or a click does).
        const bool option = std::string_view(b.name).starts_with("Option");
        const int clicks = g.gesture == Gesture::EnterKey && option ? 0 : g.clicks;
        ASSERT_EQ(expect_effect(s, b, clicks, enabled, before, restarts, values), "") << action;
        ASSERT_EQ(s.after(action), "");
      }
    }
    actions += s.actions;
  }
  std::printf("[  ACTIONS ] %lld button actions checked\n", actions);
}

TEST(WindowRobustness, TheStripsButtonsWorkInEveryState) {
  for (const Moment& m : kMoments) {
    SCOPED_TRACE(m.name);
    Session s(m);
    ASSERT_EQ(s.after("reaching the moment"), "");
    QAbstractButton* pause = s.window->strip().pause_button();
    QAbstractButton* step = s.window->strip().step_button();
    QComboBox* speed = s.window->strip().speed_box();
    for (const GestureCase& g : kGestures) {
      const bool paused = s.window->pacer().paused();
      perform(g.gesture, pause);
      EXPECT_EQ(s.window->pacer().paused(), g.clicks % 2 == 0 ? paused : !paused) << g.name;
      ASSERT_EQ(s.after(std::string(g.name) + " on Pause"), "");

      const VirtualMs was = s.form.now();
      s.window->strip().show_message(QString());
      perform(g.gesture, step);
      if (g.clicks > 0) {
        EXPECT_TRUE(s.window->pacer().paused()) << "Step leaves the clock paused";
        // Before the start and after the end no station runs: Step says what helps, and the
        // clock stays.
        const char* told = m.finished ? "The run has finished: RESTART starts a new one."
                           : m.method < 0
                               ? "No station is running: press \"EnableThe Computers\" first."
                               : "Station ";
        EXPECT_TRUE(s.message().startsWith(QString::fromUtf8(told))) << s.message().toStdString();
        if (m.method < 0) {
          EXPECT_EQ(s.form.now(), was);
        }
      } else {
        EXPECT_TRUE(s.message().isEmpty()) << g.name << " stepped";
      }
      ASSERT_EQ(s.after(std::string(g.name) + " on Step"), "");
    }
    for (int i = 0; i < speed->count(); ++i) {
      speed->setFocus(Qt::TabFocusReason);
      QTest::keyClick(speed, i == 0 ? Qt::Key_Home : Qt::Key_Down);
      EXPECT_EQ(s.window->pacer().speed(), speed_choices()[std::size_t(i)].speed);
      // Unpaused, a frame at any speed catches up with the wall clock or runs its budget.
      if (s.window->pacer().paused()) QTest::mouseClick(pause, Qt::LeftButton);
      ASSERT_EQ(s.after("choosing speed " + speed->currentText().toStdString()), "");
    }
  }
}

TEST(WindowRobustness, AClickOnAnythingButAButtonChangesNothing) {
  // Labels, pictures, frames, lines, shapes, the locked boxes and, before the end, the locked
  // order options: clicks and keys on them reach nothing.
  long long widgets = 0;
  for (const Moment& m : kMoments) {
    SCOPED_TRACE(m.name);
    Session s(m);
    ASSERT_EQ(s.after("reaching the moment"), "");
    for (const auto& [control, w] : s.widgets) {
      const Kind k = control->kind();
      const bool button = k == Kind::CommandButton || k == Kind::OptionButton;
      if (button && w->isEnabled()) continue;
      const std::string name = window_name(control->built());
      QWidget* focus = QApplication::focusWidget();
      const Snapshot before = snapshot(s.form);
      for (Gesture g : {Gesture::Click, Gesture::DoubleClick, Gesture::RightClick}) {
        perform(g, w);
      }
      if (!w->isEnabled()) {
        QTest::keyClicks(w, QStringLiteral("5\r \x1b"));
        EXPECT_EQ(QApplication::focusWidget(), focus) << "the locked " << name << " took it";
      }
      ASSERT_EQ(difference(s.form, before, snapshot(s.form)), "") << "clicking " << name;
      ASSERT_EQ(s.restarts, 0);
      ++widgets;
    }
    ASSERT_EQ(s.after("the clicks"), "");
  }
  EXPECT_GT(widgets, 7 * 100) << "most of the window is neither a button nor an open box";
}

// ---- The box's own menu, drops, and ten thousand keys -------------------------------------------

// The box and the model agree; an unfinished edit of the data amount stays in its box.
// Returns the first broken rule, or "".
std::string box_agrees(Session& s, const char* name) {
  TextBoxView* box = s.box(name);
  const Control& control = *s.form.find_named(name);
  if (&control == &s.form.Text6 && box->isModified()) return {};
  if (box->text().toStdString() != control.text()) {
    return std::string(name) + " shows \"" + box->text().left(40).toStdString() +
           "\" but holds \"" + control.text().substr(0, 40) + "\"";
  }
  return {};
}

void drop_text(QWidget* box, const QString& text) {
  QMimeData mime;
  mime.setText(text);
  const QPointF at(box->width() - 2, box->height() / 2);
  QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(box, &enter);
  QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(box, &drop);
}

TEST(WindowRobustness, TheBoxMenuAndDropsKeepBoxAndModelTogether) {
  // Every entry of a box's own menu (undo, redo, cut, copy, paste, delete, select all), and text
  // dropped onto it: the model holds what the box shows, and an edit of the data amount is
  // committed only by Enter or by leaving the box.
  long long entries = 0;
  for (const Moment& m : kMoments) {
    SCOPED_TRACE(m.name);
    Session s(m);
    ASSERT_EQ(s.after("reaching the moment"), "");
    for (const char* name : kBoxes) {
      TextBoxView* box = s.box(name);
      if (!box->isEnabled()) continue;
      QTest::mouseClick(box, Qt::LeftButton);
      QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
      QTest::keyClicks(box, QStringLiteral("123"));
      QApplication::clipboard()->setText(QStringLiteral("x9"));
      for (int entry = 0;; ++entry) {
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(4, 4),
                                box->mapToGlobal(QPoint(4, 4)));
        QApplication::sendEvent(box, &event);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr) << "no menu for " << name;
        QList<QAction*> items;
        for (QAction* a : menu->actions()) {
          if (!a->isSeparator()) items.push_back(a);
        }
        if (entry >= items.size()) {
          menu->close();
          s.activate();
          box->setFocus(Qt::PopupFocusReason);
          break;
        }
        const std::string what = items[entry]->text().toStdString() + " from the menu of " + name;
        if (items[entry]->isEnabled()) items[entry]->trigger();
        menu->close();
        // The platform gives the window and the box their focus back (offscreen does not).
        s.activate();
        if (QApplication::focusWidget() != box) box->setFocus(Qt::PopupFocusReason);
        ++entries;
        ASSERT_EQ(box_agrees(s, name), "") << what;
        ASSERT_EQ(s.after(what), "");
      }
      drop_text(box, QStringLiteral("45"));
      ASSERT_EQ(box_agrees(s, name), "") << "a drop on " << name;
      ASSERT_EQ(s.after(std::string("a drop on ") + name), "");
      // Leaving the box commits whatever the menu and the drop made of the data amount.
      const std::string shown = box->text().toStdString();
      const std::string data_amount = s.form.Text6.text();
      s.box(name == std::string("Text9") ? "Text6" : "Text9")->setFocus(Qt::MouseFocusReason);
      if (name == std::string("Text6")) {
        const bool accepted = numtext::leading_number(shown).has_value();
        EXPECT_EQ(s.form.Text6.text(), accepted ? shown : data_amount);
      }
      ASSERT_EQ(s.after(std::string("leaving ") + name), "");
    }
    // Text dropped onto a box that does not have the focus.
    for (const char* name : kBoxes) {
      TextBoxView* box = s.box(name);
      s.window->strip().speed_box()->setFocus(Qt::TabFocusReason);
      const Snapshot before = snapshot(s.form);
      const bool open = box->isEnabled();
      drop_text(box, QStringLiteral("6"));
      if (!open) {
        ASSERT_EQ(difference(s.form, before, snapshot(s.form)), "")
            << "a drop on the locked " << name;
      }
      ASSERT_EQ(box_agrees(s, name), "") << "a drop on " << name;
      ASSERT_EQ(s.after(std::string("a drop on ") + name + " without the focus"), "");
      if (open && name == std::string("Text6")) {
        // What the box shows is what the run uses: the drop was a whole edit.
        EXPECT_EQ(s.form.Text6.text(), box->text().toStdString());
      }
    }
  }
  EXPECT_GT(entries, 7 * 4 * 6);
}

TEST(WindowRobustness, ThousandsOfKeysOneByOne) {
  // The box lays its whole text out again at every key, so the cost grows with the square of
  // the length: ten thousand characters go in by the clipboard and the input method above.
  constexpr int kKeys = 2000;
  const struct {
    const Moment& moment;
    const char* box;
    const char* first;  // typed before the keys
  } cases[] = {
      {kMoments[0], "Text6", "1."},  // before the start
      {kMoments[2], "Text9", ""},    // mid slotted ALOHA
      {kMoments[5], "Text14(2)", "-"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.moment.name) + ", " + c.box);
    Session s(c.moment);
    TextBoxView* box = s.box(c.box);
    QTest::mouseClick(box, Qt::LeftButton);
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    type_keys(QString::fromUtf8(c.first));
    const QString digits = QStringLiteral("8142");
    for (int i = 0; i < kKeys; ++i) {
      type_keys(digits.mid(i % 4, 1));
      if (i % 500 == 499) {
        ASSERT_EQ(box_agrees(s, c.box), "") << i + 1 << " keys";
        ASSERT_EQ(s.after(std::to_string(i + 1) + " keys"), "");
        box->setFocus(Qt::MouseFocusReason);
      }
    }
    if (c.box == std::string("Text6")) {
      // The box took them all, and Enter hands them to the run.
      const int length = kKeys + int(std::strlen(c.first));
      EXPECT_EQ(box->text().size(), length);
      key(Qt::Key_Return, QStringLiteral("\r"));
      EXPECT_EQ(s.form.Text6.text().size(), std::size_t(length));
    }
    ASSERT_EQ(box_agrees(s, c.box), "");
    ASSERT_EQ(s.after("the last key"), "");
  }
}

}  // namespace
}  // namespace bruvik
