// The program's window: the designed client area over the control strip, and the timeline pane
// docked under them or floating. It paces the clock, keeps the widgets in step once per display
// frame, and turns clicks and keys into the operator actions at the current virtual time.
#pragma once

#include <QElapsedTimer>
#include <QMainWindow>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <string>

#include "history/experiment_file.h"
#include "session/run_session.h"
#include "ui/control_strip.h"
#include "ui/form_view.h"
#include "ui/timeline_pane.h"

namespace bruvik {

class Form1;
class History;
class ZoomedClient;

// Display frames per second: a 10 ms flash is shown for one frame of this length.
inline constexpr int kFrameIntervalMs = 33;

class MainWindow : public QMainWindow {
 public:
  // `history` (may be null: no timeline, no going back) records the run of `form` from its
  // start. `wall` replaces the monotonic clock (tests); empty means the real one.
  MainWindow(Form1& form, History* history, double speed, Pacer::WallClock wall = {},
             QWidget* parent = nullptr);
  ~MainWindow() override;

  FormView& view() const { return *view_; }
  ControlStrip& strip() const { return *strip_; }
  Pacer& pacer() { return session_.pacer(); }
  RunSession& session() { return session_; }
  QTimer& frame_timer() { return frames_; }
  // The timeline pane; null without a history.
  TimelinePane* timeline() const { return timeline_; }
  // The open experiment's lesson window; null until one with a title or note was opened.
  QWidget* lesson() const { return lesson_; }
  QLabel* lesson_text() const { return lesson_text_; }
  void set_timeline_shown(bool shown);
  // Reads the timeline's remembered choices (shown, floating, where) and keeps them from now on.
  void remember_timeline_choices();

  // Starts the display frames (and with them the clock).
  void start();
  // One display frame: the clock up to the wall clock, then the widgets.
  void frame();
  // The widgets and the strip brought in step, the clock left where it is.
  void refresh();

  // The strip's actions.
  void toggle_pause();
  void step_once();
  void choose_speed(int index);
  // Enter in the data amount box, or the focus leaving it.
  void commit_data_amount_edit();

  // Going back in time (with a history): the window as it was at `t`, paused; Back to the
  // attempt of a station before this one, paused.
  void go_to_moment(VirtualMs t);
  void go_back();
  // The slider's end: the furthest moment reached, or the finish once the run has finished.
  VirtualMs furthest_to_show() const;

  // Experiments. Save writes the run as it is now, with the title and note of the file it was
  // opened from; Open reads a file, checks it whole and only then replaces the run on screen by
  // the file's, paused at the moment it was saved.
  Experiment current_experiment() const;
  bool save_experiment(const QString& path);
  bool open_experiment(const QString& path);
  // A link to a moment, as the page makes them, pasted as text.
  bool open_link(const QString& link);
  // A file already read and checked (check_by_replay); `name` is how the user knows it.
  void load_experiment(const Experiment& checked, const QString& name);
  void save_with_dialog();
  void open_with_dialog();

  // How a refused file or a failed save is told. By default a message box.
  enum class Notice { Refused };
  void set_notice_reporter(std::function<void(Notice, const QString&)> report) {
    notice_ = std::move(report);
  }
  // How the file to save to or to open is chosen, from where the dialog would start; empty for
  // none. By default the file dialog.
  enum class Choice { Save, Open };
  void set_file_chooser(std::function<QString(Choice, const QString& start)> choose) {
    choose_ = std::move(choose);
  }

  // The client area and the strip drawn at `factor` of their size (1: as designed), for a
  // screen too small for them.
  void zoom(double factor);
  ZoomedClient* zoomed() const { return zoomed_; }

  // True once a run-time error has ended the program's logic: no core code runs after it.
  bool failed() const { return session_.failed(); }
  // How a run-time error is told. By default a message box, then the program ends (exit 1).
  void set_error_reporter(std::function<void(const QString&)> report) {
    report_ = std::move(report);
  }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  // A point of a widget of the client area on the screen, zoomed or not.
  QPoint on_screen(const QWidget* w, QPoint at) const;
  // The factor that lets the window with the pane docked under it fit the screen.
  double zoom_with_pane() const;
  // Whether the window with the pane docked under it fits the screen, drawn a little smaller
  // where needed.
  bool docked_pane_fits() const;
  // The window's size as the pane needs it: smaller while the pane is docked, where the screen
  // asks for it, and back to what the screen alone asks for when it is not.
  void fit_zoom_to_pane();
  void show_lesson(const QString& title, const QString& note);
  // The strip, the lesson and the pane after a file replaced the run.
  void show_opened();
  // After an Open: the run opened is shown, or the refusal told.
  bool opened(const std::string& refused);
  // A user action that changes the run, then the widgets.
  void perform(UserAction action);
  void pause();
  void wire_inputs();
  void set_tab_order();
  void add_timeline();

  Form1& form_;
  History* history_;
  QElapsedTimer elapsed_;
  RunSession session_;
  FormView* view_;
  ControlStrip* strip_;
  QWidget* client_ = nullptr;  // the form's view above the strip
  ZoomedClient* zoomed_ = nullptr;
  double screen_zoom_ = 1.0;  // what the client area alone needs on this screen
  TimelinePane* timeline_ = nullptr;
  QTimer frames_;
  bool fault_told_ = false;
  std::uint64_t said_shown_ = 0;  // the session's sentences the strip has shown
  std::function<void(const QString&)> report_;
  std::function<void(Notice, const QString&)> notice_;
  std::function<QString(Choice, const QString&)> choose_;
  QString last_folder_;
  // The open experiment's title and note, in a small window of their own that stays open
  // while the student works.
  QWidget* lesson_ = nullptr;
  QLabel* lesson_text_ = nullptr;
};

}  // namespace bruvik
