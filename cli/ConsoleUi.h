// SPDX-License-Identifier: GPL-3.0-or-later
// The UI services of the batch tool: dialogs become one line on standard
// error, the text pane is standard output, the message panel is reported
// once at the end of the command.
#pragma once

#include <ostream>
#include <string>

#include "core/UiServices.h"

namespace quorvin::cli {

class TConsoleDialog : public IMessageDialog {
public:
  TConsoleDialog(std::ostream& Err, bool AnswerYes) : FErr(Err), FAnswerYes(AnswerYes) {}
  using IMessageDialog::Show;
  TMsgResult Show(TMsgKind Kind, const std::string& Text, TMsgButtons Buttons,
                  const std::string& Detail) override;
  bool ErrorShown() const { return FErrorShown; }

private:
  std::ostream& FErr;
  bool FAnswerYes;
  bool FErrorShown = false;
};

class TConsoleStatusBar : public IStatusBar {
public:
  void SetPanelText(int Panel, const std::string& Text) override;
  std::string PanelText(int Panel) const override;

private:
  std::string FPanels[2];
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
