// SPDX-License-Identifier: GPL-3.0-or-later
// Files dropped on the window (or named on its command line) are chosen as
// Open or the page's Browse would choose them; and the open dialog's file
// types.
#include <QDir>
#include <QDropEvent>
#include <QFileDialog>
#include <QMenu>
#include <QMimeData>
#include <QUrl>

#include "WindowFixture.h"

namespace quorvin::gui::test {
namespace {

using namespace captions;

class DropTest : public WindowTest {
protected:
  // Drags Paths over the window and drops them; answers whether the window
  // took the drag.
  bool Drop(const QStringList& Paths) {
    QMimeData Data;
    QList<QUrl> Urls;
    for (const QString& P : Paths) Urls.append(QUrl::fromLocalFile(P));
    Data.setUrls(Urls);
    const QPoint At = Form->rect().center();
    QDragEnterEvent Enter(At, Qt::CopyAction, &Data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Form.get(), &Enter);
    if (!Enter.isAccepted()) return false;
    QDropEvent Dropped(At, Qt::CopyAction, &Data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Form.get(), &Dropped);
    // The files are opened once the drop is over.
    QTest::qWait(20);
    return true;
  }
  int Showing() { return Find<QTabWidget>("PgCntrlLog")->currentIndex(); }
};

TEST_F(DropTest, EachKindOfFileGoesToItsPage) {
  struct TRow {
    int From;
    const char* File;
    int To;
  };
  for (const TRow& R :
       {TRow{PageDDRLog, "SITE1.LOG", PageLogPrn}, TRow{PageRamCard, "site2.csv", PageLogPrn},
        TRow{PageLogStat, "SITE1.LOG", PageLogStat}, TRow{PageLogPrn, "SAMPLE.DDR", PageDDRLog},
        TRow{PageLogPlot, "RAMCARD.RCD", PageRamCard}}) {
    SCOPED_TRACE(std::string(R.File) + " from " + std::to_string(R.From));
    Start();
    Page(R.From);
    const std::string Path = Copy(R.File);
    ASSERT_TRUE(Drop({QString::fromStdString(Path)}));
    EXPECT_EQ(Showing(), R.To);
    if (R.To == PageDDRLog) {
      EXPECT_EQ(Find<QLineEdit>("edtDDRLog")->text().toStdString(), Path);
      EXPECT_EQ(Find<QLineEdit>("edtDDROutput")->text().toStdString(), Dir.File("SAMPLE.PRN"));
    } else if (R.To == PageRamCard) {
      EXPECT_EQ(Find<QListWidget>("chklbxRamFiles")->count(), 5);
    } else {
      EXPECT_EQ(Find<QLineEdit>("edtFilename")->text().toStdString(), Path);
      EXPECT_GT(Find<QListWidget>("chklbxSensors3")->count(), 0);
    }
    // No dialog was shown for it.
    EXPECT_TRUE(FileDialog.Requests.empty());
    EXPECT_TRUE(Dialog.Shown.empty());
    Close();
  }
}

TEST_F(DropTest, AnUnknownFileOnALogPageIsRefusedAsOpenWouldRefuseIt) {
  Start();
  const std::string Path = Dir.File("notes.dat");
  WriteWhole(Path, "x");
  ASSERT_TRUE(Drop({QString::fromStdString(Path)}));
  EXPECT_EQ(Dialog.Texts(),
            std::vector<std::string>{"File is invalid. Please select another file."});
}

TEST_F(DropTest, SeveralFilesAreOpenedInTurnAndTextIsNotTaken) {
  Start();
  ASSERT_TRUE(Drop(
      {QString::fromStdString(Copy("SAMPLE.DDR")), QString::fromStdString(Copy("SITE1.LOG"))}));
  EXPECT_EQ(Showing(), PageLogPrn);
  EXPECT_FALSE(Find<QLineEdit>("edtDDRLog")->text().isEmpty());
  EXPECT_FALSE(Find<QLineEdit>("edtFilename")->text().isEmpty());

  QMimeData Text;
  Text.setText("SITE1.LOG");
  QDragEnterEvent Enter(QPoint(5, 5), Qt::CopyAction, &Text, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(Form.get(), &Enter);
  EXPECT_FALSE(Enter.isAccepted());
}

TEST_F(DropTest, TheFirstFileNamedAtStartIsOpenedOnItsPage) {
  struct TRow {
    QStringList Files; // names relative to the scratch folder
    int To;
    const char* LogBox;
    const char* DDRBox;
  };
  for (const TRow& R : {TRow{{"SAMPLE.DDR"}, PageDDRLog, "", "SAMPLE.DDR"},
                        TRow{{"site2.csv", "SAMPLE.DDR"}, PageLogPrn, "site2.csv", ""},
                        TRow{{"RAMCARD.RCD"}, PageRamCard, "", ""}}) {
    SCOPED_TRACE(R.Files.join(u' ').toStdString());
    Start();
    for (const QString& F : R.Files) Copy(F.toStdString());
    const QString Was = QDir::currentPath();
    QDir::setCurrent(QString::fromStdString(Dir.File("")));
    Form->OpenStartFiles(R.Files);
    QDir::setCurrent(Was);
    EXPECT_EQ(Showing(), R.To);
    auto Box = [&](const char* Name) { return Find<QLineEdit>(Name)->text().toStdString(); };
    EXPECT_EQ(Box("edtFilename"), *R.LogBox ? Dir.File(R.LogBox) : "");
    EXPECT_EQ(Box("edtDDRLog"), *R.DDRBox ? Dir.File(R.DDRBox) : "");
    if (R.To == PageRamCard) {
      EXPECT_EQ(Find<QListWidget>("chklbxRamFiles")->count(), 5);
    }
    EXPECT_TRUE(Dialog.Shown.empty());
    Close();
  }
}

TEST_F(DropTest, TheRecentFilesMenuOffersTheOtherFilesNamedAtStartAndOpensTheOneChosen) {
  Start();
  Copy("site2.csv");
  Copy("SAMPLE.DDR");
  const QString Was = QDir::currentPath();
  QDir::setCurrent(QString::fromStdString(Dir.File("")));
  Form->OpenStartFiles({"site2.csv", "SAMPLE.DDR"});
  QDir::setCurrent(Was);
  auto* Recent = Find<QMenu>("mnuRecentFiles");
  auto Entries = [&] {
    QStringList Texts;
    for (QAction* Entry : Recent->actions()) Texts.append(Entry->text());
    return Texts;
  };
  const QString Csv = QString::fromStdString(Dir.File("site2.csv"));
  const QString Ddr = QString::fromStdString(Dir.File("SAMPLE.DDR"));
  EXPECT_EQ(Entries(), QStringList({"&1 " + Csv, "&2 " + Ddr}));
  Recent->actions()[1]->trigger();
  QTest::qWait(20);
  EXPECT_EQ(Showing(), PageDDRLog);
  EXPECT_EQ(Find<QLineEdit>("edtDDRLog")->text(), Ddr);
  EXPECT_EQ(Entries(), QStringList({"&1 " + Ddr, "&2 " + Csv}));
}

TEST(OpenDialog, ListsTheSixFileTypesInOrderAndTitlesByTag) {
  struct TRow {
    int Tag;
    const char* Title;
  };
  for (const TRow& R : {TRow{0, "Open"}, TRow{1, "Open"}, TRow{2, "Open"}, TRow{3, "Save As"}}) {
    TFileDialogRequest Request;
    Request.Title = R.Title;
    Request.FilterIndex = R.Tag < 1 ? 1 : R.Tag;
    std::unique_ptr<QFileDialog> Dialog(MakeFileDialog(nullptr, Request));
    EXPECT_EQ(Dialog->windowTitle(), R.Title);
    EXPECT_EQ(Dialog->fileMode(), QFileDialog::AnyFile);
    auto* Types = Dialog->findChild<QComboBox*>("fileTypeCombo");
    ASSERT_NE(Types, nullptr);
    QStringList Shown;
    for (int I = 0; I < Types->count(); ++I) Shown.append(Types->itemText(I));
    EXPECT_EQ(Shown, QStringList({"Log files (*.log;*.csv;*.txt)", "DDR files (*.ddr)",
                                  "Text files (*.prn)", "CSV files (*.CSV)", "Excel files (*.XLS)",
                                  "All Files (*.*)"}));
    EXPECT_EQ(Types->currentIndex(), Request.FilterIndex - 1);
  }
}

TEST(OpenDialog, AFolderThatIsGoneOpensItsNearestParentWithAnEmptyName) {
  TScratchDir Dir;
  TFileDialogRequest Request;
  Request.Title = "Open";
  Request.InitialDir = Dir / "cards/gone/";
  std::unique_ptr<QFileDialog> Dialog(MakeFileDialog(nullptr, Request));
  EXPECT_EQ(Dialog->directory().absolutePath(), QString::fromStdString(Dir.Path()));
  auto* Name = Dialog->findChild<QLineEdit*>("fileNameEdit");
  ASSERT_NE(Name, nullptr);
  EXPECT_EQ(Name->text(), "");
}

TEST(OpenDialog, FileTypesMatchNamesInAnyLetterCase) {
  TScratchDir Dir;
  for (const char* Name :
       {"SITE1.LOG", "site2.csv", "Notes.Txt", "SAMPLE.ddr", "a.prn", "README", "b.xls"})
    WriteWhole(Dir / Name, "x");
  auto Listed = [&](int Index) {
    const QString Filter = FileTypeFilters()[Index];
    const QString Patterns = Filter.mid(Filter.lastIndexOf(u'(') + 1).chopped(1);
    // Matched with case counting, as a file system with case would.
    return QDir(QString::fromStdString(Dir.Path()))
        .entryList(Patterns.split(u' '), QDir::Files | QDir::CaseSensitive, QDir::Name);
  };
  EXPECT_EQ(Listed(0), QStringList({"Notes.Txt", "SITE1.LOG", "site2.csv"}));
  EXPECT_EQ(Listed(1), QStringList({"SAMPLE.ddr"}));
  EXPECT_EQ(Listed(2), QStringList({"a.prn"}));
  EXPECT_EQ(Listed(3), QStringList({"site2.csv"}));
  EXPECT_EQ(Listed(4), QStringList({"b.xls"}));
  EXPECT_EQ(Listed(5).size(), 7);
}

} // namespace
} // namespace quorvin::gui::test
