// The error box of the setup and the guard that keeps every error out of the
// Win32 callbacks: the i686 build unwinds with DWARF tables, which cannot pass
// through user32's frames, so an error must be caught before it reaches them.
#pragma once

#include "platform/Errors.h"

// The name the box shows for the error being handled; call inside a catch block.
const char* CurrentErrorTypeName() noexcept;

// "Exception %s": no owner, no caption, task-modal, error icon.
void ShowExceptionBox(const char* typeName) noexcept;

// Runs f; the silent abort error ends it quietly, any other error shows the
// box. False when f did not run to its end.
template <typename F>
bool GuardedCall(F&& f) noexcept
{
    try {
        f();
        return true;
    } catch (const EAbort&) {
        return false;
    } catch (...) {
        ShowExceptionBox(CurrentErrorTypeName());
        return false;
    }
}
