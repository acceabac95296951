#include "platform/ControlRegistry.h"

#include "platform/ComCtrls.h"
#include "platform/Errors.h"
#include "platform/ExtCtrls.h"
#include "platform/FileCtrls.h"
#include "platform/StdCtrls.h"

#include <utility>

namespace {
std::vector<std::pair<std::string, TControlFactory>>& Registry()
{
    static std::vector<std::pair<std::string, TControlFactory>> registry;
    return registry;
}

template <typename T>
std::unique_ptr<TControl> Make()
{
    return std::make_unique<T>();
}
}  // namespace

void RegisterControlClass(const std::string& name, TControlFactory factory)
{
    for (auto& entry : Registry())
        if (entry.first == name) {
            entry.second = factory;
            return;
        }
    Registry().emplace_back(name, factory);
}

std::unique_ptr<TControl> CreateControl(const std::string& className)
{
    for (const auto& entry : Registry())
        if (entry.first == className)
            return entry.second();
    throw ESetupError("unknown control class " + className);
}

std::vector<std::string> RegisteredControlClasses()
{
    std::vector<std::string> names;
    for (const auto& entry : Registry())
        names.push_back(entry.first);
    return names;
}

void RegisterControlClasses()
{
    RegisterControlClass("TBevel", Make<TBevel>);
    RegisterControlClass("TButton", Make<TButton>);
    RegisterControlClass("TCheckBox", Make<TCheckBox>);
    RegisterControlClass("TDirectoryListBox", Make<TDirectoryListBox>);
    RegisterControlClass("TDriveComboBox", Make<TDriveComboBox>);
    RegisterControlClass("TEdit", Make<TEdit>);
    RegisterControlClass("TImage", Make<TImage>);
    RegisterControlClass("TLabel", Make<TLabel>);
    RegisterControlClass("TMemo", Make<TMemo>);
    RegisterControlClass("TPanel", Make<TPanel>);
    RegisterControlClass("TPageControl", Make<TPageControl>);
    RegisterControlClass("TTabSheet", Make<TTabSheet>);
    // Our own classes paint their whole background themselves.
    for (const char* cls : {"TBevel", "TImage", "TPanel", "TTabSheet"})
        if (!TControl::RegisterWindowClass(cls, nullptr))
            throw ESetupError(std::string("cannot register the window class ") + cls);
}
