#pragma once

#include <functional>

namespace zodra::ui {
class WindowHost;
}

namespace zodra::registers::ui {

// What a register's windows do beyond the register itself: window matters that have no place
// in the register's description.
struct RegisterWindowOptions {
    // After a row was added, changed or deleted (e.g. refill the main window's warehouse box).
    std::function<void(zodra::ui::WindowHost&)> afterChange;
};

}  // namespace zodra::registers::ui
