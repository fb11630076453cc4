#include "settings/options_dlg.h"

#include <string>

#include "framework/list_rows.h"
#include "framework/wide_text.h"
#include "media/playlist_file.h"
#include "monitor/adapter_monitor.h"
#include "settings/file_choice.h"
#include "settings/option_values.h"
#include "settings/settings_store.h"
#include "settings/update_frequency.h"

namespace qv {

namespace {

// The feed rows top to bottom: their ids do not follow that order.
constexpr int kFeedRowIds[5][2] = {
    {IDC_OPTIONS_FEED1_TITLE, IDC_OPTIONS_FEED1_SOURCE},
    {IDC_OPTIONS_FEED2_TITLE, IDC_OPTIONS_FEED2_SOURCE},
    {IDC_OPTIONS_FEED3_TITLE, IDC_OPTIONS_FEED3_SOURCE},
    {IDC_OPTIONS_FEED4_TITLE, IDC_OPTIONS_FEED4_SOURCE},
    {IDC_OPTIONS_FEED5_TITLE, IDC_OPTIONS_FEED5_SOURCE},
};

// The playlist controls that only work outside edit mode.
constexpr int kBrowsingControlIds[] = {IDC_OPTIONS_NAMES,  IDC_OPTIONS_UP,
                                       IDC_OPTIONS_DOWN,   IDC_OPTIONS_DELETE,
                                       IDC_OPTIONS_BROWSE, IDC_OPTIONS_ADD_FILES};

void AddChoice(const Window& combo, const std::string& text) {
    SendMessageA(combo.hwnd(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

int ChoiceCount(const Window& combo) {
    const LRESULT count = SendMessageA(combo.hwnd(), CB_GETCOUNT, 0, 0);
    return count == CB_ERR ? 0 : int(count);
}

void SelectStoredChoice(const Window& combo, uint32_t stored) {
    SendMessageA(combo.hwnd(), CB_SETCURSEL, WPARAM(ListPosition(stored, ChoiceCount(combo))), 0);
}

uint32_t StoredChoice(const Window& combo) {
    const LRESULT selected = SendMessageA(combo.hwnd(), CB_GETCURSEL, 0, 0);
    return StoredPosition(selected == CB_ERR ? -1 : int(selected));
}

} // namespace

MessageTable COptionsDlg::Messages() const {
    static constexpr MessageEntry table[] = {
        OnCommand<IDC_OPTIONS_UP, &COptionsDlg::OnUp>(),
        OnCommand<IDC_OPTIONS_DOWN, &COptionsDlg::OnDown>(),
        OnCommand<IDC_OPTIONS_DELETE, &COptionsDlg::OnDelete>(),
        OnCommand<IDC_OPTIONS_EDIT, &COptionsDlg::OnEditOrUpdate>(),
        OnNotify<IDC_OPTIONS_NAMES, LBN_DBLCLK, &COptionsDlg::OnEditOrUpdate>(),
        OnCommand<IDC_OPTIONS_ADD, &COptionsDlg::OnAddOrCancel>(),
        OnCommand<IDC_OPTIONS_BROWSE, &COptionsDlg::OnBrowse>(),
        OnCommand<IDC_OPTIONS_ADD_FILES, &COptionsDlg::OnAddFiles>(),
        OnCommand<IDOK, &COptionsDlg::OnOK>(),
        OnCommand<IDCANCEL, &COptionsDlg::OnCancel>(),
    };
    return table;
}

void COptionsDlg::BindControls() {
    Bind(IDC_OPTIONS_NAMES, names_);
    Bind(IDC_OPTIONS_LINKS, links_);
    Bind(IDC_OPTIONS_NAME, nameField_);
    Bind(IDC_OPTIONS_LINK, linkField_);
    Bind(IDC_OPTIONS_EDIT, editButton_);
    Bind(IDC_OPTIONS_ADD, addButton_);
    Bind(IDC_OPTIONS_ADAPTER, adapters_);
    Bind(IDC_OPTIONS_FREQUENCY, frequencies_);
    Bind(IDC_OPTIONS_STARTUP, startup_);
    for (int row = 0; row < 5; ++row) {
        Bind(kFeedRowIds[row][0], feeds_[row].title);
        Bind(kFeedRowIds[row][1], feeds_[row].source);
    }
}

BOOL COptionsDlg::OnInitDialog() {
    editMode_ = false; // every opening starts outside edit mode; a pending edit was dropped
    FillFrequencyList();
    // A playlist file that cannot be read has been reported; the settings still load, so that
    // OK saves what the user sees rather than blanks.
    playlistRead_ = FillPlaylist();
    FillAdapterList();
    LoadSettings();
    return TRUE;
}

void COptionsDlg::FillFrequencyList() const {
    for (const UpdateFrequency& frequency : kUpdateFrequencies) {
        AddChoice(frequencies_, frequency.label);
    }
    SendMessageA(frequencies_.hwnd(), CB_SETCURSEL, 0, 0);
}

bool COptionsDlg::FillPlaylist() const {
    ClearRows(names_);
    ClearRows(links_);
    const auto entries = ReadPlaylistFile();
    if (!entries) {
        return false;
    }
    for (const PlaylistEntry& entry : *entries) {
        AppendEntry(entry);
    }
    SelectRow(names_, 0);
    return true;
}

void COptionsDlg::FillAdapterList() const {
    for (const std::string& description : ReadInterfaceDescriptions()) {
        AddChoice(adapters_, description);
    }
}

void COptionsDlg::LoadSettings() {
    const SettingsReader reader;
    const bool startup = reader.ReadSettingNumber(kStartupSetting, 0) != 0;
    SendMessageA(startup_.hwnd(), BM_SETCHECK, startup ? BST_CHECKED : BST_UNCHECKED, 0);
    storedAdapter_ = reader.ReadSettingNumber(kNicAdapterSetting, monitoredAdapter_);
    SelectStoredChoice(adapters_, storedAdapter_);
    SelectStoredChoice(frequencies_, reader.ReadSettingNumber(kUpdateFrequencySetting, 0));
    for (int row = 0; row < 5; ++row) {
        const FeedSlot slot = reader.ReadFeedSlot(row + 1);
        feeds_[row].title.SetText(FromUtf8(slot.title));
        feeds_[row].source.SetText(FromUtf8(slot.source));
    }
}

void COptionsDlg::OnUp() {
    if (const auto move = MoveUp(SelectedRow(names_))) {
        MoveEntry(*move);
    }
}

void COptionsDlg::OnDown() {
    if (const auto move = MoveDown(SelectedRow(names_), RowCount(names_))) {
        MoveEntry(*move);
    }
}

void COptionsDlg::OnDelete() {
    const int row = SelectedRow(names_);
    if (row < 0) {
        return; // nothing to ask about
    }
    if (Ask("Delete the selected playlist entry?", "Deleting Entry", MB_YESNO | MB_ICONQUESTION) !=
        IDYES) {
        return;
    }
    DeleteEntry(row);
    SelectRow(names_, SelectionAfterDelete(row, RowCount(names_)));
}

void COptionsDlg::OnEditOrUpdate() {
    if (editMode_) {
        Update();
        return;
    }
    editedIndex_ = SelectedRow(names_);
    if (editedIndex_ >= 0) {
        EnterEditMode(editedIndex_);
    }
}

void COptionsDlg::OnAddOrCancel() {
    if (editMode_) {
        LeaveEditMode(); // the entry keeps its old name and link
    } else {
        Add();
    }
}

void COptionsDlg::OnBrowse() {
    if (const auto path = ChooseOneFile(hwnd_)) {
        nameField_.SetText(FromUtf8(FileTitle(*path)));
        linkField_.SetText(FromUtf8(*path));
    }
}

void COptionsDlg::OnAddFiles() {
    const ChosenFiles chosen = ChooseFiles(hwnd_);
    if (chosen.tooMany) {
        Ask("The selected files are too many to add at once; please add them in smaller groups.",
            "Too Many Files", MB_OK | MB_ICONSTOP);
        return;
    }
    if (chosen.paths.empty()) {
        return;
    }
    for (const std::string& path : chosen.paths) {
        AppendEntry({FileNameOf(path), path});
    }
    SelectRow(names_, RowCount(names_) - 1);
}

void COptionsDlg::OnOK() {
    if (RefuseUnstorableFeed() || !SavePlaylist()) {
        return;
    }
    SaveSettings();
    EndDialog(IDOK);
}

void COptionsDlg::OnCancel() {
    EndDialog(IDCANCEL);
}

void COptionsDlg::EnterEditMode(int row) {
    const PlaylistEntry entry = EntryAt(row);
    nameField_.SetText(FromUtf8(entry.name));
    linkField_.SetText(FromUtf8(entry.link));
    EnableBrowsingControls(false);
    editButton_.SetText("&Update");
    addButton_.SetText("&Cancel");
    editMode_ = true;
    SelectRow(names_, row);
}

void COptionsDlg::LeaveEditMode() {
    ClearFields();
    EnableBrowsingControls(true);
    SelectRow(names_, editedIndex_);
    editButton_.SetText("Ed&it");
    addButton_.SetText("&Add");
    editMode_ = false;
}

void COptionsDlg::EnableBrowsingControls(bool enable) const {
    for (const int id : kBrowsingControlIds) {
        EnableWindow(Item(id), enable);
    }
}

void COptionsDlg::Update() {
    const PlaylistEntry entry = FieldEntry();
    if (RefuseEntry(entry, "Playlist items cannot be updated with empty values", "Cannot Update")) {
        return;
    }
    DeleteEntry(editedIndex_);
    InsertEntry(editedIndex_, entry);
    LeaveEditMode();
}

void COptionsDlg::Add() {
    const PlaylistEntry entry = FieldEntry();
    if (RefuseEntry(entry, "Playlist item cannot be empty", "Error Adding")) {
        return;
    }
    AppendEntry(entry);
    SelectRow(names_, RowCount(names_) - 1);
    ClearFields();
}

void COptionsDlg::MoveEntry(const RowMove& move) const {
    const PlaylistEntry entry = EntryAt(move.from);
    DeleteEntry(move.from);
    InsertEntry(move.to, entry);
    SelectRow(names_, move.to);
}

void COptionsDlg::InsertEntry(int row, const PlaylistEntry& entry) const {
    InsertRow(names_, row, FromUtf8(entry.name));
    InsertRow(links_, row, FromUtf8(entry.link));
}

void COptionsDlg::AppendEntry(const PlaylistEntry& entry) const {
    AddRow(names_, FromUtf8(entry.name));
    AddRow(links_, FromUtf8(entry.link));
}

void COptionsDlg::DeleteEntry(int row) const {
    DeleteRow(names_, row);
    DeleteRow(links_, row);
}

PlaylistEntry COptionsDlg::EntryAt(int row) const {
    return {Utf8(RowText(names_, row)), Utf8(RowText(links_, row))};
}

PlaylistEntry COptionsDlg::FieldEntry() const {
    return {Utf8(nameField_.Text()), Utf8(linkField_.Text())};
}

void COptionsDlg::ClearFields() const {
    nameField_.SetText("");
    linkField_.SetText("");
}

// An entry needs both fields, and neither may hold one of the file's tags, which would cut the
// entry or split it into others when the file is read back.
bool COptionsDlg::RefuseEntry(const PlaylistEntry& entry, const char* emptyText,
                              const char* emptyCaption) const {
    if (!EntryFieldsFilled(entry.name, entry.link)) {
        Ask(emptyText, emptyCaption, MB_OK | MB_ICONSTOP);
        return true;
    }
    if (HoldsPlaylistTag(entry.name) || HoldsPlaylistTag(entry.link)) {
        Ask("Playlist items cannot contain <song>, </song>, <link> or </link>.",
            "Invalid Playlist Item", MB_OK | MB_ICONSTOP);
        return true;
    }
    return false;
}

// A file that could not be read is never replaced: it may hold the user's whole playlist, of
// which the empty list shows nothing. False when the dialog must stay open: a failed write
// has been reported and the registry is left as it was.
bool COptionsDlg::SavePlaylist() const {
    if (playlistRead_) {
        return WritePlaylistFile(Entries());
    }
    if (RowCount(names_) > 0) {
        Ask("The playlist file could not be read, so the entries added to it were not saved.",
            "Playlist Not Saved", MB_OK | MB_ICONEXCLAMATION);
    }
    return true;
}

std::vector<PlaylistEntry> COptionsDlg::Entries() const {
    std::vector<PlaylistEntry> entries;
    const int count = RowCount(names_);
    for (int row = 0; row < count; ++row) {
        entries.push_back(EntryAt(row));
    }
    return entries;
}

// A caret in a title would split the stored value in the wrong place, and a value longer than
// a text reads back would come back empty: the row is named, and nothing is saved.
bool COptionsDlg::RefuseUnstorableFeed() const {
    std::vector<FeedSlot> rows;
    for (int row = 0; row < 5; ++row) {
        rows.push_back(FeedAt(row));
    }
    if (const std::optional<int> row = FeedRowWithCaretInTitle(rows)) {
        RefuseFeed(CaretInTitleMessage(*row), "Invalid Feed Title", feeds_[*row - 1].title);
        return true;
    }
    if (const std::optional<int> row = FeedRowTooLongToStore(rows)) {
        RefuseFeed(FeedTooLongMessage(*row), "Feed Too Long", feeds_[*row - 1].source);
        return true;
    }
    if (const std::optional<int> row = FeedRowWithUnusableSource(rows)) {
        RefuseFeed(UnusableSourceMessage(*row), "Invalid Feed Source", feeds_[*row - 1].source);
        return true;
    }
    return false;
}

// The field to mend is focused with its text selected.
void COptionsDlg::RefuseFeed(const std::string& text, const char* caption,
                             const Window& field) const {
    Ask(text.c_str(), caption, MB_OK | MB_ICONSTOP);
    SetFocus(field.hwnd());
    SendMessageA(field.hwnd(), EM_SETSEL, 0, -1);
}

void COptionsDlg::SaveSettings() const {
    {
        const SettingsWriter writer;
        writer.WriteSettingNumber(kStartupSetting, StartupChecked() ? 1 : 0);
        writer.WriteSettingNumber(kNicAdapterSetting, AdapterToStore());
        writer.WriteSettingNumber(kUpdateFrequencySetting, StoredChoice(frequencies_));
        for (int row = 0; row < 5; ++row) {
            writer.WriteFeedSlot(row + 1, FeedAt(row));
        }
    }
    WriteStartupEntry(StartupChecked());
}

// An adapter missing from today's table (unplugged, or the table could not be read) stays the
// one stored until the user picks another.
uint32_t COptionsDlg::AdapterToStore() const {
    const uint32_t chosen = StoredChoice(adapters_);
    return chosen == StoredPosition(-1) ? storedAdapter_ : chosen;
}

bool COptionsDlg::StartupChecked() const {
    return SendMessageA(startup_.hwnd(), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// The feed row (0-based) as typed: a title in any script is kept.
FeedSlot COptionsDlg::FeedAt(int row) const {
    return {Utf8(feeds_[row].title.Text()), Utf8(feeds_[row].source.Text())};
}

int COptionsDlg::Ask(const char* text, const char* caption, UINT type) const {
    return MessageBoxW(hwnd_, Widen(text).c_str(), Widen(caption).c_str(), type);
}

} // namespace qv
