#include "Windows.h"

#include <cstdio>

namespace e2e::detail {
namespace {

struct TCollect {
    DWORD Pid = 0;  // 0: every window
    std::vector<HWND>* Out;
};

// Callbacks let no exception out: the vector is reserved beforehand.
BOOL CALLBACK CollectProc(HWND wnd, LPARAM lp)
{
    auto* c = reinterpret_cast<TCollect*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(wnd, &pid);
    if ((c->Pid == 0 || pid == c->Pid) && c->Out->size() < c->Out->capacity())
        c->Out->push_back(wnd);
    return TRUE;
}

}  // namespace

std::vector<HWND> TopLevelWindowsOf(DWORD pid)
{
    std::vector<HWND> out;
    out.reserve(4096);
    TCollect c{pid, &out};
    EnumWindows(CollectProc, reinterpret_cast<LPARAM>(&c));
    return out;
}

std::vector<HWND> ChildWindows(HWND parent)
{
    std::vector<HWND> out;
    out.reserve(4096);
    TCollect c{0, &out};
    EnumChildWindows(parent, CollectProc, reinterpret_cast<LPARAM>(&c));
    return out;
}

std::string ClassOf(HWND wnd)
{
    char name[256] = {};
    GetClassNameA(wnd, name, sizeof name);
    return name;
}

std::string CaptionOf(HWND wnd)
{
    char text[1024] = {};
    GetWindowTextA(wnd, text, sizeof text);
    return text;
}

std::string TextOf(HWND wnd)
{
    DWORD_PTR len = 0;
    if (!SendMessageTimeoutA(wnd, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 10000, &len))
        return {};
    std::string text(len + 1, '\0');
    DWORD_PTR got = 0;
    if (!SendMessageTimeoutA(wnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_NORMAL,
                             10000, &got))
        return {};
    text.resize(got);
    return text;
}

std::string StripAmpersands(const std::string& caption)
{
    std::string out;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size())
            ++i;
        out += caption[i];
    }
    return out;
}

std::string Quoted(const std::string& text)
{
    std::string out = "\"";
    for (unsigned char ch : text) {
        if (ch == '\r')
            out += "\\r";
        else if (ch == '\n')
            out += "\\n";
        else if (ch == '\t')
            out += "\\t";
        else if (ch == '"' || ch == '\\')
            out += std::string("\\") + static_cast<char>(ch);
        else if (ch < 32) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", ch);
            out += hex;
        } else
            out += static_cast<char>(ch);
    }
    return out + "\"";
}

}  // namespace e2e::detail
