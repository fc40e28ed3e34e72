// ByteText and EditHistory against a plain std::string and the list of texts each step leaves:
// every edit, undo and redo gives the model's bytes, and the line index agrees with a naive
// scan for CR LF. The word wrap of the line at the caret, kept across edits, agrees with the
// new line laid out row after row.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "byte_text_model.h"
#include "core/byte_text.h"
#include "core/edit_history.h"
#include "core/wrap_layout.h"
#include "fuzz_support.h"

namespace {

// Rows of the line from a layout kept across edits against the row after row of LayRow, at
// the rows next to each kept row start and at the end.
void CheckWrap(wrap::LineWrap& kept, const wrap::Metrics& metrics, wrap::Fixed width,
               const TextPieces& line)
{
    std::vector<wrap::Row> rows;
    std::size_t start = 0;
    do {
        rows.push_back(wrap::LayRow(metrics, width, line, start));
        FUZZ_CHECK(rows.back().end > start || line.size() == 0, "an empty row");
        start = rows.back().end;
    } while (start < line.size());
    FUZZ_CHECK(kept.rowCount(line) == rows.size(), "row count after an edit");
    constexpr std::size_t kEvery = wrap::LineWrap::kRowsPerPoint;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (i % kEvery > 1 && i % kEvery != kEvery - 1 && i + 2 < rows.size())
            continue;
        const wrap::Row r = kept.row(line, i);
        FUZZ_CHECK(r.start == rows[i].start && r.end == rows[i].end, "row " + std::to_string(i));
    }
}

}  // namespace

// Byte 0: repeats of the seed text (x 16); byte 1: the seed's length; the seed. Then operations
// of four bytes each (kind, position, length, piece length) and their piece.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::InputReader reader(data, size);
    const std::size_t repeats = reader.Byte() % 8 * 16 + 1;
    const std::string_view seed = reader.Bytes(reader.Byte() % 20);
    std::string initial;
    for (std::size_t i = 0; i < repeats && !seed.empty(); ++i)
        initial.append(seed);

    ByteText text;
    FUZZ_CHECK(text.setText(std::string(initial)), "setText refused");
    EditHistory history;
    byte_text_model::History model(initial);

    wrap::Metrics metrics;
    for (int b = 0; b < 256; ++b)
        metrics.advance[b] = (1 + b % 5) * 64;
    metrics.tabStop = 7 * 64;
    const wrap::Fixed width = 23 * 64;
    std::size_t keptLine = 0;
    std::size_t keptLineStart = 0;
    std::optional<wrap::LineWrap> layout;

    using Moves = std::vector<std::pair<int, bool>>;
    Moves moves;  // what the whole-text steps were told, by step
    for (int step = 0; step < 32; ++step) {
        const std::uint8_t kind = reader.Byte();
        const std::size_t cur = model.text().size();
        const std::size_t pos = (reader.Byte() | std::size_t{reader.Byte()} << 8) % (cur + 2);
        const std::size_t len = reader.Byte() % 8;
        const std::string piece(reader.Bytes(kind >> 4));
        const std::size_t at = std::min(pos, cur);
        const std::size_t n = std::min(len, cur - at);
        std::size_t changedAt = at;
        bool everywhere = false;  // undo, redo and whole-text steps
        switch (kind % 6) {
            case 0: {  // typing, on at the caret when the low bit of the length says so
                const bool onward = model.typingOpen() && (len & 1);
                const TextSelection sel{onward ? model.typingEnd() : at, onward ? 0 : n};
                FUZZ_CHECK(history.type(text, sel, piece), "type refused");
                model.type(sel, piece);
                changedAt = sel.start;
                break;
            }
            case 1:
                FUZZ_CHECK(history.edit(text, {at, n}, pos, len, piece), "edit refused");
                model.edit({at, n}, at, n, piece);
                break;
            case 2: {
                std::string next = model.text();
                for (char& c : next)
                    c = static_cast<char>(c ^ (piece.empty() ? 1 : piece[0] & 0x21));
                // What else the step changed is told back on each undo and redo, by its step.
                FUZZ_CHECK(history.replaceWhole(text, {at, n}, std::string(next), {0, 0},
                                                [&moves, step](bool undone) {
                                                    moves.emplace_back(step, undone);
                                                }),
                           "replaceWhole refused");
                model.whole({at, n}, std::move(next), {0, 0}, step);
                everywhere = true;
                break;
            }
            case 3: {
                const int whole = model.wholeToUndo();
                moves.clear();
                FUZZ_CHECK(history.undo(text) == model.undo(), "undo, or the selection it gave");
                FUZZ_CHECK(moves == (whole < 0 ? Moves{} : Moves{{whole, true}}),
                           "undo told the wrong step what else to put back");
                everywhere = true;
                break;
            }
            case 4: {
                const int whole = model.wholeToRedo();
                moves.clear();
                FUZZ_CHECK(history.redo(text) == model.redo(), "redo, or the caret it gave");
                FUZZ_CHECK(moves == (whole < 0 ? Moves{} : Moves{{whole, false}}),
                           "redo told the wrong step what else to do again");
                everywhere = true;
                break;
            }
            default:
                FUZZ_CHECK(text.text() == model.text(), "text() differs");
                break;
        }
        const std::string wrong = byte_text_model::Disagreement(text, model.text(), 61);
        FUZZ_CHECK(wrong.empty(), wrong + " for " + fuzz::Hex(model.text()));

        // The line that holds the change keeps its layout when it is the line laid out before
        // and still starts where it did; any other line is laid out afresh.
        const std::size_t line = text.lineOf(changedAt);
        const std::size_t lineStart = text.lineStart(line);
        if (everywhere || !layout || line != keptLine || lineStart != keptLineStart) {
            layout.emplace(metrics, width);
            keptLine = line;
            keptLineStart = lineStart;
        } else {
            layout->edited(changedAt - lineStart);
        }
        CheckWrap(*layout, metrics, width, text.pieces(lineStart, text.lineEnd(line) - lineStart));
    }
    return 0;
}
