// SPDX-License-Identifier: GPL-3.0-or-later
// The display pane RedtDisplay: read-only plain text in a fixed-width font,
// no word wrap, both scroll bars. It shows a line source and paints only
// the lines in view, asking the source for them as they come into view, so
// a display of any length is on screen at once and scrolls anywhere at
// once. Lines appended one by one (a header, statistics, a DDR display)
// go into a line store of its own; a LOGPRN Display gives its own source.
// A selection of any size copies as the lines read (long ones after
// asking), Ctrl+F finds in the whole text, and printing asks for the lines
// page by page.
#pragma once

#include <QAbstractScrollArea>
#include <QFont>

#include <compare>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>

#include "core/LineStore.h"
#include "core/UiServices.h"

class QLabel;
class QLineEdit;
class QMenu;
class QToolButton;

namespace quorvin::gui {

class TTextPane final : public QAbstractScrollArea, public ITextPane {
  Q_OBJECT
public:
  // A place in the text: a line and a character of it.
  struct TPos {
    std::int64_t Line = 0;
    int Column = 0;
    auto operator<=>(const TPos&) const = default;
  };

  explicit TTextPane(QWidget* Parent = nullptr);
  ~TTextPane() override;

  void Clear() override;
  void AppendLine(std::string_view Line) override;
  void SetBold(bool Bold) override;
  void SetPointSize(int Size) override;
  bool TakesLineSource() const override { return true; }
  void ShowLines(std::shared_ptr<ILineSource> Source) override;
  void LinesAdded() override;

  // Brings the scroll range up to the lines there are.
  void Flush();
  // The whole text, lines ended by a line feed.
  QString Text();
  std::int64_t LineCount() const { return FSource->LineCount(); }
  ILineSource& Lines() { return *FSource; }
  QString LineText(std::int64_t Line);
  std::int64_t FirstVisibleLine() const;
  int VisibleLines() const;
  // Scrolls so Line is in view.
  void ScrollToLine(std::int64_t Line);

  void SelectAll();
  void Select(TPos Anchor, TPos Cursor);
  TPos Anchor() const { return FAnchor; }
  TPos Cursor() const { return FCursor; }
  bool HasSelection() const { return FAnchor != FCursor; }
  // The selected lines as they read, joined by line feeds; false when the
  // user declined a large copy or cancelled it.
  bool SelectedText(QString& Text);
  // Copies the selection to the clipboard.
  bool Copy();
  // Above this many characters a copy is put to the user first.
  static constexpr std::int64_t CopyAskChars = std::int64_t(32) << 20;
  // Asks whether to copy Lines lines of about Megabytes; the window's
  // question dialog unless a test puts an answer here.
  std::function<bool(std::int64_t Lines, std::int64_t Megabytes)> ConfirmLargeCopy;

  // The context menu: Copy, Select All, Find, and "Copy as table" when
  // TableText answers a text (the statistics report's table).
  QMenu* MakeContextMenu();
  std::function<QString()> TableText;

  // The find bar below the text (Ctrl+F), and a search from the cursor:
  // the next or the previous place of Text, in any letter case, going on
  // from the other end once. False when it is nowhere (or cancelled).
  void ShowFind();
  bool FindText(const QString& Text, bool Backward);
  QWidget* FindBar() const { return FFindBar; }
  // Long finds, copies and prints show progress here and can be cancelled.
  void UseBusyCursor(IBusyCursor* Busy) { FBusy = Busy; }
  IBusyCursor& Busy() { return FBusy ? *FBusy : FNoBusy; }

  // The font of lines in Style; FontFor of the default style is PaneFont.
  static QFont FontFor(const TLineStyle& Style);
  // "Courier New" 13 pixels high, or the system's fixed-width font at that
  // height where it does not exist.
  static QFont PaneFont();
  int LineHeight() const { return FLineHeight; }

protected:
  void paintEvent(QPaintEvent* Event) override;
  void resizeEvent(QResizeEvent* Event) override;
  void keyPressEvent(QKeyEvent* Event) override;
  void mousePressEvent(QMouseEvent* Event) override;
  void mouseMoveEvent(QMouseEvent* Event) override;
  void mouseDoubleClickEvent(QMouseEvent* Event) override;
  void contextMenuEvent(QContextMenuEvent* Event) override;
  void scrollContentsBy(int Dx, int Dy) override;

private:
  struct TBlock {
    std::int64_t First = 0;
    QStringList Lines;
  };
  const QString& CachedLine(std::int64_t Line);
  // Lines From to From + Count - 1 as text, fetched from the source.
  QStringList FetchLines(std::int64_t From, std::int64_t Count);
  void SourceChanged();
  void UpdateScrollBars();
  TPos PosAt(QPoint Point);
  TPos EndOf(std::int64_t Line);
  void MoveCursor(TPos To, bool Extend);
  void BuildFindBar();
  void PlaceFindBar();
  void FindFromBar(bool Backward);

  std::shared_ptr<TLineStore> FStore;
  std::shared_ptr<ILineSource> FSource;
  TLineStyle FStyle;
  std::deque<TBlock> FCache;
  int FLineHeight = 16;
  int FAscent = 12;
  int FCharWidth = 8;
  // The widest line seen, in characters, and the lines looked at for it.
  int FWidest = 0;
  std::int64_t FSampled = 0;
  bool FUpdateQueued = false;
  // Whether very large blocks have mappings of their own for a long store.
  bool FMapsLarge = false;
  TPos FAnchor, FCursor;
  IBusyCursor* FBusy = nullptr;
  TNoBusyCursor FNoBusy;
  QWidget* FFindBar = nullptr;
  QLineEdit* FFindEdit = nullptr;
  QLabel* FFindState = nullptr;
};

} // namespace quorvin::gui
