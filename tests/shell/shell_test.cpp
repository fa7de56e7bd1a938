// The desktop program's window: over a scripted engine, its menus, opening, saving, recent files
// and exiting; over the real engine and real files, as an author uses it: the open scenario
// reloaded when it is saved, F5, the title, and Save kept off scenario and statistics files.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "encoding/cp932_codec.h"
#include "platform/disk_file_store.h"
#include "shell/main_window.h"
#include "shell/prompts.h"
#include "shell/recent_files.h"
#include "shell/scenario_watcher.h"
#include "shell/story_view.h"

namespace plotwright::shell::testing {
namespace {

// Generous: the machine may be busy, and each wait ends as soon as its condition holds.
constexpr int kTimeout = 10000;

// Answers the window's questions from fields set by the test and records what was asked. Each
// message stands for a message box: the event loop runs on under it for `open_for` (the user
// reading it), as under a modal dialog; `deepest` is how deeply they nested.
class ScriptedPrompts final : public Prompts {
 public:
  QString choose_scenario(QWidget*, const QString& start_directory) override {
    asked_directory = start_directory;
    return scenario_answer;
  }
  QString choose_story_file(QWidget*, const QString& suggested_path) override {
    suggested = suggested_path;
    return story_answer;
  }
  void show_error(QWidget*, const QString& message) override {
    errors.append(message);
    deepest = std::max(deepest, ++depth);
    if (while_open) std::exchange(while_open, nullptr)();
    if (open_for > 0) QTest::qWait(open_for);
    --depth;
  }

  QString scenario_answer;  // empty: the user cancels
  QString story_answer;     // empty: the user cancels
  QString asked_directory;
  QString suggested;
  QStringList errors;                // messages shown
  std::function<void()> while_open;  // done once, at the next message
  int open_for = 0;
  int depth = 0;
  int deepest = 0;
};

void write_file(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
    qFatal("cannot write %s", qPrintable(path));
  }
}

QByteArray read_file(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The action of the menu bar's menu titled `menu` whose text is `item`; fails the test if absent.
QAction* menu_action(MainWindow& window, const QString& menu, const QString& item) {
  for (QAction* title : window.menuBar()->actions()) {
    if (title->text() != menu || title->menu() == nullptr) continue;
    for (QAction* action : title->menu()->actions()) {
      if (action->text() == item) return action;
    }
  }
  qFatal("no menu item %s > %s", qPrintable(menu), qPrintable(item));
  return nullptr;
}

// Shows the window and presses `key` with Ctrl, as the user would.
void press_ctrl(MainWindow& window, Qt::Key key) {
  window.show();
  if (!QTest::qWaitForWindowActive(&window)) qFatal("the window did not become active");
  QTest::keyClick(&window, key, Qt::ControlModifier);
}

// Two openings, so that the scenario keeps usage statistics; both tell `event`.
QByteArray two_titles(const QByteArray& event) {
  return "title Harbour\n" + event + "\ntitle Lantern\n" + event + "\n";
}

// Counts what the window asks of the engine. Over the real engine when given one; otherwise
// it hands back one scripted text (Shift-JIS, CR LF) and records the scenario it was given.
class RecordingBackend final : public StoryBackend {
 public:
  explicit RecordingBackend(std::unique_ptr<DocumentBackend> engine = nullptr)
      : engine_(std::move(engine)) {}
  std::string new_document_text() override {
    return engine_ ? engine_->new_document_text() : "new";
  }
  LoadedScenario load_scenario(const session::OpenedScenario& scenario) override {
    ++loads;
    if (engine_) return engine_->load_scenario(scenario);
    path = scenario.path;
    lines.clear();
    MemoryLineSource source(scenario.engine_bytes);
    while (const auto line = source.read_line()) lines.emplace_back(*line);
    LoadedScenario loaded{text, {}};
    if (!statistics_error.empty()) {
      loaded.notes.push_back({session::NoteKind::STATISTICS_NOT_SAVED, statistics_error, 0});
    }
    return loaded;
  }
  std::optional<std::string> regenerate() override {
    ++regenerations;
    return engine_ ? engine_->regenerate() : std::nullopt;
  }
  bool shutdown(std::string* error) override {
    ++shutdowns;
    return !engine_ || engine_->shutdown(error);
  }
  bool real() const { return engine_ != nullptr; }

  int loads = 0;
  int regenerations = 0;
  int shutdowns = 0;
  std::string text = "story\r\n";  // scripted
  std::string statistics_error;    // scripted
  std::string path;
  std::vector<std::string> lines;

 private:
  std::unique_ptr<DocumentBackend> engine_;
};

}  // namespace

class ShellTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    dir_ = std::make_unique<QTemporaryDir>();
    settings_ = std::make_unique<QSettings>(dir_->filePath("settings.ini"), QSettings::IniFormat);
    backend_ = std::make_unique<RecordingBackend>();
    prompts_ = std::make_unique<ScriptedPrompts>();
    QVERIFY(Cp932Codec::open(codec_, nullptr));
    window_ = std::make_unique<MainWindow>(*backend_, *prompts_, *settings_, *codec_);
  }
  void cleanup() {
    window_.reset();
    backend_.reset();
  }

  void menu_bar_holds_the_three_menus_and_help_shows_the_version_closed_with_ok() {
    QStringList layout;
    for (QAction* title : window_->menuBar()->actions()) {
      layout << title->text();
      for (QAction* item : title->menu()->actions()) {
        layout << (item->isSeparator() ? QStringLiteral("  --") : "  " + item->text());
      }
    }
    QCOMPARE(layout.join('|'),
             "File(&F)|  --|  Exit(&X)|Help(&H)|  Version of(Plotwright) (&A)..."
             "|Regeneration|  Regeneration");

    window_->show();
    QStringList seen;  // the caption, the labels' icons and texts, the buttons
    QTimer::singleShot(0, this, [&] {
      QWidget* dialog = QApplication::activeModalWidget();
      if (dialog == nullptr) return;
      seen << dialog->windowTitle();
      for (QLabel* label : dialog->findChildren<QLabel*>()) {
        if (!label->pixmap().isNull()) seen << "(icon)";
        if (label->text().startsWith("Build "))
          seen << "(build)";  // its version varies
        else if (!label->text().isEmpty())
          seen << label->text();
      }
      const auto buttons = dialog->findChildren<QPushButton*>();
      for (QPushButton* button : buttons) seen << button->text() + (button->isDefault() ? "*" : "");
      if (buttons.size() == 1) buttons[0]->click();
    });
    menu_action(*window_, "Help(&H)", "Version of(Plotwright) (&A)...")->trigger();
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    QCOMPARE(seen.join('|'),
             "Version(Plotwright)|(icon)|Plotwright(English version) Ver1.00|(build)|OK*");
  }

  void opening_hands_converted_lines_to_the_engine_and_shows_its_text_converted() {
    // A UTF-8 scenario reaches the engine as Shift-JIS lines; 霧 is 0x96 0xB6 there.
    scenario("harbour.vell", "title \xE9\x9C\xA7\r\n#Harbour\n");
    backend_->text = "\x81\x40Harbour\r\n\x96\xB6\r\n";
    QDir::setCurrent(dir_->path());
    QVERIFY(window_->open_scenario("harbour.vell"));
    QCOMPARE(backend_->path, QFile::encodeName(path("harbour.vell")).toStdString());
    QCOMPARE(backend_->lines, (std::vector<std::string>{"title \x96\xB6", "#Harbour"}));
    QCOMPARE(text(), QString::fromUtf8("\u3000Harbour\n\u9727\n"));
    QCOMPARE(window_->windowTitle(), QStringLiteral("harbour.vell - Plotwright"));
    QVERIFY(prompts_->errors.isEmpty());
    // Statistics the load could not save for the scenario before are reported after the story.
    backend_->statistics_error = "disk full";
    QVERIFY(window_->open_scenario("harbour.vell"));
    QCOMPARE(prompts_->errors.size(), 1);
    QVERIFY(prompts_->errors[0].contains("disk full"));
  }

  void a_file_that_cannot_be_opened_is_reported_and_changes_nothing() {
    QDir(dir_->path()).mkdir("folder.vell");
    scenario("emoji.vell", "title Harbour\n\xF0\x9F\x98\x80\n");
    window_->start(QString());
    for (const auto& [name, reason] : {std::pair{"missing.vell", "No such file or directory"},
                                       {"folder.vell", "folder"},
                                       {"emoji.vell", "line 2: character U+1F600"}}) {
      prompts_->errors.clear();
      QVERIFY(!window_->open_scenario(path(name)));
      // Named on the command line, such a file ends the program.
      QVERIFY(!window_->start(path(name)));
      QCOMPARE(prompts_->errors.size(), 2);
      const QString& error = prompts_->errors[0];
      QVERIFY2(error.contains(QDir::toNativeSeparators(path(name))) && error.contains(reason),
               qPrintable(error));
    }
    QCOMPARE(backend_->loads, 0);
    QCOMPARE(text(), QStringLiteral("new"));
    QVERIFY(recent_files(*settings_).isEmpty());
  }

  // The story is written as UTF-8 with the platform's line ends, under any name but that of a
  // scenario or statistics file, in any case, or of a link to one.
  void ctrl_s_saves_the_story_suggesting_the_scenarios_name_but_never_over_a_scenario() {
    backend_->text = "\x81\x40The boat left.\r\nIt did not come back.\r\n";
    const QString heist = scenario("heist.vell");
    window_->open_scenario(heist);

    prompts_->story_answer = path("heist.vell.txt");  // the extension only inside the name
    press_ctrl(*window_, Qt::Key_S);
    QCOMPARE(prompts_->suggested, path("heist.txt"));
#ifdef Q_OS_WIN
    const QByteArray expected = "\xE3\x80\x80The boat left.\r\nIt did not come back.\r\n";
#else
    const QByteArray expected = "\xE3\x80\x80The boat left.\nIt did not come back.\n";
#endif
    QCOMPARE(read_file(path("heist.vell.txt")), expected);
    QVERIFY(prompts_->errors.isEmpty());

    // The name chosen, the file it is a link to when not empty, and why the save is refused.
    const char* const refused[][3] = {
        {"other.vell", "", "ends in .vell"},
        {"OTHER.Vell", "", "ends in .vell"},
        {"heist.vus", "", "ends in .vus"},
        {"notes.VUS", "", "ends in .vus"},
        {"draft.txt", "drafts.vell", "leads to"},
        {"story.txt", "heist.vell", "scenario opened in this session"}};
    for (const auto& [name, link_to, reason] : refused) {
      prompts_->errors.clear();
      if (*link_to != '\0') QVERIFY(QFile::link(path(link_to), path(name)));
      const QString target = path(*link_to != '\0' ? link_to : name);
      const bool existed = QFile::exists(target);
      prompts_->story_answer = path(name);
      press_ctrl(*window_, Qt::Key_S);
      QVERIFY2(prompts_->errors.size() == 1, name);
      const QString& error = prompts_->errors[0];
      QVERIFY2(error.contains(path(name)) && error.contains(reason), qPrintable(error));
      QCOMPARE(QFile::exists(target), existed);
    }
    QCOMPARE(read_file(heist), QByteArray("title Harbour\n"));
  }

  void the_last_four_opened_files_are_remembered_and_ctrl_o_starts_at_the_last() {
    QDir(dir_->path()).mkdir("sub");
    for (const char* name : {"a.vell", "sub/b.vell", "c.vell", "d.vell", "sub/e.vell", "c.vell"}) {
      QVERIFY(window_->open_scenario(scenario(name)));
    }
    prompts_->scenario_answer = path("d.vell");
    press_ctrl(*window_, Qt::Key_O);
    QCOMPARE(prompts_->asked_directory, dir_->path());
    QCOMPARE(backend_->loads, 7);
    QCOMPARE(recent_files(*settings_),
             (QStringList{path("d.vell"), path("c.vell"), path("sub/e.vell"), path("sub/b.vell")}));
  }

  void a_burst_of_saves_or_a_rename_reloads_once_after_saving_the_statistics() {
    const QString heist = open_in_engine(two_titles("The vault stood open."));
    QVERIFY(!QFile::exists(path("heist.vus")));

    write_file(heist, two_titles("The guard was asleep."));
    write_file(heist, two_titles("The guard was awake."));
    QTRY_COMPARE_WITH_TIMEOUT(backend_->loads, 2, kTimeout);
    QVERIFY2(text().contains("The guard was awake."), qPrintable(text()));
    // The load wrote the counts of the first story before it replaced them.
    QVERIFY(QFile::exists(path("heist.vus")));
    QCOMPARE(window_->windowTitle(), QStringLiteral("heist.vell - Plotwright"));
    // Writing the statistics beside the scenario does not count as a change of it.
    stay_quiet();
    QCOMPARE(backend_->loads, 2);
    // Saves that rename a new file over the scenario are followed each time.
    for (const QByteArray event : {"The alarm rang.", "The van drove off."}) {
      write_file(path(".heist.vell.swp"), two_titles(event));
      QVERIFY(std::rename(qPrintable(path(".heist.vell.swp")), qPrintable(heist)) == 0);
      QTRY_VERIFY_WITH_TIMEOUT(text().contains(event), kTimeout);
    }
    QCOMPARE(backend_->loads, 4);
    QVERIFY(prompts_->errors.isEmpty());
  }

  // The message gives each error's place as the command line does, in UTF-8, the file by the
  // name in the title; the story view keeps the compiler's own words.
  void a_scenario_that_does_not_compile_is_reported_with_each_error_placed() {
    const QString heist = open_in_engine("title Harbour\nselect Way\n湖\n");
    QCOMPARE(prompts_->errors,
             QStringList{QString::fromUtf8("\"%1\" did not compile.\nheist.vell:3:1: error: Scene "
                                           "\"湖\" not found in select statement \"Way\" [V101]")
                             .arg(QDir::toNativeSeparators(heist))});
    QVERIFY2(text().contains(QString::fromUtf8("Scene \"湖\" not found")), qPrintable(text()));

    // So many errors that the box would outgrow the screen: the first of them, then a count.
    QByteArray many = "select Way\n";
    for (int line = 2; line < MainWindow::kShownErrorLines + 4; ++line) many += "Lake\n";
    open_in_engine(many);
    const QStringList lines = prompts_->errors.back().split('\n');
    QCOMPARE(lines.size(), MainWindow::kShownErrorLines + 2);
    QVERIFY2(lines[MainWindow::kShownErrorLines].startsWith(
                 QStringLiteral("heist.vell:%1:1: ").arg(MainWindow::kShownErrorLines + 1)),
             qPrintable(lines[MainWindow::kShownErrorLines]));
    QCOMPARE(lines.back(), QStringLiteral("and 2 more errors"));
  }

  // An editor that deletes the file and writes it anew may still be writing when the window
  // first looks: the window looks once more before it says anything. A file gone for longer is
  // reported once, and followed again when it comes back.
  void a_scenario_gone_is_reported_once_unless_back_at_the_second_look() {
    const QString heist = open_in_engine(two_titles("The vault stood open."));
    // Runs just after the window's own first look at the file, which found nothing.
    int looks = 0;
    QVERIFY(connect(window_->findChild<ScenarioWatcher*>(), &ScenarioWatcher::changed, this, [&] {
      if (++looks == 1) write_file(heist, two_titles("The safe was empty."));
    }));
    QVERIFY(QFile::remove(heist));
    QTRY_VERIFY_WITH_TIMEOUT(text().contains("The safe was empty."), kTimeout);
    QCOMPARE(backend_->loads, 2);
    QVERIFY(prompts_->errors.isEmpty());

    QVERIFY(QFile::remove(heist));
    QTRY_COMPARE_WITH_TIMEOUT(prompts_->errors.size(), 1, kTimeout);
    const QString& error = prompts_->errors[0];
    QVERIFY2(error.contains(heist) && error.contains("No such file"), qPrintable(error));
    stay_quiet();
    QCOMPARE(prompts_->errors.size(), 1);
    QVERIFY(text().contains("The safe was empty."));
    QCOMPARE(window_->windowTitle(), QStringLiteral("heist.vell - Plotwright"));

    write_file(heist, two_titles("The guard was awake."));
    QTRY_VERIFY_WITH_TIMEOUT(text().contains("The guard was awake."), kTimeout);
    QCOMPARE(backend_->loads, 3);
    QCOMPARE(prompts_->errors.size(), 1);
  }

  // A message box runs the event loop; a save meanwhile must not open a second box over it.
  void a_change_while_a_message_is_open_waits_for_it_and_repeats_no_note() {
    use_engine();
    const QString heist = path("heist.vell");
    // Old Mac line ends earn a note at every load.
    write_file(heist, "title Harbour\rThe vault stood open.\r");
    prompts_->open_for = 3 * ScenarioWatcher::kSettleMilliseconds;
    prompts_->while_open = [&] { write_file(heist, "title Harbour\rThe safe was empty.\r"); };
    QVERIFY(window_->open_scenario(heist));

    QTRY_COMPARE_WITH_TIMEOUT(backend_->loads, 2, kTimeout);
    stay_quiet();
    QCOMPARE(backend_->loads, 2);
    QCOMPARE(prompts_->deepest, 1);
    QCOMPARE(prompts_->errors.size(), 1);
    QVERIFY2(prompts_->errors[0].contains("old Mac line ends"), qPrintable(prompts_->errors[0]));
  }

  // Before any load, regeneration leaves the new document's text; after one, a new document
  // stops following the file but regeneration (F5 too, over the story view) and the exit still
  // use the scenario loaded. Every way out finishes the engine's session, once.
  void a_new_document_stops_following_the_scenario_but_keeps_it_for_regeneration() {
    const QString blank = QStringLiteral("Vell language scenario file is required");
    use_engine();
    QAction* regeneration = menu_action(*window_, "Regeneration", "Regeneration");
    QVERIFY(window_->start(QString()));
    regeneration->trigger();
    QCOMPARE(text(), blank);
    const QString heist = open_in_engine(two_titles("The vault stood open."));
    press_ctrl(*window_, Qt::Key_N);
    QCOMPARE(window_->windowTitle(), QStringLiteral("Plotwright"));
    write_file(heist, two_titles("The guard was awake."));
    stay_quiet();
    QCOMPARE(backend_->loads, 1);
    QCOMPARE(text(), blank);
    auto* view = window_->findChild<StoryView*>(QStringLiteral("story"));
    view->setFocus();
    QTest::keyClick(view, Qt::Key_F5);
    QCOMPARE(backend_->regenerations, 2);
    QVERIFY2(text().contains("The vault stood open."), qPrintable(text()));
    // The menu item is unchanged: no key is shown beside it.
    QVERIFY(regeneration->shortcut().isEmpty());

    QVERIFY(!QFile::exists(path("heist.vus")));
    menu_action(*window_, "File(&F)", "Exit(&X)")->trigger();
    QVERIFY(!window_->isVisible());
    QVERIFY(QFile::exists(path("heist.vus")));
    window_->show();
    window_->close();
    window_->finish();  // the session ending as well
    QCOMPARE(backend_->shutdowns, 1);
  }

 private:
  QString text() {
    return window_->findChild<StoryView*>(QStringLiteral("story"))->toPlainText();
  }
  QString path(const QString& name) {
    return dir_->filePath(name);
  }
  QString scenario(const QString& name, const QByteArray& bytes = "title Harbour\n") {
    write_file(path(name), bytes);
    return path(name);
  }
  // The window over the real engine, keeping its statistics on disk.
  void use_engine() {
    session::TellerSetup setup;
    setup.seed = 20240601;
    setup.statistics = session::StatisticsPlace::DISK;
    setup.disk = std::make_unique<platform::DiskFileStore>();
    window_.reset();
    backend_ = std::make_unique<RecordingBackend>(
        std::make_unique<DocumentBackend>(*codec_, std::move(setup)));
    window_ = std::make_unique<MainWindow>(*backend_, *prompts_, *settings_, *codec_);
  }
  // Opens `bytes` as the scenario heist.vell in the window over the real engine.
  QString open_in_engine(const QByteArray& bytes) {
    if (!backend_->real()) use_engine();
    if (!window_->open_scenario(scenario("heist.vell", bytes))) qFatal("cannot open heist.vell");
    return path("heist.vell");
  }
  // Lets several settling times pass, so that a reload that should not come would have come.
  static void stay_quiet() {
    QTest::qWait(4 * ScenarioWatcher::kSettleMilliseconds);
  }

  std::unique_ptr<QTemporaryDir> dir_;
  std::unique_ptr<QSettings> settings_;
  std::unique_ptr<RecordingBackend> backend_;
  std::unique_ptr<ScriptedPrompts> prompts_;
  std::optional<Cp932Codec> codec_;
  std::unique_ptr<MainWindow> window_;
};

}  // namespace plotwright::shell::testing

QTEST_MAIN(plotwright::shell::testing::ShellTest)
#include "shell_test.moc"
