#include "news/rss_dlg.h"

#include <chrono>

#include "framework/list_rows.h"
#include "framework/program_file_path.h"
#include "framework/skin.h"
#include "framework/web_uri.h"
#include "framework/wide_text.h"
#include "news/feed_file.h"
#include "news/feed_status.h"
#include "news/news_layout.h"
#include "news/news_link.h"
#include "settings/settings_store.h"
#include "settings/update_frequency.h"
#include "text/unicode.h"

namespace qv {

namespace {

std::string FeedFilePath(int feed) {
    return ProgramFilePath(("Rss" + std::to_string(feed) + ".xml").c_str());
}

void SetHandCursorOver(POINT point) {
    if (HitNewsPanel(point.x, point.y, CurrentDpi()) != NewsZone::None) {
        SetCursor(LoadCursorA(nullptr, IDC_HAND));
    }
}

// The longest the window's thread lists rows at a time: a feed of hundreds of thousands of tiny
// items takes seconds to list, and the bar, the panels and the hotkey answer between slices.
constexpr auto kListSlice = std::chrono::milliseconds(20);

template <typename Text> void ReserveRows(const Window& list, const std::vector<Text>& rows) {
    size_t characters = 0;
    for (const Text& row : rows) {
        characters += row.size() + 1;
    }
    SendMessageW(list.hwnd(), LB_INITSTORAGE, rows.size(), LPARAM(characters * sizeof(wchar_t)));
}

// Rows go in with the redraw off: thousands of them then cost one repaint.
void SetRedraw(const Window& list, bool redraw) {
    SendMessageW(list.hwnd(), WM_SETREDRAW, redraw, 0);
    if (redraw) {
        InvalidateRect(list.hwnd(), nullptr, TRUE);
    }
}

} // namespace

MessageTable CRssDlg::Messages() const {
    static constexpr MessageEntry table[] = {
        OnMessage<WM_SIZE, &CRssDlg::OnSize, After::Default>(),
        OnMessage<WM_PAINT, &CRssDlg::OnPaint>(),
        OnMessage<WM_MOUSEMOVE, &CRssDlg::OnMouseMove, After::Default>(),
        OnMessage<WM_LBUTTONUP, &CRssDlg::OnLButtonUp, After::Default>(),
        OnMessage<WM_TIMER, &CRssDlg::OnTimer, After::Default>(),
        OnMessage<kFeedRunEndedMessage, &CRssDlg::OnFeedRunEnded>(),
        OnMessage<kFeedReadingEndedMessage, &CRssDlg::OnFeedReadingEnded>(),
        OnMessage<kListRowsMessage, &CRssDlg::OnListRows>(),
        OnMessage<WM_POWERBROADCAST, &CRssDlg::OnPowerBroadcast>(),
        OnMessage<WM_DESTROY, &CRssDlg::OnDestroy, After::Default>(),
        OnNotify<IDC_NEWS_TITLES, LBN_SELCHANGE, &CRssDlg::OnTitleSelected>(),
    };
    return table;
}

void CRssDlg::BindControls() {
    Bind(IDC_NEWS_TITLES, titleList_);
    Bind(IDC_NEWS_LINKS, linkList_);
    Bind(IDC_NEWS_BODY, body_);
    Bind(IDC_NEWS_TABS, tabStrip_);
    Bind(IDC_NEWS_TAB_MARKER, tabMarker_);
}

BOOL CRssDlg::OnInitDialog() {
    // The list and the marker lie over the pictures; the pictures clip them out when they paint.
    SetWindowPos(tabMarker_.hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetWindowPos(titleList_.hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    browser_.CreateOnDesktop();
    colorKey_ = SkinColourKey;
    browser_.MakeLayered(ExStyle(), colorKey_, 255);
    PlaceBrowser();
    tabTips_.Create(hwnd_);
    tabTips_.Place(CurrentDpi());
    // The first run waits until the windows have painted: a timer comes after every other
    // message, and the user sees nothing of a run before its end.
    firstRunWaiting_ = SetTimer(hwnd_, FirstRunTimer, USER_TIMER_MINIMUM, nullptr) != 0;
    if (!firstRunWaiting_) {
        StartFeedDownload();
    }
    return TRUE;
}

// 80 % of the screen each way, each hundredth taken whole first, centred.
void CRssDlg::PlaceBrowser() const {
    browser_.Move(0, 0, GetSystemMetrics(SM_CXSCREEN) / 100 * 80,
                  GetSystemMetrics(SM_CYSCREEN) / 100 * 80);
    browser_.CenterOnDesktop();
}

void CRssDlg::StartFeedDownload(bool userAsked) {
    if (std::exchange(firstRunWaiting_, false)) { // whichever asks first makes the first run
        KillTimer(hwnd_, FirstRunTimer);
    }
    runAskedFor_ = true;
    runUserAsked_ = runUserAsked_ || userAsked;
    StartWaitingJob();
}

// The back-off counts in update periods; with none armed, in the shortest.
FeedRunClock CRssDlg::RunClock(bool userAsked) const {
    const uint32_t periodMs =
        UpdatePeriodMs(SettingsReader().ReadSettingNumber(kUpdateFrequencySetting, 0))
            .value_or(kUpdateFrequencies[0].periodMs);
    return {clock_(), int64_t(periodMs / 1000), userAsked};
}

void CRssDlg::ShowFetchStates() const {
    const FeedFetchStates& states = worker_.FetchStates();
    const FeedRunClock clock = RunClock(false);
    const TimeWords words = [&clock](int64_t utc) { return LocalTimeWords(utc, clock.now); };
    for (int n = 1; n <= kFeedCount; ++n) {
        if (const auto& state = states[size_t(n - 1)]) {
            tabTips_.SetText(n, FeedStatusText(*state, !table_.urls[size_t(n - 1)].empty(),
                                               clock.periodSeconds, words));
        }
    }
}

// One job at a time. A run asked for goes first; the shown feed is read after it only if the
// run's own reading did not meanwhile make its rows current.
void CRssDlg::StartWaitingJob() {
    if (worker_.Running()) {
        return;
    }
    if (std::exchange(runAskedFor_, false)) {
        LoadFeedTable();
        table_.clock = RunClock(std::exchange(runUserAsked_, false));
        worker_.StartRun(hwnd_, kFeedRunEndedMessage, table_);
    } else if (std::exchange(readingAskedFor_, false) &&
               !readFeeds_.CurrentRows(shownFeed_, FeedFilePath(shownFeed_))) {
        worker_.StartReading(hwnd_, kFeedReadingEndedMessage, table_, shownFeed_);
    }
}

void CRssDlg::OnListRows(WPARAM, LPARAM) {
    KillTimer(hwnd_, ListRowsTimer);
    if (listing_) {
        ListSlice();
    }
}

void CRssDlg::OnFeedRunEnded(WPARAM, LPARAM) {
    readFeeds_.Keep(worker_.Finished());
    ShowFetchStates();
    ApplyFeedSettings();
    StartWaitingJob();
}

// A reading changes neither the update timer nor the feed shown: its rows are listed only if
// their feed is still the one shown.
void CRssDlg::OnFeedReadingEnded(WPARAM, LPARAM) {
    FeedReadings readings = worker_.Finished();
    const bool shownRead = readings[size_t(shownFeed_ - 1)].has_value();
    readFeeds_.Keep(std::move(readings));
    if (shownRead) {
        FillNewsLists(readFeeds_.KeptRows(shownFeed_));
    }
    StartWaitingJob(); // what was asked for while the file was read
}

// The periodic timer may fire the moment the machine wakes, before the network is back: it waits,
// and one run follows a few seconds later, however many wakes come meanwhile. The run's end arms
// the periodic timer again.
LRESULT CRssDlg::OnPowerBroadcast(WPARAM event, LPARAM) {
    if (event == PBT_APMRESUMEAUTOMATIC && updatePeriodMs_) {
        resumeRunWaiting_ = SetTimer(hwnd_, ResumeRunTimer, kResumeRunDelayMs, nullptr) != 0;
        if (resumeRunWaiting_) {
            KillTimer(hwnd_, UpdateTimer);
        }
    }
    return TRUE;
}

void CRssDlg::StartResumeRun() {
    KillTimer(hwnd_, ResumeRunTimer);
    if (std::exchange(resumeRunWaiting_, false)) {
        StartFeedDownload(false);
    }
}

void CRssDlg::LoadFeedTable() {
    std::array<std::wstring, kFeedCount> titles;
    {
        const SettingsReader settings;
        for (int n = 1; n <= kFeedCount; ++n) {
            const FeedSlot slot = settings.ReadFeedSlot(n);
            // One that cannot be made an address (stored by hand, say) is not asked for.
            table_.urls[n - 1] = UriFromIri(slot.source).value_or(std::string());
            table_.paths[n - 1] = FeedFilePath(n);
            titles[n - 1] =
                Wide(WholeCharacterPrefix(Utf16(FromUtf8(slot.title)), kNewsTabTitleLength));
        }
    }
    tabImages_.Apply(tabStrip_, tabMarker_, titles, shownFeed_);
}

void CRssDlg::ApplyFeedSettings() {
    const SettingsReader settings;
    if (const auto period =
            UpdatePeriodMs(settings.ReadSettingNumber(kUpdateFrequencySetting, 0))) {
        SetTimer(hwnd_, UpdateTimer, *period, nullptr);
        updatePeriodMs_ = period;
    }
    ShowFeed(DefaultFeedNumber(settings.ReadSettingNumber(kDefaultRssSetting, 1)));
}

void CRssDlg::ShowFeed(int feed) {
    shownFeed_ = feed >= 1 && feed <= kFeedCount ? feed : 1;
    tabMarker_.Place(PxRect(NewsTabMarkerRect(shownFeed_)));
    // Until the feed is read the lists stay empty: the rows they hold would be another feed's,
    // under this feed's tab.
    const std::shared_ptr<const NewsRows> rows =
        readFeeds_.CurrentRows(shownFeed_, FeedFilePath(shownFeed_));
    FillNewsLists(rows ? rows : std::make_shared<const NewsRows>());
    tabMarker_.Show(true);
    LoadFeedTable();
    if (!rows) {
        readingAskedFor_ = true;
        StartWaitingJob();
    }
}

void CRssDlg::FillNewsLists(std::shared_ptr<const NewsRows> rows) {
    KillTimer(hwnd_, ListRowsTimer);
    ClearRows(titleList_);
    ClearRows(linkList_);
    ReserveRows(titleList_, rows->lines);
    ReserveRows(linkList_, rows->links);
    listing_ = std::move(rows);
    listed_ = 0;
    ListSlice();
}

// Both lists grow together, so that a title chosen meanwhile opens its own link. Wide text all
// the way: a title in any script reaches the Unicode list as it is; links are ASCII addresses.
void CRssDlg::ListSlice() {
    const auto until = std::chrono::steady_clock::now() + kListSlice;
    SetRedraw(titleList_, false);
    SetRedraw(linkList_, false);
    const size_t count = listing_->lines.size();
    while (listed_ < count && (listed_ % 64 != 0 || std::chrono::steady_clock::now() < until)) {
        AddRow(titleList_, listing_->lines[listed_]);
        const std::string& link = listing_->links[listed_];
        AddRow(linkList_, std::wstring(link.begin(), link.end()));
        ++listed_;
    }
    SetRedraw(titleList_, true);
    SetRedraw(linkList_, true);
    if (listed_ < count) {
        // A message posted now comes after those waiting but before input: with input waiting,
        // the next slice waits for a timer, which comes after it.
        if (HIWORD(GetQueueStatus(QS_INPUT)) != 0) {
            SetTimer(hwnd_, ListRowsTimer, USER_TIMER_MINIMUM, nullptr);
        } else {
            PostMessageW(hwnd_, kListRowsMessage, 0, 0);
        }
    } else {
        KillTimer(hwnd_, ListRowsTimer);
        listing_.reset();
    }
}

bool CRssDlg::IsParked() const {
    return WindowRect().top < Px(kNewsParkedTop + 1);
}

void CRssDlg::ToggleBeside(HWND bar, int barLeft) {
    const int x = NewsPanelX(barLeft, CurrentDpi());
    if (IsParked()) {
        StartOpening(bar, x);
    } else {
        StartClosing(x);
    }
}

void CRssDlg::StartOpening(HWND behind, int x) {
    SetWindowPos(hwnd_, behind, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    LoadFeedTable();
    slideY_ = kNewsParkedTop;
    alpha_ = 0;
    slideX_ = x;
    StartAnimation(NewsSlideInTimer, NewsSlideOutTimer);
}

// An open or sliding panel moves at once, a parked one opens at the new place; the page browser
// takes its size for the new screen.
void CRssDlg::FollowBar(int barLeft) {
    slideX_ = NewsPanelX(barLeft, CurrentDpi());
    if (!IsParked()) {
        Move(slideX_, WindowRect().top, Px(kNewsWidth), Px(kNewsHeight));
    }
    PlaceBrowser();
}

PanelRest CRssDlg::RestAt(int dpi) const {
    return {*this, dpi, {kNewsParkedTop, kNewsOpenTop}, kNewsWidth, kNewsHeight};
}

void CRssDlg::StartClosing(int x) {
    slideX_ = x;
    slideY_ = kNewsOpenTop;
    StartAnimation(NewsSlideOutTimer, NewsSlideInTimer);
}

void CRssDlg::OnSize(UINT, int, int) {
    body_.Place(PxRect(kNewsBodyRect));
    tabStrip_.Place(PxRect(kNewsTabStripRect));
    titleList_.Place(PxRect(kNewsTitleListRect));
    tabTips_.Place(CurrentDpi());
}

void CRssDlg::OnPaint() {
    PaintDC paint(hwnd_);
}

void CRssDlg::OnMouseMove(UINT, POINT point) {
    SetHandCursorOver(point);
}

void CRssDlg::OnLButtonUp(UINT, POINT point) {
    const NewsZone zone = HitNewsPanel(point.x, point.y, CurrentDpi());
    if (const int feed = FeedOfZone(zone)) {
        ShowFeed(feed);
        SaveDefaultFeed(feed);
    } else if (zone == NewsZone::Refresh) {
        StartFeedDownload();
    } else if (zone == NewsZone::Close) {
        StartAnimation(NewsSlideOutTimer, NewsSlideInTimer);
    }
}

// Only web pages open; any other link (a script, a local file) is left alone.
void CRssDlg::OnTitleSelected() {
    const std::string link = Utf8(RowText(linkList_, SelectedRow(titleList_)));
    if (!IsOpenableNewsLink(link)) {
        return;
    }
    browser_.Navigate(link.c_str());
    browser_.Show(true);
    SetForegroundWindow(browser_.hwnd());
    StartAnimation(NewsSlideOutTimer, NewsSlideInTimer);
}

void CRssDlg::OnTimer(UINT_PTR id) {
    switch (id) {
    case FirstRunTimer:
        StartFeedDownload();
        break;
    case UpdateTimer:
        StartFeedDownload(false);
        break;
    case ResumeRunTimer:
        StartResumeRun();
        break;
    case ListRowsTimer:
        OnListRows(0, 0);
        break;
    case NewsSlideInTimer:
        SlideInStep();
        break;
    case NewsSlideOutTimer:
        SlideOutStep();
        break;
    default:
        break;
    }
}

void CRssDlg::SlideInStep() {
    ApplySlideStep(NewsSlideInStep(slideY_, alpha_), NewsSlideOutTimer, NewsSlideInTimer,
                   kNewsOpenTop);
}

void CRssDlg::SlideOutStep() {
    ApplySlideStep(NewsSlideOutStep(slideY_, alpha_), NewsSlideInTimer, NewsSlideOutTimer,
                   kNewsParkedTop);
}

// Each step first stops the opposite slide, so the toggle asked for last wins. The slide runs in
// 100 % pixels; the window goes to their place at the display's scale.
void CRssDlg::ApplySlideStep(NewsSlideStep step, UINT_PTR oppositeTimer, UINT_PTR ownTimer,
                             int restingTop) {
    KillTimer(hwnd_, oppositeTimer);
    if (step.settled) {
        KillTimer(hwnd_, ownTimer);
        Move(slideX_, Px(restingTop), Px(kNewsWidth), Px(kNewsHeight));
        return;
    }
    slideY_ = step.y;
    alpha_ = step.alpha;
    MoveToSlide();
}

void CRssDlg::MoveToSlide() const {
    Move(slideX_, Px(slideY_), Px(kNewsWidth), Px(kNewsHeight));
    SetAlpha(colorKey_, BYTE(alpha_));
}

void CRssDlg::OnDestroy() {
    firstRunWaiting_ = false;
    resumeRunWaiting_ = false;
    worker_.Abandon();
    runAskedFor_ = false;
    runUserAsked_ = false;
    readingAskedFor_ = false;
    tabTips_.Forget(); // gone with the panel
    readFeeds_ = FeedRowsCache();
    listing_.reset();
    browser_.Destroy();
}

void SaveDefaultFeed(int feed) {
    SettingsWriter().WriteSettingNumber(kDefaultRssSetting, uint32_t(feed));
}

} // namespace qv
