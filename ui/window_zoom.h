#pragma once
// The window's client area drawn smaller, for a screen too small for it. The widgets live in a
// graphics scene and the view scales them, so clicks, keys and focus reach them as drawn and
// every control keeps its place and size in relation to the others.

#include <QGraphicsView>
#include <QPoint>
#include <QRect>
#include <QSize>

class QGraphicsProxyWidget;

namespace bruvik {

// The factor that fits a window holding `client` (with a usual title bar and borders) into
// `available`; 1 where it fits as it is. Never below half size: smaller text is not readable.
double zoom_to_fit(QSize client, const QRect& available);

class ZoomedClient : public QGraphicsView {
 public:
  // Takes `client` (a widget without a parent) into the scene.
  ZoomedClient(QWidget* client, double factor, QWidget* parent);
  ~ZoomedClient() override;
  double factor() const { return factor_; }
  QSize sizeHint() const override { return shown_size(); }
  // A point of the client area as drawn in this view.
  QPoint to_view(QPoint in_client) const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QSize shown_size() const;
  // The Alt key of a button or of a label's buddy in the client: the platforms do not agree
  // on whether those reach widgets inside a scene, so the view handles them all alike. True
  // when a control has that key; `act` presses or focuses it.
  bool alt_key(int key, bool act);

  QWidget* client_;
  QGraphicsProxyWidget* proxy_;
  double factor_;
};

}  // namespace bruvik
