#pragma once

#include <windows.h>
#include <exdisp.h>
#include <ole2.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/handles.h"
#include "framework/window.h"

namespace qv {

class BrowserSite;

// Hosts the WebBrowser control (class id 8856F961-340A-11D0-A96B-00C04FD705A2) in a child
// window of its own and drives it. Where the control renders nothing (Wine without Gecko) it is
// still created and told everything; the record of what it was told shows what it would show.
// The control itself is made at the first navigation: a browser that never shows a page costs
// none of the engine's libraries (about 1.6 MB resident under Wine).
class CExplorer1 : public Window {
public:
    using ProgressHandler = std::function<void(long progress, long maximum)>;

    CExplorer1() = default;
    CExplorer1(const CExplorer1&) = delete;
    CExplorer1& operator=(const CExplorer1&) = delete;
    ~CExplorer1();

    // Takes the place of a dialog template's placeholder control: same parent, id, rectangle
    // and z-order. The placeholder is destroyed. Both answer whether the host window exists.
    bool ReplacePlaceholder(HWND placeholder);
    bool CreateControl(HWND parent, int id, const RECT& rect);
    bool HasControl() const { return webBrowser_.get() != nullptr; }

    // The address is UTF-8, a page's path in any script; the optional arguments stay absent.
    void Navigate(const char* address);
    bool GoBack();
    bool GoForward();
    std::string LocationURL() const;

    void OnProgressChange(ProgressHandler handler) { progressHandler_ = std::move(handler); }
    // Where the control delivers its events (DWebBrowserEvents2).
    IDispatch* EventSink() const;

    // The last addresses it was told, oldest first: at most kNavigationsKept of them.
    static constexpr size_t kNavigationsKept = 8;
    const std::vector<std::string>& Navigations() const { return navigations_; }
    int BackRequests() const { return backRequests_; }
    int ForwardRequests() const { return forwardRequests_; }

private:
    friend class BrowserSite;
    static LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM w, LPARAM l);
    bool ActivateControl();
    bool EmbedControl();
    void ConnectEvents();
    void ReleaseControl();
    void Resize(int width, int height) const;
    void TearDown();
    void ReportProgress(long progress, long maximum) const;

    BrowserSite* site_ = nullptr;
    ComPtr<IOleObject> oleObject_;
    ComPtr<IOleInPlaceObject> inPlaceObject_;
    ComPtr<IWebBrowser2> webBrowser_;
    ComPtr<IConnectionPoint> events_;
    DWORD eventsCookie_ = 0;
    bool activationTried_ = false;
    ProgressHandler progressHandler_;
    std::vector<std::string> navigations_;
    int backRequests_ = 0;
    int forwardRequests_ = 0;
};

} // namespace qv
