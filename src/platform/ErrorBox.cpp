#include "platform/ErrorBox.h"

#include <windows.h>

#include <cstdio>
#include <exception>
#include <new>

const char* CurrentErrorTypeName() noexcept
{
    try {
        throw;
    } catch (const ESetupError& e) {
        return e.TypeName();
    } catch (const std::bad_alloc&) {
        return "EOutOfMemory";
    } catch (const std::exception&) {
        return "EStdException";
    } catch (...) {
        return "EUnknownException";
    }
}

void ShowExceptionBox(const char* typeName) noexcept
{
    // A fixed buffer: the box may report exhausted memory.
    char text[128];
    std::snprintf(text, sizeof text, "Exception %s", typeName);
    MessageBoxA(nullptr, text, nullptr, MB_TASKMODAL | MB_ICONERROR);
}
