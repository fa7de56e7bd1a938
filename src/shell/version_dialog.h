// The modal dialog that shows the program's version.
#pragma once

#include <QDialog>

namespace plotwright::shell {

// Caption "Version(Plotwright)": the application's icon, the version line, the build line and
// an "OK" default button that closes it.
class VersionDialog final : public QDialog {
  Q_OBJECT

 public:
  explicit VersionDialog(QWidget* parent = nullptr);
};

}  // namespace plotwright::shell
