// SPDX-License-Identifier: GPL-3.0-or-later
// The small interfaces through which the engines talk to the screen. The
// window implements them with widgets, quorvin-cli with standard output and
// error, the tests with recording fakes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quorvin {

enum class TMsgKind { Error, Warning, Information, Confirmation };
enum class TMsgButtons { OK, YesNo };
enum class TMsgResult { OK, Yes, No };

// A modal message dialog; returns the button the user chose. Detail, when
// not empty, is the cause beside the fixed message text (the system's
// reason for a failed write, with its path): the window shows it as the
// dialog's detail, the batch tool as a "reason:" line.
class IMessageDialog {
public:
  virtual ~IMessageDialog() = default;
  virtual TMsgResult Show(TMsgKind Kind, const std::string& Text, TMsgButtons Buttons,
                          const std::string& Detail) = 0;
  TMsgResult Show(TMsgKind Kind, const std::string& Text, TMsgButtons Buttons) {
    return Show(Kind, Text, Buttons, std::string());
  }
};

// The status bar: panel 0 shows hints, panel 1 is the commands' message panel.
class IStatusBar {
public:
  virtual ~IStatusBar() = default;
  virtual void SetPanelText(int Panel, const std::string& Text) = 0;
  virtual std::string PanelText(int Panel) const = 0;
  // Long work's progress in the message panel ("Importing from ..."): shown
  // as any text is, but no command's result.
  virtual void SetProgressText(const std::string& Text) { SetPanelText(1, Text); }
};

// How a line of the pane is written: bold or not, in points (0: the pane's
// own size).
struct TLineStyle {
  bool Bold = false;
  int PointSize = 0;
  bool operator==(const TLineStyle&) const = default;
};

// Lines made when they are wanted, for a text too long to hold: the pane
// asks for the lines it shows, copies, finds or prints.
class ILineSource {
public:
  virtual ~ILineSource() = default;
  // The lines there are now (a source being indexed still grows).
  virtual std::int64_t LineCount() const = 0;
  // Appends lines From to From + Count - 1, as far as there are, each ended
  // by CR LF, to Out.
  virtual void GetLines(std::int64_t From, std::int64_t Count, std::string& Out) = 0;
  virtual TLineStyle Style(std::int64_t Line) const = 0;
};

// The read-only text pane; style changes apply to lines appended afterwards.
class ITextPane {
public:
  virtual ~ITextPane() = default;
  virtual void Clear() = 0;
  virtual void AppendLine(std::string_view Line) = 0;
  // Many lines at once, each ended by CR LF.
  virtual void AppendLines(std::string_view Text) {
    while (!Text.empty()) {
      const std::size_t End = Text.find("\r\n");
      AppendLine(Text.substr(0, End));
      Text.remove_prefix(End == std::string_view::npos ? Text.size() : End + 2);
    }
  }
  virtual void SetBold(bool Bold) = 0;
  virtual void SetPointSize(int Size) = 0;
  // A pane that shows a line source in place of lines appended one by one
  // (the window's): a long display then makes only the lines it shows.
  virtual bool TakesLineSource() const { return false; }
  // Shows Source, in place of what the pane held; LinesAdded says that it
  // has grown.
  virtual void ShowLines(std::shared_ptr<ILineSource> /*Source*/) {}
  virtual void LinesAdded() {}
};

// The hourglass, and progress of long work.
class IBusyCursor {
public:
  virtual ~IBusyCursor() = default;
  virtual void Begin() = 0;
  // Reports progress (Done of Total, Total 0 when unknown); answers true
  // when the user asked to cancel.
  virtual bool Step(long long Done, long long Total) = 0;
  virtual void End() = 0;
};

// A busy cursor that shows nothing, for work that has no screen.
class TNoBusyCursor : public IBusyCursor {
public:
  void Begin() override {}
  bool Step(long long, long long) override { return false; }
  void End() override {}
};

// Begins the busy cursor and ends it whatever way the scope is left.
class TBusyScope {
public:
  explicit TBusyScope(IBusyCursor& Cursor) : FCursor(Cursor) { FCursor.Begin(); }
  ~TBusyScope() { FCursor.End(); }
  TBusyScope(const TBusyScope&) = delete;
  TBusyScope& operator=(const TBusyScope&) = delete;

private:
  IBusyCursor& FCursor;
};

// The file dialog of the Open command and of the Browse buttons: one dialog
// for every use, which does not require the chosen file to exist.
struct TFileDialogRequest {
  std::string Title;      // "Open" or "Save As"
  int FilterIndex = 1;    // 1-based, into the file-type list
  std::string InitialDir; // empty: the dialog's own choice
  // The file types offered ("PNG images (*.png)"); empty: the six types of
  // the Open command, FilterIndex choosing among them.
  std::vector<std::string> Filters;
  // A save dialog: asks before an existing file is replaced when
  // ConfirmReplace is set, and adds DefaultSuffix to a name typed without one.
  bool Save = false;
  bool ConfirmReplace = false;
  std::string DefaultSuffix;
};

class IFileDialog {
public:
  virtual ~IFileDialog() = default;
  // True with Chosen set when the user picked a file; false when cancelled.
  virtual bool Execute(const TFileDialogRequest& Request, std::string& Chosen) = 0;
};

// The folder browser of the RAMCARD page.
class IFolderBrowser {
public:
  virtual ~IFolderBrowser() = default;
  // Shows the browser at StartFolder; true with Chosen set when a folder was picked.
  virtual bool Browse(const std::string& StartFolder, std::string& Chosen) = 0;
};

// What Print sends to the printer.
enum class TPrintSource { Pane, Chart };
enum class TPrintResult { Printed, Cancelled, Failed };

class IPrinter {
public:
  virtual ~IPrinter() = default;
  // Shows the print dialog once; when the user confirms, prints Source as a
  // job titled Title. Failed when the printer did not take the job, Reason
  // then saying why where the printer tells.
  virtual TPrintResult Print(TPrintSource Source, const std::string& Title,
                             std::string& Reason) = 0;
};

// The user manual.
class IHelpViewer {
public:
  virtual ~IHelpViewer() = default;
  // Shows a topic: a page of the manual ("logprn.html"), with an anchor
  // where the topic is part of a page ("index.html#window").
  virtual void ShowTopic(const std::string& Topic) = 0;
};

// Services for work without a screen: nothing is chosen, printed or shown.
class TNoFileDialog : public IFileDialog {
public:
  bool Execute(const TFileDialogRequest&, std::string&) override { return false; }
};
class TNoFolderBrowser : public IFolderBrowser {
public:
  bool Browse(const std::string&, std::string&) override { return false; }
};
class TNoPrinter : public IPrinter {
public:
  TPrintResult Print(TPrintSource, const std::string&, std::string&) override {
    return TPrintResult::Cancelled;
  }
};
class TNoHelpViewer : public IHelpViewer {
public:
  void ShowTopic(const std::string&) override {}
};

// The services one command talks to.
struct TUiServices {
  IMessageDialog& Dialog;
  IStatusBar& Status;
  ITextPane& Pane;
  IBusyCursor& Busy;
};

} // namespace quorvin
