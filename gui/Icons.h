// The program's own pictures: its icon and the tool-bar images, drawn from
// the SVG files in the resources; the swatches of the colour lists.
#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QString>

class QComboBox;

namespace quorvin::gui {

QPixmap SvgPixmap(const QString& ResourcePath, const QSize& Size);
QIcon SvgIcon(const QString& ResourcePath);
QIcon ProgramIcon();
// A tool-bar image by name (":/resources/icons/<Name>.svg").
QIcon ToolIcon(const QString& Name);

// The colour of entry Index of the colour lists (the sixteen basic colours
// in the order of ColourNames); black for an index out of range.
QColor ListColour(int Index);
// Fills a colour list with the sixteen names, each with its swatch.
void FillColourList(QComboBox& Box);

} // namespace quorvin::gui
