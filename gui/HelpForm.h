// SPDX-License-Identifier: GPL-3.0-or-later
// The help window: the user manual built into the program, with a contents
// list, Back and Forward, and a find box that searches the page as you type
// and lists the pages of the whole manual that hold the text.
// One window for the program's life, shown again and raised for every topic.
#pragma once

#include <QStringList>
#include <QWidget>

#include <memory>
#include <string>

#include "core/UiServices.h"

class QHBoxLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QTextBrowser;
class QToolButton;
class QUrl;

namespace quorvin::gui {

class THelpForm final : public QWidget {
  Q_OBJECT
public:
  explicit THelpForm(QWidget* Parent = nullptr);

  // Shows a topic of the manual: "logprn.html", "index.html#window".
  void ShowTopic(const QString& Topic);

  // Where the find starts: at the current match (the text typed so far
  // grew), after it, or before it.
  enum class TFindFrom { Here, Next, Previous };
  // Selects the first match of the find box's text from the current one on,
  // wrapping at the end of the page, and marks every other match; false
  // when the page does not hold it.
  bool FindInPage(TFindFrom From);

  QTextBrowser& Browser() const { return *FBrowser; }
  QListWidget& Contents() const { return *lstContents; }
  QLineEdit& FindBox() const { return *edtFind; }
  QToolButton& BackButton() const { return *btnBack; }
  QToolButton& ForwardButton() const { return *btnForward; }

protected:
  bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
  QHBoxLayout* BuildBar();
  void BuildBrowser();
  void ConnectControls();
  void SourceChanged(const QUrl& Url);
  // Marks every match of the find box's text in the page.
  void MarkAll();
  void ShowFound(bool Found);
  // The contents list shows only the pages that hold the find box's text,
  // each with its number of matches; all pages when the box is empty.
  void ListPagesHolding();

  // The plain text of every page, in contents order, read when first needed.
  QStringList FPageTexts;
  bool FOnSomePage = true;

  QListWidget* lstContents = nullptr;
  QTextBrowser* FBrowser = nullptr;
  QToolButton* btnBack = nullptr;
  QToolButton* btnForward = nullptr;
  QToolButton* btnContents = nullptr;
  QLineEdit* edtFind = nullptr;
  QLabel* lblNotFound = nullptr;
};

// The manual as the window shows it: the help window, made when first
// asked for.
class TQtHelpViewer final : public IHelpViewer {
public:
  TQtHelpViewer();
  ~TQtHelpViewer() override;
  void ShowTopic(const std::string& Topic) override;
  // The window; null until a topic was shown.
  THelpForm* Form() const { return FForm.get(); }

private:
  std::unique_ptr<THelpForm> FForm;
};

} // namespace quorvin::gui
