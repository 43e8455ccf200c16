// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ConsoleUi.h"

namespace quorvin::cli {

TMsgResult TConsoleDialog::Show(TMsgKind Kind, const std::string& Text, TMsgButtons Buttons,
                                const std::string& Detail) {
  const char* Prefix = "info: ";
  switch (Kind) {
  case TMsgKind::Error:
    Prefix = "error: ";
    FErrorShown = true;
    break;
  case TMsgKind::Warning:
    Prefix = "warning: ";
    break;
  case TMsgKind::Information:
    Prefix = "info: ";
    break;
  case TMsgKind::Confirmation:
    Prefix = "confirm: ";
    break;
  }
  FErr << Prefix << Text << '\n';
  if (!Detail.empty()) FErr << "reason: " << Detail << '\n';
  if (Buttons == TMsgButtons::OK) return TMsgResult::OK;
  return FAnswerYes ? TMsgResult::Yes : TMsgResult::No;
}

void TConsoleStatusBar::SetPanelText(int Panel, const std::string& Text) {
  if (Panel >= 0 && Panel <= 1) FPanels[Panel] = Text;
}

std::string TConsoleStatusBar::PanelText(int Panel) const {
  return (Panel >= 0 && Panel <= 1) ? FPanels[Panel] : std::string();
}

} // namespace quorvin::cli
