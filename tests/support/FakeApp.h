// SPDX-License-Identifier: GPL-3.0-or-later
// Recording fakes of the services beyond the four of FakeUi.h, and an
// application wired to all of them, as the window would wire its widgets.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "app/Application.h"
#include "support/FakeChart.h"
#include "support/FakeUi.h"

namespace quorvin::test {

class TFakeFileDialog : public IFileDialog {
public:
  std::vector<TFileDialogRequest> Requests;
  // Paths chosen in turn; an empty entry, or none left, cancels.
  std::deque<std::string> Answers;
  bool Execute(const TFileDialogRequest& Request, std::string& Chosen) override {
    Requests.push_back(Request);
    if (Answers.empty()) return false;
    Chosen = Answers.front();
    Answers.pop_front();
    return !Chosen.empty();
  }
};

class TFakeFolderBrowser : public IFolderBrowser {
public:
  std::vector<std::string> StartedAt;
  std::string Answer; // empty: cancelled
  bool Browse(const std::string& StartFolder, std::string& Chosen) override {
    StartedAt.push_back(StartFolder);
    Chosen = Answer;
    return !Answer.empty();
  }
};

struct TPrintJob {
  TPrintSource Source;
  std::string Title;
};

class TFakePrinter : public IPrinter {
public:
  std::vector<TPrintJob> Jobs; // one per print dialog shown
  bool Confirm = true;
  TPrintResult Print(TPrintSource Source, const std::string& Title, std::string&) override {
    Jobs.push_back({Source, Title});
    return Confirm ? TPrintResult::Printed : TPrintResult::Cancelled;
  }
};

class TFakeHelp : public IHelpViewer {
public:
  std::vector<std::string> Shown;
  void ShowTopic(const std::string& Topic) override { Shown.push_back(Topic); }
};

class TFakeMounts : public IMountPoints {
public:
  std::vector<std::string> List;
  std::vector<std::string> MountPoints() override { return List; }
};

// Every call the application makes on its view.
class TFakeAppView : public IAppView {
public:
  std::vector<std::string> Calls;
  std::vector<TFocusTarget> Focus;
  void ViewStateChanged() override { Calls.push_back("view"); }
  void ControlsChanged() override { Calls.push_back("controls"); }
  void RamFilesChanged() override { Calls.push_back("ramfiles"); }
  void ChartColoursChanged() override { Calls.push_back("colours"); }
  void FocusControl(TFocusTarget Target) override { Focus.push_back(Target); }
  void CloseRequested() override { Calls.push_back("close"); }
};

// An application with every service faked.
struct TFakeApp {
  TFakeUi Ui;
  TFakeChart Chart;
  TFakeFileDialog FileDialog;
  TFakeFolderBrowser FolderBrowser;
  TFakePrinter Printer;
  TFakeHelp Help;
  TFakeMounts Mounts;
  TAppServices Services{Ui.Dialog,  Ui.Status,     Ui.Pane, Ui.Busy, Chart,
                        FileDialog, FolderBrowser, Printer, Help,    Mounts};
  TApplication App{Services};
  TFakeAppView View;

  TFakeApp() { App.AttachView(&View); }
};

} // namespace quorvin::test
