#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "framework/dialog.h"
#include "framework/animation.h"
#include "framework/panel_rest.h"
#include "media/browser_dlg.h"
#include "news/feed_rows_cache.h"
#include "news/feed_worker.h"
#include "news/news_layout.h"
#include "news/tab_strip_images.h"
#include "news/tab_tips.h"
#include "res/resource.h"

namespace qv {

// The timers of the news panel.
enum NewsTimer : UINT_PTR {
    UpdateTimer = 1,
    FirstRunTimer = 2,
    ResumeRunTimer = 3,
    ListRowsTimer = 4,
    NewsSlideInTimer = SlideInTimer,
    NewsSlideOutTimer = SlideOutTimer,
};

// After a wake the network needs a few seconds to come back before the run that was due.
inline constexpr UINT kResumeRunDelayMs = 5000;

// The worker's word that a run, or the reading of one feed file, has ended.
inline constexpr UINT kFeedRunEndedMessage = WM_APP + 40;
inline constexpr UINT kFeedReadingEndedMessage = WM_APP + 41;
// The panel's word to itself that rows remain to be listed.
inline constexpr UINT kListRowsMessage = WM_APP + 42;

// The news panel: hangs left of the bar with one tab per feed; its titles open in the page
// browser, which it owns.
class CRssDlg : public CDialog {
public:
    CRssDlg() : CDialog(IDD_NEWS) {}

    // A run downloads the five feeds and reads their files on a worker thread, then arms the
    // update timer and shows the default feed. A run asked for while one goes is made once,
    // after it. A run the user asked for asks every feed at once, whatever its back-off.
    void StartFeedDownload(bool userAsked = true);
    void LoadFeedTable();
    void ApplyFeedSettings();
    // Shows the rows last read of the feed while its file is unchanged; otherwise the lists stay
    // empty until the worker has read it (after the run going, if one is).
    void ShowFeed(int feed);
    // Empties both lists and lists the rows: at once as far as a short slice of time goes, the
    // rest a slice at a time, each after the messages already waiting.
    void FillNewsLists(std::shared_ptr<const NewsRows> rows);
    bool ListingRows() const { return listing_ != nullptr; }

    // The bar's initialisation: the panel parked above the screen and shown.
    void ParkAtCreation() const {
        Place(PxRect(kNewsParkedRect));
        ShowNoActivate();
    }
    // The panel hangs beside the bar, below it in z-order: a toggle slides it open, or closed
    // when it is not parked (a toggle while it slides down closes it).
    void ToggleBeside(HWND bar, int barLeft);
    bool IsParked() const;
    // After a screen change, barLeft being the bar's left at its new home.
    void FollowBar(int barLeft);
    // Taken before a change of scale, put back after it.
    PanelRest RestAt(int dpi) const;

    // A run or a reading is going, or the first run waits for the windows to have painted.
    bool FeedRunGoing() const { return worker_.Running() || firstRunWaiting_; }
    std::optional<uint32_t> ArmedUpdatePeriodMs() const { return updatePeriodMs_; }
    void SetFeedDownloadLimits(const FeedDownloadLimits& limits) { worker_.SetLimits(limits); }
    const FeedRunJob& Feeds() const { return table_; }
    HWND TabTipWindow() const { return tabTips_.hwnd(); }
    // The clock the runs decide by: UTC seconds.
    void SetClock(int64_t (*now)()) { clock_ = now; }
    const std::array<std::wstring, 5>& TabTitles() const { return tabImages_.Titles(); }
    CBrowserDlg& Browser() { return browser_; }
    int32_t SlideY() const { return slideY_; }

protected:
    MessageTable Messages() const override;
    void BindControls() override;
    BOOL OnInitDialog() override;

private:
    void StartOpening(HWND behind, int x);
    void StartClosing(int x);
    void PlaceBrowser() const;
    void OnSize(UINT type, int width, int height);
    void OnPaint();
    void OnMouseMove(UINT flags, POINT point);
    void OnLButtonUp(UINT flags, POINT point);
    void OnTitleSelected();
    void OnTimer(UINT_PTR id);
    void OnFeedRunEnded(WPARAM, LPARAM);
    void OnFeedReadingEnded(WPARAM, LPARAM);
    void StartWaitingJob();
    FeedRunClock RunClock(bool userAsked) const;
    void ShowFetchStates() const;
    void ListSlice();
    void OnListRows(WPARAM, LPARAM);
    LRESULT OnPowerBroadcast(WPARAM event, LPARAM);
    void StartResumeRun();
    void OnDestroy();
    void SlideInStep();
    void SlideOutStep();
    void ApplySlideStep(NewsSlideStep step, UINT_PTR oppositeTimer, UINT_PTR ownTimer,
                        int restingTop);
    void MoveToSlide() const;

    Window titleList_, linkList_, body_, tabStrip_, tabMarker_;
    FeedRunJob table_; // the five feeds' URLs and files
    int32_t slideX_ = 0;
    int32_t slideY_ = 0;
    uint32_t colorKey_ = 0;
    int32_t alpha_ = 0;
    CBrowserDlg browser_;
    FeedWorker worker_;
    FeedRowsCache readFeeds_;
    std::shared_ptr<const NewsRows> listing_; // rows still being listed
    size_t listed_ = 0;
    bool runAskedFor_ = false;
    bool runUserAsked_ = false;
    int64_t (*clock_)() = &UtcSecondsNow;
    bool readingAskedFor_ = false; // the shown feed's file, once the worker is free
    bool firstRunWaiting_ = false;
    bool resumeRunWaiting_ = false;
    int shownFeed_ = 1;
    std::optional<uint32_t> updatePeriodMs_;
    TabStripImages tabImages_;
    TabTips tabTips_;
};

// Remembers the tab the user chose, for the end of every run and the next start.
void SaveDefaultFeed(int feed);

} // namespace qv
