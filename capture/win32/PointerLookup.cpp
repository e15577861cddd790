#include "capture/win32/PointerLookup.h"

#include "common/win32/Handles.h"
#include "common/win32/WideText.h"

#include <oleacc.h>

namespace {

constexpr int kClassChars = 256;
constexpr int kTitleChars = 512;
// UI Automation's property ids (UIA_...PropertyId), which are fixed.
using PROPERTYID = int;
constexpr PROPERTYID kUiaBoundingRectangle = 30001, kUiaControlType = 30003, kUiaName = 30005,
                     kUiaHasKeyboardFocus = 30008, kUiaIsEnabled = 30010, kUiaIsPassword = 30019;
constexpr uint32_t kStateUnavailable = 0x1, kStateFocused = 0x4, kStateProtected = 0x20000000;
constexpr int kBoundingValues = 4; // left, top, width, height

// CLSID_CUIAutomation and IID_IUIAutomation, defined here: Debian's mingw-w64 headers do not declare
// the UI Automation client interfaces.
const CLSID kUiAutomationClass = {
    0xff48dba4, 0x60ef, 0x4201, {0xaa, 0x87, 0x54, 0x10, 0x3e, 0xef, 0x59, 0x4e}};
const IID kUiAutomationInterface = {
    0x30cbe57d, 0xd9d0, 0x452a, {0xab, 0x13, 0x7a, 0xc5, 0xac, 0x48, 0x25, 0xee}};

// The first methods of IUIAutomationElement and IUIAutomation, in their vtable order, up to the one
// the lookup calls; the rest are never reached through these declarations.
struct IUiaElement : IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE SetFocus() = 0;
    virtual HRESULT STDMETHODCALLTYPE GetRuntimeId(SAFEARRAY** runtimeId) = 0;
    virtual HRESULT STDMETHODCALLTYPE FindFirst(int scope, IUnknown* condition, IUnknown** found) = 0;
    virtual HRESULT STDMETHODCALLTYPE FindAll(int scope, IUnknown* condition, IUnknown** found) = 0;
    virtual HRESULT STDMETHODCALLTYPE FindFirstBuildCache(int scope, IUnknown* condition, IUnknown* request,
                                                          IUnknown** found) = 0;
    virtual HRESULT STDMETHODCALLTYPE FindAllBuildCache(int scope, IUnknown* condition, IUnknown* request,
                                                        IUnknown** found) = 0;
    virtual HRESULT STDMETHODCALLTYPE BuildUpdatedCache(IUnknown* request, IUnknown** updated) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetCurrentPropertyValue(PROPERTYID property, VARIANT* value) = 0;
};

struct IUiaClient : IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE CompareElements(IUnknown* first, IUnknown* second, BOOL* same) = 0;
    virtual HRESULT STDMETHODCALLTYPE CompareRuntimeIds(SAFEARRAY* first, SAFEARRAY* second, BOOL* same) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetRootElement(IUiaElement** root) = 0;
    virtual HRESULT STDMETHODCALLTYPE ElementFromHandle(HWND window, IUiaElement** element) = 0;
    virtual HRESULT STDMETHODCALLTYPE ElementFromPoint(POINT point, IUiaElement** element) = 0;
};

// A COM interface pointer released when it goes.
template <typename T> class CComRef
{
public:
    CComRef() = default;
    ~CComRef()
    {
        if (m_p)
            m_p->Release();
    }
    CComRef(const CComRef&) = delete;
    CComRef& operator=(const CComRef&) = delete;
    T** Out() { return &m_p; }
    T* operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }

private:
    T* m_p = nullptr;
};

// A VARIANT cleared when it goes.
struct CVariant : VARIANT
{
    CVariant() { ::VariantInit(this); }
    ~CVariant() { ::VariantClear(this); }
    CVariant(const CVariant&) = delete;
    CVariant& operator=(const CVariant&) = delete;
};

std::string Utf8OfBstr(BSTR text)
{
    return text ? Utf8OfWide(text, static_cast<int>(::SysStringLen(text))) : std::string();
}

std::string ClassOf(HWND window)
{
    wchar_t name[kClassChars] = L"";
    const int length = ::GetClassNameW(window, name, kClassChars);
    return Utf8OfWide(name, length > 0 ? length : 0);
}

// GetWindowText sends no message to a window of another process: it reads the title the system keeps.
std::string TitleOf(HWND window)
{
    wchar_t title[kTitleChars] = L"";
    const int length = ::GetWindowTextW(window, title, kTitleChars);
    return Utf8OfWide(title, length > 0 ? length : 0);
}

StepRect ScreenRect(const RECT& rect)
{
    return StepRect{rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

// The screen point where the grabs of `target` start: the window's corner moved by the clip box of its
// window DC, as the capture step grabs it (the client area under Wine without a window manager).
POINT GrabOrigin(HWND target)
{
    RECT window{};
    ::GetWindowRect(target, &window);
    POINT origin{window.left, window.top};
    const CWindowDc dc = CWindowDc::FromGetWindowDC(target);
    RECT clip{};
    if (dc && ::GetClipBox(dc.Get(), &clip) != ERROR) {
        origin.x += clip.left;
        origin.y += clip.top;
    }
    return origin;
}

bool IsMenuWindow(HWND window)
{
    return KindOfClass(ClassOf(window)) == WindowKind::Menu;
}

// An open menu belongs to the window that opened it.
HWND OwnerOfMenu(HWND menu)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    const DWORD thread = ::GetWindowThreadProcessId(menu, nullptr);
    if (::GetGUIThreadInfo(thread, &info) && info.hwndMenuOwner)
        return ::GetAncestor(info.hwndMenuOwner, GA_ROOT);
    return menu;
}

bool BoolProperty(IUiaElement* element, PROPERTYID property)
{
    CVariant value;
    return SUCCEEDED(element->GetCurrentPropertyValue(property, &value)) && value.vt == VT_BOOL &&
           value.boolVal != VARIANT_FALSE;
}

std::optional<StepRect> BoundingRectangle(IUiaElement* element)
{
    CVariant value;
    if (FAILED(element->GetCurrentPropertyValue(kUiaBoundingRectangle, &value)) ||
        value.vt != (VT_ARRAY | VT_R8) || !value.parray)
        return std::nullopt;
    LONG upper = -1;
    double* bounds = nullptr;
    if (FAILED(::SafeArrayGetUBound(value.parray, 1, &upper)) || upper + 1 < kBoundingValues ||
        FAILED(::SafeArrayAccessData(value.parray, reinterpret_cast<void**>(&bounds))))
        return std::nullopt;
    const StepRect rect{static_cast<int32_t>(bounds[0]), static_cast<int32_t>(bounds[1]),
                        static_cast<int32_t>(bounds[2]), static_cast<int32_t>(bounds[3])};
    ::SafeArrayUnaccessData(value.parray);
    return rect;
}

} // namespace

PressView ViewAtPress(POINT point, HWND target)
{
    PressView view;
    DWORD targetProcess = 0, process = 0;
    ::GetWindowThreadProcessId(target, &targetProcess);
    view.under = ::WindowFromPoint(point);
    if (view.under)
        ::GetWindowThreadProcessId(view.under, &process);
    PointedWindow& window = view.window;
    window.inRecordedProgram = view.under && process == targetProcess;
    if (!window.inRecordedProgram)
        return view;
    window.className = ClassOf(view.under);
    window.style = static_cast<uint32_t>(::GetWindowLongW(view.under, GWL_STYLE));
    window.enabled = ::IsWindowEnabled(view.under) != FALSE;
    RECT rect{};
    ::GetWindowRect(view.under, &rect);
    window.rect = ScreenRect(rect);
    view.root = ::GetAncestor(view.under, GA_ROOT);
    window.title = TitleOf(IsMenuWindow(view.root) ? OwnerOfMenu(view.root) : view.root);
    const POINT origin = GrabOrigin(target);
    window.originX = origin.x;
    window.originY = origin.y;
    return view;
}

CPointerLookup::~CPointerLookup()
{
    if (m_uiAutomation)
        m_uiAutomation->Release();
}

PointerFacts CPointerLookup::LookUp(POINT point, const PressView& view)
{
    PointerFacts facts;
    facts.window = view.window;
    if (!view.window.inRecordedProgram)
        return facts;
    AccessibleAnswer answer;
    if (AskMsaa(point, answer) || AskUiAutomation(point, answer))
        facts.accessible = std::move(answer);
    facts.messages = AskWindow(point, view);
    return facts;
}

// True when MSAA named the point or gave it a role of its own; a bare "client" without a name sends
// the lookup on to UI Automation.
bool CPointerLookup::AskMsaa(POINT point, AccessibleAnswer& answer) const
{
    CComRef<IAccessible> accessible;
    CVariant child;
    if (FAILED(::AccessibleObjectFromPoint(point, accessible.Out(), &child)) || !accessible)
        return false;
    BSTR name = nullptr;
    if (SUCCEEDED(accessible->get_accName(child, &name))) {
        answer.name = Utf8OfBstr(name);
        ::SysFreeString(name);
    }
    CVariant role, state;
    if (SUCCEEDED(accessible->get_accRole(child, &role)) && role.vt == VT_I4)
        answer.role = static_cast<int>(role.lVal);
    if (SUCCEEDED(accessible->get_accState(child, &state)) && state.vt == VT_I4)
        answer.state = static_cast<uint32_t>(state.lVal);
    long left = 0, top = 0, width = 0, height = 0;
    if (SUCCEEDED(accessible->accLocation(&left, &top, &width, &height, child)) && width > 0 && height > 0)
        answer.rect = StepRect{left, top, width, height};
    constexpr int kRoleClient = 0x0A;
    return !answer.name.empty() || (answer.role != 0 && answer.role != kRoleClient);
}

// Only where UI Automation is registered: under Wine it is not, and its class factory must never be
// called directly there (that ends the process), so CoCreateInstance alone decides.
bool CPointerLookup::AskUiAutomation(POINT point, AccessibleAnswer& answer)
{
    if (!m_uiAutomation && !m_noUiAutomation)
        m_noUiAutomation =
            FAILED(::CoCreateInstance(kUiAutomationClass, nullptr, CLSCTX_INPROC_SERVER,
                                      kUiAutomationInterface, reinterpret_cast<void**>(&m_uiAutomation))) ||
            !m_uiAutomation;
    if (m_noUiAutomation)
        return false;
    CComRef<IUiaElement> element;
    if (FAILED(static_cast<IUiaClient*>(m_uiAutomation)->ElementFromPoint(point, element.Out())) || !element)
        return false;
    AccessibleAnswer found;
    found.fromUiAutomation = true;
    CVariant name, type;
    if (SUCCEEDED(element->GetCurrentPropertyValue(kUiaName, &name)) && name.vt == VT_BSTR)
        found.name = Utf8OfBstr(name.bstrVal);
    if (SUCCEEDED(element->GetCurrentPropertyValue(kUiaControlType, &type)) && type.vt == VT_I4)
        found.role = RoleOfControlType(static_cast<int>(type.lVal));
    found.state = (BoolProperty(element.operator->(), kUiaIsPassword) ? kStateProtected : 0) |
                  (BoolProperty(element.operator->(), kUiaHasKeyboardFocus) ? kStateFocused : 0);
    CVariant enabled;
    if (SUCCEEDED(element->GetCurrentPropertyValue(kUiaIsEnabled, &enabled)) && enabled.vt == VT_BOOL &&
        enabled.boolVal == VARIANT_FALSE)
        found.state |= kStateUnavailable;
    found.rect = BoundingRectangle(element.operator->());
    if (found.name.empty() && found.role == 0)
        return false;
    answer = std::move(found);
    return true;
}
