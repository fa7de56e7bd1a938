// The main window over a scripted engine: menus, opening, saving, recent files, exiting.
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "shell/recent_files.h"
#include "shell/shell_test_support.h"

namespace plotwright::shell::testing {
namespace {

// Hands back one scripted engine text (Shift-JIS, CR LF) and records what the window gave it.
class ScriptedBackend final : public StoryBackend {
 public:
  std::string new_document_text() override { return "new"; }
  LoadedScenario load_scenario(const session::OpenedScenario& scenario) override {
    ++loads;
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
  std::optional<std::string> regenerate() override { return std::nullopt; }
  bool shutdown(std::string*) override { return ++shutdowns, true; }

  std::string text = "story\r\n";
  std::string statistics_error;
  int loads = 0;
  int shutdowns = 0;
  std::string path;
  std::vector<std::string> lines;
};

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    dir_ = std::make_unique<QTemporaryDir>();
    settings_ = std::make_unique<QSettings>(dir_->filePath("settings.ini"), QSettings::IniFormat);
    backend_ = std::make_unique<ScriptedBackend>();
    prompts_ = std::make_unique<ScriptedPrompts>();
    QVERIFY(Cp932Codec::open(codec_, nullptr));
    window_ = std::make_unique<MainWindow>(*backend_, *prompts_, *settings_, *codec_);
  }
  void cleanup() { window_.reset(); }

  void menu_bar_holds_exactly_the_three_menus_in_order();
  void opening_hands_converted_lines_to_the_engine_and_shows_its_text_converted();
  void a_file_that_cannot_be_opened_is_reported_and_changes_nothing_data();
  void a_file_that_cannot_be_opened_is_reported_and_changes_nothing();
  void ctrl_s_saves_the_shown_story_and_never_a_scenario();
  void version_dialog_shows_the_version_and_closes_with_ok();
  void the_last_four_opened_files_are_remembered_and_ctrl_o_starts_at_the_last();
  void every_way_out_finishes_the_engine_session_once();

 private:
  QString text() { return story_view(*window_)->toPlainText(); }
  QString scenario(const QString& name, const QByteArray& bytes = "title Harbour\n") {
    write_file(dir_->filePath(name), bytes);
    return dir_->filePath(name);
  }

  std::unique_ptr<QTemporaryDir> dir_;
  std::unique_ptr<QSettings> settings_;
  std::unique_ptr<ScriptedBackend> backend_;
  std::unique_ptr<ScriptedPrompts> prompts_;
  std::optional<Cp932Codec> codec_;
  std::unique_ptr<MainWindow> window_;
};

void MainWindowTest::menu_bar_holds_exactly_the_three_menus_in_order() {
  QStringList layout;
  for (QAction* title : window_->menuBar()->actions()) {
    layout << title->text();
    for (QAction* item : title->menu()->actions()) {
      layout << (item->isSeparator() ? QStringLiteral("  --") : "  " + item->text());
    }
  }
  const QStringList expected = {
      "File(&F)",     "  --",          "  Exit(&X)", "Help(&H)", "  Version of(Plotwright) (&A)...",
      "Regeneration", "  Regeneration"};
  QCOMPARE(layout, expected);
}

void MainWindowTest::opening_hands_converted_lines_to_the_engine_and_shows_its_text_converted() {
  // A UTF-8 scenario reaches the engine as Shift-JIS lines; 霧 is 0x96 0xB6 there.
  scenario("harbour.vell", "title \xE9\x9C\xA7\r\n#Harbour\n");
  backend_->text = "\x81\x40Harbour\r\n\x96\xB6\r\n";
  QDir::setCurrent(dir_->path());
  QVERIFY(window_->open_scenario("harbour.vell"));
  QCOMPARE(backend_->path, QFile::encodeName(dir_->filePath("harbour.vell")).toStdString());
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

void MainWindowTest::a_file_that_cannot_be_opened_is_reported_and_changes_nothing_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QString>("reason");
  QTest::newRow("missing") << "missing.vell"
                           << "No such file or directory";
  QTest::newRow("folder") << "folder.vell"
                          << "folder";
  QTest::newRow("no Shift-JIS form") << "emoji.vell"
                                     << "line 2: character U+1F600";
}

void MainWindowTest::a_file_that_cannot_be_opened_is_reported_and_changes_nothing() {
  QFETCH(QString, name);
  QFETCH(QString, reason);
  QDir(dir_->path()).mkdir("folder.vell");
  scenario("emoji.vell", "title Harbour\n\xF0\x9F\x98\x80\n");
  window_->start(QString());

  QVERIFY(!window_->open_scenario(dir_->filePath(name)));
  QCOMPARE(prompts_->errors.size(), 1);
  QVERIFY2(prompts_->errors[0].contains(QDir::toNativeSeparators(dir_->filePath(name))),
           qPrintable(prompts_->errors[0]));
  QVERIFY2(prompts_->errors[0].contains(reason), qPrintable(prompts_->errors[0]));
  QCOMPARE(backend_->loads, 0);
  QCOMPARE(text(), QStringLiteral("new"));
  QVERIFY(recent_files(*settings_).isEmpty());
  // Named on the command line, such a file ends the program.
  QVERIFY(!window_->start(dir_->filePath(name)));
}

void MainWindowTest::ctrl_s_saves_the_shown_story_and_never_a_scenario() {
  const QByteArray scenario_bytes = "title Harbour\r\n#The boat left.\r\n";
  const QString harbour = scenario("harbour.vell", scenario_bytes);
  backend_->text = "\x81\x40The boat left.\r\nIt did not come back.\r\n";
  window_->open_scenario(harbour);

  prompts_->story_answer = dir_->filePath("story.txt");
  press_ctrl(*window_, Qt::Key_S);
  QCOMPARE(prompts_->suggested, dir_->filePath("harbour.txt"));
#ifdef Q_OS_WIN
  const QByteArray expected = "\xE3\x80\x80The boat left.\r\nIt did not come back.\r\n";
#else
  const QByteArray expected = "\xE3\x80\x80The boat left.\nIt did not come back.\n";
#endif
  QCOMPARE(read_file(dir_->filePath("story.txt")), expected);
  QVERIFY(prompts_->errors.isEmpty());

  // Pointing the save at the scenario is refused, under any spelling of its path.
  prompts_->story_answer = dir_->path() + "/./harbour.vell";
  window_->save_story();
  QCOMPARE(prompts_->errors.size(), 1);
  QCOMPARE(read_file(harbour), scenario_bytes);
}

void MainWindowTest::version_dialog_shows_the_version_and_closes_with_ok() {
  window_->show();
  QString caption;
  QStringList texts;
  bool has_icon = false;
  bool ok_is_default = false;
  QTimer::singleShot(0, this, [&] {
    QWidget* dialog = QApplication::activeModalWidget();
    QVERIFY(dialog != nullptr);
    caption = dialog->windowTitle();
    for (QLabel* label : dialog->findChildren<QLabel*>()) {
      if (!label->pixmap().isNull()) has_icon = true;
      if (!label->text().isEmpty()) texts << label->text();
    }
    const auto buttons = dialog->findChildren<QPushButton*>();
    QCOMPARE(buttons.size(), 1);
    ok_is_default = buttons[0]->text() == "OK" && buttons[0]->isDefault();
    buttons[0]->click();
  });
  menu_action(*window_, "Help(&H)", "Version of(Plotwright) (&A)...")->trigger();

  QCOMPARE(QApplication::activeModalWidget(), nullptr);
  QCOMPARE(caption, QStringLiteral("Version(Plotwright)"));
  QCOMPARE(texts.size(), 2);
  QCOMPARE(texts[0], QStringLiteral("Plotwright(English version) Ver1.00"));
  QVERIFY(has_icon);
  QVERIFY(ok_is_default);
}

void MainWindowTest::the_last_four_opened_files_are_remembered_and_ctrl_o_starts_at_the_last() {
  QDir(dir_->path()).mkdir("sub");
  for (const char* name : {"a.vell", "sub/b.vell", "c.vell", "d.vell", "sub/e.vell", "c.vell"}) {
    QVERIFY(window_->open_scenario(scenario(name)));
  }
  prompts_->scenario_answer = dir_->filePath("d.vell");
  press_ctrl(*window_, Qt::Key_O);
  QCOMPARE(prompts_->asked_directory, dir_->path());
  QCOMPARE(backend_->loads, 7);
  QCOMPARE(recent_files(*settings_),
           (QStringList{dir_->filePath("d.vell"), dir_->filePath("c.vell"),
                        dir_->filePath("sub/e.vell"), dir_->filePath("sub/b.vell")}));
}

void MainWindowTest::every_way_out_finishes_the_engine_session_once() {
  window_->start(QString());
  window_->show();
  menu_action(*window_, "File(&F)", "Exit(&X)")->trigger();
  QVERIFY(!window_->isVisible());
  QCOMPARE(backend_->shutdowns, 1);
  window_->show();
  window_->close();
  window_->finish();  // the session ending as well
  QCOMPARE(backend_->shutdowns, 1);
}

}  // namespace plotwright::shell::testing

QTEST_MAIN(plotwright::shell::testing::MainWindowTest)
#include "shell_window_test.moc"
