#include "win/PushButtonAccessible.h"

#include <oleacc.h>

#include <new>
#include <string>
#include <unordered_map>

#include "win/BoundWindows.h"
#include "win/WindowText.h"

namespace quorvel::win {
namespace {

bool IsSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

BSTR Copy(const std::wstring& text) { return ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size())); }

// The system's own object for the window, with what makes it a push button put over it, or
// only with the name it is given (an empty name: the push button's words).
class ControlAccessible final : public IAccessible, public IOleWindow {
public:
    ControlAccessible(HWND button, IAccessible* standard, std::wstring name)
        : button_(button), standard_(standard), name_(std::move(name)) {}
    ControlAccessible(const ControlAccessible&) = delete;
    ControlAccessible& operator=(const ControlAccessible&) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        if (iid == __uuidof(IUnknown) || iid == __uuidof(IDispatch) || iid == __uuidof(IAccessible)) {
            *object = static_cast<IAccessible*>(this);
        } else if (iid == __uuidof(IOleWindow)) {
            *object = static_cast<IOleWindow*>(this);
        } else {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&references_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = ::InterlockedDecrement(&references_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

    // IOleWindow
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
        if (!window) return E_POINTER;
        *window = button_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { return standard_->GetTypeInfoCount(count); }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
        return standard_->GetTypeInfo(index, locale, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override {
        return standard_->GetIDsOfNames(iid, names, count, locale, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argument) override {
        return standard_->Invoke(id, iid, locale, flags, params, result, exception, argument);
    }

    // IAccessible: the button's own answers.
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        if (!IsSelf(child)) return standard_->get_accName(child, name);
        if (!name) return E_POINTER;
        *name = Copy(name_.empty() ? TextOf(button_) : name_);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        if (!IsSelf(child) || !name_.empty()) return standard_->get_accRole(child, role);
        if (!role) return E_POINTER;
        role->vt = VT_I4;
        role->lVal = ROLE_SYSTEM_PUSHBUTTON;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        if (!IsSelf(child) || !name_.empty()) return standard_->get_accState(child, state);
        if (!state) return E_POINTER;
        LONG flags = STATE_SYSTEM_FOCUSABLE;
        if (::GetFocus() == button_) flags |= STATE_SYSTEM_FOCUSED;
        if (!::IsWindowVisible(button_)) flags |= STATE_SYSTEM_INVISIBLE;
        if (!::IsWindowEnabled(button_)) flags |= STATE_SYSTEM_UNAVAILABLE;
        if (::SendMessageW(button_, BM_GETSTATE, 0, 0) & BST_PUSHED) flags |= STATE_SYSTEM_PRESSED;
        state->vt = VT_I4;
        state->lVal = flags;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        if (!IsSelf(child) || !name_.empty()) return standard_->get_accDefaultAction(child, action);
        if (!action) return E_POINTER;
        *action = Copy(L"Press");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        if (!IsSelf(child) || !name_.empty()) return standard_->accDoDefaultAction(child);
        // Posted, as the system's buttons do: the reader's call returns before the command runs.
        return ::PostMessageW(button_, BM_CLICK, 0, 0) ? S_OK : E_FAIL;
    }

    // IAccessible: the rest as the system answers it.
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override { return standard_->get_accParent(parent); }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override { return standard_->get_accChildCount(count); }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
        return standard_->get_accChild(child, object);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return standard_->get_accValue(child, value);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
        return standard_->get_accDescription(child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* text) override {
        return standard_->get_accHelp(child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
        return standard_->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
        return standard_->get_accKeyboardShortcut(child, shortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override { return standard_->get_accFocus(child); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
        return standard_->get_accSelection(children);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
        return standard_->accSelect(flags, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override {
        return standard_->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
        return standard_->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long left, long top, VARIANT* child) override {
        return standard_->accHitTest(left, top, child);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
        return standard_->put_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
        return standard_->put_accValue(child, value);
    }

private:
    ~ControlAccessible() { standard_->Release(); }

    LONG references_ = 1;
    HWND button_;
    IAccessible* standard_;
    std::wstring name_;
};

LRESULT Answer(HWND control, WPARAM wParam, LPARAM lParam, const std::wstring& name) {
    if (static_cast<LONG>(lParam) != OBJID_CLIENT) return 0;
    IAccessible* standard = nullptr;
    if (FAILED(::CreateStdAccessibleObject(
            control, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&standard))))
        return 0;
    auto* answer = new (std::nothrow) ControlAccessible(control, standard, name);
    if (!answer) {
        standard->Release();
        return 0;
    }
    const LRESULT result = ::LresultFromObject(__uuidof(IAccessible), wParam, static_cast<IAccessible*>(answer));
    answer->Release();
    return result < 0 ? 0 : result;
}

// The name and the procedure it came before, by control. Not comctl32's subclassing, nor a
// window property or GWLP_USERDATA: under Wine each of those asks the server, the first on every
// message (filling the file list took seconds more), the others once per control at start-up.
struct Named {
    WNDPROC Previous;
    std::wstring Name;
};
std::unordered_map<HWND, Named>& NamedControls() {
    static std::unordered_map<HWND, Named> named;
    return named;
}

LRESULT CALLBACK NamedProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    auto& controls = NamedControls();
    const auto named = controls.find(control);
    if (named == controls.end()) return ::DefWindowProcW(control, message, wParam, lParam);
    const WNDPROC previous = named->second.Previous;
    if (message == WM_GETOBJECT) {
        if (const LRESULT answer = Answer(control, wParam, lParam, named->second.Name)) return answer;
    } else if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
        controls.erase(named);
    }
    return ::CallWindowProcW(previous, control, message, wParam, lParam);
}

}  // namespace

LRESULT AnswerAsPushButton(HWND button, WPARAM wParam, LPARAM lParam) { return Answer(button, wParam, lParam, {}); }

bool NameForScreenReaders(HWND control, const std::wstring& name) {
    // A control bound to an object of its own is left as it is.
    if (!control || name.empty() || BoundObject(control)) return false;
    auto& controls = NamedControls();
    if (controls.contains(control)) return false;
    try {
        controls.emplace(control, Named{reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(control, GWLP_WNDPROC)), name});
    } catch (...) {
        return false;
    }
    ::SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&NamedProc));
    return true;
}

}  // namespace quorvel::win
