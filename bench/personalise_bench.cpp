// Personalising a realistic HTML newsletter for a full mailing list: what the
// message view does for every recipient of a job.
#include "MessageAnalysis.h"
#include "Personalise.h"

#include <benchmark/benchmark.h>

#include <vector>

using namespace Qt::StringLiterals;

namespace {

constexpr int Rows = 20000;

// About 5 KB of HTML with 10 placeholders: plain ones in text, bracketed ones
// in tags, and paragraphs that go when their value is empty.
QStringList Newsletter()
{
    QStringList lines{
        u"<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">"_s,
        u"<title>Spring offers</title></head>"_s,
        u"<body style=\"font-family: Verdana, sans-serif; font-size: 13px; color: #202020\">"_s,
        u"<p>Dear %1 %2,</p>"_s,
        u"<p>%3</p>"_s,
        u"<p><a href=\"https://shop.example.com/offers?mail=[%0]\">Your personal offers</a></p>"_s,
    };
    for (int i = 0; i < 32; ++i)
        lines.append(u"<p>Paragraph %1 of this season's news: our shops have new goods in every department, "
                     "and the prices stay as friendly as ever. Come and see.</p>"_s.arg(i + 1));
    lines.append(u"<p>Your customer number is %4 and your branch is %5 in %6.</p>"_s);
    lines.append(u"<p><b>%7</b></p>"_s);
    lines.append(u"<p>Points collected: %8. Ask for %9 at the desk.</p>"_s);
    lines.append(u"</body></html>"_s);
    return lines;
}

QStringList RowValues(int i)
{
    return {
        u"customer%1@mail%2.example.com"_s.arg(i).arg(i % 97),
        u"Anna"_s,
        u"Smith & Sons %1"_s.arg(i),
        i % 3 == 0 ? QString() : u"A note for you, <valued> customer."_s,
        QString::number(100000 + i),
        u"Branch %1"_s.arg(i % 40),
        u"Velko"_s,
        i % 5 == 0 ? QString() : u"Double points this week!"_s,
        QString::number(i * 7 % 1000),
        u"\"Spring gift\""_s,
    };
}

void BM_PersonaliseList(benchmark::State &state)
{
    const QString t = MessageLinesToText(Newsletter());
    const bool html = IsHtmlMessage(t);
    const std::vector<TParameter> placeholders = FindPlaceholders(t, html);
    std::vector<QStringList> rows;
    rows.reserve(Rows);
    for (int i = 0; i < Rows; ++i)
        rows.push_back(RowValues(i));
    const QString subject = u"Spring offers for %1 %2 (%4)"_s;

    for (auto _ : state) {
        for (const QStringList &values : rows) {
            benchmark::DoNotOptimize(PersonaliseSubject(subject, values));
            benchmark::DoNotOptimize(PersonaliseBody(t, placeholders, values, html));
        }
    }
    state.SetItemsProcessed(state.iterations() * Rows);
    state.counters["message_chars"] = double(t.size());
    state.counters["placeholders"] = double(placeholders.size());
}

} // namespace

BENCHMARK(BM_PersonaliseList)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
