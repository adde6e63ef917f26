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

// The factor that fits a window holding `client` (with a usual title bar and borders, and a
// docked pane of `below` pixels under it that is not drawn smaller) into `available`; 1 where
// it fits as it is. Never below half size: smaller text is not readable.
double zoom_to_fit(QSize client, const QRect& available, int below = 0);
// Drawn smaller than this to make room for the docked timeline, the window is better kept as
// it is with the timeline floating.
inline constexpr double kLeastZoomForTheDockedPane = 0.85;

class ZoomedClient : public QGraphicsView {
 public:
  // Takes `client` (a widget without a parent) into the scene.
  ZoomedClient(QWidget* client, double factor, QWidget* parent);
  double factor() const { return factor_; }
  void set_factor(double factor);
  // Gives the client back, as a widget without a parent; the view is empty then.
  QWidget* release();
  QSize sizeHint() const override { return shown_size(); }
  // A point of the client area as drawn in this view.
  QPoint to_view(QPoint in_client) const;

 private:
  QSize shown_size() const;

  QGraphicsProxyWidget* proxy_;
  double factor_;
};

// The Alt keys of the buttons and labelled boxes of `client`, taken before any shortcut sees
// them: the platforms do not agree on whether a widget's own key reaches it inside a scene, and
// a key that makes the window smaller must not reach the control twice. Acts while a widget of
// `client` or of `window` has the focus.
class ClientAltKeys : public QObject {
 public:
  ClientAltKeys(QWidget* client, QWidget* window);
  ~ClientAltKeys() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // True when a control has that key; `act` presses or focuses it.
  bool alt_key(int key, bool act);

  QWidget* client_;
  QWidget* window_;
};

}  // namespace bruvik
