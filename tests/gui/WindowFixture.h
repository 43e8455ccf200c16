// SPDX-License-Identifier: GPL-3.0-or-later
// The real main window on the off-screen platform, with the services that
// would wait for a person replaced by recording fakes, in a scratch start
// folder of its own.
#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDateTime>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QTabWidget>
#include <QTest>
#include <QTimeZone>
#include <QToolButton>

#include <filesystem>
#include <memory>
#include <string>

#include "chart/ChartPanel.h"
#include "chart/QtBridge.h"
#include "generators/LogGen.h"
#include "gui/MainForm.h"
#include "gui/QtServices.h"
#include "gui/TextPane.h"
#include "support/FakeApp.h"
#include "support/Scratch.h"

namespace quorvin::gui::test {

using namespace quorvin::test;
using namespace quorvin::chart;
namespace fs = std::filesystem;

// A wall-clock time as the chart holds it: milliseconds, taken as UTC.
inline qint64 UtcMSecs(int Y, int Mo, int D, int H = 0, int Mi = 0) {
  return QDateTime(QDate(Y, Mo, D), QTime(H, Mi), QTimeZone::utc()).toMSecsSinceEpoch();
}

inline std::string Examples(const std::string& Name) {
  return (fs::path(QUORVIN_EXAMPLES) / Name).string();
}

// Lets the event loop run until Done holds, or the time is up; answers Done.
template <class F>
bool WaitFor(F&& Done, int Milliseconds = 2000) {
  QElapsedTimer Since;
  Since.start();
  while (!Done()) {
    if (Since.elapsed() > Milliseconds) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QTest::qSleep(2);
  }
  return true;
}

// A test's scratch folder; File("") is the folder with its separator.
class TWindowDir : public TScratchDir {
public:
  std::string File(const std::string& Name) const { return *this / Name; }
};

class WindowTest : public ::testing::Test {
protected:
  TWindowDir Dir;
  TFakeDialog Dialog;
  TFakeFileDialog FileDialog;
  TFakeFolderBrowser FolderBrowser;
  TFakePrinter Printer;
  TFakeHelp Help;
  TFakeMounts Mounts;
  std::unique_ptr<TMainForm> Form;

  std::string StartDir() const { return Dir.File(""); }

  TInjectedServices Services() {
    TInjectedServices S;
    S.Dialog = &Dialog;
    S.FileDialog = &FileDialog;
    S.FolderBrowser = &FolderBrowser;
    S.Printer = &Printer;
    S.Help = &Help;
    S.Mounts = &Mounts;
    return S;
  }

  // A window as the program starts it, shown.
  TMainForm& Start() {
    Form = std::make_unique<TMainForm>(Services());
    Form->FormCreate(StartDir(), StartDir());
    Form->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
    return *Form;
  }
  // Closes the window as the user would; the settings are written.
  void Close() {
    Form->close();
    Form.reset();
  }

  TApplication& App() { return Form->App(); }

  template <class W = QWidget>
  W* Find(const char* Name) {
    W* Widget = Form->findChild<W*>(QString::fromLatin1(Name));
    EXPECT_NE(Widget, nullptr) << Name;
    return Widget;
  }
  QAction* Act(captions::TActionId Id) { return Form->Action(Id); }
  void Trigger(captions::TActionId Id) { Act(Id)->trigger(); }
  void Page(int P) { Find<QTabWidget>("PgCntrlLog")->setCurrentIndex(P); }
  std::string Panel1() { return Form->Status().PanelText(1); }
  QString PaneText() { return Form->Pane().Text(); }

  // A copy of a sample in the scratch folder (saves write beside it).
  std::string Copy(const std::string& Sample) {
    const std::string To = Dir.File(Sample);
    fs::copy_file(Examples(Sample), To, fs::copy_options::overwrite_existing);
    return To;
  }
  // Types a name into a file box and leaves it, as a user would.
  void TypeFileName(const char* Box, const std::string& Path) {
    auto* Edit = Find<QLineEdit>(Box);
    Edit->setFocus();
    Edit->selectAll();
    QTest::keyClicks(Edit, FromEngine(Path));
    QTest::keyClick(Edit, Qt::Key_Return);
  }
  // Chooses a file through the Open command on the page showing.
  void OpenThroughDialog(const std::string& Path, captions::TActionId Id = captions::actFileOpen) {
    FileDialog.Answers.push_back(Path);
    Trigger(Id);
  }
  // A click with the mouse, which moves the focus there first (leaving a
  // file box loads the log anew after an Open, as always).
  void ClickSelectAll(const char* Box = "chkSelectAll") {
    QTest::mouseClick(Find<QCheckBox>(Box), Qt::LeftButton);
  }
};

} // namespace quorvin::gui::test
