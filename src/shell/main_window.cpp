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

#include <array>
#include <memory>
#include <utility>

#include "authoring/checked_scenario.h"
#include "session/scenario_file_source.h"
#include "shell/recent_files.h"
#include "shell/scenario_watcher.h"
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

QString cannot_reload(const QString& path, const QString& reason) {
  return QStringLiteral(
             "Cannot load \"%1\" again after it changed.\n%2\n"
             "The story shown is from the scenario as it was before.")
      .arg(QDir::toNativeSeparators(path), reason);
}

// A scenario that did not compile: its errors with their places in the file, the lines the
// command line prints, the file named as the title names it, the first of them only when
// there are many. Empty when the checks find none.
QString compile_errors(Cp932Codec& codec, const QString& path, const std::string& engine_bytes) {
  std::unique_ptr<CheckedScenario> checked;
  if (!CheckedScenario::check(codec, engine_bytes, InputEncoding::SHIFT_JIS, checked, nullptr)) {
    return QString();
  }
  const std::string all = error_lines(*checked, QFileInfo(path).fileName().toStdString());
  QStringList lines = QString::fromStdString(all).split(u'\n', Qt::SkipEmptyParts);
  if (lines.isEmpty()) return QString();
  if (const qsizetype more = lines.size() - MainWindow::kShownErrorLines; more > 0) {
    lines.resize(MainWindow::kShownErrorLines);
    lines.append(QStringLiteral("and %1 more errors").arg(more));
  }
  return QStringLiteral("\"%1\" did not compile.\n%2")
      .arg(QDir::toNativeSeparators(path), lines.join(u'\n'));
}

struct ReservedExtension {
  const char* suffix;
  const char* kind;
};

// Files a story must never replace, whatever scenario they belong to.
constexpr std::array<ReservedExtension, 2> kReservedExtensions = {{
    {".vell", "scenario files"},
    {".vus", "usage statistics files"},
}};

// Why a file of this name is reserved, or empty.
QString reserved_reason(const QString& path) {
  for (const ReservedExtension& reserved : kReservedExtensions) {
    const QString suffix = QString::fromLatin1(reserved.suffix);
    if (path.endsWith(suffix, Qt::CaseInsensitive)) {
      return QStringLiteral("it ends in %1, the extension of %2")
          .arg(suffix, QString::fromLatin1(reserved.kind));
    }
  }
  return QString();
}

// The file a save to `path` replaces: QSaveFile follows links, even to a file not there yet.
QString save_target(const QString& path) {
  QFileInfo target(path);
  for (int depth = 0; depth < 128 && target.isSymLink(); ++depth) {
    target.setFile(target.symLinkTarget());
  }
  return target.absoluteFilePath();
}

}  // namespace

MainWindow::MainWindow(StoryBackend& backend, Prompts& prompts, QSettings& settings,
                       Cp932Codec& codec, QWidget* parent)
    : QMainWindow(parent),
      backend_(backend),
      prompts_(prompts),
      settings_(settings),
      codec_(codec),
      view_(new StoryView(this)),
      watcher_(new ScenarioWatcher(this)) {
  setWindowTitle(kTitle);
  view_->setObjectName(QStringLiteral("story"));
  setCentralWidget(view_);
  watcher_->setObjectName(QStringLiteral("scenario watcher"));
  connect(watcher_, &ScenarioWatcher::changed, this, &MainWindow::reload_scenario);
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

// New, Open and Save have no menu items: they are reached by their keys only. F5 is a
// second key for Regeneration, whose menu item shows none.
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
  bind(QKeySequence(Qt::Key_F5), &MainWindow::regenerate);
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
  // The compiled scenario stays with the engine: Regeneration goes on working. No scenario is
  // open any more, so its file is no longer followed.
  show_engine_text(backend_.new_document_text());
  current_scenario_.clear();
  watcher_->follow(QString());
  reload_retried_ = false;
  setWindowTitle(kTitle);
}

// Only regular files are read: a FIFO or a device is refused at once, never waited on. On
// failure `error` says why.
std::optional<session::OpenedScenario> MainWindow::read_scenario(const QString& path,
                                                                 QString& error) {
  session::OpenedScenario scenario;
  std::string reason;
  if (!session::scenario_from_file(QFile::encodeName(path).toStdString(), false,
                                   InputEncoding::AUTO, scenario, &reason) ||
      !session::decode(codec_, scenario, &reason)) {
    error = QString::fromStdString(reason);
    return std::nullopt;
  }
  std::string().swap(scenario.file_bytes);  // a large file is not kept twice during the load
  return scenario;
}

bool MainWindow::open_scenario(const QString& path) {
  const QString absolute = QFileInfo(path).absoluteFilePath();
  QString error;
  std::optional<session::OpenedScenario> scenario = read_scenario(absolute, error);
  if (!scenario) {
    prompts_.show_error(this, cannot_open(absolute, error));
    return false;
  }
  load(absolute, *scenario, false);
  return true;
}

void MainWindow::reload_scenario() {
  if (current_scenario_.isEmpty()) return;
  if (loading_) {
    reload_waiting_ = true;
    return;
  }
  QString error;
  std::optional<session::OpenedScenario> scenario = read_scenario(current_scenario_, error);
  if (scenario) {
    load(current_scenario_, *scenario, true);
  } else if (!std::exchange(reload_retried_, true)) {
    watcher_->check_again();
  } else {
    reload_retried_ = false;
    hold_reloads([&] { prompts_.show_error(this, cannot_reload(current_scenario_, error)); });
  }
}

// The window is brought up to date before any message: a message box runs the event loop,
// in which a reload may come due (it waits until the load is done).
void MainWindow::load(const QString& path, const session::OpenedScenario& scenario,
                      bool reloading) {
  hold_reloads([&] {
    const LoadedScenario loaded = backend_.load_scenario(scenario);
    show_engine_text(loaded.text);
    remember_opened(path);
    // A reload does not repeat what the user was told when the scenario was loaded before.
    const QString notes = notes_of(path, scenario, loaded);
    if (!notes.isEmpty() && !(reloading && notes == shown_notes_)) prompts_.show_error(this, notes);
    shown_notes_ = notes;
    for (const session::Note& note : loaded.notes) {
      if (note.kind != session::NoteKind::STATISTICS_NOT_SAVED) continue;
      prompts_.show_error(this, QStringLiteral("The usage statistics of the %1 were not saved.\n%2")
                                    .arg(reloading ? QStringLiteral("scenario before its change")
                                                   : QStringLiteral("previous scenario"),
                                         QString::fromStdString(note.text)));
    }
  });
}

void MainWindow::remember_opened(const QString& path) {
  current_scenario_ = path;
  const QString canonical = QFileInfo(path).canonicalFilePath();
  if (!opened_scenarios_.contains(canonical)) opened_scenarios_.append(canonical);
  remember_recent_file(settings_, path);
  setWindowTitle(QStringLiteral("%1 - %2").arg(QFileInfo(path).fileName(), kTitle));
  watcher_->follow(path);
  reload_retried_ = false;
}

void MainWindow::hold_reloads(const std::function<void()>& step) {
  loading_ = true;
  step();
  loading_ = false;
  if (std::exchange(reload_waiting_, false)) watcher_->check_again();
}

// What the user should know about the file, its compile and its statistics, in one message.
QString MainWindow::notes_of(const QString& path, const session::OpenedScenario& scenario,
                             const LoadedScenario& loaded) const {
  QStringList notes;
  for (const session::Note& note : scenario.notes) {
    // That an installed example keeps no statistics is no reason to stop the user with a box.
    if (note.kind == session::NoteKind::STATISTICS_READ_ONLY) continue;
    notes.append(QStringLiteral("\"%1\" %2")
                     .arg(QDir::toNativeSeparators(path), QString::fromStdString(note.text)));
  }
  if (!loaded.compiled) {
    if (QString errors = compile_errors(codec_, path, scenario.engine_bytes); !errors.isEmpty()) {
      notes.append(errors);
    }
  }
  for (const session::Note& note : loaded.notes) {
    if (note.kind == session::NoteKind::STATISTICS_REFUSED) {
      notes.append(QString::fromStdString(note.text));
    }
  }
  return notes.join(QStringLiteral("\n"));
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

QString MainWindow::save_refusal(const QString& path) const {
  if (is_opened_scenario(path)) return QStringLiteral("it is a scenario opened in this session");
  if (QString reason = reserved_reason(path); !reason.isEmpty()) return reason;
  const QString target = save_target(path);
  if (QString reason = reserved_reason(target); !reason.isEmpty()) {
    return QStringLiteral("it leads to \"%1\", and %2")
        .arg(QDir::toNativeSeparators(target), reason);
  }
  return QString();
}

void MainWindow::save_story() {
  const QString path = prompts_.choose_story_file(this, suggested_story_path());
  if (path.isEmpty()) return;
  if (const QString refusal = save_refusal(path); !refusal.isEmpty()) {
    prompts_.show_error(this, QStringLiteral("The story was not saved to \"%1\": %2.")
                                  .arg(QDir::toNativeSeparators(path), refusal));
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
  std::string error;
  if (!backend_.shutdown(&error))
    qWarning("Plotwright: the usage statistics were not saved: %s", error.c_str());
}

void MainWindow::closeEvent(QCloseEvent* event) {
  finish();
  event->accept();
}

}  // namespace plotwright::shell
