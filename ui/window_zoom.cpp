#include "ui/window_zoom.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QGraphicsProxyWidget>
#include <QGraphicsScene>
#include <QKeyEvent>
#include <QLabel>

#include <algorithm>
#include <cmath>

#include "ui/timeline_pane.h"

namespace bruvik {

double zoom_to_fit(QSize client, const QRect& available, int below) {
  if (window_fits(client + QSize(0, below), available) || client.isEmpty()) return 1.0;
  // The same title bar and borders as window_fits allows for.
  const double across = static_cast<double>(available.width() - 16) / client.width();
  const double down = static_cast<double>(available.height() - 40 - below) / client.height();
  return std::clamp(std::min(across, down), 0.5, 1.0);
}

ZoomedClient::ZoomedClient(QWidget* client, double factor, QWidget* parent)
    : QGraphicsView(parent), factor_(factor) {
  client->adjustSize();  // the strip's rows as they are now, not as first built
  auto* picture = new QGraphicsScene(this);
  proxy_ = picture->addWidget(client);
  setScene(picture);
  setFrameShape(QFrame::NoFrame);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setAlignment(Qt::AlignLeft | Qt::AlignTop);
  // No antialiased fills: a part repainted alone would leave a seam at its fractional edge.
  setRenderHints(QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
  setTransform(QTransform::fromScale(factor, factor));
  setFixedSize(shown_size());
  // The strip may change its height; the view follows the client's size.
  QObject::connect(proxy_, &QGraphicsWidget::geometryChanged, this, [this] {
    scene()->setSceneRect(proxy_->geometry());
    setFixedSize(shown_size());
  });
  picture->setSceneRect(proxy_->geometry());
}

ClientAltKeys::ClientAltKeys(QWidget* client, QWidget* window)
    : QObject(window), client_(client), window_(window) {
  QCoreApplication::instance()->installEventFilter(this);
}

ClientAltKeys::~ClientAltKeys() {
  QCoreApplication::instance()->removeEventFilter(this);
}

bool ClientAltKeys::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::ShortcutOverride && event->type() != QEvent::KeyPress) {
    return false;
  }
  auto* to = qobject_cast<QWidget*>(watched);
  if (to == nullptr || (to->window() != client_ && to->window() != window_)) return false;
  const auto* key = static_cast<QKeyEvent*>(event);
  if (key->modifiers() != Qt::AltModifier || !window_->isActiveWindow()) return false;
  // Taken over before any shortcut sees it, then acted on when it arrives as a key press.
  if (!alt_key(key->key(), event->type() == QEvent::KeyPress && !key->isAutoRepeat())) {
    return false;
  }
  event->accept();
  return event->type() == QEvent::KeyPress;
}

bool ClientAltKeys::alt_key(int key, bool act) {
  const QKeySequence wanted(Qt::AltModifier | key);
  for (QAbstractButton* b : client_->findChildren<QAbstractButton*>()) {
    if (b->isVisible() && b->isEnabled() && QKeySequence::mnemonic(b->text()) == wanted) {
      if (act) {
        b->setFocus(Qt::ShortcutFocusReason);
        b->click();
      }
      return true;
    }
  }
  for (QLabel* l : client_->findChildren<QLabel*>()) {
    QWidget* buddy = l->buddy();
    if (buddy != nullptr && buddy->isVisible() && QKeySequence::mnemonic(l->text()) == wanted) {
      if (act) buddy->setFocus(Qt::ShortcutFocusReason);
      return true;
    }
  }
  return false;
}

void ZoomedClient::set_factor(double factor) {
  factor_ = factor;
  setTransform(QTransform::fromScale(factor, factor));
  setFixedSize(shown_size());
}

QWidget* ZoomedClient::release() {
  QWidget* client = proxy_->widget();
  proxy_->setWidget(nullptr);
  client->setParent(nullptr);
  return client;
}

QSize ZoomedClient::shown_size() const {
  const QSizeF client = proxy_->size();
  return QSize(static_cast<int>(std::ceil(client.width() * factor_)),
               static_cast<int>(std::ceil(client.height() * factor_)));
}

QPoint ZoomedClient::to_view(QPoint in_client) const {
  return mapFromScene(proxy_->mapToScene(QPointF(in_client)));
}

}  // namespace bruvik
