// The welcome text read and laid out in the welcome window's text box: about
// 1 MB of rich text, once as many paragraphs of formatting runs and once as
// one paragraph of them, the hardest case for reading in the runs one by one.
#include "BenchMain.h"
#include "RtfReader.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>

namespace {

constexpr qsizetype FileSize = 1024 * 1024;

QByteArray WelcomeRtf(bool oneParagraph)
{
    QByteArray rtf = R"({\rtf1\ansi\ansicpg1252\deff0{\fonttbl{\f0\fswiss Arial;}}{\colortbl ;\red32\green64\blue112;})"
                     "\n\\pard\\qc\\cf1\\b\\fs28 Welcome\\b0\\cf0\\fs20\\par\n\\pard\\sb60\\sa60 ";
    for (int i = 0; rtf.size() < FileSize; ++i) {
        rtf += "\\b x\\b0 y {\\i caf\\'e9} {\\ul \\u8364?} ";
        if (!oneParagraph && i % 40 == 39)
            rtf += "\\par\n";
    }
    return rtf + "\\par}";
}

void BM_ReadAndLayOutWelcomeText(benchmark::State &state)
{
    const QByteArray rtf = WelcomeRtf(state.range(0) != 0);
    QTextEdit box; // as the welcome window has it
    box.setReadOnly(true);
    box.resize(345, 229);
    for (auto _ : state) {
        ReadRtf(rtf, *box.document());
        // Asking for the last paragraph's place lays out everything before it.
        QTextDocument &document = *box.document();
        benchmark::DoNotOptimize(document.documentLayout()->blockBoundingRect(document.lastBlock()));
    }
    state.SetBytesProcessed(state.iterations() * rtf.size());
}
BENCHMARK(BM_ReadAndLayOutWelcomeText)->ArgName("oneParagraph")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return RunBenchmarks<QApplication>(argc, argv);
}
