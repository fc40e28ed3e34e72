#include "scripted_desktop.h"

#include <algorithm>

#include <QPrinter>

namespace {
template <typename T>
std::optional<T> Next(std::deque<T>& queue)
{
    if (queue.empty())
        return std::nullopt;
    T value = std::move(queue.front());
    queue.pop_front();
    return value;
}
}  // namespace

Desktop::RestoreAnswer ScriptedDesktop::askRestore(const std::string& caption,
                                                   const std::string& question)
{
    const std::optional<bool> answer = Next(answers);
    calls.push_back({Kind::Question, caption, question, {}, !answer});
    if (!answer)
        return RestoreAnswer::Later;
    return *answer ? RestoreAnswer::Restore : RestoreAnswer::Discard;
}

bool ScriptedDesktop::askYesNo(const std::string& caption, const std::string& question)
{
    const std::optional<bool> answer = Next(answers);
    calls.push_back({Kind::Question, caption, question, {}, !answer});
    return answer.value_or(false);
}

void ScriptedDesktop::showError(const std::string& caption, const std::string& message)
{
    calls.push_back({Kind::Error, caption, message, {}, false});
}

std::optional<std::string> ScriptedDesktop::openFileDialog(const FileDialogRequest& request)
{
    auto path = Next(openPaths);
    calls.push_back({Kind::OpenDialog, {}, {}, request, !path});
    return path ? *path : std::nullopt;
}

std::optional<std::string> ScriptedDesktop::saveFileDialog(const FileDialogRequest& request)
{
    auto path = Next(savePaths);
    calls.push_back({Kind::SaveDialog, {}, {}, request, !path});
    return path ? *path : std::nullopt;
}

bool ScriptedDesktop::printDialog(QPrinter& printer)
{
    auto file = Next(printFiles);
    calls.push_back({Kind::PrintDialog, {}, printer.docName().toStdString(), {}, !file});
    if (!file || !*file)
        return false;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(**file));
    return true;
}

void ScriptedDesktop::openUrl(const std::string& url)
{
    calls.push_back({Kind::OpenUrl, {}, url, {}, false});
}

std::vector<ScriptedDesktop::Call> ScriptedDesktop::callsOf(Kind kind) const
{
    std::vector<Call> out;
    std::copy_if(calls.begin(), calls.end(), std::back_inserter(out),
                 [kind](const Call& c) { return c.kind == kind; });
    return out;
}

bool ScriptedDesktop::anyUnscripted() const
{
    return std::any_of(calls.begin(), calls.end(), [](const Call& c) { return c.unscripted; });
}
