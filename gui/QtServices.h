// SPDX-License-Identifier: GPL-3.0-or-later
// The services of the engines, done with Qt: message boxes, the status bar,
// the open dialog, the folder browser, the printer, and the busy cursor with
// its progress dialog.
#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QProgressDialog>
#include <QStringList>

#include <functional>
#include <string>

#include "core/UiServices.h"

class QFileDialog;
class QLabel;
class QPrinter;
class QStatusBar;
class QWidget;

namespace quorvin::chart {
class TChartPanel;
}

namespace quorvin::gui {

using chart::TChartPanel;

class TTextPane;

class TQtMessageDialog final : public IMessageDialog {
public:
  explicit TQtMessageDialog(QWidget* Parent) : FParent(Parent) {}
  using IMessageDialog::Show;
  TMsgResult Show(TMsgKind Kind, const std::string& Text, TMsgButtons Buttons,
                  const std::string& Detail) override;

private:
  QWidget* FParent;
};

// StatusBar1: panel 0 (200 wide) shows hints, panel 1 the commands' messages.
class TQtStatusBar final : public IStatusBar {
public:
  explicit TQtStatusBar(QStatusBar& Bar);
  void SetPanelText(int Panel, const std::string& Text) override;
  std::string PanelText(int Panel) const override;
  // A hint for panel 0 as the widgets give it.
  void ShowHint(const QString& Hint);
  QLabel* Panel(int Index) const { return FLabels[Index == 0 ? 0 : 1]; }
  static constexpr int HintPanelWidth = 200;

private:
  void ShowHintText(const QString& Hint);

  QLabel* FLabels[2];
  std::string FTexts[2];
};

// The six file types as Qt name filters. Each shows its own description;
// its patterns match names in any letter case.
QStringList FileTypeFilters();
// "*.log" as "*.[lL][oO][gG]".
QString AnyCasePattern(const QString& Pattern);
// The open dialog configured for a request (not yet shown).
QFileDialog* MakeFileDialog(QWidget* Parent, const TFileDialogRequest& Request);

class TQtFileDialog final : public IFileDialog {
public:
  explicit TQtFileDialog(QWidget* Parent) : FParent(Parent) {}
  bool Execute(const TFileDialogRequest& Request, std::string& Chosen) override;

private:
  QWidget* FParent;
};

class TQtFolderBrowser final : public IFolderBrowser {
public:
  explicit TQtFolderBrowser(QWidget* Parent) : FParent(Parent) {}
  bool Browse(const std::string& StartFolder, std::string& Chosen) override;

private:
  QWidget* FParent;
};

// Prints the text pane (its fixed-width font, page breaks) or the chart
// (scaled to the page, keeping its aspect ratio). Confirm is the print
// dialog: one per Print; tests put a PDF printer in its place.
class TQtPrinter final : public IPrinter {
public:
  TQtPrinter(QWidget* Parent, TTextPane& Pane, TChartPanel& Chart);
  TPrintResult Print(TPrintSource Source, const std::string& Title, std::string& Reason) override;

  std::function<bool(QPrinter&)> Confirm;

  // Failed, with Reason, when the printer could not start or failed. The
  // pane's lines are asked for and printed page by page, with progress on
  // the pane's busy cursor: Cancelled when the user cancels there.
  static TPrintResult PrintPane(TTextPane& Pane, QPrinter& Printer, std::string& Reason);
  static bool PrintChart(TChartPanel& Chart, QPrinter& Printer, std::string& Reason);

private:
  QWidget* FParent;
  TTextPane& FPane;
  TChartPanel& FChart;
};

// The hourglass for every command; work that runs longer than about half a
// second also shows a modal progress dialog with a Cancel button. Nothing
// else can be clicked meanwhile.
class TQtBusyCursor final : public IBusyCursor {
public:
  explicit TQtBusyCursor(QWidget* Parent, const IStatusBar* Status = nullptr)
      : FParent(Parent), FStatus(Status) {}
  ~TQtBusyCursor() override;
  void Begin() override;
  bool Step(long long Done, long long Total) override;
  void End() override;

  bool Busy() const { return FDepth > 0; }
  // How long work runs before the progress dialog shows.
  void SetDelay(int Milliseconds) { FDelayMs = Milliseconds; }
  QProgressDialog* Dialog() const { return FDialog; }
  // Called on every step once the dialog shows (tests press Cancel there).
  std::function<void(QProgressDialog&)> OnStep;

private:
  void CloseDialog();

  QWidget* FParent;
  const IStatusBar* FStatus;
  int FDepth = 0;
  int FDelayMs = 500;
  bool FCancelled = false;
  QElapsedTimer FSince;
  QElapsedTimer FLastPump;
  QPointer<QProgressDialog> FDialog;
};

} // namespace quorvin::gui
