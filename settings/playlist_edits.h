#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

// The settings dialog edits the playlist in two index-aligned lists; these are the rules for
// where a row goes, which row is selected afterwards and what a chosen file is called.

// A row leaves `from` and is put back at `to`, which is then selected.
struct RowMove {
    int from;
    int to;
    bool operator==(const RowMove&) const = default;
};

// Nothing when the selected row (-1 for none) cannot move that way.
std::optional<RowMove> MoveUp(int selected);
std::optional<RowMove> MoveDown(int selected, int rowCount);

// After deleting a row: the row that moved up into its place, else the new last row, else none
// (-1).
int SelectionAfterDelete(int deleted, int rowCountAfter);

// An entry is stored only with both fields holding at least one character; blanks count.
bool EntryFieldsFilled(std::string_view name, std::string_view link);

// "C:\Music\song.mp3": Browse names it "song", Add + names it "song.mp3".
std::string FileTitle(std::string_view path);
std::string FileNameOf(std::string_view path);

// The full paths in the file dialog's answer to a multiple selection: either one full path, or
// the folder followed by the file names, each ended by a zero, the whole ended by one more.
std::vector<std::string> SelectedFilePaths(std::string_view answer);

// Whether the answer, in a buffer of the answer's size, runs to the buffer's end: the names did
// not fit. Windows then fails the dialog; Wine cuts the answer there and reports success.
bool AnswerFillsBuffer(std::string_view buffer);

} // namespace qv
