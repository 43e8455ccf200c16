// SPDX-License-Identifier: GPL-3.0-or-later
// The UI services of the batch tool: dialogs become one line on standard
// error, the text pane is standard output, the message panel is reported
// once at the end of the command.
#pragma once

#include <atomic>
#include <cstddef>
#include <memory>
#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>
#include <vector>

#include "core/UiServices.h"

namespace quorvin::cli {

// Text as a terminal line may show it: control characters (the C1 controls
// of UTF-8 too) and bytes that are no UTF-8 written as \xNN, so that no name
// in a message can move the cursor, clear the screen or start a line of its
// own.
std::string ConsoleText(std::string_view Text);

// A message's text on one line: the line breaks a message holds (CR LF)
// become one blank, then what is left is escaped as ConsoleText does.
std::string ConsoleMessage(std::string_view Text);

// A file descriptor as a stream's buffer (standard output): every write
// is checked, and the first error is kept; later writes fail at once.
class TConsoleOutBuf : public std::streambuf {
public:
  explicit TConsoleOutBuf(int Fd);
  ~TConsoleOutBuf() override { Drain(); }
  TConsoleOutBuf(const TConsoleOutBuf&) = delete;
  TConsoleOutBuf& operator=(const TConsoleOutBuf&) = delete;
  // The first write error's number, 0 while there was none; any thread.
  int Error() const { return FError.load(); }

protected:
  int_type overflow(int_type C) override;
  std::streamsize xsputn(const char* Text, std::streamsize Count) override;
  int sync() override;

private:
  bool Drain();
  bool WriteOut(const char* Data, std::size_t Size);

  int FFd;
  // Left unset: a short run writes, and so touches, a page of it or two.
  static constexpr std::size_t BufferSize = 64 << 10;
  std::unique_ptr<char[]> FBuffer;
  std::atomic<int> FError{0};
};

class TConsoleDialog : public IMessageDialog {
public:
  TConsoleDialog(std::ostream& Err, bool AnswerYes) : FErr(Err), FAnswerYes(AnswerYes) {}
  using IMessageDialog::Show;
  TMsgResult Show(TMsgKind Kind, const std::string& Text, TMsgButtons Buttons,
                  const std::string& Detail) override;
  // The text of the last error or warning shown (empty: none).
  const std::string& LastProblem() const { return FLastProblem; }

private:
  std::ostream& FErr;
  bool FAnswerYes;
  std::string FLastProblem;
};

class TConsoleStatusBar : public IStatusBar {
public:
  void SetPanelText(int Panel, const std::string& Text) override;
  std::string PanelText(int Panel) const override;
  void SetProgressText(const std::string& Text) override;
  // What the message panel says as the command's result: its text, unless
  // that is progress.
  std::string Result() const { return FProgress ? std::string() : FPanels[1]; }

private:
  std::string FPanels[2];
  bool FProgress = false;
};

class TConsolePane : public ITextPane {
public:
  explicit TConsolePane(std::ostream& Out) : FOut(Out) {}
  // What was shown cannot be taken back from a stream; clearing is a no-op.
  void Clear() override {}
  void AppendLine(std::string_view Line) override { FOut << Line << '\n'; }
  void SetBold(bool) override {}
  void SetPointSize(int) override {}

private:
  std::ostream& FOut;
};

} // namespace quorvin::cli
