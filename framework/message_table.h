#pragma once

#include <windows.h>
#include <windowsx.h>

#include <span>
#include <tuple>
#include <type_traits>

namespace qv {

class CDialog;

// The arguments a handler receives for a message; messages not listed here pass raw WPARAM/LPARAM.
template <UINT Message> struct MessageArgs {
    static auto Get(WPARAM w, LPARAM l) { return std::tuple<WPARAM, LPARAM>(w, l); }
};

template <UINT Message>
requires(Message == WM_PAINT || Message == WM_DESTROY || Message == WM_CREATE ||
         Message == WM_QUERYDRAGICON || Message == WM_MOUSELEAVE) struct MessageArgs<Message> {
    static auto Get(WPARAM, LPARAM) { return std::tuple<>(); }
};

template <UINT Message>
requires(Message == WM_MOUSEMOVE || Message == WM_LBUTTONDOWN || Message == WM_LBUTTONUP ||
         Message == WM_RBUTTONDOWN || Message == WM_RBUTTONUP ||
         Message == WM_LBUTTONDBLCLK) struct MessageArgs<Message> {
    static auto Get(WPARAM w, LPARAM l) {
        return std::tuple<UINT, POINT>(UINT(w), POINT{GET_X_LPARAM(l), GET_Y_LPARAM(l)});
    }
};

template <UINT Message>
requires(Message == WM_CTLCOLORSTATIC || Message == WM_CTLCOLORLISTBOX ||
         Message == WM_CTLCOLOREDIT || Message == WM_CTLCOLORDLG ||
         Message == WM_CTLCOLORBTN) struct MessageArgs<Message> {
    static auto Get(WPARAM w, LPARAM l) {
        return std::tuple<HDC, HWND>(reinterpret_cast<HDC>(w), reinterpret_cast<HWND>(l));
    }
};

template <> struct MessageArgs<WM_TIMER> {
    static auto Get(WPARAM w, LPARAM) { return std::tuple<UINT_PTR>(w); }
};

template <> struct MessageArgs<WM_HOTKEY> {
    static auto Get(WPARAM w, LPARAM) { return std::tuple<int>(int(w)); }
};

template <> struct MessageArgs<WM_SIZE> {
    static auto Get(WPARAM w, LPARAM l) {
        return std::tuple<UINT, int, int>(UINT(w), LOWORD(l), HIWORD(l));
    }
};

template <> struct MessageArgs<WM_ERASEBKGND> {
    static auto Get(WPARAM w, LPARAM) { return std::tuple<HDC>(reinterpret_cast<HDC>(w)); }
};

template <> struct MessageArgs<WM_SETCURSOR> {
    static auto Get(WPARAM w, LPARAM l) {
        return std::tuple<HWND, UINT, UINT>(reinterpret_cast<HWND>(w), LOWORD(l), HIWORD(l));
    }
};

template <typename Method> struct MethodClass;
template <typename Class, typename Result, typename... Args>
struct MethodClass<Result (Class::*)(Args...)> {
    using type = Class;
};

template <typename Result> LRESULT ToLResult(Result result) {
    if constexpr (std::is_pointer_v<Result>) {
        return reinterpret_cast<LRESULT>(result);
    } else {
        return static_cast<LRESULT>(result);
    }
}

using MessageThunk = LRESULT (*)(CDialog&, WPARAM, LPARAM);

enum class EntryKind { Message, Command, Notify };
enum class After { Done, Default };

struct MessageEntry {
    EntryKind kind;
    UINT message; // the window message, or WM_COMMAND for commands and notifications
    UINT id;      // command or control id
    UINT code;    // notification code
    After after;
    MessageThunk thunk;

    bool Matches(UINT msg, WPARAM w) const {
        if (msg != message) {
            return false;
        }
        switch (kind) {
        case EntryKind::Message:
            return true;
        case EntryKind::Command: // menus send code 0, accelerators 1, buttons BN_CLICKED (0)
            return LOWORD(w) == id && HIWORD(w) <= 1;
        case EntryKind::Notify:
            return LOWORD(w) == id && HIWORD(w) == code;
        }
        return false;
    }
};

template <UINT Message, auto Handler> LRESULT CallHandler(CDialog& base, WPARAM w, LPARAM l) {
    using Class = typename MethodClass<decltype(Handler)>::type;
    auto& self = static_cast<Class&>(base);
    auto call = [&self](auto... args) { return (self.*Handler)(args...); };
    auto args = MessageArgs<Message>::Get(w, l);
    if constexpr (std::is_void_v<decltype(std::apply(call, args))>) {
        std::apply(call, args);
        return 0;
    } else {
        return ToLResult(std::apply(call, args));
    }
}

template <auto Handler> LRESULT CallCommand(CDialog& base, WPARAM, LPARAM) {
    using Class = typename MethodClass<decltype(Handler)>::type;
    (static_cast<Class&>(base).*Handler)();
    return 0;
}

template <UINT Message, auto Handler, After Then = After::Done> constexpr MessageEntry OnMessage() {
    return {EntryKind::Message, Message, 0, 0, Then, &CallHandler<Message, Handler>};
}

template <UINT Id, auto Handler> constexpr MessageEntry OnCommand() {
    return {EntryKind::Command, WM_COMMAND, Id, 0, After::Done, &CallCommand<Handler>};
}

template <UINT Id, UINT Code, auto Handler> constexpr MessageEntry OnNotify() {
    return {EntryKind::Notify, WM_COMMAND, Id, Code, After::Done, &CallCommand<Handler>};
}

// Enter and Esc arrive as commands 1 and 2; a window that must survive them binds them here.
inline LRESULT Swallow(CDialog&, WPARAM, LPARAM) {
    return 0;
}
template <UINT Id> constexpr MessageEntry IgnoreCommand() {
    return {EntryKind::Command, WM_COMMAND, Id, 0, After::Done, &Swallow};
}

using MessageTable = std::span<const MessageEntry>;

} // namespace qv
