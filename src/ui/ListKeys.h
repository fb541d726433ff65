#pragma once

#include <functional>

class QWidget;

namespace zodra::ui {

// The keys of a list window's grid: Delete deletes the selected row, Enter (or Return) opens
// it. Either may be left empty; a key without an action goes on to the grid. While a cell is
// being edited its editor has the keys, so Delete edits the text there.
void OnListKeys(QWidget* grid, std::function<void()> onDelete, std::function<void()> onEnter = {});

}  // namespace zodra::ui
