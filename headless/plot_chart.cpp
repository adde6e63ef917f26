// The sweep plot drawn with Qt Charts, without a display: mean throughput per method against the
// swept value, with the 95 % confidence intervals as error bars.
#include <unistd.h>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QGraphicsScene>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>
#include <QtCharts/QChart>
#include <QtCharts/QLegend>
#include <QtCharts/QLegendMarker>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>

#include <algorithm>
#include <cmath>
#include <memory>

#include "headless/plot.h"

namespace bruvik {
namespace {

constexpr const char* kFont = "Liberation Sans";  // pinned, so that plots look alike everywhere

// Sets what the offscreen platform needs before the application exists.
void prepare_offscreen() {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
    const QString dir = QDir::tempPath() + "/bruvik-runtime-" + QString::number(::getuid());
    QDir().mkpath(dir);
    QFile::setPermissions(dir,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(dir));
  }
}

QFont font(double points, bool bold = false) {
  QFont f(kFont);
  f.setPointSizeF(points);
  f.setBold(bold);
  f.setStyleHint(QFont::SansSerif);
  return f;
}

QString text(const std::string& s) {
  return QString::fromStdString(s);
}

// A tick interval that gives at most about ten ticks, a whole multiple of the sweep's step.
double tick_interval(const std::vector<double>& x) {
  if (x.size() < 2) return 1;
  const double step = x[1] - x[0];
  const double count = std::ceil(static_cast<double>(x.size()) / 10.0);
  return step * count;
}

void paint(QPainter& painter, const PlotRequest& q) {
  const int caption_height = 70;
  const QRectF chart_area(0, 0, q.width, q.height - caption_height);

  QGraphicsScene scene;
  auto* chart = new QChart;  // owned by the scene
  scene.addItem(chart);
  chart->setAnimationOptions(QChart::NoAnimation);
  chart->setBackgroundBrush(Qt::white);
  chart->setTitle(text(q.title));
  chart->setTitleFont(font(14, true));
  chart->legend()->setAlignment(Qt::AlignBottom);
  chart->legend()->setFont(font(10));

  auto* ax = new QValueAxis;
  auto* ay = new QValueAxis;
  ax->setTitleText(text(q.x_title));
  ay->setTitleText(text(q.y_title));
  for (QValueAxis* a : {ax, ay}) {
    a->setTitleFont(font(11));
    a->setLabelsFont(font(10));
  }
  chart->addAxis(ax, Qt::AlignBottom);
  chart->addAxis(ay, Qt::AlignLeft);

  static const QColor kColours[] = {QColor(0x1f, 0x77, 0xb4), QColor(0xff, 0x7f, 0x0e),
                                    QColor(0x2c, 0xa0, 0x2c), QColor(0xd6, 0x27, 0x28),
                                    QColor(0x94, 0x67, 0xbd)};
  const double spacing = q.x.size() >= 2 ? q.x[1] - q.x[0] : 1;
  // The five methods side by side around each value, so that their bars do not hide each other.
  const double dodge = spacing * 0.07;
  const double cap = spacing * 0.025;
  double top = 0;
  for (std::size_t k = 0; k < q.series.size(); ++k) {
    const PlotSeries& s = q.series[k];
    const QColor colour = kColours[k % std::size(kColours)];
    const double offset =
        (static_cast<double>(k) - (static_cast<double>(q.series.size()) - 1) / 2) * dodge;
    auto* line = new QLineSeries;
    line->setName(text(s.name));
    line->setPen(QPen(colour, 2));
    line->setPointsVisible(true);
    for (std::size_t i = 0; i < q.x.size() && i < s.mean.size(); ++i) {
      if (!s.mean[i]) continue;
      line->append(q.x[i] + offset, *s.mean[i]);
      top = std::max(top, *s.mean[i]);
    }
    chart->addSeries(line);
    line->attachAxis(ax);
    line->attachAxis(ay);
    for (std::size_t i = 0; i < q.x.size() && i < s.low.size() && i < s.high.size(); ++i) {
      if (!s.low[i] || !s.high[i]) continue;
      const double x = q.x[i] + offset;
      const double lo = *s.low[i];
      const double hi = *s.high[i];
      top = std::max(top, hi);
      auto* bar = new QLineSeries;
      bar->setPen(QPen(colour, 1.5));
      bar->append({{x - cap, lo}, {x + cap, lo}, {x, lo}, {x, hi}, {x - cap, hi}, {x + cap, hi}});
      chart->addSeries(bar);
      bar->attachAxis(ax);
      bar->attachAxis(ay);
      for (QLegendMarker* m : chart->legend()->markers(bar)) m->setVisible(false);
    }
  }
  const double first = q.x.empty() ? 0 : q.x.front();
  const double last = q.x.empty() ? 1 : q.x.back();
  ax->setRange(first - spacing / 2, last + spacing / 2);
  ax->setTickType(QValueAxis::TicksDynamic);
  ax->setTickAnchor(first);
  ax->setTickInterval(tick_interval(q.x));
  ax->setLabelFormat("%g");
  ay->setRange(0, top > 0 ? top * 1.1 : 1);
  ay->applyNiceNumbers();
  ay->setLabelFormat("%g");

  chart->setGeometry(chart_area);
  QCoreApplication::processEvents();  // lets the chart lay itself out before it is painted

  painter.fillRect(QRectF(0, 0, q.width, q.height), Qt::white);
  painter.setRenderHint(QPainter::Antialiasing);
  scene.render(&painter, chart_area, chart_area);
  painter.setFont(font(10));
  painter.setPen(Qt::black);
  painter.drawText(QRectF(20, q.height - caption_height, q.width - 40, caption_height - 10),
                   Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, text(q.caption));
}

std::string draw(const PlotRequest& q, const std::string& path) {
  std::unique_ptr<QApplication> app;
  if (QCoreApplication::instance() == nullptr) {
    prepare_offscreen();
    static int argc = 1;
    static char name[] = "bruvik";
    static char* argv[] = {name, nullptr};
    app = std::make_unique<QApplication>(argc, argv);
  } else if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
    return "charts need a widget application, and another kind is running";
  }
  QApplication::setFont(font(10));

  const QString file = QFile::decodeName(path.c_str());
  if (q.svg) {
    QSvgGenerator svg;
    svg.setFileName(file);
    svg.setSize(QSize(q.width, q.height));
    svg.setViewBox(QRect(0, 0, q.width, q.height));
    svg.setTitle(text(q.title));
    svg.setDescription(text(q.caption));
    QPainter painter;
    if (!painter.begin(&svg)) return "the SVG file could not be started";
    paint(painter, q);
    painter.end();
    if (QFileInfo(file).size() == 0) return "the SVG file stayed empty";
    return {};
  }
  QImage image(q.width, q.height, QImage::Format_ARGB32);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    paint(painter, q);
  }
  if (!image.save(file, "PNG")) return "the PNG file could not be written";
  return {};
}

// Linking this library in installs the drawer.
struct Registration {
  Registration() { set_plot_drawer(&draw); }
} registration;

}  // namespace
}  // namespace bruvik
