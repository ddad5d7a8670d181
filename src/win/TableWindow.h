#pragma once

// The base of every window built from a layout table, for the window's whole life: it registers
// the table's class, creates the window at its monitor's DPI, builds and owns the controls,
// places the window, registers its keyboard navigation, answers the messages all such windows
// answer alike, routes commands to member handlers through the window's command table, and
// undoes all of it when the window is destroyed, by the user or with the object.

#include <windows.h>

#include <span>
#include <string>
#include <string_view>

#include "batch/BatchRequest.h"
#include "win/BaseWindow.h"
#include "win/KeyboardNavigation.h"
#include "win/Dpi.h"
#include "win/Layout.h"
#include "win/LayoutBuilder.h"
#include "win/MessageSink.h"
#include "win/SettingsStore.h"
#include "win/TableRow.h"
#include "win/WindowText.h"
#include "batch/TextWindows.h"

namespace quorvel::win {

using layout::Placement;

// The one centring rule: where a frame of this size goes, on the monitor of over (when placed
// over it) or else of window (null: a window still to be made).
POINT CentredOrigin(SIZE frame, Placement placement, HWND over, HWND window = nullptr);
void Centre(HWND window, Placement placement, HWND over = nullptr);

// Brings an open window to the front and gives it the keyboard, restoring it when minimised.
// evenWhenActive: the program believes the window active, but a window manager may be about to
// hand the keyboard elsewhere (a message box over it has just closed).
void Activate(HWND window, bool evenWhenActive = false);

// The request of a window that fills none.
struct NoRequest {};

// What every table-built window is given: the program's navigation list and message sink.
struct WindowServices {
    KeyboardNavigation& Keyboard;
    const MessageSink& Messages;
};

template <typename T, const layout::Window& Table, typename Request = NoRequest>
class TableWindow : public BaseWindow<T> {
public:
    using Id = layout::ControlId<Table>;
    using Row = TableRow<T, Table, Request>;

    explicit TableWindow(const WindowServices& services) : keyboard_(services.Keyboard), messages_(services.Messages) {}
    ~TableWindow() override {
        // Unbound first: T's members are gone, so no handler of T may run.
        if (HWND window = this->DestroyUnbound()) keyboard_.Remove(window);
    }

    // Loads the window when it is not loaded (creation, then OnLoad, which fills and shows it),
    // or shows it again. opener: the owner of an owned window, the window to centre over for
    // the others. Fails, saying why, when the window could not be created.
    Status ShowOrActivate(HWND opener = nullptr) {
        if (IsLoaded()) {
            OnShowAgain();
            return Status::Ok();
        }
        if (Status created = CreateFromTable(opener); !created) return created;
        OnLoad();
        return Status::Ok();
    }

    HWND Control(Id id) const { return layout_.Control(id.Index); }
    std::wstring Text(Id id) const { return TextOf(Control(id)); }
    void SetText(Id id, std::wstring_view text) { win::SetText(Control(id), text); }
    bool IsLoaded() const { return this->IsCreated(); }
    // A message to the user over this window.
    void ShowMessage(std::wstring_view text) const { messages_.Show(this->Window(), text); }
    void ShowMessage(const Status& failure, std::wstring_view doing = {}) const {
        messages_.Show(this->Window(), failure, doing);
    }
    CheckState CheckOf(Id box) const { return ::SendMessageW(Control(box), BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0; }
    void SetCheck(Id box, CheckState state) {
        ::SendMessageW(Control(box), BM_SETCHECK, state == 1 ? BST_CHECKED : BST_UNCHECKED, 0);
    }

    // The request's fields as the controls hold them now.
    Request TakeFields() const {
        Request request;
        for (const Row& row : Rows()) {
            if (row.Text) request.*row.Text = Narrow(Text(row.Control));
            if (row.Check) request.*row.Check = CheckOf(row.Control);
        }
        return request;
    }
    // Every persisted control from the store; a check box is set without running its handler.
    void RestoreSettings(const SettingsStore& settings) {
        for (const Row& row : Rows()) {
            if (!row.Setting) continue;
            const std::wstring value = settings.Read(SettingKey::Of(row));
            if (IsCheckBox(row.Control)) {
                SetCheck(row.Control, CheckStateFromText(value));
            } else {
                SetText(row.Control, value);
            }
        }
    }
    // Every persisted control into the store, in table order.
    void StoreSettings(SettingsStore& settings) const {
        for (const Row& row : Rows()) {
            if (row.Setting)
                settings.Write(SettingKey::Of(row),
                               IsCheckBox(row.Control) ? CheckStateText(CheckOf(row.Control)) : Text(row.Control));
        }
    }

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
        LRESULT result = 0;
        if (message == WM_DESTROY) {
            keyboard_.Remove(this->Window());
            OnDestroy();
            return 0;
        }
        if (OnMessage(message, wParam, lParam, result)) return result;
        switch (message) {
            case WM_COMMAND: Dispatch(LOWORD(wParam), HIWORD(wParam)); return 0;
            case DM_GETDEFID: return DefaultButton();
            case WM_ACTIVATE: layout_.RestoreFocusOnActivate(this->Window(), wParam); return 0;
            case WM_CLOSE: OnClose(); return 0;
            case kNavigated: layout_.FollowFocus(::GetFocus()); return 0;
            default: break;
        }
        if (layout_.HandleWindowMessage(this->Window(), message, wParam, lParam, result)) return result;
        return this->DefaultHandling(message, wParam, lParam);
    }

protected:
    // Creates the window and its controls, sized for its monitor's DPI and placed as the frame
    // says. The window is not shown yet.
    Status CreateFromTable(HWND opener) {
        const layout::Frame& frame = Table.Framing;
        const HICON icon =
            frame.Icon ? ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(frame.Icon)) : nullptr;
        const HWND owner = frame.Owned ? opener : nullptr;
        // Made at its final size and place when the DPI guessed here is its monitor's, as it is
        // on one monitor: moving a window costs Wine a round of server requests.
        const UINT openerDpi = opener ? ::GetDpiForWindow(opener) : 0;
        const int guessedDpi = static_cast<int>(openerDpi ? openerDpi : ::GetDpiForSystem());
        const RECT size = FrameSize(guessedDpi);
        const POINT at = CentredOrigin({size.right - size.left, size.bottom - size.top}, frame.Where, opener, nullptr);
        if (!this->CreateWindowOf(WindowClass{frame.ClassName, icon},
                                  Table.Caption,
                                  frame.Style,
                                  frame.ExStyle,
                                  owner,
                                  {at.x, at.y, at.x + size.right - size.left, at.y + size.bottom - size.top}))
            return Status::Fail(Narrow(L"Cannot create the window " + std::wstring(Table.Name) + L": " +
                                       SystemErrorText(::GetLastError())));
        if (Status built = layout_.Build(this->Window(), Table); !built) {
            // Gone before it was loaded: no handler of the window may run for it.
            (void)this->DestroyUnbound();
            return built;
        }
        if (layout_.Dpi() != guessedDpi) {
            const RECT rect = FrameSize(layout_.Dpi());
            ::SetWindowPos(this->Window(),
                           nullptr,
                           0,
                           0,
                           rect.right - rect.left,
                           rect.bottom - rect.top,
                           SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            Centre(this->Window(), frame.Where, opener);
        }
        keyboard_.Add(this->Window());
        return Status::Ok();
    }

    // The frame around the table's client area at this DPI.
    static RECT FrameSize(int dpi) {
        const layout::Frame& frame = Table.Framing;
        RECT rect{0, 0, TwipsToPixels(Table.ClientWidth, dpi), TwipsToPixels(Table.ClientHeight, dpi)};
        ::AdjustWindowRectExForDpi(&rect, frame.Style, FALSE, frame.ExStyle, static_cast<UINT>(dpi));
        return rect;
    }

    // Fills the controls and shows the window: the window's Form_Load.
    virtual void OnLoad() = 0;
    // ShowOrActivate on a loaded window.
    virtual void OnShowAgain() { Activate(this->Window()); }
    // The window is being destroyed; its controls are still there.
    virtual void OnDestroy() {}
    // The window's table.
    virtual std::span<const Row> Rows() const = 0;
    // A command no row of the table takes: Enter's IDOK and Esc's IDCANCEL among them.
    virtual void OnOtherCommand(int /*id*/, int /*code*/) {}
    // Enter presses the push button that has the focus and no other, unless a window says otherwise.
    virtual LRESULT DefaultButton() { return layout_.FocusedPushButtonAsDefault(this->Window()); }
    virtual void OnClose() { ::DestroyWindow(this->Window()); }
    // A message the window answers itself before the shared handling; true when it did.
    virtual bool OnMessage(UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/, LRESULT& /*result*/) {
        return false;
    }

    BuiltLayout& Layout() { return layout_; }
    static constexpr int CommandId(Id id) { return BuiltLayout::IdOfRow(id.Index); }

private:
    void Dispatch(int id, int code) {
        const int row = BuiltLayout::RowOfId(id);
        if (code == BN_SETFOCUS || code == BN_KILLFOCUS) {
            const HWND button = layout_.Control(row);
            const layout::Control* control = layout_.RowOf(button);
            // A button that takes the focus says so: only where the focus went needs asking.
            if (control && control->Type == layout::Kind::PushButton)
                layout_.FollowFocus(code == BN_SETFOCUS ? button : ::GetFocus());
        }
        for (const Row& command : Rows()) {
            if (command.Run && command.Control.Index == row && command.Notification == code) {
                (static_cast<T*>(this)->*command.Run)();
                return;
            }
        }
        OnOtherCommand(id, code);
    }

    static constexpr bool IsCheckBox(Id id) { return Table.Controls[id.Index].Type == layout::Kind::CheckBox; }

    void OnUnexpected(const std::wstring& text) noexcept override {
        try {
            ShowMessage(text);
        } catch (...) {
        }
    }

    KeyboardNavigation& keyboard_;
    const MessageSink& messages_;
    BuiltLayout layout_;
};

}  // namespace quorvel::win
