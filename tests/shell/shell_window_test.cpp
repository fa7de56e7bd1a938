// The main window's behaviour over a scripted engine: menus, keys, opening, saving, exiting.
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextLayout>
#include <QTimer>
#include <QToolBar>
#include <QtTest>

#include <memory>
#include <string>
#include <vector>

#include "shell/recent_files.h"
#include "shell/shell_test_support.h"

namespace plotwright::shell::testing {
namespace {

const QString kNewDocumentText = QStringLiteral("Vell language scenario file is required");

// Hands back scripted engine texts (Shift-JIS, CR LF) and records what the window gave it.
class ScriptedBackend final : public StoryBackend {
 public:
  std::string new_document_text() override { return std::string(Document::new_document_text()); }
  LoadedScenario load_scenario(LineSource& source, std::string_view path) override {
    ++loads;
    loaded_path = std::string(path);
    loaded_lines.clear();
    while (const auto line = source.read_line()) loaded_lines.emplace_back(*line);
    return {load_text, statistics_error};
  }
  std::optional<std::string> regenerate() override {
    if (loads == 0) return std::nullopt;
    return "story " + std::to_string(++regenerations) + "\r\n";
  }
  std::string shutdown() override {
    ++shutdowns;
    return {};
  }

  std::string load_text = "story 0\r\n";
  std::string statistics_error;
  int loads = 0;
  int regenerations = 0;
  int shutdowns = 0;
  std::string loaded_path;
  std::vector<std::string> loaded_lines;
};

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();

  void starts_with_the_new_document_text();
  void menu_bar_holds_exactly_the_three_menus_in_order();
  void opening_hands_converted_lines_to_the_engine_and_shows_its_text_for_reading();
  void a_file_that_cannot_be_opened_is_reported_and_changes_nothing_data();
  void a_file_that_cannot_be_opened_is_reported_and_changes_nothing();
  void statistics_lost_on_a_later_load_are_reported_after_the_story_is_shown();
  void ctrl_o_opens_the_chosen_file_after_typing_without_asking_about_saving();
  void the_last_four_opened_files_are_remembered();
  void ctrl_s_saves_the_shown_story_and_never_a_scenario();
  void classic_edit_keys_work_and_f6_does_nothing();
  void long_lines_wrap_without_a_horizontal_scroll_bar();
  void version_dialog_shows_the_version_and_closes_with_ok();
  void every_way_out_finishes_the_engine_session_once();

 private:
  QString scenario(const QString& name, const QByteArray& bytes = "title Harbour\n");

  std::unique_ptr<QTemporaryDir> dir_;
  std::unique_ptr<QSettings> settings_;
  std::unique_ptr<ScriptedBackend> backend_;
  std::unique_ptr<ScriptedPrompts> prompts_;
  std::unique_ptr<MainWindow> window_;
};

void MainWindowTest::init() {
  dir_ = std::make_unique<QTemporaryDir>();
  settings_ = std::make_unique<QSettings>(dir_->filePath("settings.ini"), QSettings::IniFormat);
  backend_ = std::make_unique<ScriptedBackend>();
  prompts_ = std::make_unique<ScriptedPrompts>();
  window_ = std::make_unique<MainWindow>(*backend_, *prompts_, *settings_);
}

void MainWindowTest::cleanup() {
  window_.reset();
  QApplication::clipboard()->clear();
}

QString MainWindowTest::scenario(const QString& name, const QByteArray& bytes) {
  const QString path = dir_->filePath(name);
  write_file(path, bytes);
  return path;
}

void MainWindowTest::starts_with_the_new_document_text() {
  QVERIFY(window_->start(QString()));
  QCOMPARE(story_view(*window_)->toPlainText(), kNewDocumentText);
  QCOMPARE(window_->windowTitle(), QStringLiteral("Plotwright"));
  QCOMPARE(backend_->loads, 0);
}

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
  QVERIFY(window_->findChildren<QToolBar*>().isEmpty());
  QVERIFY(window_->findChildren<QStatusBar*>().isEmpty());
}

void MainWindowTest::opening_hands_converted_lines_to_the_engine_and_shows_its_text_for_reading() {
  // A UTF-8 scenario reaches the engine as Shift-JIS lines; 霧 is 0x96 0xB6 there.
  scenario("harbour.vell", "title \xE9\x9C\xA7\r\n#Harbour\n");
  backend_->load_text = "\x81\x40Harbour\r\n\x96\xB6\r\n";
  QDir::setCurrent(dir_->path());

  QVERIFY(window_->open_scenario("harbour.vell"));
  QCOMPARE(backend_->loaded_path, QFile::encodeName(dir_->filePath("harbour.vell")).toStdString());
  const std::vector<std::string> expected_lines = {"title \x96\xB6", "#Harbour"};
  QCOMPARE(backend_->loaded_lines, expected_lines);
  QCOMPARE(story_view(*window_)->toPlainText(), QString::fromUtf8("\u3000Harbour\n\u9727\n"));
  QCOMPARE(window_->windowTitle(), QStringLiteral("harbour.vell - Plotwright"));
  QVERIFY(prompts_->errors.isEmpty());
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
  QCOMPARE(story_view(*window_)->toPlainText(), kNewDocumentText);
  QVERIFY(recent_files(*settings_).isEmpty());
  // Named on the command line, such a file ends the program.
  QVERIFY(!window_->start(dir_->filePath(name)));
}

void MainWindowTest::statistics_lost_on_a_later_load_are_reported_after_the_story_is_shown() {
  backend_->statistics_error = "disk full";
  QVERIFY(window_->open_scenario(scenario("harbour.vell")));
  QCOMPARE(story_view(*window_)->toPlainText(), QStringLiteral("story 0\n"));
  QCOMPARE(prompts_->errors.size(), 1);
  QVERIFY(prompts_->errors[0].contains("disk full"));
}

void MainWindowTest::ctrl_o_opens_the_chosen_file_after_typing_without_asking_about_saving() {
  window_->start(QString());
  window_->show();
  QVERIFY(QTest::qWaitForWindowActive(window_.get()));
  QTest::keyClicks(story_view(*window_), "my own words");

  QTest::keyClick(window_.get(), Qt::Key_O, Qt::ControlModifier);  // cancelled
  QCOMPARE(backend_->loads, 0);
  QVERIFY(story_view(*window_)->toPlainText().contains("my own words"));

  prompts_->scenario_answer = scenario("harbour.vell");
  QTest::keyClick(window_.get(), Qt::Key_O, Qt::ControlModifier);
  QCOMPARE(backend_->loads, 1);
  QCOMPARE(story_view(*window_)->toPlainText(), QStringLiteral("story 0\n"));
  QCOMPARE(prompts_->questions, 2);
  QVERIFY(prompts_->errors.isEmpty());
}

void MainWindowTest::the_last_four_opened_files_are_remembered() {
  for (const char* name : {"a.vell", "b.vell", "c.vell", "d.vell", "e.vell", "c.vell"}) {
    QVERIFY(window_->open_scenario(scenario(name)));
  }
  const QStringList expected = {dir_->filePath("c.vell"), dir_->filePath("e.vell"),
                                dir_->filePath("d.vell"), dir_->filePath("b.vell")};
  QCOMPARE(recent_files(*settings_), expected);
  // The open dialog starts where the last scenario came from.
  window_->choose_and_open();
  QCOMPARE(prompts_->last_start_directory, dir_->path());
}

void MainWindowTest::ctrl_s_saves_the_shown_story_and_never_a_scenario() {
  const QByteArray scenario_bytes = "title Harbour\r\n#The boat left.\r\n";
  const QString harbour = scenario("harbour.vell", scenario_bytes);
  backend_->load_text = "\x81\x40The boat left.\r\nIt did not come back.\r\n";
  window_->open_scenario(harbour);
  window_->show();
  QVERIFY(QTest::qWaitForWindowActive(window_.get()));

  prompts_->story_answer = dir_->filePath("story.txt");
  QTest::keyClick(window_.get(), Qt::Key_S, Qt::ControlModifier);
  QCOMPARE(prompts_->last_suggested_path, dir_->filePath("harbour.txt"));
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

void MainWindowTest::classic_edit_keys_work_and_f6_does_nothing() {
  window_->start(QString());
  window_->show();
  QVERIFY(QTest::qWaitForWindowActive(window_.get()));
  StoryView* view = story_view(*window_);
  view->setFocus();
  view->show_text(QString());
  QTest::keyClicks(view, "abc");

  view->selectAll();
  QTest::keyClick(view, Qt::Key_Insert, Qt::ControlModifier);  // copy
  QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("abc"));
  QTest::keyClick(view, Qt::Key_Delete, Qt::ShiftModifier);  // cut
  QCOMPARE(view->toPlainText(), QString());
  QTest::keyClick(view, Qt::Key_Insert, Qt::ShiftModifier);  // paste
  QTest::keyClick(view, Qt::Key_Insert, Qt::ShiftModifier);
  QCOMPARE(view->toPlainText(), QStringLiteral("abcabc"));
  QTest::keyClick(view, Qt::Key_Backspace, Qt::AltModifier);  // undo the last paste
  QCOMPARE(view->toPlainText(), QStringLiteral("abc"));

  QTest::keyClick(view, Qt::Key_F6);
  QTest::keyClick(view, Qt::Key_F6, Qt::ShiftModifier);
  QCOMPARE(view->toPlainText(), QStringLiteral("abc"));
  QVERIFY(view->hasFocus());
}

void MainWindowTest::long_lines_wrap_without_a_horizontal_scroll_bar() {
  backend_->load_text = std::string(40, ' ') + std::string(3000, 'w') + "\r\n";
  window_->open_scenario(scenario("long.vell"));
  window_->resize(400, 300);
  window_->show();
  QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
  StoryView* view = story_view(*window_);

  QCOMPARE(view->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
  QCOMPARE(view->horizontalScrollBar()->maximum(), 0);
  QVERIFY(view->document()->firstBlock().layout()->lineCount() > 10);
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
