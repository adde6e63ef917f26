#include "ui/main_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QShortcut>
#include <QToolTip>
#include <QVBoxLayout>

#include <algorithm>
#include <exception>
#include <optional>

#include "controls/operator_controls.h"
#include "history/experiment_link.h"
#include "history/history.h"
#include "model/form.h"
#include "model/form_table.h"
#include "model/runtime_error.h"
#include "model/timer_table.h"
#include "ui/control_widgets.h"
#include "ui/experiment_files.h"
#include "ui/timeline_pane.h"
#include "ui/window_zoom.h"

namespace bruvik {
namespace {

// A picture drawn offscreen (--screenshot, the tests) has no screen to fit.
bool on_a_screen() {
  return QGuiApplication::platformName() != QLatin1String("offscreen");
}

struct ButtonAction {
  const char* name;
  void (*click)(Form1&);
};
constexpr ButtonAction kButtons[] = {
    {"Command1", Command1_Click}, {"Command2", Command2_Click}, {"Command3", Command3_Click},
    {"Command4", Command4_Click}, {"Command5", Command5_Click}, {"Command6", Command6_Click},
    {"Command7", Command7_Click}, {"Command8", Command8_Click},
};

QElapsedTimer started_timer() {
  QElapsedTimer t;
  t.start();
  return t;
}

}  // namespace

MainWindow::MainWindow(Form1& form, History* history, double speed, Pacer::WallClock wall,
                       QWidget* parent)
    : QMainWindow(parent),
      form_(form),
      history_(history),
      elapsed_(started_timer()),
      session_(form, history, wall ? std::move(wall) : Pacer::WallClock([this] {
                 return static_cast<std::int64_t>(elapsed_.nsecsElapsed());
               })),
      view_(new FormView(form, this)),
      strip_(new ControlStrip(form.seed(), speed, this)) {
  setWindowTitle(QString::fromUtf8(built_window().caption));
  auto* client = new QWidget(this);
  client_ = client;
  auto* column = new QVBoxLayout(client);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  column->addWidget(view_);
  column->addWidget(strip_);
  column->setSizeConstraint(QLayout::SetFixedSize);
  column->activate();  // the strip in its place at once, as the window's own layout had it
  setCentralWidget(client);
  // The window is as large as what it holds: it grows by the docked pane and shrinks back.
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  add_timeline();
  // A short screen (1366 x 768, 1024 x 768 with a title bar) has room for one row of strip.
  if (on_a_screen() && screen() != nullptr &&
      !window_fits(centralWidget()->sizeHint(), screen()->availableGeometry())) {
    strip_->set_one_row(true);
  }
  // Where even the client area does not fit, all of it drawn smaller.
  if (on_a_screen() && screen() != nullptr) {
    strip_->layout()->activate();  // the one row's height, not the two rows'
    column->activate();
    screen_zoom_ = zoom_to_fit(client->sizeHint(), screen()->availableGeometry());
    zoom(screen_zoom_);
  }

  session_.pacer().set_speed(speed);
  report_ = [this](const QString& message) {
    QMessageBox::critical(this, QStringLiteral("BRUVIK"),
                          message + QStringLiteral(".\n\nThe program ends here."));
    QCoreApplication::exit(1);
  };
  notice_ = [this](Notice, const QString& text) {
    QMessageBox::warning(this, QStringLiteral("BRUVIK"), text);
    activateWindow();
  };
  choose_ = [this](Choice kind, const QString& start) {
    const QString filter = QString::fromUtf8(kExperimentFilter);
    const QString chosen =
        kind == Choice::Save
            ? QFileDialog::getSaveFileName(this, QStringLiteral("Save experiment"), start, filter)
            : choose_experiment_to_open(this, start);
    // Without a window manager nothing gives the keyboard back to the window.
    activateWindow();
    return chosen;
  };
  for (QWidget* w :
       {static_cast<QWidget*>(strip_->time_slider()), static_cast<QWidget*>(strip_->back_button()),
        static_cast<QWidget*>(strip_->save_button()),
        static_cast<QWidget*>(strip_->open_button())}) {
    w->setEnabled(history_ != nullptr);
  }

  frames_.setInterval(kFrameIntervalMs);
  QObject::connect(&frames_, &QTimer::timeout, this, [this] { frame(); });
  wire_inputs();
  new ClientAltKeys(client_, this);
  set_tab_order();
  refresh();
}

MainWindow::~MainWindow() {
  frames_.stop();
  // The pane is hidden as the window's widgets are taken down; this window is gone by then.
  if (timeline_) QObject::disconnect(timeline_, nullptr, this, nullptr);
  // The boxes may lose the focus while they are taken down; nothing must reach the form then.
  for (QWidget* w : view_->focus_chain()) {
    if (auto* box = dynamic_cast<TextBoxView*>(w)) {
      box->on_key = nullptr;
      box->on_focus_out = nullptr;
    }
  }
}

void MainWindow::start() {
  session_.pacer().restart_origin();
  if (QWidget* w = view_->widget("Command1")) w->setFocus(Qt::OtherFocusReason);
  if (!session_.failed()) frames_.start();
}

void MainWindow::frame() {
  if (session_.frame()) strip_->show_speed(session_.pacer().speed());
  refresh();
}

void MainWindow::refresh() {
  view_->sync();
  strip_->show_time(form_.now());
  strip_->show_paused(session_.pacer().paused());
  if (history_ != nullptr) strip_->show_span(form_.now(), furthest_to_show());
  if (session_.said() != said_shown_) {
    said_shown_ = session_.said();
    strip_->show_message(QString::fromStdString(session_.message()));
  }
  if (timeline_) timeline_->sync(form_.now(), furthest_to_show());
  // A fault ends the logic: told once, after the widgets show where it happened.
  if (session_.failed() && !fault_told_) {
    fault_told_ = true;
    frames_.stop();
    if (report_) report_(QString::fromStdString(session_.fault()));
  }
}

void MainWindow::add_timeline() {
  if (history_ == nullptr) {
    strip_->timeline_button()->hide();
    return;
  }
  timeline_ = new TimelinePane(history_->record(), this);
  addDockWidget(Qt::BottomDockWidgetArea, timeline_);
  timeline_->hide();
  timeline_->paused = [this] { return session_.pacer().paused(); };
  timeline_->canvas().on_go_to = [this](VirtualMs t) { go_to_moment(t); };
  timeline_->docked_fits = [this] { return !on_a_screen() || docked_pane_fits(); };
  timeline_->screen_area = [this] { return screen()->availableGeometry(); };
  timeline_->window_frame = [this] {  // down to the strip, which stays in sight
    const QRect f = frameGeometry();
    return QRect(f.topLeft(), QPoint(f.right(), on_screen(strip_, QPoint(0, 0)).y() - 1));
  };
  timeline_->shift_window = [this](int dx) {
    const QRect frame = frameGeometry().translated(dx, 0);
    move(pos() + QPoint(dx, 0));
    if (!lesson_ || !lesson_->isVisible()) return 0;
    // The lesson goes above the pane, clear of the counters it asks about. Just shown, it may
    // not have its title bar yet: placed by its inside then, and the window's own stands for it.
    const int title = frameGeometry().height() - geometry().height();
    const bool framed = lesson_->frameGeometry().height() > lesson_->height();
    lesson_->move(frame.right() + 1, frame.top() + (framed ? 0 : title));
    return std::max(lesson_->frameGeometry().height(), lesson_->height() + title) + 1;
  };
  timeline_->wire(strip_->timeline_button());
  // Docked under the window, the pane may ask for the window a little smaller.
  QObject::connect(timeline_, &QDockWidget::visibilityChanged, this,
                   [this] { fit_zoom_to_pane(); });
  QObject::connect(timeline_, &QDockWidget::topLevelChanged, this, [this] { fit_zoom_to_pane(); });
}

void MainWindow::set_timeline_shown(bool shown) {
  if (!timeline_) return;
  timeline_->setVisible(shown);
  strip_->timeline_button()->setChecked(shown);
  refresh();
}

void MainWindow::zoom(double factor) {
  if (zoomed_ != nullptr && factor < 1.0) {
    if (factor != zoomed_->factor()) zoomed_->set_factor(factor);
    return;
  }
  if (zoomed_ != nullptr) {
    takeCentralWidget();
    QWidget* client = zoomed_->release();
    zoomed_->deleteLater();
    zoomed_ = nullptr;
    setCentralWidget(client);
    client->show();
    return;
  }
  if (factor >= 1.0) return;
  QWidget* client = takeCentralWidget();
  client->setParent(nullptr);
  zoomed_ = new ZoomedClient(client, factor, this);
  setCentralWidget(zoomed_);
}

double MainWindow::zoom_with_pane() const {
  if (screen() == nullptr || timeline_ == nullptr) return screen_zoom_;
  const QRect free = screen()->availableGeometry();
  const QSize pane = timeline_->sizeHint();
  if (pane.width() + 16 > free.width()) return 0.0;
  return std::min(screen_zoom_, zoom_to_fit(client_->sizeHint(), free, pane.height()));
}

void MainWindow::fit_zoom_to_pane() {
  if (!on_a_screen() || timeline_ == nullptr) return;
  const bool docked = !timeline_->isHidden() && !timeline_->isFloating();
  const double with_pane = zoom_with_pane();
  zoom(docked && with_pane >= kLeastZoomForTheDockedPane ? with_pane : screen_zoom_);
}

QPoint MainWindow::on_screen(const QWidget* w, QPoint at) const {
  if (zoomed_ == nullptr) return w->mapToGlobal(at);
  return zoomed_->mapToGlobal(zoomed_->to_view(w->mapTo(client_, at)));
}

bool MainWindow::docked_pane_fits() const {
  return screen() != nullptr &&
         zoom_with_pane() >= std::min(screen_zoom_, kLeastZoomForTheDockedPane);
}

void MainWindow::remember_timeline_choices() {
  if (!timeline_) return;
  const bool fits = docked_pane_fits();
  timeline_->remember_choices(fits && zoom_with_pane() >= screen_zoom_, fits);
  strip_->timeline_button()->setChecked(!timeline_->isHidden());
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // The pane goes with the window: that is no choice of the user's to remember.
  if (timeline_) timeline_->stop_remembering();
  QMainWindow::closeEvent(event);
}

void MainWindow::perform(UserAction action) {
  session_.perform(std::move(action));
  refresh();
}

void MainWindow::pause() {
  session_.pause();
  strip_->show_paused(true);
}

void MainWindow::wire_inputs() {
  for (const ButtonAction& b : kButtons) {
    auto* button = view_->widget_as<QAbstractButton>(b.name);
    if (button == nullptr) continue;
    auto* click = b.click;
    const std::string name = b.name;
    if (name == "Command8") {
      // RESTART starts a fresh copy: nothing of this run to record.
      QObject::connect(button, &QAbstractButton::clicked, this, [this, click] {
        session_.restart(click);
        refresh();
      });
      continue;
    }
    QObject::connect(button, &QAbstractButton::clicked, this, [this, name] {
      perform({0, std::nullopt, ActionKind::Click, name, "", 0});
    });
  }
  for (Control* option : {&form_.Option1, &form_.Option2}) {
    const std::string name = window_name(option->built());
    auto* button = view_->widget_as<QAbstractButton>(name);
    if (button == nullptr) continue;
    QObject::connect(button, &QAbstractButton::clicked, this, [this, name] {
      perform({0, std::nullopt, ActionKind::Option, name, "", 0});
    });
  }

  for (Control& c : form_.controls()) {
    if (c.kind() != Kind::TextBox) continue;
    auto* box = view_->widget_as<TextBoxView>(window_name(c.built()));
    if (box == nullptr) continue;
    if (&c == &form_.Text6) {
      // The data amount takes effect on Enter or when the box is left, not at every key:
      // a half-typed number would end the running methods at once.
      box->keeps_pending_edit = true;
      box->on_key = [this, box](int code) {
        if (code == 13) {
          commit_data_amount_edit();
          return true;
        }
        if (code == 27) {
          box->setText(QString::fromStdString(form_.Text6.text()));
          strip_->show_message(QString());
          return true;
        }
        return false;
      };
      box->on_focus_out = [this] { commit_data_amount_edit(); };
      // Text dropped onto the box while it does not have the focus is a whole edit: no Enter
      // and no leaving of the box follow it, and the box must not show what the run ignores.
      QObject::connect(box, &QLineEdit::textEdited, this, [this, box] {
        if (!box->hasFocus()) commit_data_amount_edit();
      });
      continue;
    }
    if (&c == &form_.Text7) {
      box->on_key = [this](int code) {
        const bool handled = session_.key_in_seconds_box(code);
        refresh();
        return handled;
      };
    }
    Control* control = &c;
    QObject::connect(box, &QLineEdit::textEdited, this, [this, control, box](const QString& t) {
      if (!session_.type_into(window_name(control->built()), control->enabled(), t.toStdString())) {
        // The box was locked meanwhile: it shows what the model holds.
        box->setText(QString::fromStdString(control->text()));
        return;
      }
      refresh();
    });
  }

  QObject::connect(strip_->speed_box(), &QComboBox::currentIndexChanged, this,
                   [this](int index) { choose_speed(index); });
  QObject::connect(strip_->pause_button(), &QPushButton::clicked, this, [this] { toggle_pause(); });
  QObject::connect(strip_->step_button(), &QPushButton::clicked, this, [this] { step_once(); });
  auto* pause_key = new QShortcut(QKeySequence(Qt::Key_Pause), this);
  QObject::connect(pause_key, &QShortcut::activated, this, [this] { toggle_pause(); });

  QSlider* slider = strip_->time_slider();
  QObject::connect(slider, &QSlider::sliderPressed, this, [this] { pause(); });
  QObject::connect(slider, &QSlider::valueChanged, this, [this](int ms) { go_to_moment(ms); });
  QObject::connect(strip_->back_button(), &QPushButton::clicked, this, [this] { go_back(); });
  QObject::connect(strip_->save_button(), &QPushButton::clicked, this,
                   [this] { save_with_dialog(); });
  QObject::connect(strip_->open_button(), &QPushButton::clicked, this,
                   [this] { open_with_dialog(); });
  auto* save_key = new QShortcut(QKeySequence::Save, this);
  QObject::connect(save_key, &QShortcut::activated, this, [this] { save_with_dialog(); });
  auto* open_key = new QShortcut(QKeySequence::Open, this);
  QObject::connect(open_key, &QShortcut::activated, this, [this] { open_with_dialog(); });
}

void MainWindow::set_tab_order() {
  std::vector<QWidget*> chain = view_->focus_chain();
  chain.push_back(strip_->speed_box());
  chain.push_back(strip_->pause_button());
  chain.push_back(strip_->step_button());
  chain.push_back(strip_->time_slider());
  chain.push_back(strip_->back_button());
  chain.push_back(strip_->save_button());
  chain.push_back(strip_->open_button());
  chain.push_back(strip_->timeline_button());
  chain.push_back(strip_->lesson_button());
  for (std::size_t i = 0; i + 1 < chain.size(); ++i) setTabOrder(chain[i], chain[i + 1]);
}

void MainWindow::commit_data_amount_edit() {
  auto* box = view_->widget_as<TextBoxView>("Text6");
  if (box == nullptr || !box->isModified() || session_.failed()) return;
  const DataAmountEdit edit = session_.commit_data_amount(box->text().toStdString());
  // Accepted: what the model now holds; refused: the last accepted value again.
  box->setText(QString::fromStdString(form_.Text6.text()));
  if (edit.accepted) {
    QToolTip::hideText();
  } else if (!session_.failed()) {
    QToolTip::showText(on_screen(box, QPoint(0, box->height())),
                       QString::fromStdString(edit.message), box);
  }
  refresh();
}

void MainWindow::toggle_pause() {
  session_.toggle_pause();
  refresh();
}

void MainWindow::step_once() {
  session_.step_once();
  refresh();
}

void MainWindow::choose_speed(int index) {
  session_.choose_speed(index);
}

void MainWindow::go_to_moment(VirtualMs t) {
  session_.go_to_moment(t);
  refresh();
}

void MainWindow::go_back() {
  session_.go_back();
  refresh();
}

VirtualMs MainWindow::furthest_to_show() const {
  return session_.furthest_to_show();
}

Experiment MainWindow::current_experiment() const {
  return session_.current_experiment();
}

bool MainWindow::save_experiment(const QString& path) {
  if (history_ == nullptr) return false;
  const Experiment e = current_experiment();
  if (const QString failure = write_experiment(path, e); !failure.isEmpty()) {
    if (notice_) notice_(Notice::Refused, failure);
    return false;
  }
  last_folder_ = QFileInfo(path).absolutePath();
  session_.saved(QFileInfo(path).fileName().toStdString(), e.saved_at->time);
  refresh();
  return true;
}

bool MainWindow::open_experiment(const QString& path) {
  if (history_ == nullptr || session_.failed()) return false;
  if (!opened(session_.open_experiment(QFile::encodeName(path).toStdString(),
                                       QFileInfo(path).fileName().toStdString()))) {
    return false;
  }
  last_folder_ = QFileInfo(path).absolutePath();
  return true;
}

bool MainWindow::open_link(const QString& link) {
  if (history_ == nullptr || session_.failed()) return false;
  return opened(session_.open_link(link.toStdString()));
}

bool MainWindow::opened(const std::string& refused) {
  if (!refused.empty()) {
    if (notice_) notice_(Notice::Refused, QString::fromStdString(refused));
    refresh();
    return false;
  }
  show_opened();
  return true;
}

void MainWindow::load_experiment(const Experiment& e, const QString& name) {
  if (history_ == nullptr || session_.failed()) return;
  if (session_.load_experiment(e, name.toStdString())) {
    show_opened();
  } else {
    refresh();
  }
}

void MainWindow::show_opened() {
  strip_->show_seed(history_->start().seed);
  refresh();
  const QString title = QString::fromStdString(session_.title());
  const QString note = QString::fromStdString(session_.note());
  show_lesson(title, note);
  // A question about the timeline needs it in sight.
  if (timeline_ && session_.note_asks_for_timeline() && timeline_->isHidden()) {
    strip_->timeline_button()->setChecked(true);
  }
}

namespace {

// Closed by its own title bar, the lesson window leaves the strip's button unchecked, so that
// one press shows it again.
class CloseUnchecks : public QObject {
 public:
  CloseUnchecks(QAbstractButton* button, QObject* parent) : QObject(parent), button_(button) {}
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Close) button_->setChecked(false);
    return false;
  }

 private:
  QAbstractButton* button_;
};

}  // namespace

void MainWindow::show_lesson(const QString& title, const QString& note) {
  QPushButton* button = strip_->lesson_button();
  if (title.isEmpty() && note.isEmpty()) {
    button->hide();
    if (lesson_) lesson_->hide();
    return;
  }
  if (!lesson_) {
    lesson_ = new QWidget(this, Qt::Tool);
    lesson_->setObjectName(QStringLiteral("lesson"));
    lesson_->setWindowTitle(QStringLiteral("Lesson"));
    auto* column = new QVBoxLayout(lesson_);
    lesson_text_ = new QLabel(lesson_);
    lesson_text_->setWordWrap(true);
    lesson_text_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lesson_text_->setAccessibleName(QStringLiteral("Lesson"));
    column->addWidget(lesson_text_);
    QObject::connect(button, &QAbstractButton::toggled, lesson_,
                     [this](bool on) { lesson_->setVisible(on); });
    lesson_->installEventFilter(new CloseUnchecks(button, lesson_));
  }
  lesson_text_->setText(
      title.isEmpty() ? note.toHtmlEscaped()
      : note.isEmpty()
          ? QStringLiteral("<b>%1</b>").arg(title.toHtmlEscaped())
          : QStringLiteral("<b>%1</b><br>%2").arg(title.toHtmlEscaped(), note.toHtmlEscaped()));
  lesson_->setFixedWidth(360);
  lesson_->adjustSize();
  // Beside the window where the screen has room, else over its top left corner: the table
  // there is filled only at the end, the counters the lessons ask about are on the right.
  const QRect frame = frameGeometry();
  QPoint at(frame.right() + 1, frame.top());
  if (screen() != nullptr && at.x() + lesson_->width() > screen()->availableGeometry().right()) {
    at = QPoint(frame.left() + 8, frame.top() + 40);
  }
  lesson_->move(at);
  button->show();
  button->setChecked(true);
  lesson_->show();
}

void MainWindow::save_with_dialog() {
  if (history_ == nullptr) return;
  // The moment saved is the one on screen, not the one the dialog closes at.
  pause();
  const QString folder = last_folder_.isEmpty() ? QDir::homePath() : last_folder_;
  const QString chosen =
      choose_ ? choose_(Choice::Save, QDir(folder).filePath(default_experiment_name(form_.seed())))
              : QString();
  if (!chosen.isEmpty()) save_experiment(with_experiment_extension(chosen));
}

void MainWindow::open_with_dialog() {
  if (history_ == nullptr) return;
  QString folder = guided_experiments_folder(QCoreApplication::applicationDirPath(),
                                             QStringLiteral(BRUVIK_SOURCE_DIR));
  if (folder.isEmpty()) folder = last_folder_.isEmpty() ? QDir::homePath() : last_folder_;
  const QString chosen = choose_ ? choose_(Choice::Open, folder) : QString();
  if (chosen.isEmpty()) return;
  // A file of such a name is still a file.
  if (looks_like_link(chosen.toStdString()) && !QFileInfo::exists(chosen)) {
    open_link(chosen);
  } else {
    open_experiment(chosen);
  }
}

}  // namespace bruvik
