#include "ui/window_app.h"

#include <QApplication>
#include <QByteArray>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QPixmap>
#include <QProcess>
#include <QSaveFile>
#include <QTimer>
#include <QWindow>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <vector>

#include "controls/operator_controls.h"
#include "history/experiment_file.h"
#include "history/history.h"
#include "model/form.h"
#include "model/generator.h"
#include "model/runtime_error.h"
#include "sim/wiring.h"
#include "ui/launch.h"
#include "ui/look.h"
#include "ui/main_window.h"

namespace bruvik {
namespace {

bool is_set(const char* value) {
  return value != nullptr && *value != '\0';
}

const char* kTerminalHint =
    "run \"bruvik --headless\" for the terminal mode, or \"bruvik --screenshot FILE\" for a "
    "picture of the window.";

// Holds Qt's messages while the platform comes up: a display that cannot be reached is told
// in one sentence of ours, not in Qt's words.
std::vector<std::pair<QtMsgType, QString>>* held_messages = nullptr;

void hold_message(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (held_messages != nullptr) held_messages->emplace_back(type, message);
}

// Calls `then` once the window is on the screen where the window manager put it: what is
// placed beside it (the lesson, a floating timeline) needs its final place.
class OnceExposed : public QObject {
 public:
  OnceExposed(QWindow* window, std::function<void()> then)
      : QObject(window), then_(std::move(then)) {
    window->installEventFilter(this);
  }
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Expose && static_cast<QWindow*>(watched)->isExposed()) {
      watched->removeEventFilter(this);
      QTimer::singleShot(0, watched, std::move(then_));
      deleteLater();
    }
    return false;
  }

 private:
  std::function<void()> then_;
};

class MessageHold {
 public:
  explicit MessageHold(bool on) : on_(on) {
    if (!on_) return;
    held_messages = &messages_;
    previous_ = qInstallMessageHandler(hold_message);
  }
  ~MessageHold() { release(true); }
  void drop() { release(false); }

 private:
  void release(bool replay) {
    if (!on_) return;
    on_ = false;
    qInstallMessageHandler(previous_);
    held_messages = nullptr;
    if (!replay) return;
    for (const auto& [type, text] : messages_) {
      if (type != QtDebugMsg) std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    }
  }

  bool on_;
  QtMessageHandler previous_ = nullptr;
  std::vector<std::pair<QtMsgType, QString>> messages_;
};

// The offscreen platform says at every fixed-size window that it cannot pass size hints on;
// a picture of the window needs none.
QtMessageHandler forward_to = nullptr;
void quiet_offscreen(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (message.startsWith(QLatin1String("This plugin does not support"))) return;
  if (forward_to != nullptr) {
    forward_to(type, context, message);
  } else {
    std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
  }
}

std::string time_text(VirtualMs ms) {
  return run_time_text(ms);
}

int save_picture(const QPixmap& picture, const Options& o, std::string& error) {
  const QString path = QString::fromStdString(o.screenshot.value_or(std::string()));
  QSaveFile file(path);
  if (path.isEmpty() || !file.open(QIODevice::WriteOnly) || !picture.save(&file, "PNG") ||
      !file.commit()) {
    error = "cannot write the screenshot to \"" + path.toStdString() + "\" (" +
            file.errorString().toStdString() + ").";
    return 1;
  }
  return 0;
}

}  // namespace

void quiet_offscreen_notes() {
  forward_to = qInstallMessageHandler(quiet_offscreen);
}

std::optional<std::string> no_display_sentence(const char* display, const char* wayland_display,
                                               const char* qpa_platform) {
  if (is_set(display) || is_set(wayland_display) || is_set(qpa_platform)) return std::nullopt;
  return std::string(
             "bruvik: there is no display to open the window on (neither DISPLAY nor "
             "WAYLAND_DISPLAY is set); ") +
         kTerminalHint;
}

std::string unreachable_display_sentence(const char* display, const char* wayland_display) {
  const std::string name = is_set(display)           ? display
                           : is_set(wayland_display) ? wayland_display
                                                     : "";
  return "bruvik: the display \"" + name + "\" cannot be reached, so the window cannot open; " +
         kTerminalHint;
}

QString platform_list(const char* wayland_display) {
  return is_set(wayland_display) ? QStringLiteral("wayland;xcb;offscreen")
                                 : QStringLiteral("xcb;offscreen");
}

void ensure_runtime_dir() {
  if (is_set(std::getenv("XDG_RUNTIME_DIR"))) return;
  const uid_t uid = getuid();
  const std::string dir = "/tmp/runtime-" + std::to_string(uid);
  ::mkdir(dir.c_str(), 0700);
  struct stat st {};
  if (::lstat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == uid) {
    if ((st.st_mode & 0777) != 0700) ::chmod(dir.c_str(), 0700);
    ::setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
    return;
  }
  // Someone else's folder under our name: take a fresh one instead.
  char private_dir[] = "/tmp/bruvik-runtime-XXXXXX";
  if (::mkdtemp(private_dir) != nullptr) ::setenv("XDG_RUNTIME_DIR", private_dir, 1);
}

std::function<void()> restart_action(QString program, QStringList arguments, Starter start,
                                     std::function<void()> end, RestartTeller tell) {
  return [program = std::move(program), arguments = std::move(arguments), start = std::move(start),
          end = std::move(end), tell = std::move(tell)] {
    const std::optional<QString> failure = start(program, arguments);
    if (!failure) {
      if (end) end();
      return;
    }
    if (tell) {
      tell(QStringLiteral("RESTART could not start a new copy of the program (%1), so this "
                          "window stays open.")
               .arg(*failure));
    }
  };
}

std::function<void()> restart_this_program(const Options& options, RestartTeller tell) {
  QStringList arguments;
  for (const std::string& a : options.arguments) arguments << QString::fromStdString(a);
  return restart_action(
      QCoreApplication::applicationFilePath(), arguments,
      [](const QString& program, const QStringList& args) -> std::optional<QString> {
        QProcess process;
        process.setProgram(program);
        process.setArguments(args);
        // Returns once the copy has been exec'd, or with Qt's reason why not.
        if (process.startDetached()) return std::nullopt;
        return process.errorString();
      },
      [] { std::_Exit(0); },  // at once: no further handler, no unload
      std::move(tell));
}

namespace {

// --replay FILE --screenshot: the file's run, its actions up to --at (else to the moment it
// was saved).
int write_replayed_screenshot(const Options& o, std::string& error) {
  const ExperimentRead read = open_experiment_file(*o.experiment, tick_handlers());
  if (!read.experiment) {
    error = experiment_refusal(*o.experiment, read.error);
    return kUsageError;
  }
  const Experiment& e = *read.experiment;
  const VirtualMs at = o.at_given ? o.at : opening_target(e).time;
  Form1 form(e.start.seed, tick_handlers());
  prepare(form, e.start);
  History history(form, e.start);
  try {
    // As in the window: flashes of the last frame before the picture show in it.
    history.begin_anew(e.start, e.actions,
                       at_time(e.actions, std::max<VirtualMs>(0, at - kFrameIntervalMs)));
  } catch (const RuntimeError& ex) {
    error = std::string(ex.what()) + ".";
    return 1;
  }
  MainWindow window(form, &history, o.speed, [] { return std::int64_t{0}; });
  try {
    history.advance_to(at);
  } catch (const RuntimeError& ex) {
    error = std::string(ex.what()) + ".";
    return 1;
  }
  window.refresh();
  window.show();
  return save_picture(window.grab(), o, error);
}

}  // namespace

int write_screenshot(const Options& o, std::string& error) {
  if (o.experiment) return write_replayed_screenshot(o, error);
  const std::uint64_t seed = o.seed ? *o.seed : Generator::fresh_seed();
  const VirtualMs at = std::max<VirtualMs>(0, o.at);
  Form1 form(seed, tick_handlers());
  const auto run_error = [&](const RuntimeError& e) {
    error = std::string(e.what()) + " at " + time_text(form.now()) + " (seed " +
            std::to_string(seed) + ").";
    return 1;
  };
  std::unique_ptr<History> history;
  try {
    const StartSettings start = start_settings(o, seed);
    if (const std::string refused = prepare(form, start); !refused.empty()) {
      error = refused;
      return 1;
    }
    history = std::make_unique<History>(form, start);
    if (o.start) {
      const UserAction press{0, std::nullopt, ActionKind::Click, "Command1", "", 0};
      apply_action(form, press);
      history->record_action(press);
    }
    // The window samples the model once a frame: a flash in the last frame before the picture
    // shows in it, older ones do not.
    form.advance_to(std::max<VirtualMs>(0, at - kFrameIntervalMs));
  } catch (const RuntimeError& e) {
    return run_error(e);
  }
  MainWindow window(form, history.get(), o.speed, [] { return std::int64_t{0}; });
  try {
    form.advance_to(at);
  } catch (const RuntimeError& e) {
    return run_error(e);
  }
  history->reached();  // the slider's end, as the window's frame would have it
  window.refresh();
  if (o.with_timeline) window.set_timeline_shown(true);
  window.show();
  return save_picture(window.grab(), o, error);
}

int take_screenshot(const Options& options, int& argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  ensure_runtime_dir();
  quiet_offscreen_notes();
  QApplication app(argc, argv);
  install_look(true);
  std::string error;
  const int code = write_screenshot(options, error);
  if (code != 0) std::fprintf(stderr, "bruvik: %s\n", error.c_str());
  return code;
}

int run_window(const Options& options, int& argc, char** argv) {
  const char* display = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  const bool platform_chosen = is_set(std::getenv("QT_QPA_PLATFORM"));
  if (auto sentence = no_display_sentence(display, wayland, std::getenv("QT_QPA_PLATFORM"))) {
    std::fprintf(stderr, "%s\n", sentence->c_str());
    return 1;
  }
  if (!platform_chosen) qputenv("QT_QPA_PLATFORM", platform_list(wayland).toUtf8());
  ensure_runtime_dir();

  std::unique_ptr<QApplication> app;
  {
    MessageHold hold(!platform_chosen);
    app = std::make_unique<QApplication>(argc, argv);
    if (!platform_chosen && QGuiApplication::platformName() == QLatin1String("offscreen")) {
      hold.drop();
      std::fprintf(stderr, "%s\n", unreachable_display_sentence(display, wayland).c_str());
      return 1;
    }
  }
  // A restarted copy looks for its display again.
  if (!platform_chosen) qunsetenv("QT_QPA_PLATFORM");
  install_look(false);

  // `bruvik FILE`: the file is read and checked before the window opens.
  std::optional<Experiment> opened;
  if (options.experiment) {
    const ExperimentRead read = open_experiment_file(*options.experiment, tick_handlers());
    if (!read.experiment) {
      std::fprintf(stderr, "bruvik: %s\n",
                   experiment_refusal(*options.experiment, read.error).c_str());
      return kUsageError;
    }
    opened = read.experiment;
  }

  const std::uint64_t seed = opened         ? opened->start.seed
                             : options.seed ? *options.seed
                                            : Generator::fresh_seed();
  Form1 form(seed, tick_handlers());
  const StartSettings start = opened ? opened->start : start_settings(options, seed);
  try {
    if (const std::string refused = prepare(form, start); !refused.empty()) {
      std::fprintf(stderr, "bruvik: %s\n", refused.c_str());
      return 1;
    }
  } catch (const RuntimeError& e) {
    std::fprintf(stderr, "bruvik: %s (seed %llu).\n", e.what(),
                 static_cast<unsigned long long>(seed));
    return 1;
  }
  History history(form, start);
  MainWindow window(form, &history, options.speed);
  window.remember_timeline_choices();
  // The box comes after the click has been handled, not inside it.
  form.on_restart = restart_this_program(options, [&window](const QString& sentence) {
    QMetaObject::invokeMethod(
        &window,
        [&window, sentence] { QMessageBox::warning(&window, QStringLiteral("BRUVIK"), sentence); },
        Qt::QueuedConnection);
  });
  window.showNormal();
  window.start();
  // After the window shows in its place, so that the experiment's note comes over it.
  if (opened) {
    const QString name = QFileInfo(QString::fromStdString(*options.experiment)).fileName();
    auto load = [&window, &opened, name] { window.load_experiment(*opened, name); };
    QWindow* handle = window.windowHandle();
    if (handle != nullptr && !handle->isExposed()) {
      new OnceExposed(handle, load);
    } else {
      load();
    }
  }
  return app->exec();
}

}  // namespace bruvik
