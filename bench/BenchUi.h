// SPDX-License-Identifier: GPL-3.0-or-later
// Message, status and pane services for benchmarks: dialogs go to standard
// error (a benchmark that meets one is measuring the wrong thing), the rest
// is dropped.
#pragma once

#include <cstdio>
#include <string>

#include "core/UiServices.h"

namespace quorvin::bench {

class TQuietUi : public IMessageDialog, public IStatusBar, public ITextPane {
public:
  TMsgResult Show(TMsgKind, const std::string& Text, TMsgButtons, const std::string&) override {
    std::fprintf(stderr, "dialog: %s\n", Text.c_str());
    return TMsgResult::No;
  }
  void SetPanelText(int, const std::string&) override {}
  std::string PanelText(int) const override { return {}; }
  void Clear() override {}
  void AppendLine(std::string_view) override {}
  void SetBold(bool) override {}
  void SetPointSize(int) override {}
};

} // namespace quorvin::bench
