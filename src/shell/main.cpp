// The desktop program: a window that shows a story from a scenario file named on the command
// line or opened with Ctrl+O.
#include <QApplication>
#include <QCommandLineParser>
#include <QSettings>
#ifndef QT_NO_SESSIONMANAGER
#include <QSessionManager>
#endif

#include <optional>
#include <string>

#include "build_version.h"
#include "encoding/cp932_codec.h"
#include "session/scenario_file_source.h"
#include "shell/app_icon.h"
#include "shell/main_window.h"
#include "shell/prompts.h"
#include "shell/story_backend.h"

namespace {

QString scenario_argument(const QApplication& app) {
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral("Writes random short stories."));
  parser.addHelpOption();
  parser.addVersionOption();
  parser.addPositionalArgument(QStringLiteral("scenario"),
                               QStringLiteral("A scenario file to open at start."),
                               QStringLiteral("[scenario]"));
  parser.process(app);
  return parser.positionalArguments().value(0);
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Plotwright"));
  QApplication::setOrganizationName(QStringLiteral("Plotwright"));
  QApplication::setApplicationVersion(QStringLiteral(PLOTWRIGHT_BUILD_VERSION));
  // The installed desktop entry, by which the desktop finds the window's icon and name.
  QGuiApplication::setDesktopFileName(QStringLiteral("org.plotwright.Plotwright"));
  QApplication::setWindowIcon(plotwright::shell::app_icon());
  const QString scenario = scenario_argument(app);

  plotwright::shell::DialogPrompts prompts;
  std::optional<plotwright::Cp932Codec> codec;
  std::string error;
  if (!plotwright::Cp932Codec::open(codec, &error)) {
    prompts.show_error(nullptr, QString::fromStdString(error));
    return 1;
  }
  QSettings settings;
  plotwright::session::TellerSetup setup;
  setup.statistics = plotwright::session::StatisticsPlace::DISK;
  setup.disk = plotwright::session::disk_statistics_store();
  plotwright::shell::DocumentBackend backend(*codec, std::move(setup));
  plotwright::shell::MainWindow window(backend, prompts, settings, *codec);

  // Closing the window finishes the session itself; these catch the ways out that close no
  // window. When the desktop session ends, the statistics are written as soon as it asks,
  // since the program may not get another chance.
  QObject::connect(&app, &QCoreApplication::aboutToQuit, &window,
                   &plotwright::shell::MainWindow::finish);
#ifndef QT_NO_SESSIONMANAGER
  QObject::connect(&app, &QGuiApplication::commitDataRequest, &window,
                   [&window](QSessionManager&) { window.finish(); });
#endif

  if (!window.start(scenario)) {
    window.finish();
    return 1;
  }
  window.show();
  return QApplication::exec();
}
