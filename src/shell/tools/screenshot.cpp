// Saves a picture of the main window showing a story from a scenario, for the documentation.
// Run it under a real display server (Xvfb will do): it captures the screen's pixels.
#include <QApplication>
#include <QPixmap>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <utility>

#include "encoding/cp932_codec.h"
#include "session/story_teller.h"
#include "shell/app_icon.h"
#include "shell/main_window.h"
#include "shell/prompts.h"
#include "shell/story_backend.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  const QStringList args = QApplication::arguments();
  if (args.size() < 3) {
    std::fprintf(stderr, "usage: plotwright-gui-screenshot SCENARIO OUTPUT.png [SEED]\n");
    return 2;
  }
  QApplication::setWindowIcon(plotwright::shell::app_icon());

  // A fixed seed gives the same story every time; no statistics file is read or written
  // beside the scenario, and the user's settings are left alone.
  std::optional<plotwright::Cp932Codec> codec;
  std::string error;
  if (!plotwright::Cp932Codec::open(codec, &error)) {
    std::fprintf(stderr, "plotwright-gui-screenshot: %s\n", error.c_str());
    return 1;
  }
  plotwright::session::TellerSetup setup;
  setup.seed = static_cast<std::uint32_t>(args.value(3, QStringLiteral("1")).toULong());
  setup.statistics = plotwright::session::StatisticsPlace::NONE;
  plotwright::shell::DocumentBackend backend(*codec, std::move(setup));
  plotwright::shell::DialogPrompts prompts;
  QTemporaryDir settings_dir;
  QSettings settings(settings_dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
  plotwright::shell::MainWindow window(backend, prompts, settings, *codec);
  if (!window.start(args[1])) return 1;
  window.show();

  int status = 1;
  QTimer::singleShot(750, &window, [&] {
    const QPixmap shot = window.screen()->grabWindow(window.winId());
    status = shot.save(args[2], "PNG") ? 0 : 1;
    if (status != 0) std::fprintf(stderr, "cannot write %s\n", qPrintable(args[2]));
    QApplication::quit();
  });
  QApplication::exec();
  return status;
}
