// Every message of the setup goes through SetupMsgBox: the fixed caption, an
// icon by kind, one of the system's button rows, task-modal, US English.
#pragma once

#include <cstdint>
#include <string>

enum TMsgKind : uint8_t { mkWarning = 0, mkError = 1, mkInformation = 2, mkQuestion = 3 };

using TMsgButtons = uint16_t;
enum : TMsgButtons {
    btYes = 1 << 0,
    btNo = 1 << 1,
    btOK = 1 << 2,
    btCancel = 1 << 3,
    btAbort = 1 << 4,
    btRetry = 1 << 5,
    btIgnore = 1 << 6,
};

enum TMsgAnswer : uint8_t { maOK = 1, maCancel = 2, maAbort = 3, maRetry = 4, maIgnore = 5, maYes = 6, maNo = 7 };

TMsgAnswer SetupMsgBox(const std::string& text, TMsgKind kind, TMsgButtons buttons);

// The owner of every box: the window that stands for the program, once it exists.
void SetMsgBoxOwner(void* hwnd);
