// Bringing the window up and down: whether there is a display to open it on, the run-time
// folder Qt wants, RESTART, and the picture of the window for --screenshot.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <string>

#include "options/options.h"

namespace bruvik {

// The sentence for a machine with no display, or none when the window may try to open: only
// when DISPLAY, WAYLAND_DISPLAY and QT_QPA_PLATFORM are all unset or empty.
std::optional<std::string> no_display_sentence(const char* display, const char* wayland_display,
                                               const char* qpa_platform);
// The sentence for a display that is named but could not be reached.
std::string unreachable_display_sentence(const char* display, const char* wayland_display);
// The platforms to try, best first, ending with offscreen so that Qt never aborts.
QString platform_list(const char* wayland_display);

// Drops the offscreen platform's notes that it cannot pass size hints on or raise a window;
// other messages go where they went.
void quiet_offscreen_notes();

// Sets XDG_RUNTIME_DIR to a private folder of this user when it is not set.
void ensure_runtime_dir();

// Starts `program` with `arguments` detached. Returns why it could not, or nothing once the
// copy runs.
using Starter =
    std::function<std::optional<QString>(const QString& program, const QStringList& arguments)>;
// How RESTART tells that it could not start the new copy.
using RestartTeller = std::function<void(const QString& sentence)>;
// RESTART: starts `program` with `arguments`; only when that worked, ends this copy through
// `end` (which does not return in the program). Otherwise this copy goes on and `tell` says why.
std::function<void()> restart_action(QString program, QStringList arguments, Starter start,
                                     std::function<void()> end, RestartTeller tell);
// The real one: a fresh copy of the running executable with the same arguments.
std::function<void()> restart_this_program(const Options& options, RestartTeller tell);

// Renders the window as the options ask (start, time) and writes it to options.screenshot as
// PNG. Needs a QApplication. Returns 0, or 1 with `error` set to one sentence.
int write_screenshot(const Options& options, std::string& error);

}  // namespace bruvik
