#include "media/browser_dlg.h"

#include <string>

#include "framework/display_scale.h"
#include "framework/handles.h"
#include "media/media_layout.h"

namespace qv {

namespace {

// Each skin piece and the size of its bitmap at 100 %; the edges are stretched along the window.
struct BrowserPiece {
    int controlId;
    int bitmap;
    PixelRect size;
};
constexpr BrowserPiece kBrowserPieces[] = {
    {IDC_BROWSER_TOP_EDGE, IDB_BROWSER_TOP_EDGE, {0, 0, 10, 53}},
    {IDC_BROWSER_RIGHT_EDGE, IDB_BROWSER_RIGHT_EDGE, {0, 0, 25, 10}},
    {IDC_BROWSER_BOTTOM_EDGE, IDB_BROWSER_BOTTOM_EDGE, {0, 0, 10, 18}},
    {IDC_BROWSER_LEFT_EDGE, IDB_BROWSER_LEFT_EDGE, {0, 0, 25, 10}},
    {IDC_BROWSER_BOTTOM_LEFT, IDB_BROWSER_BOTTOM_LEFT, {0, 0, 25, 18}},
    {IDC_BROWSER_BOTTOM_RIGHT, IDB_BROWSER_BOTTOM_RIGHT, {0, 0, 25, 18}},
    {IDC_BROWSER_TOP_RIGHT, IDB_BROWSER_TOP_RIGHT, {0, 0, 25, 53}},
    {IDC_BROWSER_TOP_LEFT, IDB_BROWSER_TOP_LEFT, {0, 0, 79, 53}},
    {IDC_BROWSER_BACK_HOVER, IDB_BROWSER_BACK_HOVER, {0, 0, 30, 27}},
    {IDC_BROWSER_FORWARD_HOVER, IDB_BROWSER_FORWARD_HOVER, {0, 0, 29, 27}},
};

} // namespace

MessageTable CBrowserDlg::Messages() const {
    static constexpr MessageEntry table[] = {
        OnMessage<WM_SIZE, &CBrowserDlg::OnSize>(),
        OnMessage<WM_MOUSEMOVE, &CBrowserDlg::OnMouseMove>(),
        OnMessage<WM_LBUTTONDOWN, &CBrowserDlg::OnLButtonDown>(),
        OnMessage<WM_LBUTTONUP, &CBrowserDlg::OnLButtonUp>(),
        OnMessage<WM_ERASEBKGND, &CBrowserDlg::OnEraseBackground>(),
        OnCommand<IDOK, &CBrowserDlg::OnOK>(),
        OnCommand<IDCANCEL, &CBrowserDlg::OnOK>(),
    };
    return table;
}

void CBrowserDlg::BindControls() {
    browser.ReplacePlaceholder(Item(IDC_BROWSER_CONTROL));
    Bind(IDC_BROWSER_BACK_HOVER, backHover);
    Bind(IDC_BROWSER_FORWARD_HOVER, forwardHover);
    browser.OnProgressChange([this](long, long) { DrawTitleStrip(); });
}

void CBrowserDlg::OnSize(UINT, int width, int height) {
    for (size_t i = 0; i < pieces_.size(); ++i) {
        pieces_[i].Attach(Item(kBrowserPieces[i].controlId));
        pieces_[i].Scale(kBrowserPieces[i].bitmap, kBrowserPieces[i].size, CurrentDpi());
    }
    for (const ControlPlacement& placement : PageBrowserLayout(width, height, CurrentDpi())) {
        Window(Item(placement.controlId)).Place(placement.rect);
    }
}

void CBrowserDlg::LayOut() {
    const RECT client = ClientRect();
    OnSize(SIZE_RESTORED, client.right, client.bottom);
}

void CBrowserDlg::OnMouseMove(UINT flags, POINT point) {
    if (flags == 0) {
        TrackPointer(point);
    }
}

void CBrowserDlg::OnLButtonDown(UINT, POINT) {
    backHover.Show(false);
    forwardHover.Show(false);
}

void CBrowserDlg::OnLButtonUp(UINT, POINT point) {
    TrackPointer(point);
    // Without history the control reports an error; there is nothing to do about it.
    switch (HitPageBrowser(point.x, point.y, ClientRect().right, CurrentDpi())) {
    case PageBrowserZone::Back:
        browser.GoBack();
        break;
    case PageBrowserZone::Forward:
        browser.GoForward();
        break;
    case PageBrowserZone::Close:
        OnOK();
        browser.Navigate("about:blank"); // unloads the page
        break;
    case PageBrowserZone::None:
        break;
    }
}

void CBrowserDlg::TrackPointer(POINT point) const {
    switch (HitPageBrowser(point.x, point.y, ClientRect().right, CurrentDpi())) {
    case PageBrowserZone::Back:
        backHover.Show(true);
        break;
    case PageBrowserZone::Forward:
        forwardHover.Show(true);
        break;
    case PageBrowserZone::Close:
        SetCursor(LoadCursorA(nullptr, IDC_HAND));
        break;
    case PageBrowserZone::None:
        backHover.Show(false);
        forwardHover.Show(false);
        break;
    }
}

BOOL CBrowserDlg::OnEraseBackground(HDC) {
    return FALSE; // the skin pieces and the control cover the whole window
}

void CBrowserDlg::OnOK() {
    Show(false);
}

void CBrowserDlg::DrawTitleStrip() {
    const UniqueFont font = CreateFaceFont("Segoe UI", Px(16), FW_NORMAL);
    const WindowDC dc(hwnd_);
    SetBkMode(dc.get(), TRANSPARENT);
    SetTextColor(dc.get(), RGB(250, 250, 250));
    const SelectGuard selected(dc.get(), font.get());
    const std::string address = browser.LocationURL();
    // Paint the old address over with the skin before the new one is drawn.
    const RECT strip{Px(76), Px(13), ClientRect().right - Px(40), Px(35)};
    RedrawWindow(hwnd_, &strip, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    const std::string_view shown = TitleStripText(address);
    TextOutA(dc.get(), Px(80), Px(16), shown.data(), int(shown.size()));
}

} // namespace qv
