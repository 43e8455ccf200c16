// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/TextPane.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QFontInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <climits>
#include <cstring>

#include "app/Captions.h"
#include "chart/QtBridge.h"
#include "gui/ProcessMemory.h"

namespace quorvin::gui {

using namespace chart;

namespace {

// Lines fetched from the source at once, and fetched blocks kept: a screen
// or two of lines either way of the view.
constexpr std::int64_t BlockLines = 256;
constexpr std::size_t CachedBlocks = 16;
// Lines a find or a copy asks the source for at a time.
constexpr std::int64_t ScanLines = 4096;
// Lines looked at for the width of a text not held in memory.
constexpr std::int64_t WidthSample = 300;
// Room left of the text.
constexpr int Margin = 4;
// Lines held in memory from which they are a very long text (about 170,000
// lines of a hundred characters).
constexpr std::size_t MapFromBytes = 16 << 20;

// Engine text: plain ASCII as it is (the usual case, and quick), anything
// else as FromEngine reads it.
QString EngineLine(std::string_view Text) {
  for (const char C : Text)
    if (static_cast<unsigned char>(C) >= 0x80) return FromEngine(Text);
  return QString(QLatin1StringView(Text.data(), qsizetype(Text.size())));
}

} // namespace

QFont TTextPane::PaneFont() {
  QFont Font(QStringLiteral("Courier New"));
  Font.setPixelSize(13);
  if (QFontInfo(Font).family().compare(QStringLiteral("Courier New"), Qt::CaseInsensitive) != 0) {
    Font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    Font.setPixelSize(13);
  }
  Font.setStyleHint(QFont::TypeWriter);
  return Font;
}

QFont TTextPane::FontFor(const TLineStyle& Style) {
  QFont Font = PaneFont();
  if (Style.PointSize > 0) Font.setPointSize(Style.PointSize);
  if (Style.Bold) Font.setBold(true);
  return Font;
}

TTextPane::TTextPane(QWidget* Parent)
    : QAbstractScrollArea(Parent), FStore(std::make_shared<TLineStore>()), FSource(FStore) {
  setFont(PaneFont());
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setFocusPolicy(Qt::StrongFocus);
  viewport()->setCursor(Qt::IBeamCursor);
  viewport()->setBackgroundRole(QPalette::Base);
  viewport()->setAutoFillBackground(true);
  // Every line is as high as the highest of the styles the outputs use.
  for (const TLineStyle& Style : {TLineStyle{}, TLineStyle{true, 10}}) {
    const QFontMetrics Metrics(FontFor(Style));
    FLineHeight = std::max(FLineHeight, Metrics.lineSpacing());
    FAscent = std::max(FAscent, Metrics.ascent());
  }
  FCharWidth = QFontMetrics(FontFor(TLineStyle{false, 10})).horizontalAdvance(QLatin1Char('M'));
  BuildFindBar();
}

TTextPane::~TTextPane() = default;

void TTextPane::Clear() {
  FStore->Clear();
  // A very long text grew in mappings of its own, and the heap gives back
  // what its growth left; a shorter one leaves the heap's memory for the
  // next text.
  if (FMapsLarge) {
    MapLargeBlocks(false);
    ReleaseFreedMemory();
    FMapsLarge = false;
  }
  FStyle = TLineStyle{};
  FSource = FStore;
  SourceChanged();
}

void TTextPane::AppendLine(std::string_view Line) {
  if (FSource != FStore) {
    FSource = FStore;
    SourceChanged();
  }
  FStore->Append(Line, FStyle);
  if (!FMapsLarge && FStore->Bytes() >= MapFromBytes) {
    MapLargeBlocks(true);
    FMapsLarge = true;
  }
  FWidest = std::max(FWidest, int(std::min<std::size_t>(FStore->LongestLine(), INT_MAX / 64)));
  // The scroll range follows once per event turn, not once per line.
  if (!FUpdateQueued) {
    FUpdateQueued = true;
    QTimer::singleShot(0, this, [this] { Flush(); });
  }
}

void TTextPane::SetBold(bool Bold) { FStyle.Bold = Bold; }

void TTextPane::SetPointSize(int Size) {
  if (Size > 0) FStyle.PointSize = Size;
}

void TTextPane::ShowLines(std::shared_ptr<ILineSource> Source) {
  Clear();
  FSource = Source ? std::move(Source) : FStore;
  SourceChanged();
}

void TTextPane::LinesAdded() {
  // Lines a growing source had already counted stay as they were fetched;
  // those after them join the blocks that ended short.
  const bool ScreenShort = FCache.empty() || FCache.front().Lines.size() < BlockLines;
  FCache.clear();
  UpdateScrollBars();
  // Until the first screen is full it is painted at once, though the work
  // that counts the lines keeps the event loop waiting.
  if (ScreenShort && isVisible())
    viewport()->repaint();
  else
    viewport()->update();
}

void TTextPane::SourceChanged() {
  FCache.clear();
  FWidest = 0;
  FSampled = 0;
  FAnchor = FCursor = TPos{};
  verticalScrollBar()->setValue(0);
  horizontalScrollBar()->setValue(0);
  UpdateScrollBars();
  viewport()->update();
}

void TTextPane::Flush() {
  FUpdateQueued = false;
  UpdateScrollBars();
  viewport()->update();
}

void TTextPane::UpdateScrollBars() {
  const std::int64_t Count = LineCount();
  // The width of a text not held here is that of its widest lines among the
  // first and those shown so far.
  if (FSource != FStore && FSampled < std::min(Count, WidthSample)) {
    for (const QString& Line : FetchLines(FSampled, std::min(Count, WidthSample) - FSampled))
      FWidest = std::max(FWidest, int(Line.size()));
    FSampled = std::min(Count, WidthSample);
  }
  const int Visible = VisibleLines();
  QScrollBar* V = verticalScrollBar();
  V->setRange(0, int(std::clamp<std::int64_t>(Count - Visible, 0, INT_MAX)));
  V->setPageStep(std::max(1, Visible));
  V->setSingleStep(1);
  QScrollBar* H = horizontalScrollBar();
  H->setRange(0, std::max(0, Margin * 2 + FWidest * FCharWidth - viewport()->width()));
  H->setPageStep(std::max(1, viewport()->width()));
  H->setSingleStep(FCharWidth);
}

QStringList TTextPane::FetchLines(std::int64_t From, std::int64_t Count) {
  QStringList Lines;
  std::string Text;
  try {
    FSource->GetLines(From, Count, Text);
  } catch (const std::exception&) {
    // A source that cannot make its lines (its file gone, no memory) shows
    // none: the pane stays usable.
    return Lines;
  }
  std::string_view Rest(Text);
  while (!Rest.empty()) {
    const std::size_t End = Rest.find("\r\n");
    Lines.push_back(EngineLine(Rest.substr(0, End)));
    Rest.remove_prefix(End == std::string_view::npos ? Rest.size() : End + 2);
  }
  return Lines;
}

const QString& TTextPane::CachedLine(std::int64_t Line) {
  static const QString None;
  const std::int64_t First = Line - Line % BlockLines;
  auto Hit = std::find_if(FCache.begin(), FCache.end(),
                          [First](const TBlock& B) { return B.First == First; });
  if (Hit == FCache.end()) {
    if (FCache.size() >= CachedBlocks) FCache.pop_back();
    FCache.push_front(TBlock{First, FetchLines(First, BlockLines)});
    Hit = FCache.begin();
  }
  const std::int64_t At = Line - First;
  return At < Hit->Lines.size() ? Hit->Lines[qsizetype(At)] : None;
}

QString TTextPane::LineText(std::int64_t Line) { return CachedLine(Line); }

QString TTextPane::Text() {
  QString All;
  for (std::int64_t From = 0; From < LineCount(); From += ScanLines)
    for (const QString& Line : FetchLines(From, ScanLines)) All += Line + u'\n';
  return All;
}

std::int64_t TTextPane::FirstVisibleLine() const { return verticalScrollBar()->value(); }

int TTextPane::VisibleLines() const { return std::max(1, viewport()->height() / FLineHeight); }

void TTextPane::ScrollToLine(std::int64_t Line) {
  const std::int64_t Top = FirstVisibleLine();
  const int Visible = VisibleLines();
  if (Line < Top)
    verticalScrollBar()->setValue(int(std::min<std::int64_t>(Line, INT_MAX)));
  else if (Line >= Top + Visible)
    verticalScrollBar()->setValue(int(std::min<std::int64_t>(Line - Visible + 1, INT_MAX)));
}

void TTextPane::resizeEvent(QResizeEvent* Event) {
  QAbstractScrollArea::resizeEvent(Event);
  if (FFindBar->isVisible()) PlaceFindBar();
  UpdateScrollBars();
}

void TTextPane::scrollContentsBy(int, int) { viewport()->update(); }

void TTextPane::paintEvent(QPaintEvent*) {
  QPainter Painter(viewport());
  const std::int64_t Top = FirstVisibleLine();
  const std::int64_t Count = LineCount();
  const int X0 = Margin - horizontalScrollBar()->value();
  const TPos From = std::min(FAnchor, FCursor), To = std::max(FAnchor, FCursor);
  const QPalette& P = palette();
  bool Widened = false;
  for (std::int64_t Line = Top; Line < Count && Line <= Top + VisibleLines(); ++Line) {
    const QString& Text = CachedLine(Line);
    if (Text.size() > FWidest) {
      FWidest = int(Text.size());
      Widened = true;
    }
    const int Y = int(Line - Top) * FLineHeight;
    const TLineStyle Style = FSource->Style(Line);
    const QFont Font = FontFor(Style);
    const int W = QFontMetrics(Font).horizontalAdvance(QLatin1Char('M'));
    if (HasSelection() && Line >= From.Line && Line <= To.Line) {
      const int A = Line == From.Line ? From.Column : 0;
      // A line ending inside the selection shows its line end selected.
      const int B = Line == To.Line ? To.Column : int(Text.size()) + 1;
      Painter.fillRect(X0 + A * W, Y, (B - A) * W, FLineHeight, P.highlight());
    }
    Painter.setFont(Font);
    Painter.setPen(P.color(QPalette::Text));
    Painter.drawText(X0, Y + FAscent, Text);
    if (HasSelection() && Line >= From.Line && Line <= To.Line) {
      const int A = Line == From.Line ? From.Column : 0;
      const int B = Line == To.Line ? To.Column : int(Text.size());
      Painter.setPen(P.color(QPalette::HighlightedText));
      Painter.drawText(X0 + A * W, Y + FAscent, Text.mid(A, B - A));
    }
    if (Line == FCursor.Line && hasFocus())
      Painter.fillRect(X0 + FCursor.Column * W, Y, 1, FLineHeight, P.color(QPalette::Text));
  }
  if (Widened) QTimer::singleShot(0, this, [this] { UpdateScrollBars(); });
}

TTextPane::TPos TTextPane::EndOf(std::int64_t Line) {
  return TPos{Line, int(CachedLine(Line).size())};
}

TTextPane::TPos TTextPane::PosAt(QPoint Point) {
  const std::int64_t Count = LineCount();
  if (Count == 0) return TPos{};
  std::int64_t Line = FirstVisibleLine() + (Point.y() >= 0 ? Point.y() / FLineHeight : -1);
  Line = std::clamp<std::int64_t>(Line, 0, Count - 1);
  const int W = QFontMetrics(FontFor(FSource->Style(Line))).horizontalAdvance(QLatin1Char('M'));
  const int X = Point.x() + horizontalScrollBar()->value() - Margin;
  const int Column = (X + W / 2) / std::max(1, W);
  return TPos{Line, std::clamp(Column, 0, int(CachedLine(Line).size()))};
}

void TTextPane::MoveCursor(TPos To, bool Extend) {
  const std::int64_t Count = LineCount();
  if (Count == 0) return;
  To.Line = std::clamp<std::int64_t>(To.Line, 0, Count - 1);
  To.Column = std::clamp(To.Column, 0, int(CachedLine(To.Line).size()));
  FCursor = To;
  if (!Extend) FAnchor = To;
  ScrollToLine(To.Line);
  viewport()->update();
}

void TTextPane::Select(TPos Anchor, TPos Cursor) {
  MoveCursor(Anchor, false);
  MoveCursor(Cursor, true);
}

void TTextPane::SelectAll() {
  const std::int64_t Count = LineCount();
  if (Count == 0) return;
  FAnchor = TPos{};
  FCursor = EndOf(Count - 1);
  viewport()->update();
}

void TTextPane::mousePressEvent(QMouseEvent* Event) {
  if (Event->button() != Qt::LeftButton) return;
  MoveCursor(PosAt(Event->position().toPoint()), Event->modifiers() & Qt::ShiftModifier);
}

void TTextPane::mouseMoveEvent(QMouseEvent* Event) {
  if (!(Event->buttons() & Qt::LeftButton)) return;
  // Dragging past the top or the bottom scrolls a line at a time.
  MoveCursor(PosAt(Event->position().toPoint()), true);
}

void TTextPane::mouseDoubleClickEvent(QMouseEvent* Event) {
  // The word under the pointer: the run of non-blank characters.
  const TPos At = PosAt(Event->position().toPoint());
  const QString& Text = CachedLine(At.Line);
  int A = At.Column, B = At.Column;
  while (A > 0 && !Text[A - 1].isSpace()) --A;
  while (B < Text.size() && !Text[B].isSpace()) ++B;
  Select(TPos{At.Line, A}, TPos{At.Line, B});
}

void TTextPane::keyPressEvent(QKeyEvent* Event) {
  if (Event->matches(QKeySequence::Copy)) {
    Copy();
    return;
  }
  if (Event->matches(QKeySequence::SelectAll)) {
    SelectAll();
    return;
  }
  if (Event->matches(QKeySequence::Find)) {
    ShowFind();
    return;
  }
  if (Event->matches(QKeySequence::FindNext) || Event->matches(QKeySequence::FindPrevious)) {
    FindFromBar(Event->matches(QKeySequence::FindPrevious));
    return;
  }
  const bool Extend = Event->modifiers() & Qt::ShiftModifier;
  const bool Control = Event->modifiers() & Qt::ControlModifier;
  TPos To = FCursor;
  switch (Event->key()) {
  case Qt::Key_Up:
    --To.Line;
    break;
  case Qt::Key_Down:
    ++To.Line;
    break;
  case Qt::Key_PageUp:
    To.Line -= VisibleLines();
    break;
  case Qt::Key_PageDown:
    To.Line += VisibleLines();
    break;
  case Qt::Key_Left:
    --To.Column;
    break;
  case Qt::Key_Right:
    ++To.Column;
    break;
  case Qt::Key_Home:
    To.Column = 0;
    if (Control) To.Line = 0;
    break;
  case Qt::Key_End:
    if (Control) To.Line = LineCount() - 1;
    To.Column = INT_MAX;
    break;
  default:
    QAbstractScrollArea::keyPressEvent(Event);
    return;
  }
  MoveCursor(To, Extend);
}

QMenu* TTextPane::MakeContextMenu() {
  auto* Menu = new QMenu(this);
  Menu->addAction(Caption(captions::MenuPaneCopy), this, [this] { Copy(); })
      ->setEnabled(HasSelection());
  if (const QString Table = TableText ? TableText() : QString(); !Table.isEmpty())
    Menu->addAction(Caption(captions::MenuPaneCopyTable), this,
                    [Table] { QApplication::clipboard()->setText(Table); })
        ->setObjectName(QStringLiteral("mnuCopyTable"));
  Menu->addAction(Caption(captions::MenuPaneSelectAll), this, [this] { SelectAll(); });
  Menu->addAction(Caption(captions::MenuPaneFind), this, [this] { ShowFind(); });
  return Menu;
}

void TTextPane::contextMenuEvent(QContextMenuEvent* Event) {
  std::unique_ptr<QMenu> Menu(MakeContextMenu());
  Menu->exec(Event->globalPos());
}

bool TTextPane::SelectedText(QString& Text) {
  Text.clear();
  if (!HasSelection()) return true;
  const TPos From = std::min(FAnchor, FCursor), To = std::max(FAnchor, FCursor);
  const std::int64_t Lines = To.Line - From.Line + 1;
  const std::int64_t Chars = Lines * (FWidest + 1);
  if (Chars > CopyAskChars) {
    const std::int64_t Megabytes = Chars * 2 >> 20;
    const bool Yes =
        ConfirmLargeCopy
            ? ConfirmLargeCopy(Lines, Megabytes)
            : QMessageBox::question(this, Caption(captions::ProgramName),
                                    Caption(captions::MsgLargeCopyPrefix) + QString::number(Lines) +
                                        Caption(captions::MsgLargeCopyLines) +
                                        QString::number(Megabytes) +
                                        Caption(captions::MsgLargeCopySuffix)) == QMessageBox::Yes;
    if (!Yes) return false;
  }
  TBusyScope Scope(Busy());
  for (std::int64_t Line = From.Line; Line <= To.Line; Line += ScanLines) {
    const QStringList Block = FetchLines(Line, std::min(ScanLines, To.Line - Line + 1));
    for (qsizetype I = 0; I < Block.size(); ++I) {
      const std::int64_t L = Line + I;
      const int A = L == From.Line ? From.Column : 0;
      if (L == To.Line) {
        Text += Block[I].mid(A, To.Column - A);
      } else {
        Text += QStringView(Block[I]).mid(A);
        Text += u'\n';
      }
    }
    if (Busy().Step(Line - From.Line, Lines)) {
      Text.clear();
      return false;
    }
  }
  return true;
}

bool TTextPane::Copy() {
  QString Text;
  if (!HasSelection() || !SelectedText(Text)) return false;
  QApplication::clipboard()->setText(Text);
  return true;
}

// ---------------------------------------------------------------------------
// Find

void TTextPane::BuildFindBar() {
  FFindBar = new QWidget(this);
  FFindBar->setObjectName(QStringLiteral("FindBar"));
  auto* Layout = new QHBoxLayout(FFindBar);
  Layout->setContentsMargins(4, 2, 4, 2);
  auto* FindLabel = new QLabel(Caption(captions::FindLabel));
  Layout->addWidget(FindLabel);
  FFindEdit = new QLineEdit;
  FFindEdit->setObjectName(QStringLiteral("edtFind"));
  // Named for screen readers as its label reads.
  FindLabel->setBuddy(FFindEdit);
  FFindEdit->setAccessibleName(FindLabel->text().remove(u'&').remove(u':').trimmed());
  Layout->addWidget(FFindEdit, 1);
  auto Button = [&](std::string_view Text, const char* Name, auto Handler) {
    auto* B = new QToolButton;
    B->setText(Caption(Text));
    B->setObjectName(QLatin1StringView(Name));
    connect(B, &QToolButton::clicked, this, Handler);
    Layout->addWidget(B);
  };
  Button(captions::FindPrevious, "btnFindPrevious", [this] { FindFromBar(true); });
  Button(captions::FindNext, "btnFindNext", [this] { FindFromBar(false); });
  FFindState = new QLabel;
  FFindState->setObjectName(QStringLiteral("lblFindState"));
  Layout->addWidget(FFindState);
  Button(captions::FindClose, "btnFindClose", [this] {
    FFindBar->hide();
    setViewportMargins(0, 0, 0, 0);
    setFocus();
  });
  connect(FFindEdit, &QLineEdit::returnPressed, this,
          [this] { FindFromBar(QApplication::keyboardModifiers() & Qt::ShiftModifier); });
  FFindBar->hide();
}

void TTextPane::PlaceFindBar() {
  const int Height = FFindBar->sizeHint().height();
  setViewportMargins(0, 0, 0, Height);
  // Below the viewport and above the horizontal scroll bar.
  const QRect Area = viewport()->geometry();
  FFindBar->setGeometry(Area.left(), Area.bottom() + 1, Area.width(), Height);
}

void TTextPane::ShowFind() {
  PlaceFindBar();
  FFindBar->show();
  FFindState->clear();
  FFindEdit->setFocus();
  FFindEdit->selectAll();
}

void TTextPane::FindFromBar(bool Backward) {
  if (FFindEdit->text().isEmpty()) {
    ShowFind();
    return;
  }
  FindText(FFindEdit->text(), Backward);
}

bool TTextPane::FindText(const QString& Text, bool Backward) {
  FFindState->clear();
  const std::int64_t Count = LineCount();
  if (Text.isEmpty() || Count == 0) return false;
  // From the end of the selection forward, or from its start back; once
  // round the whole text, the line started from again last.
  const TPos Start = Backward ? std::min(FAnchor, FCursor) : std::max(FAnchor, FCursor);
  TBusyScope Scope(Busy());
  std::int64_t Done = 0;
  std::int64_t Line = Start.Line;
  bool Wrapped = false;
  while (Done <= Count) {
    const std::int64_t First = Backward ? std::max<std::int64_t>(0, Line - ScanLines + 1) : Line;
    const QStringList Block =
        FetchLines(First, Backward ? Line - First + 1 : std::min(ScanLines, Count - Line));
    for (qsizetype K = 0; K < Block.size(); ++K) {
      const qsizetype I = Backward ? Block.size() - 1 - K : K;
      const std::int64_t L = First + I;
      const bool Origin = L == Start.Line && Done + K == 0;
      const bool Last = L == Start.Line && Done + K == Count;
      qsizetype At;
      if (Backward)
        At = Origin ? (Start.Column > 0
                           ? Block[I].lastIndexOf(Text, Start.Column - 1, Qt::CaseInsensitive)
                           : -1)
                    : Block[I].lastIndexOf(Text, -1, Qt::CaseInsensitive);
      else
        At = Block[I].indexOf(Text, Origin ? Start.Column : 0, Qt::CaseInsensitive);
      // Back at the line started from: only the part not searched yet.
      if (Last && At >= 0 && (Backward ? At < Start.Column : At >= Start.Column)) At = -1;
      if (At >= 0) {
        Select(TPos{L, int(At)}, TPos{L, int(At + Text.size())});
        if (Wrapped) FFindState->setText(Caption(captions::FindWrapped));
        return true;
      }
      if (Last) break;
    }
    Done += Block.size();
    if (Block.isEmpty() || Busy().Step(Done, Count)) break;
    if (Backward) {
      Line = First - 1;
      if (Line < 0) {
        Line = Count - 1;
        Wrapped = true;
      }
    } else {
      Line = First + Block.size();
      if (Line >= Count) {
        Line = 0;
        Wrapped = true;
      }
    }
  }
  FFindState->setText(Caption(captions::FindNotFound));
  return false;
}

} // namespace quorvin::gui
