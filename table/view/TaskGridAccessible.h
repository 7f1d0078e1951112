#pragma once

namespace taskwick {

class TaskGrid;

// How assistive tools (a screen reader, through Qt's accessibility and AT-SPI on Linux) see the
// task grid: a table of the model's rows and columns, row 0 being the column captions, one cell
// per table cell with the cell's text as its name, the current cell selected and, while the grid
// has the focus, focused. The in-place editor is a line edit and speaks for itself.
//
// The grid calls the functions below at the moments their names give. Until something has asked
// Qt for the grid's accessible (a reader does as soon as it looks at the window), they do no
// more than find that there is none; events go out only while a reader listens.

// Lets Qt describe every TaskGrid as such a table. Calling it again does nothing.
void installTaskGridAccessibility();

// After any change of the table: announces rows and columns that came or went and every cell
// whose text changed since an assistive tool last saw it.
void announceTaskGridChange(TaskGrid& grid);

// After the current cell moved or went: the old cell is no longer selected, the new one is, and
// it takes the focus while the grid has it.
void announceTaskGridCurrentCell(TaskGrid& grid);

// When the grid has taken the focus. Qt announces the grid itself once the focus change is
// done; the current cell follows from the event loop, so that it is what the reader lands on.
void announceTaskGridFocusIn(TaskGrid& grid);

}  // namespace taskwick
