#include "ui/main_window.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QScreen>
#include <QShortcut>
#include <QToolTip>
#include <QVBoxLayout>

#include <algorithm>
#include <exception>

#include "controls/operator_controls.h"
#include "history/history.h"
#include "model/form.h"
#include "model/form_table.h"
#include "model/runtime_error.h"
#include "model/timer_table.h"
#include "ui/control_widgets.h"

namespace bruvik {
namespace {

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
      pacer_(form, wall ? std::move(wall) : Pacer::WallClock([this] {
               return static_cast<std::int64_t>(elapsed_.nsecsElapsed());
             })),
      view_(new FormView(form, this)),
      strip_(new ControlStrip(form.seed(), speed, this)) {
  setWindowTitle(QString::fromUtf8(built_window().caption));
  auto* client = new QWidget(this);
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

  pacer_.set_speed(speed);
  report_ = [this](const QString& message) {
    QMessageBox::critical(this, QStringLiteral("BRUVIK"),
                          message + QStringLiteral(".\n\nThe program ends here."));
    QCoreApplication::exit(1);
  };

  frames_.setInterval(kFrameIntervalMs);
  QObject::connect(&frames_, &QTimer::timeout, this, [this] { frame(); });
  wire_inputs();
  set_tab_order();
  refresh();
}

MainWindow::~MainWindow() {
  frames_.stop();
  // The boxes may lose the focus while they are taken down; nothing must reach the form then.
  for (QWidget* w : view_->focus_chain()) {
    if (auto* box = dynamic_cast<TextBoxView*>(w)) {
      box->on_key = nullptr;
      box->on_focus_out = nullptr;
    }
  }
}

template <typename F>
bool MainWindow::run_core(F&& f) {
  if (failed_) return false;
  try {
    f();
    return true;
  } catch (const RuntimeError& e) {
    fail(QString::fromUtf8(e.what()));
  } catch (const std::exception& e) {
    fail(QStringLiteral("Internal error: ") + QString::fromUtf8(e.what()));
  }
  return false;
}

void MainWindow::fail(const QString& message) {
  failed_ = true;
  frames_.stop();
  refresh();
  if (report_) report_(message);
}

void MainWindow::start() {
  pacer_.restart_origin();
  if (QWidget* w = view_->widget("Command1")) w->setFocus(Qt::OtherFocusReason);
  if (!failed_) frames_.start();
}

void MainWindow::frame() {
  run_core([this] { pacer_.frame(); });
  refresh();
}

void MainWindow::refresh() {
  view_->sync();
  strip_->show_time(form_.now());
  if (timeline_) timeline_->sync(form_.now(), history_->furthest().time);
}

void MainWindow::add_timeline() {
  if (history_ == nullptr) {
    strip_->timeline_button()->hide();
    return;
  }
  timeline_ = new TimelinePane(history_->record(), this);
  addDockWidget(Qt::BottomDockWidgetArea, timeline_);
  timeline_->hide();
  timeline_->paused = [this] { return pacer_.paused(); };
  timeline_->wire(strip_->timeline_button());
}

void MainWindow::set_timeline_shown(bool shown) {
  if (!timeline_) return;
  timeline_->setVisible(shown);
  strip_->timeline_button()->setChecked(shown);
  refresh();
}

void MainWindow::remember_timeline_choices() {
  if (!timeline_) return;
  const QSize client = centralWidget()->sizeHint();
  const QSize pane = timeline_->sizeHint();
  const QSize with(std::max(client.width(), pane.width()), client.height() + pane.height());
  timeline_->remember_choices(screen() != nullptr &&
                              window_fits(with, screen()->availableGeometry()));
  strip_->timeline_button()->setChecked(!timeline_->isHidden());
}

void MainWindow::act(const std::function<void()>& action) {
  run_core([&] {
    pacer_.frame();
    action();
  });
  refresh();
}

void MainWindow::wire_inputs() {
  for (const ButtonAction& b : kButtons) {
    auto* button = view_->widget_as<QAbstractButton>(b.name);
    if (button == nullptr) continue;
    auto* click = b.click;
    QObject::connect(button, &QAbstractButton::clicked, this,
                     [this, click] { act([&] { click(form_); }); });
  }
  for (Control* option : {&form_.Option1, &form_.Option2}) {
    auto* button = view_->widget_as<QAbstractButton>(window_name(option->built()));
    if (button == nullptr) continue;
    QObject::connect(button, &QAbstractButton::clicked, this,
                     [this, option] { act([&] { select_option(form_, *option); }); });
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
        bool handled = false;
        act([&] { handled = Text7_KeyPress(form_, code); });
        return handled || failed_;
      };
    }
    Control* control = &c;
    QObject::connect(box, &QLineEdit::textEdited, this, [this, control, box](const QString& t) {
      if (!control->enabled() || failed_) {
        // The box was locked meanwhile: it shows what the model holds.
        box->setText(QString::fromStdString(control->text()));
        return;
      }
      act([&] { control->set_text(t.toStdString()); });
    });
  }

  QObject::connect(strip_->speed_box(), &QComboBox::currentIndexChanged, this,
                   [this](int index) { choose_speed(index); });
  QObject::connect(strip_->pause_button(), &QPushButton::clicked, this, [this] { toggle_pause(); });
  QObject::connect(strip_->step_button(), &QPushButton::clicked, this, [this] { step_once(); });
  auto* pause_key = new QShortcut(QKeySequence(Qt::Key_Pause), this);
  QObject::connect(pause_key, &QShortcut::activated, this, [this] { toggle_pause(); });
}

void MainWindow::set_tab_order() {
  std::vector<QWidget*> chain = view_->focus_chain();
  chain.push_back(strip_->speed_box());
  chain.push_back(strip_->pause_button());
  chain.push_back(strip_->step_button());
  chain.push_back(strip_->timeline_button());
  for (std::size_t i = 0; i + 1 < chain.size(); ++i) setTabOrder(chain[i], chain[i + 1]);
}

void MainWindow::commit_data_amount_edit() {
  auto* box = view_->widget_as<TextBoxView>("Text6");
  if (box == nullptr || !box->isModified() || failed_) return;
  const std::string typed = box->text().toStdString();
  DataAmountEdit edit;
  run_core([&] {
    pacer_.frame();
    edit = commit_data_amount(form_, typed);
  });
  // Accepted: what the model now holds; refused: the last accepted value again.
  box->setText(QString::fromStdString(form_.Text6.text()));
  if (edit.accepted) {
    strip_->show_message(QString());
    QToolTip::hideText();
  } else if (!failed_) {
    const QString why = QString::fromStdString(edit.message);
    strip_->show_message(why);
    QToolTip::showText(box->mapToGlobal(QPoint(0, box->height())), why, box);
  }
  refresh();
}

void MainWindow::toggle_pause() {
  pacer_.set_paused(!pacer_.paused());
  strip_->show_paused(pacer_.paused());
  strip_->show_message(QString());
}

void MainWindow::step_once() {
  Pacer::StepOutcome outcome{Pacer::StepResult::OutOfTime};
  run_core([&] { outcome = pacer_.step(); });
  strip_->show_paused(pacer_.paused());
  switch (outcome.result) {
    case Pacer::StepResult::Attempt:
      strip_->show_message(QStringLiteral("Station %1 attempted at %2; paused.")
                               .arg(built_timer(outcome.timer).station)
                               .arg(format_run_time(form_.now())));
      break;
    case Pacer::StepResult::NoStationRunning:
      // After the last method no button starts a station again.
      strip_->show_message(
          form_.method_index() == kMethods - 1
              ? QStringLiteral("The run has finished: RESTART starts a new one.")
              : QStringLiteral("No station is running: press \"EnableThe Computers\" first."));
      break;
    case Pacer::StepResult::OutOfTime:
      if (!failed_) strip_->show_message(QStringLiteral("No attempt yet; press Step again."));
      break;
  }
  refresh();
}

void MainWindow::choose_speed(int index) {
  const auto choices = speed_choices();
  if (index < 0 || index >= int(choices.size())) return;
  pacer_.set_speed(choices[static_cast<std::size_t>(index)].speed);
}

}  // namespace bruvik
