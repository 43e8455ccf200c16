// SPDX-License-Identifier: GPL-3.0-or-later
// Print: what each page and view prints, under which title, with one print
// dialog per Print and none where nothing is printed; and once for real,
// into PDF files read back with poppler's tools.
#include <QPrinter>
#include <QProcess>
#include <QProgressDialog>

#include "WindowFixture.h"

namespace quorvin::gui::test {
namespace {

using namespace captions;

struct TPrintRow {
  int Page;
  const char* File; // the log or DDR file chosen
  TActionId View;   // the view switched on first (actFileOpen: none)
  bool Printed;
  TPrintSource Source;
  std::string Title; // with {dir} for the scratch folder
};

class PrintTest : public WindowTest {
protected:
  void Choose(int P, const char* File) {
    Page(P == PageDDRLog ? PageDDRLog : PageLogPrn);
    OpenThroughDialog(Copy(File));
    if (P != PageDDRLog) {
      if (!Find<QCheckBox>("chkSelectAll")->isChecked()) ClickSelectAll();
      Page(P);
    }
  }
  static QString Tool(const QString& Program, const QStringList& Args) {
    QProcess P;
    P.start(Program, Args);
    if (!P.waitForFinished(20000)) return QString();
    return QString::fromUtf8(P.readAllStandardOutput());
  }
  static int PdfPages(const std::string& Pdf) {
    const QString Info = Tool(QStringLiteral("pdfinfo"), {QString::fromStdString(Pdf)});
    for (const QString& Line : Info.split(u'\n'))
      if (Line.startsWith(QStringLiteral("Pages:"))) return Line.mid(6).trimmed().toInt();
    return -1;
  }
  static QString PdfTitle(const std::string& Pdf) {
    const QString Info = Tool(QStringLiteral("pdfinfo"), {QString::fromStdString(Pdf)});
    for (const QString& Line : Info.split(u'\n'))
      if (Line.startsWith(QStringLiteral("Title:"))) return Line.mid(6).trimmed();
    return QString();
  }
  static QString PdfText(const std::string& Pdf, int Page) {
    return Tool(QStringLiteral("pdftotext"),
                {QStringLiteral("-layout"), QStringLiteral("-f"), QString::number(Page),
                 QStringLiteral("-l"), QString::number(Page), QString::fromStdString(Pdf),
                 QStringLiteral("-")});
  }
};

TEST_F(PrintTest, EachViewPrintsItsOwnContentUnderItsTitle) {
  const TPrintRow Rows[] = {
      {PageLogPrn, "SITE1.LOG", actOptionsDisplay, true, TPrintSource::Pane, "SITE1"},
      {PageLogPrn, "SITE1.LOG", actOptionsHeader, true, TPrintSource::Pane, "SITE1 Header"},
      {PageLogPrn, "site2.csv", actOptionsDisplay, true, TPrintSource::Pane, "SITE2"},
      {PageLogPlot, "SITE1.LOG", actOptionsGraph, true, TPrintSource::Chart, "SITE1"},
      {PageLogStat, "SITE1.LOG", actOptionsStats, true, TPrintSource::Pane, "SITE1 Statistics"},
      {PageDDRLog, "SAMPLE.DDR", actOptionsDisplay, true, TPrintSource::Pane, "{dir}SAMPLE.PRN"},
      {PageLogPrn, "SITE1.LOG", actFileOpen, false, TPrintSource::Pane, ""},
      {PageLogStat, "SITE1.LOG", actFileOpen, false, TPrintSource::Pane, ""},
      {PageDDRLog, "SAMPLE.DDR", actOptionsHeader, false, TPrintSource::Pane, ""},
      {PageRamCard, "SITE1.LOG", actFileOpen, false, TPrintSource::Pane, ""},
  };
  for (const TPrintRow& R : Rows) {
    SCOPED_TRACE(std::to_string(R.Page) + " " + R.File + " " + std::to_string(R.View));
    Start();
    Choose(R.Page, R.File);
    if (R.View != actFileOpen) Trigger(R.View);
    Printer.Jobs.clear();
    Trigger(actFilePrint);
    ASSERT_EQ(Printer.Jobs.size(), R.Printed ? 1u : 0u);
    if (R.Printed) {
      std::string Title = R.Title;
      if (auto At = Title.find("{dir}"); At != std::string::npos) Title.replace(At, 5, StartDir());
      EXPECT_EQ(Printer.Jobs[0].Source, R.Source);
      EXPECT_EQ(Printer.Jobs[0].Title, Title);
    }
    Close();
  }
}

TEST_F(PrintTest, WithoutAValidFileNothingIsPrinted) {
  Start();
  Trigger(actFilePrint);
  EXPECT_TRUE(Printer.Jobs.empty());
  EXPECT_EQ(Panel1(), "Error! Please select a valid file.");
}

class RealPrintTest : public PrintTest {
protected:
  int Dialogs = 0;
  std::string Pdf;
  void StartPrinting() {
    TInjectedServices S = Services();
    S.Printer = nullptr;
    Form = std::make_unique<TMainForm>(S);
    Form->FormCreate(StartDir(), StartDir());
    Form->show();
    Pdf = (Dir / "printed.pdf");
    ASSERT_NE(Form->Printer(), nullptr);
    // The print dialog, answered with a PDF file.
    Form->Printer()->Confirm = [this](QPrinter& P) {
      ++Dialogs;
      P.setOutputFormat(QPrinter::PdfFormat);
      P.setOutputFileName(QString::fromStdString(Pdf));
      return true;
    };
  }
};

TEST_F(RealPrintTest, TheTextPanePrintsOnPagesInItsFixedFont) {
  StartPrinting();
  OpenThroughDialog(Copy("SITE1.LOG"));
  ClickSelectAll();
  Trigger(actOptionsDisplay);
  Trigger(actFilePrint);
  EXPECT_EQ(Dialogs, 1);
  ASSERT_TRUE(fs::exists(Pdf));
  // 293 lines of 10-point text: several pages.
  const int Pages = PdfPages(Pdf);
  EXPECT_GE(Pages, 4);
  EXPECT_LE(Pages, 8);
  EXPECT_EQ(PdfTitle(Pdf), "SITE1");
  const QString First = PdfText(Pdf, 1);
  EXPECT_TRUE(First.contains("R630/R600 DATA FROM: SITE1 DATE: 051424 TO 051724"))
      << First.left(200).toStdString();
  EXPECT_TRUE(First.simplified().contains("\"DATE\", \"TIME\", \"TEMP\", \"RH\","))
      << First.left(400).toStdString();
  const QString Last = PdfText(Pdf, Pages).simplified();
  const QStringList Lines = PaneText().split(u'\n', Qt::SkipEmptyParts);
  EXPECT_TRUE(Last.contains(Lines.back().simplified())) << Last.toStdString();
}

// Each page reports progress; Cancel ends the job with no message.
TEST_F(RealPrintTest, CancelStopsThePrintOfThePane) {
  StartPrinting();
  OpenThroughDialog(Copy("SITE1.LOG"));
  ClickSelectAll();
  Trigger(actOptionsDisplay);
  Form->Busy().SetDelay(0);
  int Steps = 0;
  Form->Busy().OnStep = [&](QProgressDialog& Progress) {
    if (Steps++ == 0) Progress.cancel();
  };
  Trigger(actFilePrint);
  EXPECT_EQ(Dialogs, 1);
  EXPECT_EQ(Steps, 1);
  EXPECT_EQ(Panel1(), "");
  EXPECT_TRUE(Dialog.Shown.empty());
  EXPECT_EQ(Form->Busy().Dialog(), nullptr);
}

TEST_F(RealPrintTest, TheChartPrintsOnOnePageScaledToIt) {
  StartPrinting();
  OpenThroughDialog(Copy("SITE1.LOG"));
  ClickSelectAll();
  Page(PageLogPlot);
  Trigger(actOptionsGraph);
  Trigger(actFilePrint);
  EXPECT_EQ(Dialogs, 1);
  ASSERT_EQ(PdfPages(Pdf), 1);
  const QString Text = PdfText(Pdf, 1);
  EXPECT_TRUE(Text.contains("R630/R600 DATA FROM: SITE1")) << Text.toStdString();
  EXPECT_TRUE(Text.contains("Date and Time"));
  EXPECT_TRUE(Text.contains("TEMP"));
}

// A printer that cannot start (its output folder is missing here) is
// reported, for the pane and the chart, instead of passing for printed.
TEST_F(RealPrintTest, APrinterThatCannotStartIsReported) {
  StartPrinting();
  Pdf = Dir / "missing/printed.pdf";
  OpenThroughDialog(Copy("SITE1.LOG"));
  ClickSelectAll();
  for (int View : {int(actOptionsDisplay), int(actOptionsGraph)}) {
    SCOPED_TRACE(View);
    Page(View == actOptionsGraph ? PageLogPlot : PageLogPrn);
    Trigger(static_cast<captions::TActionId>(View));
    Dialog.Shown.clear();
    Trigger(actFilePrint);
    EXPECT_EQ(Panel1(), "Error! Unable to print.");
    ASSERT_EQ(Dialog.Shown.size(), 1u);
    EXPECT_EQ(Dialog.Shown[0].Text, "Error! Unable to print.");
    EXPECT_EQ(Dialog.Shown[0].Detail, Pdf + ": No such file or directory");
  }
  EXPECT_EQ(Dialogs, 2);
}

} // namespace
} // namespace quorvin::gui::test
