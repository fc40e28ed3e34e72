#include "core/show_note.h"

#include <cstdio>
#include <utility>

#include "core/translate.h"

namespace {
NoteHandler& Handler()
{
    static NoteHandler handler;
    return handler;
}
}  // namespace

void ShowNote(std::string_view source)
{
    // A marked text is shown in the user's language; one made of parts was translated by parts.
    const std::string text = TrNote(source);
    // Copy, so that a handler replacing itself while it runs stays alive until it returns.
    const NoteHandler handler = Handler();
    if (handler)
        handler(text);
    else
        std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
}

NoteHandler SetNoteHandler(NoteHandler handler)
{
    return std::exchange(Handler(), std::move(handler));
}
