#pragma once

#include <string>
#include <string_view>

#include "framework/window.h"

namespace qv {

// Rows of the unsorted list boxes that pair display texts with links. Rows are UTF-16 through
// the list box's wide messages, so a title in any script is kept as it is.
void ClearRows(const Window& list);
void AddRow(const Window& list, std::wstring_view text);
void InsertRow(const Window& list, int row, std::wstring_view text);
void DeleteRow(const Window& list, int row);
void SelectRow(const Window& list, int row);
int SelectedRow(const Window& list); // -1 when no row is selected
int RowCount(const Window& list);
std::wstring RowText(const Window& list, int row); // empty for a row that does not exist

} // namespace qv
