#include "framework/list_rows.h"

namespace qv {

void ClearRows(const Window& list) {
    SendMessageW(list.hwnd(), LB_RESETCONTENT, 0, 0);
}

void AddRow(const Window& list, std::wstring_view text) {
    const std::wstring row(text);
    SendMessageW(list.hwnd(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.c_str()));
}

void InsertRow(const Window& list, int row, std::wstring_view text) {
    const std::wstring copy(text);
    SendMessageW(list.hwnd(), LB_INSERTSTRING, WPARAM(row), reinterpret_cast<LPARAM>(copy.c_str()));
}

void DeleteRow(const Window& list, int row) {
    SendMessageW(list.hwnd(), LB_DELETESTRING, WPARAM(row), 0);
}

void SelectRow(const Window& list, int row) {
    SendMessageW(list.hwnd(), LB_SETCURSEL, WPARAM(row), 0);
}

int SelectedRow(const Window& list) {
    const LRESULT row = SendMessageW(list.hwnd(), LB_GETCURSEL, 0, 0);
    return row == LB_ERR ? -1 : int(row);
}

int RowCount(const Window& list) {
    const LRESULT count = SendMessageW(list.hwnd(), LB_GETCOUNT, 0, 0);
    return count == LB_ERR ? 0 : int(count);
}

std::wstring RowText(const Window& list, int row) {
    if (row < 0) {
        return {};
    }
    const LRESULT length = SendMessageW(list.hwnd(), LB_GETTEXTLEN, WPARAM(row), 0);
    if (length == LB_ERR) {
        return {};
    }
    std::wstring text(size_t(length) + 1, L'\0');
    const LRESULT copied =
        SendMessageW(list.hwnd(), LB_GETTEXT, WPARAM(row), reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied == LB_ERR ? 0 : size_t(copied));
    return text;
}

} // namespace qv
