#include "timeline/text_cache.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QHash>
#include <QStaticText>

#include <optional>

namespace bruvik {
namespace {

// Enough for every label of a long session; beyond it the cache starts afresh.
constexpr qsizetype kMostTexts = 1024;

struct Cache {
  std::optional<QFont> font;
  QHash<QString, double> widths;
  QHash<QString, QStaticText> laid_out;
  bool emptied_at_exit = false;
};

Cache& cache() {
  static Cache c;
  return c;
}

void empty() {
  Cache& c = cache();
  c.widths.clear();
  c.laid_out.clear();
  c.font.reset();
  c.emptied_at_exit = false;
}

Cache& cache_for(const QFont& font) {
  Cache& c = cache();
  if (!c.font || *c.font != font || c.widths.size() + c.laid_out.size() > kMostTexts) {
    c.widths.clear();
    c.laid_out.clear();
    c.font = font;
  }
  if (!c.emptied_at_exit && QCoreApplication::instance() != nullptr) {
    qAddPostRoutine(empty);
    c.emptied_at_exit = true;
  }
  return c;
}

}  // namespace

double text_width(const QFont& font, const QString& text) {
  Cache& c = cache_for(font);
  auto it = c.widths.constFind(text);
  if (it == c.widths.constEnd()) {
    it = c.widths.insert(text, QFontMetricsF(font).horizontalAdvance(text));
  }
  return *it;
}

void draw_cached_text(QPainter& painter, const QFont& font, QPointF baseline, const QString& text) {
  Cache& c = cache_for(font);
  auto it = c.laid_out.find(text);
  if (it == c.laid_out.end()) {
    it = c.laid_out.insert(text, QStaticText(text));
    it->setTextFormat(Qt::PlainText);
    it->prepare(QTransform(), font);
  }
  // A static text is placed by its top.
  const double ascent = QFontMetricsF(font).ascent();
  painter.drawStaticText(QPointF(baseline.x(), baseline.y() - ascent), *it);
}

}  // namespace bruvik
