// A window on a fresh form for the window tests: the operator values at their start, a wall
// clock that only the test moves, RESTART and the run-time error message replaced by recorders.
#pragma once

#include <QString>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "controls/operator_controls.h"
#include "history/history.h"
#include "model/form.h"
#include "sim/wiring.h"
#include "ui/main_window.h"

namespace bruvik {

struct TestWindow {
  Form1 form;
  std::unique_ptr<History> history;
  std::int64_t wall_ns = 0;
  std::unique_ptr<MainWindow> window;
  std::vector<QString> errors;
  int restarts = 0;
  // The file dialogs and message boxes of Save and Open, replaced: the names to give, and
  // what was told.
  std::vector<QString> chooses;
  std::vector<QString> notices;

  explicit TestWindow(std::uint64_t seed = 7, bool shown = false) : form(seed, tick_handlers()) {
    prepare_form(form, 5, 5, 5, "100");
    history = std::make_unique<History>(form, StartSettings{seed, 5, 5, 5, "100"});
    form.on_restart = [this] { ++restarts; };
    window = std::make_unique<MainWindow>(form, history.get(), 1.0, [this] { return wall_ns; });
    window->set_error_reporter([this](const QString& e) { errors.push_back(e); });
    window->set_file_chooser([this](MainWindow::Choice, const QString&) {
      if (chooses.empty()) return QString();
      QString name = chooses.front();
      chooses.erase(chooses.begin());
      return name;
    });
    window->set_notice_reporter(
        [this](MainWindow::Notice, const QString& text) { notices.push_back(text); });
    if (shown) {
      window->show();
      activate();
    }
  }
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;

  void activate() {
    window->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
  }
  FormView& view() const { return window->view(); }
  QWidget* at(std::string_view name) const { return view().widget(name); }
};

}  // namespace bruvik
