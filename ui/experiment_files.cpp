#include "ui/experiment_files.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace bruvik {

QString guided_experiments_folder(const QString& program_dir, const QString& source_dir) {
  for (const QString& candidate :
       {QDir(program_dir).filePath(QStringLiteral("../share/bruvik/experiments")),
        source_dir.isEmpty() ? QString()
                             : QDir(source_dir).filePath(QStringLiteral("experiments"))}) {
    if (!candidate.isEmpty() && QFileInfo(candidate).isDir()) return QDir::cleanPath(candidate);
  }
  return QString();
}

QString default_experiment_name(std::uint64_t seed) {
  return QStringLiteral("bruvik-seed%1.bruvik").arg(seed);
}

QString with_experiment_extension(const QString& path) {
  if (path.endsWith(QStringLiteral(".bruvik"), Qt::CaseInsensitive)) return path;
  return path + QStringLiteral(".bruvik");
}

QString write_experiment(const QString& path, const Experiment& experiment) {
  const std::string text = experiment_json(experiment);
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) ||
      file.write(text.data(), static_cast<qint64>(text.size())) !=
          static_cast<qint64>(text.size()) ||
      !file.commit()) {
    return QStringLiteral("The experiment could not be saved to \"%1\" (%2).")
        .arg(QDir::toNativeSeparators(path), file.errorString());
  }
  return QString();
}

}  // namespace bruvik
