// SPDX-License-Identifier: GPL-3.0-or-later
// Names for screen readers: every control a user can reach gets a name, so
// a list or a combo box is announced by what it is for, not only by the
// value it shows.
#pragma once

class QWidget;

namespace quorvin::gui {

// True for a widget a user works with (buttons, boxes, lists, text areas),
// not for the parts Qt builds inside one of them.
bool IsInteractive(const QWidget& Widget);

// Names each interactive widget under Root that has no accessible name: by
// the label that stands for it, else by its hint, its tooltip or its text.
// A combo box's drop-down list takes the box's name.
void NameForAccessibility(QWidget& Root);

} // namespace quorvin::gui
