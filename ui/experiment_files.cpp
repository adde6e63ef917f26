#include "ui/experiment_files.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QSaveFile>

#include "history/experiment_link.h"

namespace bruvik {
namespace {

// Qt's own file dialog, since the desktop's cannot be taught this: a link in the file name is
// taken as it is, where the dialog would look for a file of that name and, finding none, keep
// Open disabled.
class OpenDialog : public QFileDialog {
 public:
  OpenDialog(QWidget* parent, const QString& folder)
      : QFileDialog(parent, QStringLiteral("Open experiment"), folder,
                    QString::fromUtf8(kExperimentFilter)) {
    setOption(QFileDialog::DontUseNativeDialog);
    setFileMode(QFileDialog::ExistingFile);
    setAcceptMode(QFileDialog::AcceptOpen);
    name_ = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    const auto* buttons = findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
    open_ = buttons != nullptr ? buttons->button(QDialogButtonBox::Open) : nullptr;
    if (name_ == nullptr || open_ == nullptr) return;  // a Qt that names them otherwise: files only
    // After the dialog's own handler, which has just disabled Open for want of such a file.
    QObject::connect(name_, &QLineEdit::textChanged, this, [this] {
      if (holds_link()) open_->setEnabled(true);
    });
  }
  const QString& link() const { return link_; }

 protected:
  void accept() override {
    // A file of such a name is still a file.
    if (holds_link() && !QFileInfo::exists(selectedFiles().value(0))) {
      link_ = name_->text();
      QDialog::accept();
      return;
    }
    QFileDialog::accept();
  }

 private:
  bool holds_link() const {
    return name_ != nullptr && looks_like_link(name_->text().toStdString());
  }

  QLineEdit* name_ = nullptr;
  QPushButton* open_ = nullptr;
  QString link_;
};

}  // namespace

QString guided_experiments_folder(const QString& program_dir, const QString& source_dir) {
  for (const QString& candidate :
       {QDir(program_dir).filePath(QStringLiteral("../share/bruvik/experiments")),
        source_dir.isEmpty() ? QString()
                             : QDir(source_dir).filePath(QStringLiteral("experiments"))}) {
    if (!candidate.isEmpty() && QFileInfo(candidate).isDir()) return QDir::cleanPath(candidate);
  }
  return QString();
}

QString choose_experiment_to_open(QWidget* parent, const QString& folder) {
  OpenDialog dialog(parent, folder);
  if (dialog.exec() != QDialog::Accepted) return QString();
  if (!dialog.link().isEmpty()) return dialog.link();
  const QStringList files = dialog.selectedFiles();
  return files.isEmpty() ? QString() : files.first();
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
