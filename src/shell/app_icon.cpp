// The application's icon, drawn as an SVG and rendered at the sizes the desktop asks for.
#include "shell/app_icon.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

#include <array>

// The resources live in a static library: register them before the first use.
static void init_shell_resources() {
  Q_INIT_RESOURCE(shell);
}

namespace plotwright::shell {

QIcon app_icon() {
  // Rendered here rather than through the SVG icon plug-in, which is deployed separately
  // from the library on some platforms.
  init_shell_resources();
  QSvgRenderer renderer(QStringLiteral(":/plotwright/plotwright.svg"));
  QIcon icon;
  if (!renderer.isValid()) return icon;
  for (const int size : std::array{16, 24, 32, 48, 64, 128, 256}) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    renderer.render(&painter);
    painter.end();
    icon.addPixmap(pixmap);
  }
  return icon;
}

}  // namespace plotwright::shell
