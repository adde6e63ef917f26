// Pictures drawn without a display for the terminal runs (the sweep plot, the timeline): the
// offscreen application they need and the SVG or PNG file they go to. Qt; linked only by the
// drawers.
#pragma once

#include <QPainter>
#include <QString>

#include <functional>
#include <memory>
#include <string>

#include <QCoreApplication>

namespace bruvik {

// A graphical application on the offscreen platform when none runs yet (a widget one when
// `widgets`), else null. `error` says why none can be had: another kind already runs.
std::unique_ptr<QCoreApplication> offscreen_application(bool widgets, std::string& error);

struct PictureFile {
  QString path;
  bool svg = false;  // else PNG
  int width = 0, height = 0;
  QString title, description;  // SVG only
};
// Paints the picture into the file; returns an empty string, or what went wrong.
std::string write_picture(const PictureFile& file, const std::function<void(QPainter&)>& paint);

}  // namespace bruvik
