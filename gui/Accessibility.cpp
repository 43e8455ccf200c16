// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/Accessibility.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QHash>
#include <QLabel>
#include <QLineEdit>

namespace quorvin::gui {

namespace {

// A caption as it reads: no mnemonic marker, no closing colon.
QString Spoken(QString Text) {
  Text.remove(u'&');
  Text = Text.trimmed();
  if (Text.endsWith(u':')) Text.chop(1);
  return Text;
}

bool InsideComboBox(const QWidget& Widget) {
  for (const QWidget* Up = Widget.parentWidget(); Up; Up = Up->parentWidget())
    if (qobject_cast<const QComboBox*>(Up)) return true;
  return false;
}

} // namespace

bool IsInteractive(const QWidget& Widget) {
  // Qt's own parts of a spin box or an editable combo box speak for it;
  // its extension buttons of menu and tool bars name themselves.
  if (Widget.objectName().startsWith(QStringLiteral("qt_"))) return false;
  const QWidget* Parent = Widget.parentWidget();
  if (qobject_cast<const QLineEdit*>(&Widget) &&
      (qobject_cast<const QAbstractSpinBox*>(Parent) || qobject_cast<const QComboBox*>(Parent)))
    return false;
  return qobject_cast<const QAbstractButton*>(&Widget) || qobject_cast<const QComboBox*>(&Widget) ||
         qobject_cast<const QLineEdit*>(&Widget) ||
         qobject_cast<const QAbstractSpinBox*>(&Widget) ||
         qobject_cast<const QAbstractScrollArea*>(&Widget);
}

void NameForAccessibility(QWidget& Root) {
  QHash<const QWidget*, QString> ByLabel;
  for (const QLabel* Label : Root.findChildren<QLabel*>())
    if (Label->buddy()) ByLabel.insert(Label->buddy(), Spoken(Label->text()));
  for (QWidget* Widget : Root.findChildren<QWidget*>()) {
    auto* Box = qobject_cast<QComboBox*>(Widget);
    // A combo box's list is named with the box, below.
    if (qobject_cast<QAbstractItemView*>(Widget) && InsideComboBox(*Widget)) continue;
    if (!IsInteractive(*Widget)) continue;
    QString Name = Widget->accessibleName();
    if (Name.isEmpty()) Name = ByLabel.value(Widget);
    if (Name.isEmpty()) Name = Spoken(Widget->statusTip());
    if (Name.isEmpty()) Name = Spoken(Widget->toolTip());
    if (Name.isEmpty())
      if (auto* Button = qobject_cast<QAbstractButton*>(Widget)) Name = Spoken(Button->text());
    if (Name.isEmpty()) continue;
    Widget->setAccessibleName(Name);
    if (Box && Box->view() && Box->view()->accessibleName().isEmpty())
      Box->view()->setAccessibleName(Name);
  }
}

} // namespace quorvin::gui
