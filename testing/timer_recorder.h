#pragma once

#include <windows.h>

#include <mutex>
#include <optional>
#include <vector>

namespace qv::testing {

// Notes the period of every timer the program arms while it lives, which no API reads back: the
// program's import of SetTimer is pointed at a recorder that passes each call on. One at a time.
class TimerRecorder {
public:
    TimerRecorder() : slot_(ImportSlot()) {
        if (slot_) {
            active_ = this;
            original_ = reinterpret_cast<SetTimerFunction>(*slot_);
            Patch(reinterpret_cast<void*>(&Record));
        }
    }
    TimerRecorder(const TimerRecorder&) = delete;
    TimerRecorder& operator=(const TimerRecorder&) = delete;
    ~TimerRecorder() {
        if (slot_) {
            Patch(reinterpret_cast<void*>(original_));
            active_ = nullptr;
        }
    }

    bool Installed() const { return slot_ != nullptr; }
    // The period the window's timer was armed with last; none if it was not armed meanwhile.
    std::optional<UINT> LastPeriod(HWND window, UINT_PTR id) const {
        const std::lock_guard lock(mutex_);
        std::optional<UINT> period;
        for (const Armed& armed : armed_) {
            if (armed.window == window && armed.id == id) {
                period = armed.periodMs;
            }
        }
        return period;
    }
    void Forget() {
        const std::lock_guard lock(mutex_);
        armed_.clear();
    }

private:
    using SetTimerFunction = UINT_PTR(WINAPI*)(HWND, UINT_PTR, UINT, TIMERPROC);
    struct Armed {
        HWND window;
        UINT_PTR id;
        UINT periodMs;
    };

    static UINT_PTR WINAPI Record(HWND window, UINT_PTR id, UINT period, TIMERPROC procedure) {
        TimerRecorder* self = active_;
        {
            const std::lock_guard lock(self->mutex_);
            self->armed_.push_back({window, id, period});
        }
        return self->original_(window, id, period, procedure);
    }

    // The program's import address entry that holds SetTimer.
    static void** ImportSlot() {
        const auto target =
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "SetTimer"));
        auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
        const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
        const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
        const IMAGE_DATA_DIRECTORY& imports =
            nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        if (!target || imports.VirtualAddress == 0) {
            return nullptr;
        }
        for (auto* module =
                 reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
             module->Name != 0; ++module) {
            for (auto** slot = reinterpret_cast<void**>(base + module->FirstThunk); *slot; ++slot) {
                if (*slot == target) {
                    return slot;
                }
            }
        }
        return nullptr;
    }

    void Patch(void* function) const {
        DWORD protection = 0;
        VirtualProtect(slot_, sizeof *slot_, PAGE_READWRITE, &protection);
        *slot_ = function;
        VirtualProtect(slot_, sizeof *slot_, protection, &protection);
    }

    inline static TimerRecorder* active_ = nullptr;
    void** slot_;
    SetTimerFunction original_ = nullptr;
    mutable std::mutex mutex_;
    std::vector<Armed> armed_;
};

} // namespace qv::testing
