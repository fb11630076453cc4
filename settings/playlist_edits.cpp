#include "settings/playlist_edits.h"

namespace qv {

std::optional<RowMove> MoveUp(int selected) {
    if (selected <= 0) {
        return std::nullopt;
    }
    return RowMove{selected, selected - 1};
}

std::optional<RowMove> MoveDown(int selected, int rowCount) {
    if (selected < 0 || selected >= rowCount - 1) {
        return std::nullopt;
    }
    return RowMove{selected, selected + 1};
}

int SelectionAfterDelete(int deleted, int rowCountAfter) {
    if (deleted < rowCountAfter) {
        return deleted;
    }
    return rowCountAfter - 1;
}

bool EntryFieldsFilled(std::string_view name, std::string_view link) {
    return !name.empty() && !link.empty();
}

std::string FileNameOf(std::string_view path) {
    const size_t slash = path.find_last_of('\\');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string FileTitle(std::string_view path) {
    std::string title = FileNameOf(path);
    const size_t dot = title.find_last_of('.');
    if (dot != std::string::npos && dot > 0) { // ".profile" is a name, not an extension
        title.resize(dot);
    }
    return title;
}

namespace {

// The zero-ended pieces of the answer, up to the empty piece that ends it.
std::vector<std::string_view> AnswerPieces(std::string_view answer) {
    std::vector<std::string_view> pieces;
    while (!answer.empty()) {
        const size_t zero = answer.find('\0');
        const std::string_view piece = answer.substr(0, zero);
        if (piece.empty()) {
            break;
        }
        pieces.push_back(piece);
        if (zero == std::string_view::npos) {
            break;
        }
        answer.remove_prefix(zero + 1);
    }
    return pieces;
}

} // namespace

std::vector<std::string> SelectedFilePaths(std::string_view answer) {
    const std::vector<std::string_view> pieces = AnswerPieces(answer);
    if (pieces.size() == 1) {
        return {std::string(pieces.front())};
    }
    std::vector<std::string> paths;
    if (pieces.empty()) {
        return paths;
    }
    std::string folder(pieces.front());
    if (folder.back() != '\\') {
        folder.push_back('\\'); // a drive's root already ends in one
    }
    for (size_t i = 1; i < pieces.size(); ++i) {
        paths.push_back(folder + std::string(pieces[i]));
    }
    return paths;
}

bool AnswerFillsBuffer(std::string_view buffer) {
    const size_t end = buffer.find(std::string_view("\0\0", 2));
    return end == std::string_view::npos || end + 2 >= buffer.size();
}

} // namespace qv
