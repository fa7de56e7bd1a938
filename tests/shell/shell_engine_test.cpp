// The window over the real story engine, seeded so that every run tells the same stories.
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <optional>

#include "base/file_store.h"
#include "shell/shell_test_support.h"

namespace plotwright::shell::testing {

class EngineWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    QVERIFY(Cp932Codec::open(codec_, nullptr));
    session::TellerSetup setup;
    setup.seed = 20240601;
    setup.statistics = session::StatisticsPlace::DISK;
    auto files = std::make_unique<MemoryFileStore>();
    files_ = files.get();
    setup.disk = std::move(files);
    backend_ = std::make_unique<DocumentBackend>(*codec_, std::move(setup));
    settings_ = std::make_unique<QSettings>(dir_.filePath("settings.ini"), QSettings::IniFormat);
    window_ = std::make_unique<MainWindow>(*backend_, prompts_, *settings_, *codec_);
  }
  void cleanup() { window_.reset(); }

  void regeneration_before_any_load_leaves_the_new_document_text();
  void a_new_document_shows_its_text_and_keeps_the_scenario_for_regeneration_and_exit();

 private:
  QString text() { return story_view(*window_)->toPlainText(); }
  void regenerate() { menu_action(*window_, "Regeneration", "Regeneration")->trigger(); }

  QTemporaryDir dir_;
  MemoryFileStore* files_ = nullptr;  // owned by the backend
  std::unique_ptr<DocumentBackend> backend_;
  std::unique_ptr<QSettings> settings_;
  ScriptedPrompts prompts_;
  std::optional<Cp932Codec> codec_;
  std::unique_ptr<MainWindow> window_;
};

void EngineWindowTest::regeneration_before_any_load_leaves_the_new_document_text() {
  QVERIFY(window_->start(QString()));
  QCOMPARE(text(), QStringLiteral("Vell language scenario file is required"));
  QCOMPARE(window_->windowTitle(), QStringLiteral("Plotwright"));
  regenerate();
  QCOMPARE(text(), QStringLiteral("Vell language scenario file is required"));
}

void EngineWindowTest::
    a_new_document_shows_its_text_and_keeps_the_scenario_for_regeneration_and_exit() {
  // Two titles, so the scenario keeps usage statistics.
  const QString path = dir_.filePath("harbour.vell");
  write_file(path,
             "title Harbour\nThe ferry left the harbour.\ntitle Lantern\nA lantern glowed.\n");
  QVERIFY(window_->open_scenario(path));
  QVERIFY2(text().contains("harbour") || text().contains("lantern"), qPrintable(text()));
  press_ctrl(*window_, Qt::Key_N);
  QCOMPARE(text(), QStringLiteral("Vell language scenario file is required"));
  QCOMPARE(window_->windowTitle(), QStringLiteral("Plotwright"));
  regenerate();
  QVERIFY2(text().contains("harbour") || text().contains("lantern"), qPrintable(text()));
  window_->close();
  window_->finish();
  QCOMPARE(files_->writes, 1);
  QVERIFY(files_->files.count(QFile::encodeName(dir_.filePath("harbour.vus")).toStdString()));
}

}  // namespace plotwright::shell::testing

QTEST_MAIN(plotwright::shell::testing::EngineWindowTest)
#include "shell_engine_test.moc"
