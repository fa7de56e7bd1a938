// The window as an author uses it: the open scenario reloaded when it is saved, F5, the title,
// and Save kept off scenario and statistics files. Real engine, real files in a folder.
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <utility>

#include "encoding/cp932_codec.h"
#include "platform/disk_file_store.h"
#include "shell/scenario_watcher.h"
#include "shell/shell_test_support.h"

namespace plotwright::shell::testing {
namespace {

// Generous: the machine may be busy, and each wait ends as soon as its condition holds.
constexpr int kTimeout = 10000;

// Two openings, so that the scenario keeps usage statistics; both tell `event`.
QByteArray two_titles(const QByteArray& event) {
  return "title Harbour\n" + event + "\ntitle Lantern\n" + event + "\n";
}

// The real engine, counting what the window asks of it.
class CountingBackend final : public StoryBackend {
 public:
  CountingBackend(Cp932Codec& codec, session::TellerSetup setup)
      : engine_(codec, std::move(setup)) {}
  std::string new_document_text() override { return engine_.new_document_text(); }
  LoadedScenario load_scenario(const session::OpenedScenario& scenario) override {
    ++loads;
    return engine_.load_scenario(scenario);
  }
  std::optional<std::string> regenerate() override {
    ++regenerations;
    return engine_.regenerate();
  }
  bool shutdown(std::string* error) override { return engine_.shutdown(error); }

  int loads = 0;
  int regenerations = 0;

 private:
  DocumentBackend engine_;
};

// Stands for a message box: while it is open the event loop runs on, as it does under a modal
// dialog, for the time `open_for` (the user reading it). Records how deeply boxes nest.
class ModalPrompts final : public Prompts {
 public:
  QString choose_scenario(QWidget*, const QString&) override { return QString(); }
  QString choose_story_file(QWidget*, const QString&) override { return QString(); }
  void show_error(QWidget*, const QString& message) override {
    messages.append(message);
    ++depth;
    deepest = std::max(deepest, depth);
    if (while_open) std::exchange(while_open, nullptr)();
    QTest::qWait(open_for);
    --depth;
  }

  std::function<void()> while_open;  // done once, at the next message
  int open_for = 0;
  QStringList messages;
  int depth = 0;
  int deepest = 0;
};

}  // namespace

class AuthorTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(Cp932Codec::open(codec_, nullptr));
    session::TellerSetup setup;
    setup.seed = 20240601;
    setup.statistics = session::StatisticsPlace::DISK;
    setup.disk = std::make_unique<platform::DiskFileStore>();
    backend_ = std::make_unique<CountingBackend>(*codec_, std::move(setup));
    settings_ = std::make_unique<QSettings>(dir_->filePath("settings.ini"), QSettings::IniFormat);
    prompts_ = std::make_unique<ScriptedPrompts>();
    window_ = std::make_unique<MainWindow>(*backend_, *prompts_, *settings_, *codec_);
  }
  void cleanup() { window_.reset(); }

  void a_burst_of_saves_reloads_once_after_saving_the_statistics();
  void a_scenario_that_does_not_compile_is_reported_with_each_error_placed();
  void saves_that_rename_a_new_file_over_the_scenario_are_followed_each_time();
  void a_scenario_gone_for_a_moment_is_reloaded_without_a_message();
  void a_scenario_gone_is_reported_once_and_reloaded_when_it_comes_back();
  void a_change_while_a_message_is_open_waits_for_it_and_repeats_no_note();
  void a_new_document_stops_following_the_scenario_but_keeps_it_for_regeneration();
  void f5_regenerates();
  void save_refuses_scenario_and_statistics_files_data();
  void save_refuses_scenario_and_statistics_files();
  void save_writes_a_name_that_only_contains_an_extension();

 private:
  QString text() { return story_view(*window_)->toPlainText(); }
  void regenerate() { menu_action(*window_, "Regeneration", "Regeneration")->trigger(); }
  QString path(const QString& name) { return dir_->filePath(name); }
  QString open(const QByteArray& bytes, const QString& name = "heist.vell") {
    write_file(path(name), bytes);
    if (!window_->open_scenario(path(name))) qFatal("cannot open %s", qPrintable(name));
    return path(name);
  }
  // Lets several settling times pass, so that a reload that should not come would have come.
  static void stay_quiet() { QTest::qWait(4 * ScenarioWatcher::kSettleMilliseconds); }

  std::unique_ptr<QTemporaryDir> dir_;
  std::unique_ptr<CountingBackend> backend_;
  std::unique_ptr<QSettings> settings_;
  std::unique_ptr<ScriptedPrompts> prompts_;
  ModalPrompts modal_prompts_;
  std::optional<Cp932Codec> codec_;
  std::unique_ptr<MainWindow> window_;
};

void AuthorTest::a_burst_of_saves_reloads_once_after_saving_the_statistics() {
  const QString heist = open(two_titles("The vault stood open."));
  QCOMPARE(window_->windowTitle(), QStringLiteral("heist.vell - Plotwright"));
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
  QVERIFY(prompts_->errors.isEmpty());
}

// The message gives each error's place as the command line does, in UTF-8, the file by the
// name in the title; the story view keeps the compiler's own words.
void AuthorTest::a_scenario_that_does_not_compile_is_reported_with_each_error_placed() {
  const QString heist = open("title Harbour\nselect Way\n湖\n");
  QCOMPARE(prompts_->errors,
           QStringList{QString::fromUtf8("\"%1\" did not compile.\nheist.vell:3:1: error: Scene "
                                         "\"湖\" not found in select statement \"Way\" [V101]")
                           .arg(QDir::toNativeSeparators(heist))});
  QVERIFY2(text().contains(QString::fromUtf8("Scene \"湖\" not found")), qPrintable(text()));

  // So many errors that the box would outgrow the screen: the first of them, then a count.
  QByteArray many = "select Way\n";
  for (int line = 2; line < MainWindow::kShownErrorLines + 4; ++line) many += "Lake\n";
  open(many);
  const QStringList lines = prompts_->errors.back().split('\n');
  QCOMPARE(lines.size(), MainWindow::kShownErrorLines + 2);
  QVERIFY2(lines[MainWindow::kShownErrorLines].startsWith(
               QStringLiteral("heist.vell:%1:1: ").arg(MainWindow::kShownErrorLines + 1)),
           qPrintable(lines[MainWindow::kShownErrorLines]));
  QCOMPARE(lines.back(), QStringLiteral("and 2 more errors"));
}

void AuthorTest::saves_that_rename_a_new_file_over_the_scenario_are_followed_each_time() {
  const QString heist = open(two_titles("The vault stood open."));
  for (const QByteArray event : {"The alarm rang.", "The van drove off."}) {
    write_file(path(".heist.vell.swp"), two_titles(event));
    QVERIFY(std::rename(qPrintable(path(".heist.vell.swp")), qPrintable(heist)) == 0);
    QTRY_VERIFY_WITH_TIMEOUT(text().contains(event), kTimeout);
  }
  QCOMPARE(backend_->loads, 3);
  QVERIFY(prompts_->errors.isEmpty());
}

// An editor that deletes the file and writes it anew may still be writing when the window
// first looks: the window looks once more before it says anything.
void AuthorTest::a_scenario_gone_for_a_moment_is_reloaded_without_a_message() {
  const QString heist = open(two_titles("The vault stood open."));
  auto* watcher = window_->findChild<ScenarioWatcher*>();
  QVERIFY(watcher != nullptr);
  // Runs just after the window's own look at the file, which found nothing.
  int looks = 0;
  connect(watcher, &ScenarioWatcher::changed, this, [&] {
    if (++looks == 1) write_file(heist, two_titles("The safe was empty."));
  });
  QVERIFY(QFile::remove(heist));
  QTRY_VERIFY_WITH_TIMEOUT(text().contains("The safe was empty."), kTimeout);
  QCOMPARE(backend_->loads, 2);
  QVERIFY(prompts_->errors.isEmpty());
}

void AuthorTest::a_scenario_gone_is_reported_once_and_reloaded_when_it_comes_back() {
  const QString heist = open(two_titles("The vault stood open."));
  QVERIFY(QFile::remove(heist));
  QTRY_COMPARE_WITH_TIMEOUT(prompts_->errors.size(), 1, kTimeout);
  QVERIFY2(prompts_->errors[0].contains(heist), qPrintable(prompts_->errors[0]));
  QVERIFY2(prompts_->errors[0].contains("No such file"), qPrintable(prompts_->errors[0]));
  stay_quiet();
  QCOMPARE(prompts_->errors.size(), 1);
  QVERIFY(text().contains("The vault stood open."));
  QCOMPARE(window_->windowTitle(), QStringLiteral("heist.vell - Plotwright"));

  write_file(heist, two_titles("The safe was empty."));
  QTRY_VERIFY_WITH_TIMEOUT(text().contains("The safe was empty."), kTimeout);
  QCOMPARE(backend_->loads, 2);
  QCOMPARE(prompts_->errors.size(), 1);
}

// A message box runs the event loop; a save meanwhile must not open a second box over it.
void AuthorTest::a_change_while_a_message_is_open_waits_for_it_and_repeats_no_note() {
  ModalPrompts& modal = modal_prompts_;
  window_ = std::make_unique<MainWindow>(*backend_, modal, *settings_, *codec_);
  const QString heist = path("heist.vell");
  // Old Mac line ends earn a note at every load.
  write_file(heist, "title Harbour\rThe vault stood open.\r");
  modal.open_for = 3 * ScenarioWatcher::kSettleMilliseconds;
  modal.while_open = [&] { write_file(heist, "title Harbour\rThe safe was empty.\r"); };
  QVERIFY(window_->open_scenario(heist));

  QTRY_COMPARE_WITH_TIMEOUT(backend_->loads, 2, kTimeout);
  stay_quiet();
  QCOMPARE(backend_->loads, 2);
  QCOMPARE(modal.deepest, 1);
  QCOMPARE(modal.messages.size(), 1);
  QVERIFY2(modal.messages[0].contains("old Mac line ends"), qPrintable(modal.messages[0]));
}

// Before any load, regeneration leaves the new document's text; after one, a new document
// stops following the file but regeneration and the exit still use the scenario loaded.
void AuthorTest::a_new_document_stops_following_the_scenario_but_keeps_it_for_regeneration() {
  const QString blank = QStringLiteral("Vell language scenario file is required");
  QVERIFY(window_->start(QString()));
  regenerate();
  QCOMPARE(text(), blank);
  const QString heist = open(two_titles("The vault stood open."));
  press_ctrl(*window_, Qt::Key_N);
  QCOMPARE(window_->windowTitle(), QStringLiteral("Plotwright"));
  write_file(heist, two_titles("The guard was awake."));
  stay_quiet();
  QCOMPARE(backend_->loads, 1);
  QCOMPARE(text(), blank);
  regenerate();
  QVERIFY2(text().contains("The vault stood open."), qPrintable(text()));
  QVERIFY(!QFile::exists(path("heist.vus")));
  window_->close();
  window_->finish();
  QVERIFY(QFile::exists(path("heist.vus")));
}

void AuthorTest::f5_regenerates() {
  open(two_titles("The vault stood open."));
  StoryView* view = story_view(*window_);
  window_->show();
  QVERIFY(QTest::qWaitForWindowActive(window_.get()));
  view->setFocus();
  view->clear();  // the author typed over the story
  QTest::keyClick(view, Qt::Key_F5);
  QCOMPARE(backend_->regenerations, 1);
  QVERIFY2(text().contains("The vault stood open."), qPrintable(text()));
  // The menu item is unchanged: no key is shown beside it.
  QVERIFY(menu_action(*window_, "Regeneration", "Regeneration")->shortcut().isEmpty());
}

void AuthorTest::save_refuses_scenario_and_statistics_files_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QString>("link_to");  // the chosen name is a link to this, when not empty
  QTest::addColumn<QString>("reason");
  QTest::newRow("another scenario") << "other.vell"
                                    << ""
                                    << "ends in .vell";
  QTest::newRow("any case") << "OTHER.Vell"
                            << ""
                            << "ends in .vell";
  QTest::newRow("statistics") << "heist.vus"
                              << ""
                              << "ends in .vus";
  QTest::newRow("statistics, any case") << "notes.VUS"
                                        << ""
                                        << "ends in .vus";
  QTest::newRow("link to a scenario") << "story.txt"
                                      << "drafts.vell"
                                      << "leads to";
  QTest::newRow("the open scenario under another name") << "story.txt"
                                                        << "heist.vell"
                                                        << "scenario opened in this session";
}

void AuthorTest::save_refuses_scenario_and_statistics_files() {
  QFETCH(QString, name);
  QFETCH(QString, link_to);
  QFETCH(QString, reason);
  const QByteArray scenario = two_titles("The vault stood open.");
  open(scenario);
  if (!link_to.isEmpty()) QVERIFY(QFile::link(path(link_to), path(name)));
  const QString target = link_to.isEmpty() ? path(name) : path(link_to);
  const bool existed = QFile::exists(target);

  prompts_->story_answer = path(name);
  press_ctrl(*window_, Qt::Key_S);
  QCOMPARE(prompts_->errors.size(), 1);
  QVERIFY2(prompts_->errors[0].contains(path(name)), qPrintable(prompts_->errors[0]));
  QVERIFY2(prompts_->errors[0].contains(reason), qPrintable(prompts_->errors[0]));
  QCOMPARE(QFile::exists(target), existed);
  QCOMPARE(read_file(path("heist.vell")), scenario);
}

void AuthorTest::save_writes_a_name_that_only_contains_an_extension() {
  open(two_titles("The vault stood open."));
  prompts_->story_answer = path("heist.vell.txt");
  press_ctrl(*window_, Qt::Key_S);
  QVERIFY(prompts_->errors.isEmpty());
  QVERIFY(read_file(path("heist.vell.txt")).contains("The vault stood open."));
}

}  // namespace plotwright::shell::testing

QTEST_MAIN(plotwright::shell::testing::AuthorTest)
#include "shell_author_test.moc"
