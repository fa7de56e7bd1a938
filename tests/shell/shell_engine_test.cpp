// The window over the real story engine, seeded so that every run tells the same stories.
#include <QMenu>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#include "base/clock.h"
#include "base/random_source.h"
#include "shell/shell_test_support.h"
#include "statistics/file_store.h"

namespace plotwright::shell::testing {
namespace {

// Two title scenes, each with several alternatives: every story is one of many.
const QByteArray kHarbour =
    "title Harbour\n"
    "#\n"
    "The (fishing boat|ferry|old schooner) left the harbour at (dawn|noon|dusk).\n"
    "The (keeper|captain|child) watched it (go|vanish) from the (pier|hill|tower).\n"
    "title Lantern\n"
    "#\n"
    "A lantern (flickered|glowed|went out) in the (window|tower|fog).\n"
    "Nobody (spoke|slept|moved) until (morning|the bell rang|the tide turned).\n";

// The same in Japanese, stored as UTF-8.
const QByteArray kJapanese =
    "title \xE9\x9C\xA7\xE3\x81\xAE\xE6\xB8\xAF\n"  // title 霧の港
    "#\n"
    "\xE9\x9C\xA7\xE3\x81\xAE(\xE6\x9C\x9D|\xE5\xA4\x9C)\xE3\x80\x82\n";  // 霧の(朝|夜)。

}  // namespace

class EngineWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();

  void regeneration_before_any_load_leaves_the_text();
  void opening_shows_a_story_and_regeneration_tells_another();
  void regeneration_still_works_after_a_new_document();
  void a_japanese_scenario_is_shown_in_unicode_with_its_paragraph_indent();
  void exit_writes_the_statistics_once();

 private:
  QString text() { return story_view(*window_)->toPlainText(); }
  // False when the test cannot go on (failed, or skipped while the engine tells no stories).
  bool open(const QByteArray& scenario);
  void regenerate() { menu_action(*window_, "Regeneration", "Regeneration")->trigger(); }

  std::unique_ptr<QTemporaryDir> dir_;
  std::unique_ptr<QSettings> settings_;
  StandardRandom random_;
  FixedClock clock_{20240601};
  MemoryFileStore files_;
  std::unique_ptr<DocumentBackend> backend_;
  ScriptedPrompts prompts_;
  std::unique_ptr<MainWindow> window_;
};

void EngineWindowTest::init() {
  dir_ = std::make_unique<QTemporaryDir>();
  settings_ = std::make_unique<QSettings>(dir_->filePath("settings.ini"), QSettings::IniFormat);
  files_ = MemoryFileStore();
  DocumentServices services;
  services.random = &random_;
  services.clock = &clock_;
  services.files = &files_;
  backend_ = std::make_unique<DocumentBackend>(services);
  window_ = std::make_unique<MainWindow>(*backend_, prompts_, *settings_);
}

void EngineWindowTest::cleanup() {
  window_.reset();
  backend_.reset();
}

bool EngineWindowTest::open(const QByteArray& scenario) {
  const QString path = dir_->filePath("scenario.vell");
  write_file(path, scenario);
  if (!window_->open_scenario(path)) {
    QTest::qFail("the scenario did not open", __FILE__, __LINE__);
    return false;
  }
  if (text().isEmpty()) {
    QTest::qSkip("the story engine tells no stories yet", __FILE__, __LINE__);
    return false;
  }
  return true;
}

void EngineWindowTest::regeneration_before_any_load_leaves_the_text() {
  window_->start(QString());
  regenerate();
  QCOMPARE(text(), QStringLiteral("Vell language scenario file is required"));
}

void EngineWindowTest::opening_shows_a_story_and_regeneration_tells_another() {
  if (!open(kHarbour)) return;
  const QString first = text();
  QVERIFY2(first.contains("harbour") || first.contains("lantern"), qPrintable(first));
  QVERIFY(!first.contains('\r'));
  regenerate();
  QVERIFY(text().contains("harbour") || text().contains("lantern"));
  QVERIFY(text() != first);
}

void EngineWindowTest::regeneration_still_works_after_a_new_document() {
  if (!open(kHarbour)) return;
  window_->show();
  QVERIFY(QTest::qWaitForWindowActive(window_.get()));
  QTest::keyClick(window_.get(), Qt::Key_N, Qt::ControlModifier);
  QCOMPARE(text(), QStringLiteral("Vell language scenario file is required"));
  QCOMPARE(window_->windowTitle(), QStringLiteral("Plotwright"));
  regenerate();
  QVERIFY2(text().contains("harbour") || text().contains("lantern"), qPrintable(text()));
}

void EngineWindowTest::a_japanese_scenario_is_shown_in_unicode_with_its_paragraph_indent() {
  if (!open(kJapanese)) return;
  QVERIFY2(text().contains(QString::fromUtf8("\u3000\u9727\u306e")), qPrintable(text()));
}

void EngineWindowTest::exit_writes_the_statistics_once() {
  if (!open(kHarbour)) return;
  regenerate();
  QCOMPARE(files_.writes, 0);
  window_->close();
  window_->finish();
  QCOMPARE(files_.writes, 1);
  QVERIFY(files_.files.count(QFile::encodeName(dir_->filePath("scenario.vus")).toStdString()));
}

}  // namespace plotwright::shell::testing

QTEST_MAIN(plotwright::shell::testing::EngineWindowTest)
#include "shell_engine_test.moc"
