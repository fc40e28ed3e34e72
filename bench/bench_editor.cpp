// The editing area's whole-text set and get against a bare QPlainTextEdit given the same text,
// at 1, 10 and 50 MB; and opening a text into the editing area's own view against the same bare
// widget. Run with QT_QPA_PLATFORM=offscreen.
#include <chrono>
#include <random>
#include <string>

#include <QApplication>
#include <QPlainTextEdit>
#include <QTextDocument>

#include <benchmark/benchmark.h>

#include "ui/editor/memo.h"
#include "ui/editor/text_codec.h"
#include "ui/editor/text_view.h"

namespace {

// Printable text in lines of 40..100 characters, CR LF between them.
std::string MakeText(std::size_t bytes)
{
    std::mt19937 rng(7);
    std::string s;
    s.reserve(bytes);
    while (s.size() < bytes) {
        const std::size_t line = 40 + rng() % 61;
        for (std::size_t i = 0; i < line && s.size() < bytes; ++i)
            s += static_cast<char>(i % 7 == 6 ? ' ' : 'a' + rng() % 26);
        s += "\r\n";
    }
    s.resize(bytes);
    return s;
}

const std::string& Text(std::int64_t mb)
{
    static std::string texts[51];
    std::string& t = texts[mb];
    if (t.empty())
        t = MakeText(static_cast<std::size_t>(mb) << 20);
    return t;
}

void BM_MemoSet(benchmark::State& state)
{
    const std::string& text = Text(state.range(0));
    Memo memo;
    memo.resize(700, 400);
    for (auto _ : state)
        memo.setBytes(text);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}

void BM_BareSet(benchmark::State& state)
{
    // The floor: the same text, already a QString with '\n' breaks, into a bare widget.
    const QString text = QString::fromLatin1(Text(state.range(0))).remove(QLatin1Char('\r'));
    QPlainTextEdit edit;
    edit.resize(700, 400);
    for (auto _ : state)
        edit.setPlainText(text);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}

void BM_MemoGet(benchmark::State& state)
{
    const std::string& text = Text(state.range(0));
    Memo memo;
    memo.setBytes(text);
    for (auto _ : state) {
        // Read through the document, as after an edit, not the kept copy.
        std::string bytes = text_codec::QtRawToBytes(memo.document()->toRawText());
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}

void BM_BareGet(benchmark::State& state)
{
    QPlainTextEdit edit;
    edit.setPlainText(QString::fromLatin1(Text(state.range(0))).remove(QLatin1Char('\r')));
    for (auto _ : state) {
        QString s = edit.document()->toRawText();
        benchmark::DoNotOptimize(s.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(Text(state.range(0)).size()));
}

double MsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

// A text opened and shown: set, then the first screen painted. Both widgets in the same
// iteration, wrapping at the same width, so that a busy machine slows both alike. The view's
// time includes copying the bytes it takes over; the bare widget gets its QString ready made.
void BM_ViewVsBareOpen(benchmark::State& state)
{
    const std::string& text = Text(state.range(0));
    const QString qtext = QString::fromLatin1(text).remove(QLatin1Char('\r'));
    TextView view;
    view.resize(700, 400);
    QPlainTextEdit bare;
    bare.setLineWrapMode(QPlainTextEdit::WidgetWidth);
    bare.setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    bare.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    bare.resize(700, 400);
    double viewMs = 0;
    double bareMs = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        view.setBytes(std::string(text));
        benchmark::DoNotOptimize(view.grab());
        viewMs += MsSince(start);
        start = std::chrono::steady_clock::now();
        bare.setPlainText(qtext);
        benchmark::DoNotOptimize(bare.grab());
        bareMs += MsSince(start);
    }
    const auto n = static_cast<double>(state.iterations());
    state.counters["view_ms"] = viewMs / n;
    state.counters["bare_ms"] = bareMs / n;
}

}  // namespace

BENCHMARK(BM_ViewVsBareOpen)->Arg(50)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_BareSet)->Arg(1)->Arg(10)->Arg(50)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_MemoSet)->Arg(1)->Arg(10)->Arg(50)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_BareGet)->Arg(1)->Arg(10)->Arg(50)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_MemoGet)->Arg(1)->Arg(10)->Arg(50)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
