#include "framework/explorer1.h"

#include <exdispid.h>
#include <ocidl.h>

#include <atomic>

#include "framework/ole_apartment.h"
#include "framework/wide_text.h"

namespace qv {

namespace {

constexpr wchar_t kHostClass[] = L"QuorvelBrowserHost";

void RegisterHostClass(WNDPROC procedure) {
    static const bool registered = [procedure] {
        WNDCLASSEXW host{};
        host.cbSize = sizeof host;
        host.lpfnWndProc = procedure;
        host.hInstance = GetModuleHandleW(nullptr);
        host.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        host.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        host.lpszClassName = kHostClass;
        return RegisterClassExW(&host) != 0;
    }();
    (void)registered;
}

long IntegerArgument(VARIANT& argument) {
    VARIANT number;
    VariantInit(&number);
    if (FAILED(VariantChangeType(&number, &argument, 0, VT_I4))) {
        return 0;
    }
    return number.lVal;
}

// COM is gone once the apartment has been left: releasing then could call into unloaded code.
bool ComStillInitialised() {
    APTTYPE type;
    APTTYPEQUALIFIER qualifier;
    return CoGetApartmentType(&type, &qualifier) == S_OK;
}

} // namespace

// The control's container: its client site, in-place site and frame, and its event sink. It is
// reference counted for the control; the host lets go of it (Detach) before releasing it.
class BrowserSite final : public IOleClientSite,
                          public IOleInPlaceSite,
                          public IOleInPlaceFrame,
                          public IDispatch {
public:
    BrowserSite(CExplorer1* host, HWND window) : host_(host), window_(window) {}
    void Detach() { host_ = nullptr; }

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        if (!object) {
            return E_POINTER;
        }
        *object = nullptr;
        if (iid == IID_IUnknown || iid == IID_IOleClientSite) {
            *object = static_cast<IOleClientSite*>(this);
        } else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite) {
            *object = static_cast<IOleInPlaceSite*>(this);
        } else if (iid == IID_IOleInPlaceUIWindow || iid == IID_IOleInPlaceFrame) {
            *object = static_cast<IOleInPlaceFrame*>(this);
        } else if (iid == IID_IDispatch || iid == DIID_DWebBrowserEvents2) {
            *object = static_cast<IDispatch*>(this);
        } else {
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++references_; }
    STDMETHODIMP_(ULONG) Release() override {
        const ULONG left = --references_;
        if (left == 0) {
            delete this;
        }
        return left;
    }

    // IOleClientSite
    STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** moniker) override {
        *moniker = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetContainer(IOleContainer** container) override {
        *container = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP ShowObject() override { return S_OK; }
    STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow, for both the in-place site and the frame
    STDMETHODIMP GetWindow(HWND* window) override {
        *window = window_;
        return S_OK;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IOleInPlaceSite
    STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnUIActivate() override { return S_OK; }
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                  LPRECT position, LPRECT clip,
                                  LPOLEINPLACEFRAMEINFO frameInfo) override {
        *frame = static_cast<IOleInPlaceFrame*>(this);
        AddRef();
        *document = nullptr;
        GetClientRect(window_, position);
        *clip = *position;
        frameInfo->fMDIApp = FALSE;
        frameInfo->hwndFrame = GetAncestor(window_, GA_ROOT);
        frameInfo->haccel = nullptr;
        frameInfo->cAccelEntries = 0;
        return S_OK;
    }
    STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
    STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
    STDMETHODIMP DiscardUndoState() override { return S_OK; }
    STDMETHODIMP DeactivateAndUndo() override { return S_OK; }
    STDMETHODIMP OnPosRectChange(LPCRECT) override { return S_OK; }

    // IOleInPlaceUIWindow and IOleInPlaceFrame: no toolbars, menus or status bar to share.
    STDMETHODIMP GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
    STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
    STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
    STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    STDMETHODIMP RemoveMenus(HMENU) override { return E_NOTIMPL; }
    STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
    STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

    // IDispatch: the control's events; only ProgressChange is wanted.
    STDMETHODIMP GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT*, EXCEPINFO*,
                        UINT*) override {
        // Arguments arrive last first: [1] is the progress, [0] its maximum.
        if (id == DISPID_PROGRESSCHANGE && host_ && parameters && parameters->cArgs == 2) {
            host_->ReportProgress(IntegerArgument(parameters->rgvarg[1]),
                                  IntegerArgument(parameters->rgvarg[0]));
        }
        return S_OK;
    }

private:
    ~BrowserSite() = default;

    std::atomic<ULONG> references_{1};
    CExplorer1* host_;
    HWND window_;
};

CExplorer1::~CExplorer1() {
    if (hwnd_ && IsWindow(hwnd_)) {
        DestroyWindow(hwnd_); // tears the control down on the way
    }
    TearDown();
}

bool CExplorer1::ReplacePlaceholder(HWND placeholder) {
    const HWND parent = GetParent(placeholder);
    RECT rect{};
    GetWindowRect(placeholder, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    const int id = GetDlgCtrlID(placeholder);
    const bool created = CreateControl(parent, id, rect);
    if (hwnd_) {
        SetWindowPos(hwnd_, placeholder, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        DestroyWindow(placeholder);
    }
    return created;
}

bool CExplorer1::CreateControl(HWND parent, int id, const RECT& rect) {
    RegisterHostClass(&CExplorer1::HostProc);
    hwnd_ =
        CreateWindowExW(0, kHostClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, rect.left,
                        rect.top, rect.right - rect.left, rect.bottom - rect.top, parent,
                        reinterpret_cast<HMENU>(INT_PTR(id)), GetModuleHandleW(nullptr), nullptr);
    if (!hwnd_) {
        return false;
    }
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    site_ = new BrowserSite(this, hwnd_);
    return true;
}

bool CExplorer1::ActivateControl() {
    if (activationTried_ || !hwnd_) {
        return webBrowser_.get() != nullptr;
    }
    activationTried_ = true;
    EnterOleApartment();
    if (!EmbedControl()) {
        ReleaseControl();
        return false;
    }
    ConnectEvents();
    return true;
}

// Each step needs the one before: the first that fails ends the set-up.
bool CExplorer1::EmbedControl() {
    if (FAILED(CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                oleObject_.PutVoid())) ||
        FAILED(oleObject_->SetClientSite(site_))) {
        return false;
    }
    if (const auto persist = oleObject_.Query<IPersistStreamInit>(IID_IPersistStreamInit);
        !persist || FAILED(persist->InitNew())) {
        return false;
    }
    RECT client = ClientRect();
    if (FAILED(oleObject_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site_, 0, hwnd_, &client))) {
        return false;
    }
    inPlaceObject_ = oleObject_.Query<IOleInPlaceObject>(IID_IOleInPlaceObject);
    webBrowser_ = oleObject_.Query<IWebBrowser2>(IID_IWebBrowser2);
    return inPlaceObject_ && webBrowser_;
}

// Progress events are a help, not a need: the control works without them.
void CExplorer1::ConnectEvents() {
    const auto container =
        oleObject_.Query<IConnectionPointContainer>(IID_IConnectionPointContainer);
    if (!container ||
        FAILED(container->FindConnectionPoint(DIID_DWebBrowserEvents2, events_.put()))) {
        return;
    }
    if (FAILED(events_->Advise(static_cast<IDispatch*>(site_), &eventsCookie_))) {
        events_.reset();
    }
}

// In the reverse order of the set-up; the client site is cleared before the control closes.
void CExplorer1::ReleaseControl() {
    if (events_) {
        events_->Unadvise(eventsCookie_);
        events_.reset();
    }
    if (inPlaceObject_) {
        inPlaceObject_->InPlaceDeactivate();
        inPlaceObject_.reset();
    }
    webBrowser_.reset();
    if (oleObject_) {
        oleObject_->SetClientSite(nullptr);
        oleObject_->Close(OLECLOSE_NOSAVE);
        oleObject_.reset();
    }
}

void CExplorer1::TearDown() {
    if (!site_) {
        return;
    }
    site_->Detach();
    if (!ComStillInitialised()) {
        // The process is leaving; the control's code may already be unloaded.
        (void)events_.release();
        (void)inPlaceObject_.release();
        (void)webBrowser_.release();
        (void)oleObject_.release();
        site_ = nullptr;
        return;
    }
    ReleaseControl();
    std::exchange(site_, nullptr)->Release();
}

LRESULT CALLBACK CExplorer1::HostProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    auto* self = reinterpret_cast<CExplorer1*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self && message == WM_SIZE) {
        self->Resize(LOWORD(l), HIWORD(l));
    } else if (self && message == WM_DESTROY) {
        self->TearDown();
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
    }
    return DefWindowProcW(window, message, w, l);
}

void CExplorer1::Resize(int width, int height) const {
    if (inPlaceObject_) {
        const RECT rect{0, 0, width, height};
        inPlaceObject_->SetObjectRects(&rect, &rect);
    }
}

void CExplorer1::Navigate(const char* address) {
    if (navigations_.size() == kNavigationsKept) {
        navigations_.erase(navigations_.begin());
    }
    navigations_.emplace_back(address);
    if (!ActivateControl()) {
        return;
    }
    UniqueBstr url(SysAllocString(FromUtf8(address).c_str()));
    VARIANT absent;
    VariantInit(&absent);
    webBrowser_->Navigate(url.get(), &absent, &absent, &absent, &absent);
}

bool CExplorer1::GoBack() {
    ++backRequests_;
    return webBrowser_ && SUCCEEDED(webBrowser_->GoBack());
}

bool CExplorer1::GoForward() {
    ++forwardRequests_;
    return webBrowser_ && SUCCEEDED(webBrowser_->GoForward());
}

std::string CExplorer1::LocationURL() const {
    UniqueBstr location;
    if (!webBrowser_ || webBrowser_->get_LocationURL(location.put()) != S_OK || !location) {
        return {};
    }
    return Narrow(std::wstring_view(location.get(), SysStringLen(location.get())));
}

IDispatch* CExplorer1::EventSink() const {
    return site_;
}

void CExplorer1::ReportProgress(long progress, long maximum) const {
    if (progressHandler_) {
        progressHandler_(progress, maximum);
    }
}

} // namespace qv
