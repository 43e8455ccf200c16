// SPDX-License-Identifier: GPL-3.0-or-later
// Recording fakes of the UI-service interfaces: they keep every call so a
// test can assert on exactly what the user would have seen.
#pragma once

#include <deque>
#include <new>
#include <string>
#include <vector>

#include "core/UiServices.h"

namespace quorvin::test {

struct TShownMessage {
  TMsgKind Kind;
  std::string Text;
  TMsgButtons Buttons;
  std::string Detail;
};

class TFakeDialog : public IMessageDialog {
public:
  std::vector<TShownMessage> Shown;
  // Answers given to Yes/No questions in turn; No once they run out.
  std::deque<TMsgResult> Answers;

  using IMessageDialog::Show;
  TMsgResult Show(TMsgKind Kind, const std::string& Text, TMsgButtons Buttons,
                  const std::string& Detail) override {
    Shown.push_back({Kind, Text, Buttons, Detail});
    if (Buttons == TMsgButtons::OK) return TMsgResult::OK;
    if (Answers.empty()) return TMsgResult::No;
    TMsgResult R = Answers.front();
    Answers.pop_front();
    return R;
  }
  std::vector<std::string> Texts() const {
    std::vector<std::string> R;
    for (const auto& M : Shown) R.push_back(M.Text);
    return R;
  }
};

class TFakeStatusBar : public IStatusBar {
public:
  std::string Panels[2];
  // Every text set on panel 1, in order.
  std::vector<std::string> History;

  void SetPanelText(int Panel, const std::string& Text) override {
    if (Panel < 0 || Panel > 1) return;
    Panels[Panel] = Text;
    if (Panel == 1) History.push_back(Text);
  }
  std::string PanelText(int Panel) const override {
    return (Panel < 0 || Panel > 1) ? std::string() : Panels[Panel];
  }
};

struct TPaneLine {
  std::string Text;
  bool Bold;
  int PointSize;
};

class TFakeTextPane : public ITextPane {
public:
  std::vector<TPaneLine> Lines;
  bool Bold = false;
  int PointSize = 10;
  int ClearCount = 0;
  // Takes no more lines: the memory for them is gone.
  bool Full = false;

  void Clear() override {
    Lines.clear();
    ++ClearCount;
  }
  void AppendLine(std::string_view Line) override {
    if (Full) throw std::bad_alloc();
    Lines.push_back({std::string(Line), Bold, PointSize});
  }
  void SetBold(bool B) override { Bold = B; }
  void SetPointSize(int Size) override { PointSize = Size; }

  // The pane's text with every line ended by a line feed.
  std::string Text() const {
    std::string R;
    for (const auto& L : Lines) R += L.Text + "\n";
    return R;
  }
};

class TFakeBusy : public IBusyCursor {
public:
  int Begins = 0, Ends = 0, Steps = 0;
  // The user presses Cancel at this step (1-based); 0 never.
  int CancelAtStep = 0;
  long long LastDone = 0, LastTotal = 0;
  void Begin() override { ++Begins; }
  bool Step(long long Done, long long Total) override {
    ++Steps;
    LastDone = Done;
    LastTotal = Total;
    return Steps == CancelAtStep;
  }
  void End() override { ++Ends; }
};

// All four fakes and the bundle the engines take.
struct TFakeUi {
  TFakeDialog Dialog;
  TFakeStatusBar Status;
  TFakeTextPane Pane;
  TFakeBusy Busy;
  TUiServices Services{Dialog, Status, Pane, Busy};
};

} // namespace quorvin::test
