#pragma once

#include <cstdint>
#include <vector>

#include "framework/dialog.h"
#include "media/playlist_codec.h"
#include "res/resource.h"
#include "settings/feed_value.h"
#include "settings/playlist_edits.h"

namespace qv {

// The settings dialog, run modally each time Settings is chosen: the playlist on the left, the
// five feeds and their update period on the right, the monitored adapter and start-up below.
// Nothing is stored until OK, which writes the playlist file and every registry value.
class COptionsDlg : public CDialog {
public:
    COptionsDlg() : CDialog(IDD_OPTIONS) {}

    // The adapter the bar monitors: shown selected when no adapter is stored, and stored only
    // at OK.
    void SetMonitoredAdapter(uint32_t position) { monitoredAdapter_ = position; }

protected:
    MessageTable Messages() const override;
    void BindControls() override;
    BOOL OnInitDialog() override;

private:
    struct FeedRow {
        Window title, source;
    };

    void FillFrequencyList() const;
    bool FillPlaylist() const;
    void FillAdapterList() const;
    void LoadSettings();

    void OnUp();
    void OnDown();
    void OnDelete();
    void OnEditOrUpdate();
    void OnAddOrCancel();
    void OnBrowse();
    void OnAddFiles();
    void OnOK();
    void OnCancel();

    void EnterEditMode(int row);
    void LeaveEditMode();
    void EnableBrowsingControls(bool enable) const;
    void Update();
    void Add();
    void MoveEntry(const RowMove& move) const;
    void InsertEntry(int row, const PlaylistEntry& entry) const;
    void AppendEntry(const PlaylistEntry& entry) const;
    void DeleteEntry(int row) const;
    PlaylistEntry EntryAt(int row) const;
    PlaylistEntry FieldEntry() const;
    void ClearFields() const;
    bool RefuseEntry(const PlaylistEntry& entry, const char* emptyText,
                     const char* emptyCaption) const;
    bool SavePlaylist() const;
    std::vector<PlaylistEntry> Entries() const;
    FeedSlot FeedAt(int row) const;
    bool RefuseUnstorableFeed() const;
    void RefuseFeed(const std::string& text, const char* caption, const Window& field) const;
    uint32_t AdapterToStore() const;
    void SaveSettings() const;
    bool StartupChecked() const;
    int Ask(const char* text, const char* caption, UINT type) const;

    Window names_, links_, nameField_, linkField_, editButton_, addButton_;
    Window adapters_, frequencies_, startup_;
    FeedRow feeds_[5];
    bool playlistRead_ = false;
    uint32_t storedAdapter_ = 0; // kept while the list shows no adapter
    uint32_t monitoredAdapter_ = 0;
    bool editMode_ = false;
    int32_t editedIndex_ = 0;
};

} // namespace qv
