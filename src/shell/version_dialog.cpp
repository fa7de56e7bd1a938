// The modal dialog that shows the program's version.
#include "shell/version_dialog.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "shell/app_icon.h"

#include "build_version.h"

namespace plotwright::shell {

namespace {

QLabel* plain_label(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setTextFormat(Qt::PlainText);
  return label;
}

}  // namespace

VersionDialog::VersionDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Version(Plotwright)"));
  setModal(true);

  auto* icon = new QLabel(this);
  icon->setObjectName(QStringLiteral("icon"));
  icon->setPixmap(app_icon().pixmap(32, 32));
  icon->setAlignment(Qt::AlignTop);

  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);

  auto* layout = new QGridLayout(this);
  layout->setHorizontalSpacing(16);
  layout->addWidget(icon, 0, 0, 2, 1);
  layout->addWidget(plain_label(QStringLiteral("Plotwright(English version) Ver1.00"), this), 0, 1);
  layout->addWidget(plain_label(QStringLiteral("Build %1, Qt %2")
                                    .arg(QStringLiteral(PLOTWRIGHT_BUILD_VERSION),
                                         QString::fromLatin1(qVersion())),
                                this),
                    1, 1);
  layout->addWidget(ok, 0, 2, Qt::AlignTop);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace plotwright::shell
