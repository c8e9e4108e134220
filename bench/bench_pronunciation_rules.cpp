// Pronunciation rules on big texts: 10,000 plain rules over 1 MB of English, in one call and a
// piece at a time as speech prepares it; compiling them, and the first piece of a text after that
// (what the first sound after Ctrl+P waits for); and a pattern that backtracking engines take
// exponential time on, (a+)+$, over 100 KB of "a", against a plain rule over the same text.

#include "BenchSupport.h"
#include "speech/PronunciationRules.h"
#include "speech/TextPreparation.h"

#include <QCoreApplication>
#include <cstdio>
#include <memory>

using velmor::PronunciationRule;
using velmor::PronunciationRules;
using velmor::bench::measure;

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    std::vector<PronunciationRule> rules;
    for (int i = 0; i < 10'000; ++i)
        rules.push_back({QStringLiteral("term%1").arg(i), QStringLiteral("spoken term %1").arg(i), i % 2 == 0, i % 3 == 0, false, "*"});
    // Words that occur: a rule for each of the sentence's words among the ten thousand.
    rules.push_back({QStringLiteral("Dr."), QStringLiteral("Doctor"), true, false, false, "*"});
    rules.push_back({QStringLiteral("quick"), QStringLiteral("fast"), true, false, false, "en"});
    const QString sentence = QStringLiteral("Dr. Smith read the quick brown fox term42 and term9999 report aloud. ");
    QString english;
    while (english.size() < 1'000'000)
        english += sentence;

    const auto fresh = [&rules] { return std::make_shared<PronunciationRules>(rules); };
    std::shared_ptr<PronunciationRules> compiled = fresh();
    compiled->apply(english, 0, 100, "en-us");
    std::printf("%zu rules on %lld characters of English:\n", rules.size(), static_cast<long long>(english.size()));
    measure("  in one call (target < 100 ms)", [&] { compiled->apply(english, 0, int(english.size()), "en-us"); });
    const velmor::TextPreparer preparer(velmor::PreparationOptions("en-us", false, compiled));
    measure("  a piece at a time, as speech prepares it (target < 100 ms)", [&] {
        for (int begin = 0; begin < english.size();) {
            const int end = velmor::pieceEnd(english, begin);
            preparer.prepare(english, begin, end);
            begin = end;
        }
    });
    std::shared_ptr<PronunciationRules> justSet = fresh();
    measure("  compiling them, done as the engine is given them (off the speaking path)",
            [&] { justSet->compileFor("en-us"); });
    measure("  the first piece of a text after that (target < 20 ms)", [&] {
        const velmor::TextPreparer first(velmor::PreparationOptions("en-us", false, justSet));
        first.prepare(english, 0, velmor::pieceEnd(english, 0));
    });
    const QString said = compiled->apply(english, 0, int(sentence.size()), "en-us").text;
    std::printf("  the sentence becomes: %s\n", qUtf8Printable(said));

    const QString as(100'000, u'a');
    const PronunciationRules nested({{QStringLiteral("(a+)+$"), QStringLiteral("b"), false, false, true, "*"}});
    const PronunciationRules plain({{QStringLiteral("aa"), QStringLiteral("b"), false, false, false, "*"}});
    std::printf("100,000 times \"a\":\n");
    measure("  (a+)+$", [&] { nested.apply(as, 0, int(as.size()), "en"); });
    measure("  the plain rule \"aa\" (50,000 matches)", [&] { plain.apply(as, 0, int(as.size()), "en"); });
    return nested.apply(as, 0, int(as.size()), "en").text == u"b" ? 0 : 1;
}
