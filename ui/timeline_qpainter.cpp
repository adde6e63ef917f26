#include "ui/timeline_qpainter.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QHash>
#include <QPainterPath>
#include <QStaticText>

#include <map>
#include <type_traits>
#include <utility>

namespace bruvik {
namespace {

// Enough for every label of a long session; beyond it the cache starts afresh.
constexpr qsizetype kMostTexts = 1024;

struct FontCache {
  QFont font;
  double ascent = 0, descent = 0;
  QHash<QString, double> widths;
  QHash<QString, QStaticText> laid_out;
};

struct Cache {
  std::map<std::pair<double, bool>, FontCache> fonts;
  qsizetype texts = 0;
  bool emptied_at_exit = false;
};

Cache& cache() {
  static Cache c;
  return c;
}

void empty() {
  Cache& c = cache();
  c.fonts.clear();
  c.texts = 0;
  c.emptied_at_exit = false;
}

FontCache& cache_for(const TextFont& font) {
  Cache& c = cache();
  if (c.texts > kMostTexts) {
    c.fonts.clear();
    c.texts = 0;
  }
  if (!c.emptied_at_exit && QCoreApplication::instance() != nullptr) {
    qAddPostRoutine(empty);
    c.emptied_at_exit = true;
  }
  auto [it, added] = c.fonts.try_emplace({font.pixels, font.bold});
  if (added) {
    it->second.font = timeline_font(font);
    const QFontMetricsF m(it->second.font);
    it->second.ascent = m.ascent();
    it->second.descent = m.descent();
  }
  return it->second;
}

QString text_of(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QColor colour(Rgb c) {
  return QColor(c.r, c.g, c.b, c.a);
}

QPointF point(Point p) {
  return {p.x, p.y};
}

QRectF rect(const Rect& r) {
  return {r.x, r.y, r.w, r.h};
}

void draw_text(QPainter& p, const Text& t) {
  FontCache& f = cache_for(t.font);
  const QString text = text_of(t.text);
  auto it = f.laid_out.find(text);
  if (it == f.laid_out.end()) {
    it = f.laid_out.insert(text, QStaticText(text));
    it->setTextFormat(Qt::PlainText);
    it->prepare(QTransform(), f.font);
    ++cache().texts;
  }
  p.setFont(f.font);
  p.setPen(colour(t.colour));
  // A static text is placed by its top.
  p.drawStaticText(QPointF(t.at.x, t.at.y - f.ascent), *it);
}

// Whether two primitives of one kind are drawn alike, so that one call draws both.
bool alike(const Fill& a, const Fill& b) {
  return a.colour == b.colour;
}
bool alike(const Hatch& a, const Hatch& b) {
  return a.colour == b.colour && a.width == b.width;
}
bool alike(const Line& a, const Line& b) {
  return a.colour == b.colour && a.width == b.width && a.dashed == b.dashed;
}
bool alike(const Mark& a, const Mark& b) {
  return a.colour == b.colour && a.width == b.width;
}

void add(QPainterPath& path, const Fill& f) {
  path.addRect(rect(f.rect));
}
void add(QPainterPath& path, const Hatch& h) {
  const std::vector<Point> points = hatch_segments(h.rect, h.spacing);
  for (std::size_t i = 0; i + 1 < points.size(); i += 2) {
    path.moveTo(point(points[i]));
    path.lineTo(point(points[i + 1]));
  }
}
void add(QPainterPath& path, const Mark& m) {
  const std::vector<Point> points = mark_outline(m);
  if (m.shape == MarkShape::Cross) {
    path.moveTo(point(points[0]));
    path.lineTo(point(points[1]));
    path.moveTo(point(points[2]));
    path.lineTo(point(points[3]));
    return;
  }
  path.moveTo(point(points[0]));
  for (std::size_t i = 1; i < points.size(); ++i) path.lineTo(point(points[i]));
  path.closeSubpath();
}

// Draws the run of primitives of one kind drawn alike, from items[at]; returns where it ends.
template <typename Kind>
std::size_t draw_run(QPainter& p, const std::vector<Primitive>& items, std::size_t at) {
  const Kind& first = std::get<Kind>(items[at]);
  std::size_t end = at;
  const auto same = [&](std::size_t i) {
    const Kind* next = std::get_if<Kind>(&items[i]);
    return next != nullptr && alike(first, *next);
  };
  if constexpr (std::is_same_v<Kind, Line>) {
    QList<QLineF> lines;
    for (; end < items.size() && same(end); ++end) {
      const Line& l = std::get<Line>(items[end]);
      lines.append(QLineF(point(l.from), point(l.to)));
    }
    p.setPen(QPen(colour(first.colour), first.width, first.dashed ? Qt::DashLine : Qt::SolidLine));
    p.drawLines(lines);
  } else {
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);  // a frame over another of its station leaves no hole
    for (; end < items.size() && same(end); ++end) add(path, std::get<Kind>(items[end]));
    if constexpr (std::is_same_v<Kind, Fill>) {
      p.fillPath(path, colour(first.colour));
    } else if constexpr (std::is_same_v<Kind, Hatch>) {
      p.strokePath(path, QPen(colour(first.colour), first.width));
    } else {
      p.setRenderHint(QPainter::Antialiasing, true);
      if (first.width == 0) {
        p.fillPath(path, colour(first.colour));
      } else {
        p.strokePath(path, QPen(colour(first.colour), first.width));
      }
      p.setRenderHint(QPainter::Antialiasing, false);
    }
  }
  return end;
}

}  // namespace

QFont timeline_font(const TextFont& font) {
  QFont f(QString::fromUtf8(kTimelineFontFamily));
  f.setStyleHint(QFont::SansSerif);
  f.setPixelSize(static_cast<int>(font.pixels));
  f.setBold(font.bold);
  return f;
}

double QtTextMeasure::width(const TextFont& font, std::string_view text) const {
  FontCache& f = cache_for(font);
  const QString key = text_of(text);
  auto it = f.widths.constFind(key);
  if (it == f.widths.constEnd()) {
    it = f.widths.insert(key, QFontMetricsF(f.font).horizontalAdvance(key));
    ++cache().texts;
  }
  return *it;
}

double QtTextMeasure::ascent(const TextFont& font) const {
  return cache_for(font).ascent;
}

double QtTextMeasure::descent(const TextFont& font) const {
  return cache_for(font).descent;
}

void draw_picture(QPainter& p, const TimelinePicture& picture) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing, false);
  const std::vector<Primitive>& items = picture.items;
  for (std::size_t i = 0; i < items.size();) {
    const Primitive& item = items[i];
    if (const auto* text = std::get_if<Text>(&item)) {
      draw_text(p, *text);
      ++i;
    } else if (const auto* clip = std::get_if<Clip>(&item)) {
      // Any clip of the caller's comes back afterwards.
      if (clip->on) {
        p.save();
        p.setClipRect(rect(clip->rect));
      } else {
        p.restore();
      }
      ++i;
    } else if (std::holds_alternative<Fill>(item)) {
      i = draw_run<Fill>(p, items, i);
    } else if (std::holds_alternative<Hatch>(item)) {
      i = draw_run<Hatch>(p, items, i);
    } else if (std::holds_alternative<Line>(item)) {
      i = draw_run<Line>(p, items, i);
    } else {
      i = draw_run<Mark>(p, items, i);
    }
  }
  p.restore();
}

}  // namespace bruvik
