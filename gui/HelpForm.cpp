// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/HelpForm.h"

#include <QBoxLayout>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTextBrowser>
#include <QTextDocument>
#include <QToolButton>
#include <QUrl>

#include "app/Captions.h"
#include "app/HelpTopics.h"
#include "chart/QtBridge.h"
#include "gui/Icons.h"

namespace quorvin::gui {

using namespace chart;

using namespace captions;

namespace {

// Where the manual lives among the program's resources.
const QString HelpRoot = QStringLiteral("qrc:/help/");

QString Text(std::string_view View) { return Caption(View); }

} // namespace

THelpForm::THelpForm(QWidget* Parent) : QWidget(Parent, Qt::Window) {
  setObjectName(QStringLiteral("HelpForm"));
  setWindowTitle(Text(HelpCaption));
  setWindowIcon(ProgramIcon());
  // The help window alone does not keep the program running.
  setAttribute(Qt::WA_QuitOnClose, false);
  resize(820, 620);

  QHBoxLayout* Bar = BuildBar();
  BuildBrowser();
  auto* Split = new QSplitter;
  Split->addWidget(lstContents);
  Split->addWidget(FBrowser);
  Split->setStretchFactor(1, 1);
  Split->setSizes({170, 650});

  auto* Layout = new QVBoxLayout(this);
  Layout->setContentsMargins(0, 0, 0, 0);
  Layout->setSpacing(0);
  Layout->addLayout(Bar);
  Layout->addWidget(Split, 1);

  ConnectControls();
}

// The bar above the page: back, forward, contents and the find box.
QHBoxLayout* THelpForm::BuildBar() {
  auto Button = [this](const char* Name, std::string_view Caption, QStyle::StandardPixmap Icon) {
    auto* B = new QToolButton;
    B->setObjectName(QString::fromLatin1(Name));
    B->setText(Text(Caption));
    B->setToolTip(Text(Caption));
    B->setIcon(style()->standardIcon(Icon));
    B->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    B->setAutoRaise(true);
    return B;
  };
  btnBack = Button("btnBack", HelpBack, QStyle::SP_ArrowBack);
  btnForward = Button("btnForward", HelpForward, QStyle::SP_ArrowForward);
  btnContents = Button("btnContents", HelpContents, QStyle::SP_DirHomeIcon);
  btnBack->setShortcut(QKeySequence::Back);
  btnForward->setShortcut(QKeySequence::Forward);
  btnBack->setEnabled(false);
  btnForward->setEnabled(false);

  edtFind = new QLineEdit;
  edtFind->setObjectName(QStringLiteral("edtFind"));
  edtFind->setClearButtonEnabled(true);
  edtFind->setToolTip(Text(HintHelpFind));
  edtFind->setMinimumWidth(200);
  edtFind->installEventFilter(this);
  auto* FindLabel = new QLabel(Text(HelpFind));
  FindLabel->setBuddy(edtFind);
  lblNotFound = new QLabel(Text(HelpNotFound));
  lblNotFound->setObjectName(QStringLiteral("lblNotFound"));
  lblNotFound->hide();

  auto* Bar = new QHBoxLayout;
  Bar->setContentsMargins(6, 4, 6, 4);
  Bar->addWidget(btnBack);
  Bar->addWidget(btnForward);
  Bar->addWidget(btnContents);
  Bar->addStretch(1);
  Bar->addWidget(FindLabel);
  Bar->addWidget(edtFind);
  Bar->addWidget(lblNotFound);

  return Bar;
}

// The list of topics and the page.
void THelpForm::BuildBrowser() {
  lstContents = new QListWidget;
  lstContents->setObjectName(QStringLiteral("lstContents"));
  for (const THelpPage& Page : HelpPages) {
    auto* Item = new QListWidgetItem(Text(Page.Title), lstContents);
    Item->setData(Qt::UserRole, Text(Page.File));
  }
  FBrowser = new QTextBrowser;
  FBrowser->setObjectName(QStringLiteral("txtHelp"));
  FBrowser->setOpenExternalLinks(true);
  // The current match stays plain to see while the typing goes on in the
  // find box.
  QPalette Colours = FBrowser->palette();
  for (QPalette::ColorRole Role : {QPalette::Highlight, QPalette::HighlightedText})
    Colours.setColor(QPalette::Inactive, Role, Colours.color(QPalette::Active, Role));
  FBrowser->setPalette(Colours);
  // Shaded examples and table heads in the desktop's own colours, so a
  // dark palette reads as well as a light one.
  FBrowser->document()->setDefaultStyleSheet(
      QStringLiteral("pre, .note { background-color: %1; color: %2; }\n"
                     "th { background-color: %3; color: %4; }\n")
          .arg(Colours.color(QPalette::AlternateBase).name(), Colours.color(QPalette::Text).name(),
               Colours.color(QPalette::Button).name(), Colours.color(QPalette::ButtonText).name()));
}

void THelpForm::ConnectControls() {
  connect(btnBack, &QToolButton::clicked, FBrowser, &QTextBrowser::backward);
  connect(btnForward, &QToolButton::clicked, FBrowser, &QTextBrowser::forward);
  connect(btnContents, &QToolButton::clicked, this, [this] { ShowTopic(Text(HelpContentsTopic)); });
  connect(FBrowser, &QTextBrowser::backwardAvailable, btnBack, &QWidget::setEnabled);
  connect(FBrowser, &QTextBrowser::forwardAvailable, btnForward, &QWidget::setEnabled);
  connect(FBrowser, &QTextBrowser::sourceChanged, this, &THelpForm::SourceChanged);
  // A click opens the page at its top even when the list already shows it
  // as the current one (after a link into the middle of the page).
  // While a text is looked for, the page opens at its first match.
  auto Open = [this](QListWidgetItem* Item) {
    if (!Item) return;
    ShowTopic(Item->data(Qt::UserRole).toString());
    if (!edtFind->text().isEmpty()) FindInPage(TFindFrom::Here);
  };
  connect(lstContents, &QListWidget::currentItemChanged, this, Open);
  connect(lstContents, &QListWidget::itemClicked, this, Open);
  connect(edtFind, &QLineEdit::textChanged, this, [this] {
    ListPagesHolding();
    FindInPage(TFindFrom::Here);
  });

  auto* Find = new QShortcut(QKeySequence::Find, this);
  connect(Find, &QShortcut::activated, this, [this] {
    edtFind->setFocus(Qt::ShortcutFocusReason);
    edtFind->selectAll();
  });
  auto* Next = new QShortcut(QKeySequence::FindNext, this);
  connect(Next, &QShortcut::activated, this, [this] { FindInPage(TFindFrom::Next); });
  auto* Previous = new QShortcut(QKeySequence::FindPrevious, this);
  connect(Previous, &QShortcut::activated, this, [this] { FindInPage(TFindFrom::Previous); });
}

void THelpForm::ShowTopic(const QString& Topic) { FBrowser->setSource(QUrl(HelpRoot + Topic)); }

void THelpForm::SourceChanged(const QUrl& Url) {
  const QString File = Url.fileName();
  {
    const QSignalBlocker Block(lstContents);
    int Row = -1;
    for (int I = 0; I < lstContents->count(); ++I)
      if (lstContents->item(I)->data(Qt::UserRole).toString() == File) Row = I;
    lstContents->setCurrentRow(Row);
  }
  const QString Title = FBrowser->documentTitle();
  setWindowTitle(Title.isEmpty() ? Text(HelpCaption)
                                 : Text(HelpCaption) + QStringLiteral(" - ") + Title);
  // The find text carries over to the new page; its matches are marked
  // there without moving away from the topic just opened.
  MarkAll();
  ShowFound(edtFind->text().isEmpty() || !FBrowser->extraSelections().isEmpty());
}

bool THelpForm::FindInPage(TFindFrom From) {
  const QString Wanted = edtFind->text();
  QTextCursor At = FBrowser->textCursor();
  if (Wanted.isEmpty()) {
    At.clearSelection();
    FBrowser->setTextCursor(At);
    MarkAll();
    ShowFound(true);
    return true;
  }
  QTextDocument* Page = FBrowser->document();
  QTextDocument::FindFlags Flags;
  if (From == TFindFrom::Previous) Flags |= QTextDocument::FindBackward;
  if (From == TFindFrom::Here) {
    // The text grew or shrank: the match may stay where it starts.
    At.setPosition(At.selectionStart());
  }
  QTextCursor Found = Page->find(Wanted, At, Flags);
  if (Found.isNull()) {
    // Wrap round to the other end of the page.
    QTextCursor End(Page);
    End.movePosition(From == TFindFrom::Previous ? QTextCursor::End : QTextCursor::Start);
    Found = Page->find(Wanted, End, Flags);
  }
  const bool Hit = !Found.isNull();
  if (!Hit) {
    // No match shows as a match; the place stays, for when a letter is
    // taken back.
    Found = FBrowser->textCursor();
    Found.setPosition(Found.selectionStart());
  }
  FBrowser->setTextCursor(Found);
  MarkAll();
  ShowFound(Hit);
  return Hit;
}

void THelpForm::MarkAll() {
  QList<QTextEdit::ExtraSelection> Marks;
  const QString Wanted = edtFind->text();
  if (!Wanted.isEmpty()) {
    QTextCharFormat Marked;
    Marked.setBackground(QColor(0xFF, 0xE8, 0x6B));
    QTextDocument* Page = FBrowser->document();
    for (QTextCursor C = Page->find(Wanted, 0); !C.isNull(); C = Page->find(Wanted, C))
      Marks.append({C, Marked});
  }
  FBrowser->setExtraSelections(Marks);
}

void THelpForm::ListPagesHolding() {
  if (FPageTexts.isEmpty()) {
    for (const THelpPage& Page : HelpPages) {
      QFile File(QStringLiteral(":/help/") + Text(Page.File));
      QTextDocument Document;
      if (File.open(QIODevice::ReadOnly)) Document.setHtml(QString::fromUtf8(File.readAll()));
      FPageTexts.append(Document.toPlainText());
    }
  }
  const QString Wanted = edtFind->text();
  FOnSomePage = Wanted.isEmpty();
  for (int Row = 0; Row < lstContents->count() && Row < FPageTexts.size(); ++Row) {
    QListWidgetItem* Item = lstContents->item(Row);
    const QString Title = Text(HelpPages[std::size_t(Row)].Title);
    const qsizetype Matches =
        Wanted.isEmpty() ? 0 : FPageTexts[Row].count(Wanted, Qt::CaseInsensitive);
    FOnSomePage = FOnSomePage || Matches > 0;
    Item->setHidden(!Wanted.isEmpty() && Matches == 0);
    Item->setText(Matches > 0 ? QStringLiteral("%1 (%2)").arg(Title).arg(Matches) : Title);
  }
}

void THelpForm::ShowFound(bool Found) {
  lblNotFound->setText(Text(FOnSomePage ? HelpNotOnPage : HelpNotFound));
  lblNotFound->setVisible(!Found);
  edtFind->setStyleSheet(Found ? QString() : QStringLiteral("QLineEdit { background: #ffd9d9; }"));
}

bool THelpForm::eventFilter(QObject* Watched, QEvent* Event) {
  if (Watched == edtFind && Event->type() == QEvent::KeyPress) {
    const auto* Key = static_cast<QKeyEvent*>(Event);
    if (Key->key() == Qt::Key_Return || Key->key() == Qt::Key_Enter) {
      FindInPage(Key->modifiers() & Qt::ShiftModifier ? TFindFrom::Previous : TFindFrom::Next);
      return true;
    }
    if (Key->key() == Qt::Key_Escape && !edtFind->text().isEmpty()) {
      edtFind->clear();
      return true;
    }
  }
  return QWidget::eventFilter(Watched, Event);
}

// ---------------------------------------------------------------------------

TQtHelpViewer::TQtHelpViewer() = default;
TQtHelpViewer::~TQtHelpViewer() = default;

void TQtHelpViewer::ShowTopic(const std::string& Topic) {
  if (!FForm) FForm = std::make_unique<THelpForm>();
  FForm->ShowTopic(FromEngine(Topic));
  FForm->setWindowState(FForm->windowState() & ~Qt::WindowMinimized);
  FForm->show();
  FForm->raise();
  FForm->activateWindow();
}

} // namespace quorvin::gui
