// The application's icon, drawn as an SVG and rendered at the sizes the desktop asks for.
#pragma once

#include <QIcon>

namespace plotwright::shell {

QIcon app_icon();

}  // namespace plotwright::shell
