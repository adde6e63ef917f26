// Experiment files as the window handles them: where the guided experiments are, the one to
// open chosen, the name a saved run is offered, and writing one safely.
#pragma once

#include <QString>
#include <QWidget>

#include <cstdint>

#include "history/experiment_file.h"

namespace bruvik {

inline constexpr const char* kExperimentFilter = "BRUVIK experiments (*.bruvik)";

// The folder of guided experiments installed with the program (<prefix>/share/bruvik/
// experiments beside <prefix>/bin), else the one in the source tree it was built from; empty
// when neither exists.
QString guided_experiments_folder(const QString& program_dir, const QString& source_dir);

// The Open dialog, starting in `folder`: the file chosen, or a link to a moment as it was typed
// or pasted into the file name; empty when none was.
QString choose_experiment_to_open(QWidget* parent, const QString& folder);

// "bruvik-seed7.bruvik".
QString default_experiment_name(std::uint64_t seed);
// The path with ".bruvik" added when it has no extension of that name.
QString with_experiment_extension(const QString& path);

// Writes the file whole or not at all. Returns the sentence that says why not, or empty.
QString write_experiment(const QString& path, const Experiment& experiment);

}  // namespace bruvik
