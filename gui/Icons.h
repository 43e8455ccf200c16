// SPDX-License-Identifier: GPL-3.0-or-later
// The program's own pictures: its icon and the tool-bar images, drawn from
// the SVG files in the resources; the swatches of the colour lists.
#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QString>

#include "chart/QtBridge.h"

class QComboBox;

namespace quorvin::gui {

QPixmap SvgPixmap(const QString& ResourcePath, const QSize& Size);
QIcon SvgIcon(const QString& ResourcePath);
QIcon ProgramIcon();
// A tool-bar image by name (":/resources/icons/<Name>.svg").
QIcon ToolIcon(const QString& Name);

// Fills a colour list with the sixteen names, each with its swatch.
void FillColourList(QComboBox& Box);

} // namespace quorvin::gui
