#include "ui/platform/command_guard.h"

#include <new>
#include <utility>

#include "core/command_error.h"
#include "document/file_messages.h"
#include "ui/platform/desktop.h"

namespace {
std::string& Title()
{
    static std::string title;
    return title;
}
}  // namespace

void SetApplicationTitle(std::string title)
{
    Title() = std::move(title);
}

const std::string& ApplicationTitle()
{
    return Title();
}

bool RunCommand(Desktop& desktop, const std::function<void()>& command)
{
    try {
        command();
        return true;
    } catch (const CommandError& e) {
        desktop.showError(ApplicationTitle(), e.what());
    } catch (const std::bad_alloc&) {
        desktop.showError(ApplicationTitle(), Tr(kOutOfMemory));
    }
    return false;
}
