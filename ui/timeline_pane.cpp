#include "ui/timeline_pane.h"

#include <QAction>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include <algorithm>

namespace bruvik {
namespace {

// The figures are read about four times a second at the window's frame rate.
constexpr int kFramesPerFigures = 8;
// Room beside the window that the pane takes as it is, and the least it is worth moving the
// window for: narrower, the pane's seconds would be too crowded to read.
constexpr int kRoomBeside = 480;
constexpr int kLeastRoomBeside = 340;

const QString kShown = QStringLiteral("timeline/shown");
const QString kFloating = QStringLiteral("timeline/floating");
const QString kGeometry = QStringLiteral("timeline/geometry");

}  // namespace

bool window_fits(QSize size, const QRect& available) {
  // A usual window manager's title bar and borders.
  return size.width() + 16 <= available.width() && size.height() + 40 <= available.height();
}

TimelinePane::TimelinePane(const RunRecord& record, QWidget* parent)
    : QDockWidget(QStringLiteral("Timeline"), parent), record_(record) {
  setObjectName(QStringLiteral("timeline_pane"));
  setAllowedAreas(Qt::BottomDockWidgetArea);
  setFeatures(DockWidgetClosable | DockWidgetMovable | DockWidgetFloatable);
  auto* body = new QWidget(this);
  auto* column = new QVBoxLayout(body);
  column->setContentsMargins(6, 0, 6, 4);
  column->setSpacing(2);
  auto* top = new QHBoxLayout;
  header_ = new QLabel(body);
  header_->setAccessibleName(QStringLiteral("Figures of the running method"));
  header_->setMinimumWidth(1);  // long figures are cut; the pane does not widen the window
  zoom_ = new QLabel(body);
  follow_ = new QPushButton(QStringLiteral("&Follow"), body);
  follow_->setCheckable(true);
  follow_->setAutoDefault(false);
  follow_->setToolTip(QStringLiteral("Follow the clock again, showing the present (Alt+F)"));
  top->addWidget(header_, 1);
  top->addWidget(zoom_);
  top->addWidget(follow_);
  canvas_ = new TimelineCanvas(record, body);
  column->addLayout(top);
  column->addWidget(canvas_, 1);
  setWidget(body);

  canvas_->may_pan = [this] { return (paused && paused()) || spans_.finished_by(now_); };
  canvas_->on_view_changed = [this] { update_header(false); };
  QObject::connect(follow_, &QPushButton::clicked, this, [this] {
    canvas_->follow();
    update_header(false);
  });
  QObject::connect(this, &QDockWidget::topLevelChanged, this, [this](bool floating) {
    if (!settings_) return;
    settings_->setValue(kFloating, floating);
    save_geometry();
  });
  update_header(true);
}

TimelinePane::~TimelinePane() {
  settings_.reset();
}

void TimelinePane::wire(QAbstractButton* toggle) {
  toggle->setChecked(!isHidden());
  QObject::connect(toggle, &QAbstractButton::toggled, this, [this](bool on) {
    if (on) {
      show_where_it_fits();
    } else {
      setVisible(false);
    }
    if (settings_) settings_->setValue(kShown, on);
  });
  // The pane's own close button.
  QObject::connect(toggleViewAction(), &QAction::toggled, toggle, [this, toggle](bool on) {
    toggle->setChecked(on);
    if (settings_) settings_->setValue(kShown, on);
  });
}

void TimelinePane::show_where_it_fits() {
  if (isFloating() || !docked_fits || docked_fits() || !screen_area || !window_frame) {
    setVisible(true);
    return;
  }
  const QRect free = screen_area();
  const QSize want = sizeHint();
  QRect place;
  QRect window = window_frame();
  const int room = free.width() - window.width();
  const int least = std::max(kLeastRoomBeside, minimumSizeHint().width());
  if (free.right() - window.right() < kRoomBeside && room >= least && shift_window) {
    // A laptop's screen: the window to the left edge, the pane in all the room beside it.
    const int dx = free.left() - window.left();
    const int taken = shift_window(dx);
    window.translate(dx, 0);
    window.setTop(window.top() + taken);
  }
  if (free.right() - window.right() >= least) {
    // Beside the window, as high as it is.
    place = QRect(window.right() + 1, window.top(), free.right() - window.right(),
                  std::min(window.height(), std::max(want.height(), 300)));
  } else {
    // Over the window's lower part, clear of the strip below it.
    const int h = std::min(free.height() / 3, std::max(want.height(), 240));
    place = QRect(window.left(), std::min(free.bottom(), window.bottom()) - h + 1,
                  std::min(free.width(), window.width()), h);
  }
  setFloating(true);
  setGeometry(place.intersected(free));
  setVisible(true);
}

void TimelinePane::sync(VirtualMs now, VirtualMs end) {
  if (isHidden()) {
    frames_since_figures_ = kFramesPerFigures;  // fresh figures once shown again
    return;
  }
  now_ = now;
  spans_.update(record_);
  const int method = spans_.running_at(now);
  if (++frames_since_figures_ >= kFramesPerFigures || method != method_shown_) {
    frames_since_figures_ = 0;
    method_shown_ = method;
    update_header(true);
  }
  canvas_->show_moment(now, std::max(now, end), spans_.finished_by(now));
}

void TimelinePane::update_header(bool figures) {
  // A label laid out anew for the same text would cost the window a layout pass.
  const auto show = [](QLabel* label, const QString& text) {
    if (label->text() != text) label->setText(text);
  };
  if (figures) show(header_, QString::fromStdString(figures_line(record_, spans_, now_)));
  show(zoom_, QString::fromStdString(span_shown_text(canvas_->span_ms())));
  follow_->setChecked(canvas_->following());
}

void TimelinePane::remember_choices(bool fits_as_designed, bool fits) {
  QSettings remembered(QStringLiteral("bruvik"), QStringLiteral("bruvik"));
  const bool floating = remembered.value(kFloating, false).toBool();
  const QVariant shown = remembered.value(kShown);
  if (floating) {
    setFloating(true);
    restoreGeometry(remembered.value(kGeometry).toByteArray());
  }
  // At the first start the window opens as designed; shown once, the pane may make it smaller.
  setVisible((shown.isValid() ? shown.toBool() : fits_as_designed) && (floating || fits));
  // Only what the user changes from here on is written.
  settings_ = std::make_unique<QSettings>(QStringLiteral("bruvik"), QStringLiteral("bruvik"));
}

void TimelinePane::save_geometry() {
  if (settings_ && isFloating()) settings_->setValue(kGeometry, saveGeometry());
}

void TimelinePane::moveEvent(QMoveEvent* event) {
  QDockWidget::moveEvent(event);
  save_geometry();
}

void TimelinePane::resizeEvent(QResizeEvent* event) {
  QDockWidget::resizeEvent(event);
  save_geometry();
}

}  // namespace bruvik
