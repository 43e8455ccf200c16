// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/QtServices.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QStatusBar>
#include <QTextDocument>

#include <memory>

#include "app/Captions.h"
#include "chart/ChartPanel.h"
#include "chart/QtBridge.h"
#include "gui/TextPane.h"

namespace quorvin::gui {

using namespace chart;

namespace {

// A dialog shown in the middle of busy work gets the normal arrow back
// while it is open.
class TArrowWhileOpen {
public:
  TArrowWhileOpen() : FActive(QApplication::overrideCursor() != nullptr) {
    if (FActive) QApplication::setOverrideCursor(Qt::ArrowCursor);
  }
  ~TArrowWhileOpen() {
    if (FActive) QApplication::restoreOverrideCursor();
  }
  TArrowWhileOpen(const TArrowWhileOpen&) = delete;
  TArrowWhileOpen& operator=(const TArrowWhileOpen&) = delete;

private:
  bool FActive;
};

} // namespace

// ---------------------------------------------------------------------------
// Message dialogs

TMsgResult TQtMessageDialog::Show(TMsgKind Kind, const std::string& Text, TMsgButtons Buttons,
                                  const std::string& Detail) {
  QMessageBox::Icon Icon = QMessageBox::Information;
  switch (Kind) {
  case TMsgKind::Error:
    Icon = QMessageBox::Critical;
    break;
  case TMsgKind::Warning:
    Icon = QMessageBox::Warning;
    break;
  case TMsgKind::Information:
    Icon = QMessageBox::Information;
    break;
  case TMsgKind::Confirmation:
    Icon = QMessageBox::Question;
    break;
  }
  const QMessageBox::StandardButtons Std =
      Buttons == TMsgButtons::YesNo ? (QMessageBox::Yes | QMessageBox::No) : QMessageBox::Ok;
  QMessageBox Box(Icon, Caption(captions::ProgramName), FromEngine(Text), Std, FParent);
  // The cause, when there is one, under the program's own words.
  if (!Detail.empty()) Box.setInformativeText(FromEngine(Detail));
  TArrowWhileOpen Arrow;
  const int Answer = Box.exec();
  if (Buttons == TMsgButtons::OK) return TMsgResult::OK;
  return Answer == QMessageBox::Yes ? TMsgResult::Yes : TMsgResult::No;
}

// ---------------------------------------------------------------------------
// Status bar

TQtStatusBar::TQtStatusBar(QStatusBar& Bar) {
  for (int I = 0; I < 2; ++I) {
    FLabels[I] = new QLabel(&Bar);
    FLabels[I]->setObjectName(QStringLiteral("StatusBar1Panel%1").arg(I));
    FLabels[I]->setTextFormat(Qt::PlainText);
  }
  // Panel 0 keeps its 200 pixels whatever it holds; panel 1 takes the rest
  // and, ignoring its text's width, never widens the window.
  FLabels[0]->setFixedWidth(HintPanelWidth);
  FLabels[0]->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
  FLabels[1]->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  FLabels[1]->setMinimumWidth(1);
  Bar.addWidget(FLabels[0], 0);
  Bar.addWidget(FLabels[1], 1);
}

void TQtStatusBar::SetPanelText(int Panel, const std::string& Text) {
  if (Panel < 0 || Panel > 1) return;
  FTexts[Panel] = Text;
  if (Panel == 0) {
    ShowHintText(FromEngine(Text));
    return;
  }
  const QString Shown = FromEngine(Text);
  FLabels[1]->setText(Shown);
  FLabels[1]->setToolTip(Shown);
}

std::string TQtStatusBar::PanelText(int Panel) const {
  return Panel < 0 || Panel > 1 ? std::string() : FTexts[Panel];
}

void TQtStatusBar::ShowHint(const QString& Hint) {
  FTexts[0] = ToEngine(Hint);
  ShowHintText(Hint);
}

void TQtStatusBar::ShowHintText(const QString& Hint) {
  // A hint wider than the panel ends in "..."; the whole of it is the
  // panel's tooltip.
  QLabel* Label = FLabels[0];
  const int Room = HintPanelWidth - 2 * Label->margin() - 2 * Label->frameWidth() - 4;
  const QFontMetrics Metrics = Label->fontMetrics();
  QString Shown = Hint;
  if (Metrics.horizontalAdvance(Hint) > Room) {
    const QString Dots = QStringLiteral("...");
    qsizetype Keep = Hint.size();
    while (Keep > 0 && Metrics.horizontalAdvance(Hint.left(Keep) + Dots) > Room) --Keep;
    Shown = Hint.left(Keep).trimmed() + Dots;
  }
  Label->setText(Shown);
  Label->setToolTip(Shown == Hint ? QString() : Hint);
}

// ---------------------------------------------------------------------------
// The open dialog

QString AnyCasePattern(const QString& Pattern) {
  // Every file, whether its name has a point or not.
  if (Pattern == QStringLiteral("*.*")) return QStringLiteral("*");
  QString Out;
  for (QChar C : Pattern) {
    if (C.isLetter() && C.toLower() != C.toUpper())
      Out += u'[' + QString(C.toLower()) + QString(C.toUpper()) + u']';
    else
      Out += C;
  }
  return Out;
}

QStringList FileTypeFilters() {
  QStringList Filters;
  for (const captions::TFileType& Type : captions::FileTypes) {
    QStringList Patterns;
    for (const QString& P : Caption(Type.Pattern).split(u';', Qt::SkipEmptyParts))
      Patterns.append(AnyCasePattern(P));
    Filters.append(Caption(Type.Description) + QStringLiteral(" (") + Patterns.join(u' ') + u')');
  }
  return Filters;
}

QFileDialog* MakeFileDialog(QWidget* Parent, const TFileDialogRequest& Request) {
  // A folder that is gone would be taken as a file name and fill the name
  // box: the nearest folder above it that exists is shown instead.
  QString Folder =
      Request.InitialDir.empty() ? QDir::currentPath() : FromEngine(Request.InitialDir);
  while (!QFileInfo(Folder).isDir()) {
    const QString Up = QFileInfo(QDir::cleanPath(Folder)).path();
    if (Up == Folder || Up.isEmpty() || Up == QStringLiteral(".")) {
      Folder = QDir::currentPath();
      break;
    }
    Folder = Up;
  }
  auto* Dialog = new QFileDialog(Parent, FromEngine(Request.Title), Folder);
  Dialog->setObjectName(QStringLiteral("OpenDialog"));
  // Qt's own dialog on every desktop, so the file types behave the same.
  Dialog->setOption(QFileDialog::DontUseNativeDialog, true);
  Dialog->setOption(QFileDialog::HideNameFilterDetails, true);
  // A file that does not exist yet may be named (a new DDR output).
  Dialog->setFileMode(QFileDialog::AnyFile);
  if (Request.Save) {
    Dialog->setAcceptMode(QFileDialog::AcceptSave);
    Dialog->setOption(QFileDialog::DontConfirmOverwrite, !Request.ConfirmReplace);
  } else {
    Dialog->setAcceptMode(QFileDialog::AcceptOpen);
  }
  QStringList Filters;
  if (Request.Filters.empty()) {
    Filters = FileTypeFilters();
  } else {
    for (const std::string& Filter : Request.Filters) Filters.append(FromEngine(Filter));
    // A name typed without an extension takes that of the type chosen.
    auto TakeSuffix = [Dialog](const QString& Filter) {
      const qsizetype Dot = Filter.lastIndexOf(QStringLiteral("*."));
      const qsizetype End = Filter.indexOf(QLatin1Char(')'), Dot);
      if (Dot >= 0 && End > Dot) Dialog->setDefaultSuffix(Filter.mid(Dot + 2, End - Dot - 2));
    };
    QObject::connect(Dialog, &QFileDialog::filterSelected, Dialog, TakeSuffix);
    const int Index = Request.FilterIndex >= 1 && Request.FilterIndex <= Filters.size()
                          ? Request.FilterIndex - 1
                          : 0;
    TakeSuffix(Filters[Index]);
  }
  Dialog->setNameFilters(Filters);
  const int Index = Request.FilterIndex >= 1 && Request.FilterIndex <= Filters.size()
                        ? Request.FilterIndex - 1
                        : 0;
  Dialog->selectNameFilter(Filters[Index]);
  return Dialog;
}

bool TQtFileDialog::Execute(const TFileDialogRequest& Request, std::string& Chosen) {
  std::unique_ptr<QFileDialog> Dialog(MakeFileDialog(FParent, Request));
  TArrowWhileOpen Arrow;
  if (Dialog->exec() != QDialog::Accepted) return false;
  const QStringList Files = Dialog->selectedFiles();
  if (Files.isEmpty()) return false;
  Chosen = ToEngine(Files.first());
  return true;
}

bool TQtFolderBrowser::Browse(const std::string& StartFolder, std::string& Chosen) {
  TArrowWhileOpen Arrow;
  const QString Folder = QFileDialog::getExistingDirectory(
      FParent, Caption(captions::HintBrowseDir), FromEngine(StartFolder),
      QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
  if (Folder.isEmpty()) return false;
  Chosen = ToEngine(Folder);
  return true;
}

// ---------------------------------------------------------------------------
// Printing

TQtPrinter::TQtPrinter(QWidget* Parent, TTextPane& Pane, TChartPanel& Chart)
    : FParent(Parent), FPane(Pane), FChart(Chart) {}

TPrintResult TQtPrinter::Print(TPrintSource Source, const std::string& Title, std::string& Reason) {
  QPrinter Printer(QPrinter::HighResolution);
  Printer.setDocName(FromEngine(Title));
  bool Confirmed = false;
  if (Confirm) {
    Confirmed = Confirm(Printer);
  } else {
    QPrintDialog Dialog(&Printer, FParent);
    TArrowWhileOpen Arrow;
    Confirmed = Dialog.exec() == QDialog::Accepted;
  }
  if (!Confirmed) return TPrintResult::Cancelled;
  if (Source == TPrintSource::Pane) return PrintPane(FPane, Printer, Reason);
  return PrintChart(FChart, Printer, Reason) ? TPrintResult::Printed : TPrintResult::Failed;
}

namespace {

// Why the printer cannot start: for a printer that writes a file (a PDF,
// or the spool file of a native printer that prints to one), the file that
// cannot be written. Empty when it can start.
std::string CannotStart(QPrinter& Printer) {
  const QString Name = Printer.outputFileName();
  if (Name.isEmpty()) return std::string();
  QFile Probe(Name);
  if (Probe.open(QIODevice::WriteOnly)) return std::string();
  return ToEngine(Name + QStringLiteral(": ") + Probe.errorString());
}

// What went wrong once the job ran, when the printer says so.
bool Finished(QPrinter& Printer, std::string& Reason) {
  if (Printer.printerState() != QPrinter::Error && Printer.printerState() != QPrinter::Aborted)
    return true;
  Reason = ToEngine(QStringLiteral("The printer ") + Printer.printerName() +
                    QStringLiteral(" did not print the job."));
  return false;
}

} // namespace

TPrintResult TQtPrinter::PrintPane(TTextPane& Pane, QPrinter& Printer, std::string& Reason) {
  Reason = CannotStart(Printer);
  if (!Reason.empty()) return TPrintResult::Failed;
  QPainter Painter;
  if (!Painter.begin(&Printer)) {
    Reason = ToEngine(QStringLiteral("The printer ") + Printer.printerName() +
                      QStringLiteral(" could not start."));
    return TPrintResult::Failed;
  }
  // The pane's fonts at the sizes they have on the screen, in points, so
  // the printer's resolution does not shrink them.
  auto PrintFont = [&Printer](const TLineStyle& Style) {
    QFont Font = TTextPane::FontFor(Style);
    if (Font.pixelSize() > 0) Font.setPointSizeF(Font.pixelSize() * 72.0 / 96.0);
    return QFont(Font, &Printer);
  };
  qreal LineHeight = 0, Ascent = 0;
  for (const TLineStyle& Style : {TLineStyle{}, TLineStyle{true, 10}}) {
    const QFontMetricsF Metrics(PrintFont(Style), &Printer);
    LineHeight = std::max(LineHeight, Metrics.lineSpacing());
    Ascent = std::max(Ascent, Metrics.ascent());
  }
  const QRectF Page = Painter.viewport();
  // A line wider than the page goes on below, as many characters to a
  // printed line as fit.
  const qreal CharWidth =
      QFontMetricsF(PrintFont(TLineStyle{}), &Printer).horizontalAdvance(QLatin1Char('M'));
  const qsizetype PerLine = std::max<qsizetype>(1, qsizetype(Page.width() / CharWidth));
  ILineSource& Lines = Pane.Lines();
  const std::int64_t Count = Lines.LineCount();
  constexpr std::int64_t Batch = 4096;
  IBusyCursor& Busy = Pane.Busy();
  TBusyScope Scope(Busy);
  qreal Y = 0;
  for (std::int64_t From = 0; From < Count; From += Batch) {
    std::string Text;
    Lines.GetLines(From, Batch, Text);
    std::string_view Rest(Text);
    for (std::int64_t Line = From; !Rest.empty(); ++Line) {
      const std::size_t End = Rest.find("\r\n");
      const QString Whole = FromEngine(Rest.substr(0, End));
      Rest.remove_prefix(End == std::string_view::npos ? Rest.size() : End + 2);
      Painter.setFont(PrintFont(Lines.Style(Line)));
      for (qsizetype At = 0; At == 0 || At < Whole.size(); At += PerLine) {
        if (Y + LineHeight > Page.height()) {
          // Each page reports progress; Cancel ends the job unprinted.
          if (Busy.Step(Line, Count)) {
            Printer.abort();
            Painter.end();
            return TPrintResult::Cancelled;
          }
          Printer.newPage();
          Y = 0;
        }
        Painter.drawText(QPointF(0, Y + Ascent), Whole.mid(At, PerLine));
        Y += LineHeight;
      }
    }
  }
  Painter.end();
  return Finished(Printer, Reason) ? TPrintResult::Printed : TPrintResult::Failed;
}

bool TQtPrinter::PrintChart(TChartPanel& Chart, QPrinter& Printer, std::string& Reason) {
  // A chart drawn just now may still have its layout pending.
  QCoreApplication::sendPostedEvents();
  QPainter Painter;
  if (!Painter.begin(&Printer)) {
    Reason = CannotStart(Printer);
    if (Reason.empty())
      Reason = ToEngine(QStringLiteral("The printer ") + Printer.printerName() +
                        QStringLiteral(" could not start."));
    return false;
  }
  Painter.setRenderHint(QPainter::Antialiasing);
  Chart.render(&Painter, QRectF(Painter.viewport()), Chart.viewport()->rect(), Qt::KeepAspectRatio);
  Painter.end();
  return Finished(Printer, Reason);
}

// ---------------------------------------------------------------------------
// Busy cursor and progress

TQtBusyCursor::~TQtBusyCursor() { CloseDialog(); }

void TQtBusyCursor::Begin() {
  if (FDepth++ > 0) return;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  FCancelled = false;
  FSince.start();
  FLastPump.start();
}

bool TQtBusyCursor::Step(long long Done, long long Total) {
  if (FDepth == 0) return false;
  if (FCancelled) return true;
  if (!FDialog) {
    if (FSince.elapsed() < FDelayMs) return false;
    FDialog = new QProgressDialog(FParent);
    FDialog->setObjectName(QStringLiteral("ProgressDialog"));
    FDialog->setWindowTitle(Caption(captions::ProgramName));
    FDialog->setCancelButtonText(Caption(captions::ProgressCancel));
    FDialog->setWindowModality(Qt::ApplicationModal);
    FDialog->setAutoClose(false);
    FDialog->setAutoReset(false);
    FDialog->setMinimumDuration(0);
    FDialog->setMinimumWidth(360);
    FDialog->show();
  } else if (FLastPump.elapsed() < 40) {
    return false;
  }
  FLastPump.restart();
  const std::string Message = FStatus ? FStatus->PanelText(1) : std::string();
  FDialog->setLabelText(Message.empty() ? Caption(captions::ProgressWorking) : FromEngine(Message));
  if (Total > 0) {
    FDialog->setRange(0, 1000);
    FDialog->setValue(int(std::min<long long>(1000, Done * 1000 / Total)));
  } else {
    FDialog->setRange(0, 0);
  }
  // Only the dialog takes input now: the window is blocked by it, so no
  // other command can start while this one runs.
  QCoreApplication::processEvents();
  if (OnStep && FDialog) OnStep(*FDialog);
  if (!FDialog || FDialog->wasCanceled()) FCancelled = true;
  return FCancelled;
}

void TQtBusyCursor::End() {
  if (FDepth == 0 || --FDepth > 0) return;
  CloseDialog();
  QApplication::restoreOverrideCursor();
}

void TQtBusyCursor::CloseDialog() {
  if (FDialog) {
    FDialog->hide();
    delete FDialog.data();
  }
}

} // namespace quorvin::gui
