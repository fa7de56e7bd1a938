// The program's main window: one story view, the menu bar and the document commands.
#include "shell/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenuBar>
#include <QSaveFile>
#include <QtDebug>

#include "encoding/scenario_encoding.h"
#include "shell/recent_files.h"
#include "shell/story_view.h"
#include "shell/version_dialog.h"

namespace plotwright::shell {

namespace {

const QString kTitle = QStringLiteral("Plotwright");
// The name a story is offered under when no scenario names it.
const QString kUntitledStory = QStringLiteral("MyPlot.txt");

QString cannot_open(const QString& path, const QString& reason) {
  return QStringLiteral("Cannot open \"%1\".\n%2").arg(QDir::toNativeSeparators(path), reason);
}

}  // namespace

MainWindow::MainWindow(StoryBackend& backend, Prompts& prompts, QSettings& settings,
                       Cp932Codec& codec, QWidget* parent)
    : QMainWindow(parent),
      backend_(backend),
      prompts_(prompts),
      settings_(settings),
      codec_(codec),
      view_(new StoryView(this)) {
  setWindowTitle(kTitle);
  view_->setObjectName(QStringLiteral("story"));
  setCentralWidget(view_);
  build_menus();
  build_keys();
  resize(760, 560);
}

void MainWindow::build_menus() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("File(&F)"));
  file->addSeparator();
  QAction* exit = file->addAction(QStringLiteral("Exit(&X)"), this, &QWidget::close);
  exit->setStatusTip(QStringLiteral("Exit program"));

  QMenu* help = menuBar()->addMenu(QStringLiteral("Help(&H)"));
  QAction* version = help->addAction(QStringLiteral("Version of(Plotwright) (&A)..."), this,
                                     &MainWindow::show_version);
  version->setStatusTip(QStringLiteral("Version and copy right"));

  QMenu* regeneration = menuBar()->addMenu(QStringLiteral("Regeneration"));
  QAction* again =
      regeneration->addAction(QStringLiteral("Regeneration"), this, &MainWindow::regenerate);
  again->setStatusTip(QStringLiteral("Recreate short story"));
}

// New, Open and Save have no menu items: they are reached by their keys only.
void MainWindow::build_keys() {
  const auto bind = [this](QKeySequence keys, void (MainWindow::*slot)()) {
    auto* action = new QAction(this);
    action->setShortcut(keys);
    connect(action, &QAction::triggered, this, slot);
    addAction(action);
  };
  bind(QKeySequence(Qt::ControlModifier | Qt::Key_N), &MainWindow::new_document);
  bind(QKeySequence(Qt::ControlModifier | Qt::Key_O), &MainWindow::choose_and_open);
  bind(QKeySequence(Qt::ControlModifier | Qt::Key_S), &MainWindow::save_story);
}

bool MainWindow::start(const QString& scenario) {
  if (scenario.isEmpty()) {
    new_document();
    return true;
  }
  return open_scenario(scenario);
}

void MainWindow::show_engine_text(std::string_view engine_text) {
  view_->show_text(QString::fromUtf8(codec_.engine_text_to_utf8(engine_text)));
}

void MainWindow::new_document() {
  // The compiled scenario stays with the engine: Regeneration goes on working.
  show_engine_text(backend_.new_document_text());
  current_scenario_.clear();
  setWindowTitle(kTitle);
}

// Only regular files are read: a FIFO or a device is refused at once, never waited on.
std::optional<platform::ScenarioFile> MainWindow::read_scenario_file(const QString& path) {
  platform::ScenarioFile file;
  std::string error;
  if (!platform::read_scenario_file(QFile::encodeName(path).toStdString(), false, file, &error)) {
    prompts_.show_error(this, cannot_open(path, QString::fromStdString(error)));
    return std::nullopt;
  }
  return file;
}

bool MainWindow::open_scenario(const QString& path) {
  const QString absolute = QFileInfo(path).absoluteFilePath();
  std::optional<platform::ScenarioFile> file = read_scenario_file(absolute);
  if (!file) return false;
  DecodedScenario decoded;
  std::string error;
  if (!decode_scenario(codec_, file->bytes, InputEncoding::kAuto, decoded, &error)) {
    prompts_.show_error(this, cannot_open(absolute, QString::fromStdString(error)));
    return false;
  }
  FileLineSource source(std::move(decoded.bytes));
  const LoadedScenario loaded = backend_.load_scenario(source, file->path, file->keep_statistics);
  show_engine_text(loaded.text);
  tell_notes(absolute, *file, loaded.statistics_warning);

  current_scenario_ = absolute;
  const QString canonical = QFileInfo(absolute).canonicalFilePath();
  if (!opened_scenarios_.contains(canonical)) opened_scenarios_.append(canonical);
  remember_recent_file(settings_, absolute);
  setWindowTitle(QStringLiteral("%1 - %2").arg(QFileInfo(absolute).fileName(), kTitle));
  if (!loaded.statistics_error.empty()) {
    prompts_.show_error(this, QStringLiteral("The usage statistics of the previous scenario "
                                             "were not saved.\n%1")
                                  .arg(QString::fromStdString(loaded.statistics_error)));
  }
  return true;
}

// What the user should know about the file and its statistics, in one message.
void MainWindow::tell_notes(const QString& path, const platform::ScenarioFile& file,
                            const std::string& statistics_warning) {
  QStringList notes;
  for (const std::string& note : file.notes) {
    notes.append(QStringLiteral("\"%1\" %2")
                     .arg(QDir::toNativeSeparators(path), QString::fromStdString(note)));
  }
  if (!statistics_warning.empty()) notes.append(QString::fromStdString(statistics_warning));
  if (!notes.isEmpty()) prompts_.show_error(this, notes.join(QStringLiteral("\n")));
}

void MainWindow::choose_and_open() {
  const QStringList recent = recent_files(settings_);
  const QString start = recent.isEmpty() ? QString() : QFileInfo(recent.front()).absolutePath();
  const QString path = prompts_.choose_scenario(this, start);
  if (!path.isEmpty()) open_scenario(path);
}

bool MainWindow::is_opened_scenario(const QString& path) const {
  const QString canonical = QFileInfo(path).canonicalFilePath();
  return !canonical.isEmpty() && opened_scenarios_.contains(canonical);
}

QString MainWindow::suggested_story_path() const {
  if (current_scenario_.isEmpty()) return kUntitledStory;
  const QFileInfo scenario(current_scenario_);
  return scenario.dir().filePath(scenario.completeBaseName() + QStringLiteral(".txt"));
}

void MainWindow::save_story() {
  const QString path = prompts_.choose_story_file(this, suggested_story_path());
  if (path.isEmpty()) return;
  if (is_opened_scenario(path)) {
    prompts_.show_error(this, QStringLiteral("The story was not saved: \"%1\" is a scenario file.")
                                  .arg(QDir::toNativeSeparators(path)));
    return;
  }
  // Text mode gives the platform's line ends; the replacement is atomic, so a failed save
  // leaves any earlier file whole.
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Text) ||
      file.write(view_->toPlainText().toUtf8()) < 0 || !file.commit()) {
    prompts_.show_error(this, QStringLiteral("Cannot save \"%1\".\n%2")
                                  .arg(QDir::toNativeSeparators(path), file.errorString()));
  }
}

void MainWindow::regenerate() {
  const std::optional<std::string> text = backend_.regenerate();
  if (text) show_engine_text(*text);
}

void MainWindow::show_version() {
  VersionDialog dialog(this);
  dialog.exec();
}

void MainWindow::finish() {
  if (finished_) return;
  finished_ = true;
  const std::string error = backend_.shutdown();
  if (!error.empty())
    qWarning("Plotwright: the usage statistics were not saved: %s", error.c_str());
}

void MainWindow::closeEvent(QCloseEvent* event) {
  finish();
  event->accept();
}

}  // namespace plotwright::shell
