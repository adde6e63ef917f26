// The sweep plot drawn with Qt Charts, without a display: mean throughput per method against the
// swept value, with the 95 % confidence intervals as error bars.
#include <QApplication>
#include <QFile>
#include <QFont>
#include <QGraphicsScene>
#include <QPainter>
#include <QtCharts/QChart>
#include <QtCharts/QLegend>
#include <QtCharts/QLegendMarker>
#include <QtCharts/QLineSeries>
#include <QtCharts/QScatterSeries>
#include <QtCharts/QValueAxis>

#include <algorithm>
#include <cmath>
#include <memory>

#include "headless/picture_file.h"
#include "headless/plot.h"

namespace bruvik {
namespace {

constexpr const char* kFont = "Liberation Sans";  // pinned, so that plots look alike everywhere

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

const QColor& colour(std::size_t k) {
  static const QColor kColours[] = {QColor(0x1f, 0x77, 0xb4), QColor(0xff, 0x7f, 0x0e),
                                    QColor(0x2c, 0xa0, 0x2c), QColor(0xd6, 0x27, 0x28),
                                    QColor(0x94, 0x67, 0xbd)};
  return kColours[k % std::size(kColours)];
}

// A line with no entry in the legend: an error bar.
void add_unlisted(QChart& chart, QValueAxis& ax, QValueAxis& ay, QXYSeries* line) {
  chart.addSeries(line);
  line->attachAxis(&ax);
  line->attachAxis(&ay);
  for (QLegendMarker* m : chart.legend()->markers(line)) m->setVisible(false);
}

bool scattered(const PlotRequest& q) {
  return std::any_of(q.series.begin(), q.series.end(),
                     [](const PlotSeries& s) { return !s.x_mean.empty(); });
}

// Each series a line through its points at the request's x, the methods side by side.
void draw_joined(QChart& chart, QValueAxis& ax, QValueAxis& ay, const PlotRequest& q) {
  const double spacing = q.x.size() >= 2 ? q.x[1] - q.x[0] : 1;
  // The five methods side by side around each value, so that their bars do not hide each other.
  const double dodge = spacing * 0.07;
  const double cap = spacing * 0.025;
  double top = 0;
  for (std::size_t k = 0; k < q.series.size(); ++k) {
    const PlotSeries& s = q.series[k];
    const QColor c = colour(k);
    const double offset =
        (static_cast<double>(k) - (static_cast<double>(q.series.size()) - 1) / 2) * dodge;
    auto* line = new QLineSeries;
    line->setName(text(s.name));
    line->setPen(QPen(c, 2));
    line->setPointsVisible(true);
    for (std::size_t i = 0; i < q.x.size() && i < s.mean.size(); ++i) {
      if (!s.mean[i]) continue;
      line->append(q.x[i] + offset, *s.mean[i]);
      top = std::max(top, *s.mean[i]);
    }
    chart.addSeries(line);
    line->attachAxis(&ax);
    line->attachAxis(&ay);
    for (std::size_t i = 0; i < q.x.size() && i < s.low.size() && i < s.high.size(); ++i) {
      if (!s.low[i] || !s.high[i]) continue;
      const double x = q.x[i] + offset;
      const double lo = *s.low[i];
      const double hi = *s.high[i];
      top = std::max(top, hi);
      auto* bar = new QLineSeries;
      bar->setPen(QPen(c, 1.5));
      bar->append({{x - cap, lo}, {x + cap, lo}, {x, lo}, {x, hi}, {x - cap, hi}, {x + cap, hi}});
      add_unlisted(chart, ax, ay, bar);
    }
  }
  const double first = q.x.empty() ? 0 : q.x.front();
  const double last = q.x.empty() ? 1 : q.x.back();
  ax.setRange(first - spacing / 2, last + spacing / 2);
  ax.setTickType(QValueAxis::TicksDynamic);
  ax.setTickAnchor(first);
  ax.setTickInterval(tick_interval(q.x));
  ax.setLabelFormat("%g");
  ay.setRange(0, top > 0 ? top * 1.1 : 1);
  ay.applyNiceNumbers();
  ay.setLabelFormat("%g");
}

// Each point where its own x puts it, with bars both ways, and the curves dashed; both axes
// from 0.
void draw_scattered(QChart& chart, QValueAxis& ax, QValueAxis& ay, const PlotRequest& q) {
  double right = 0;
  double top = 0;
  for (const PlotSeries& s : q.series) {
    for (std::size_t i = 0; i < s.mean.size() && i < s.x_mean.size(); ++i) {
      if (!s.mean[i] || !s.x_mean[i]) continue;
      right = std::max({right, *s.x_mean[i], i < s.x_high.size() ? s.x_high[i].value_or(0) : 0});
      top = std::max({top, *s.mean[i], i < s.high.size() ? s.high[i].value_or(0) : 0});
    }
  }
  ax.setRange(0, right > 0 ? right * 1.05 : 1);
  ax.setTickCount(9);
  ax.applyNiceNumbers();
  const double x_end = ax.max();
  for (const PlotCurve& c : q.curves) {
    for (std::size_t i = 0; i < c.x.size() && i < c.y.size(); ++i) {
      if (c.x[i] <= x_end) top = std::max(top, c.y[i]);
    }
  }
  ay.setRange(0, top > 0 ? top * 1.1 : 1);
  ay.setTickCount(9);
  ay.applyNiceNumbers();
  for (QValueAxis* a : {&ax, &ay}) a->setLabelFormat("%g");

  for (const PlotCurve& c : q.curves) {
    auto* line = new QLineSeries;
    line->setName(text(c.name));
    line->setPen(QPen(colour(c.colour), 2, Qt::DashLine));
    for (std::size_t i = 0; i < c.x.size() && i < c.y.size(); ++i) {
      if (c.x[i] <= x_end) {
        line->append(c.x[i], c.y[i]);
      } else if (i > 0) {
        // Cut where the axis ends, on the straight piece that crosses it.
        const double f = (x_end - c.x[i - 1]) / (c.x[i] - c.x[i - 1]);
        line->append(x_end, c.y[i - 1] + f * (c.y[i] - c.y[i - 1]));
        break;
      }
    }
    chart.addSeries(line);
    line->attachAxis(&ax);
    line->attachAxis(&ay);
  }

  // Entries with nothing drawn: a legend entry with an empty marker.
  for (const std::string& note : q.notes) {
    auto* empty = new QLineSeries;
    empty->setName(text(note));
    empty->setPen(Qt::NoPen);
    chart.addSeries(empty);
    empty->attachAxis(&ax);
    empty->attachAxis(&ay);
  }

  const double cap_x = (ax.max() - ax.min()) * 0.006;
  const double cap_y = (ay.max() - ay.min()) * 0.009;
  for (std::size_t k = 0; k < q.series.size(); ++k) {
    const PlotSeries& s = q.series[k];
    auto* points = new QScatterSeries;
    points->setName(text(s.name));
    points->setColor(colour(k));
    points->setBorderColor(colour(k));
    points->setMarkerSize(9);
    for (std::size_t i = 0; i < s.mean.size() && i < s.x_mean.size(); ++i) {
      if (!s.mean[i] || !s.x_mean[i]) continue;
      const double x = *s.x_mean[i];
      const double y = *s.mean[i];
      points->append(x, y);
      if (i < s.labels.size() && !s.labels[i].empty()) {
        // A point of its own, unseen, whose label is the text: Qt Charts labels a series, not
        // a point.
        auto* tag = new QScatterSeries;
        tag->append(x, y);
        tag->setMarkerSize(1);
        tag->setColor(Qt::transparent);
        tag->setBorderColor(Qt::transparent);
        tag->setPointLabelsFormat(text(s.labels[i]));
        tag->setPointLabelsColor(colour(k));
        QFont small = tag->pointLabelsFont();
        small.setPixelSize(12);
        small.setBold(true);
        tag->setPointLabelsFont(small);
        tag->setPointLabelsVisible(true);
        tag->setPointLabelsClipping(false);
        add_unlisted(chart, ax, ay, tag);
      }
      const QPen pen(colour(k), 1.5);
      if (i < s.low.size() && i < s.high.size() && s.low[i] && s.high[i]) {
        auto* bar = new QLineSeries;
        bar->setPen(pen);
        bar->append({{x - cap_x, *s.low[i]},
                     {x + cap_x, *s.low[i]},
                     {x, *s.low[i]},
                     {x, *s.high[i]},
                     {x - cap_x, *s.high[i]},
                     {x + cap_x, *s.high[i]}});
        add_unlisted(chart, ax, ay, bar);
      }
      if (i < s.x_low.size() && i < s.x_high.size() && s.x_low[i] && s.x_high[i]) {
        auto* bar = new QLineSeries;
        bar->setPen(pen);
        bar->append({{*s.x_low[i], y - cap_y},
                     {*s.x_low[i], y + cap_y},
                     {*s.x_low[i], y},
                     {*s.x_high[i], y},
                     {*s.x_high[i], y - cap_y},
                     {*s.x_high[i], y + cap_y}});
        add_unlisted(chart, ax, ay, bar);
      }
    }
    chart.addSeries(points);
    points->attachAxis(&ax);
    points->attachAxis(&ay);
  }
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

  if (scattered(q)) {
    // Long entries, a line or a dot each: in a column beside the plot, drawn as the series are.
    chart->legend()->setAlignment(Qt::AlignRight);
    chart->legend()->setMarkerShape(QLegend::MarkerShapeFromSeries);
    draw_scattered(*chart, *ax, *ay, q);
  } else {
    draw_joined(*chart, *ax, *ay, q);
  }

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
  std::string error;
  const auto app = offscreen_application(true, error);
  if (!error.empty()) return error;
  QApplication::setFont(font(10));
  PictureFile f;
  f.path = QFile::decodeName(path.c_str());
  f.svg = q.svg;
  f.width = q.width;
  f.height = q.height;
  f.title = text(q.title);
  f.description = text(q.caption);
  return write_picture(f, [&](QPainter& painter) { paint(painter, q); });
}

// Linking this library in installs the drawer.
struct Registration {
  Registration() { set_plot_drawer(&draw); }
} registration;

}  // namespace
}  // namespace bruvik
