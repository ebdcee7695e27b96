// Composing one e-mail the way the sending thread does for every recipient,
// and what building the settings object costs before and after the MIME
// table is first needed.
#include "SmtpSetup.h"
#include "TESettings.h"
#include "TMEMessage.h"
#include "TMimeTable.h"

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

// About 5 kB of letter text in lines of about 70 characters.
QString LetterText(bool accented)
{
    const QString line = accented ? u"Sehr geehrte Frau M\u00FCller, f\u00FCr Ihre Gr\u00FC\u00DFe aus K\u00F6ln "
                                    "danken wir: \u00E0 bient\u00F4t, caf\u00E9 cr\u00E8me!"_s
                                  : u"Dear Mrs Miller, thank you for your kind regards from Cologne: "
                                    "see you soon, coffee!"_s;
    QString text;
    while (text.size() < 5000)
        text += line + u"\r\n"_s;
    return text;
}

void Prepare(TESettings &settings)
{
    settings.Param(spYourEmail).SetStr(u"news@shop.example.com"_s);
    settings.Param(spYourName).SetStr(u"Velko Shop"_s);
    settings.Param(spMimeEna).SetBool(true);
    settings.Param(spCharSet).SetStr(u"utf-8"_s);
    settings.Param(spExtraHdrEna).SetBool(true);
    settings.EnsureDefaults();
}

TEmailMessage HandOver(bool accented)
{
    TEmailMessage em;
    em.To = {u"anna.schmidt@mail.example.org"_s, accented ? u"Anna Schr\u00F6der"_s : u"Anna Schmidt"_s};
    em.Subject = accented ? u"Ihre Gr\u00FC\u00DFe \u2014 unser Dank"_s : u"Your regards - our thanks"_s;
    em.Body = LetterText(accented);
    em.MimeEna = true;
    em.CharSet = u"utf-8"_s;
    return em;
}

void Compose(benchmark::State &state, bool accented)
{
    TESettings settings;
    Prepare(settings);
    const TEmailMessage em = HandOver(accented);
    for (auto _ : state) {
        TMEMessage msg;
        msg.AssignMimeOptions(em);
        BuildMessage(msg, em, settings);
        AddSendOptions(msg, settings);
        QByteArray data = msg.Compose();
        QStringList recipients = msg.RecipientAddresses();
        benchmark::DoNotOptimize(data);
        benchmark::DoNotOptimize(recipients);
    }
}

void BM_ComposeAccentedText(benchmark::State &state)
{
    Compose(state, true);
}
BENCHMARK(BM_ComposeAccentedText)->Unit(benchmark::kMicrosecond);

void BM_ComposeAsciiText(benchmark::State &state)
{
    Compose(state, false);
}
BENCHMARK(BM_ComposeAsciiText)->Unit(benchmark::kMicrosecond);

// What start-up pays for the settings object when no attachment needs a type.
void BM_ConstructSettings(benchmark::State &state)
{
    for (auto _ : state) {
        TESettings settings;
        benchmark::DoNotOptimize(&settings);
    }
}
BENCHMARK(BM_ConstructSettings)->Unit(benchmark::kMicrosecond);

// What the first attachment of a run pays once.
void BM_FillMimeTable(benchmark::State &state)
{
    for (auto _ : state) {
        TMimeTable table;
        table.Fill();
        benchmark::DoNotOptimize(table.Count());
    }
}
BENCHMARK(BM_FillMimeTable)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
