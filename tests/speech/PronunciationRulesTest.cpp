#include "QtPrinters.h"

#include "document/Sentences.h"
#include "document/TextFile.h"
#include "speech/PronunciationRules.h"
#include "speech/TextPreparation.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using velmor::PronunciationRule;
using velmor::PronunciationRules;

namespace {

PronunciationRule rule(const QString& find, const QString& say, const QString& options = {}, const QByteArray& language = "*")
{
    return {find, say, options.contains(u'w'), options.contains(u'c'), options.contains(u'r'), language};
}

QString applied(const std::vector<PronunciationRule>& rules, const QString& text, const QByteArray& language = "en")
{
    return PronunciationRules(rules).apply(text, 0, int(text.size()), language).text;
}

} // namespace

TEST(PronunciationRules, ApplyInTableOrderWithWholeWordsCaseGroupsAndLanguages)
{
    // The upper of two plain rules wins where both match; a regular expression below them reads
    // what they left.
    const std::vector<PronunciationRule> ordered{rule("Dr.", "Doctor"), rule("Dr", "Drive"),
                                                 rule("Doctor (\\w+)", "Doctor $1 esquire", "r")};
    EXPECT_EQ(applied(ordered, "Dr. Smith lives on Elm Dr"), "Doctor Smith esquire lives on Elm Drive");

    // Whole word: "St" alone, not inside "Stan"; "Dr." is whole before a space too.
    EXPECT_EQ(applied({rule("st", "Saint", "w")}, "St Stan st. Ist"), "Saint Stan Saint. Ist");
    EXPECT_EQ(applied({rule("Dr.", "Doctor", "w")}, "Dr. Smith, xDr. y"), "Doctor Smith, xDr. y");
    // Match case.
    EXPECT_EQ(applied({rule("US", "United States", "wc")}, "US and us"), "United States and us");
    EXPECT_EQ(applied({rule("us", "you", "w")}, "US and us"), "you and you");
    // Groups, $$ and a case-ignoring regular expression.
    EXPECT_EQ(applied({rule("(\\d+)\\s*KB", "$1 kilobytes for $$1", "r")}, "3 kb and 40KB"),
              "3 kilobytes for $1 and 40 kilobytes for $1");
    EXPECT_EQ(applied({rule("(\\d+)\\s*KB", "$1 kilobytes", "rc")}, "3 kb"), "3 kb");
    EXPECT_EQ(applied({rule("an", "AN", "rw")}, "an ant, an"), "AN ant, AN");
    // Language: a rule for one language only speaks with a voice of it.
    const std::vector<PronunciationRule> languages{rule("GIF", "jif", "", "en"), rule("東海林", "しょうじ", "", "ja")};
    EXPECT_EQ(applied(languages, "GIF 東海林", "en-us"), "jif 東海林");
    EXPECT_EQ(applied(languages, "GIF 東海林", "ja"), "GIF しょうじ");
    // Ten thousand plain rules in one pass still find the right one.
    std::vector<PronunciationRule> many;
    for (int i = 0; i < 10'000; ++i)
        many.push_back(rule(QStringLiteral("word%1").arg(i), QStringLiteral("w%1").arg(i), "w"));
    EXPECT_EQ(applied(many, "word9999 word42 word420x word0"), "w9999 w42 word420x w0");
}

TEST(PronunciationRules, PositionsLeadBackToTheUsersTextThroughReplacements)
{
    const QString text = QStringLiteral("Hi. Dr. Smith read it. Then Dr. Who left.");
    velmor::PreparationOptions options{"en-us", false, std::make_shared<PronunciationRules>(std::vector{
                                                           rule("Dr.", "Doctor", "w"), rule("it", "the book", "w")})};
    const velmor::TextPreparer preparer(options);
    EXPECT_TRUE(preparer.changesText(text));
    // The piece after "Hi. " runs on past "Dr." to the end of its sentence.
    const int begin = velmor::pieceEnd(text, 0);
    const int end = velmor::pieceEnd(text, begin);
    EXPECT_EQ(text.sliced(begin, end - begin), "Dr. Smith read it. ");
    const std::vector<velmor::SpeechPassage> passages = preparer.prepare(text, begin, end);
    ASSERT_EQ(passages.size(), 1u);
    const velmor::PreparedText& prepared = passages[0].prepared;
    EXPECT_EQ(prepared.text, "Doctor Smith read the book. ");
    const auto sourceOfWord = [&](const QString& word) {
        const int at = int(prepared.text.indexOf(word));
        const velmor::SourceSpan span = prepared.sourceOf(at, at + int(word.size()));
        return text.sliced(span.begin, span.end - span.begin);
    };
    EXPECT_EQ(sourceOfWord("Doctor"), "Dr.");
    EXPECT_EQ(sourceOfWord("Smith"), "Smith");
    EXPECT_EQ(sourceOfWord("book"), "it");
    EXPECT_EQ(sourceOfWord("read"), "read");
    // Sentence steps land on sentence starts of the user's text, never after "Dr.".
    EXPECT_EQ(velmor::nextSentenceStart(text, 0), 4);
    EXPECT_EQ(velmor::nextSentenceStart(text, 4), text.indexOf("Then"));
    EXPECT_EQ(velmor::sentenceStartAt(text, text.indexOf("Who")), text.indexOf("Then"));
}

TEST(PronunciationRules, AbbreviationsDoNotEndSentences)
{
    const QString text = QStringLiteral("Ask Mr. Lee, Mrs. Day, Ms. Roe and St. Paul, e.g. here, i.e. now, cats vs. dogs, "
                                        "No. 5 and so on. Pens, ink etc. are sold. We sell ink etc. Then we rest. Say No. Now.");
    const auto pieces = [](const QString& whole) {
        QStringList out;
        for (int begin = 0; begin < whole.size();) {
            const int end = velmor::pieceEnd(whole, begin);
            out << whole.sliced(begin, end - begin).trimmed();
            begin = end;
        }
        return out;
    };
    const QStringList expected{"Ask Mr. Lee, Mrs. Day, Ms. Roe and St. Paul, e.g. here, i.e. now, cats vs. dogs, No. 5 and so on.",
                               "Pens, ink etc. are sold.", "We sell ink etc.", "Then we rest.", "Say No.", "Now."};
    EXPECT_EQ(pieces(text), expected);
    QStringList sentences;
    for (std::optional<qsizetype> at = 0; at; at = velmor::nextSentenceStart(text, *at)) {
        const qsizetype next = velmor::nextSentenceStart(text, *at).value_or(text.size());
        sentences << text.sliced(*at, next - *at).trimmed();
    }
    EXPECT_EQ(sentences, expected);
    // The first part handed to the engine does not end after a title.
    const QString speech = QStringLiteral("He met Dr. Smith there and left");
    EXPECT_EQ(velmor::partEnd(speech, 0, int(speech.indexOf("Smith")) + 3), speech.indexOf("Smith"));
    EXPECT_FALSE(velmor::endsWithSentence(u"He met Dr. "));
    EXPECT_TRUE(velmor::endsWithSentence(u"He met Dr. Smith. "));
}

TEST(PronunciationRules, FileKeepsWhatIsWellFormedAndTellsTheLineOfWhatIsNot)
{
    const QString file = QStringLiteral("find\tsay\toptions\tlanguage\n"
                                        "# names\n"
                                        "Dr.\tDoctor\tw\ten\n"
                                        "only one field\n"
                                        "GIF\tjif\tcwr\t*\r\n"
                                        "x\ty\tq\t*\n"
                                        "a\tb\t\tEnglish!\n"
                                        "(a+\tb\tr\t*\n"
                                        "(a)\t$2\tr\n"
                                        "\n"
                                        "東海林\tしょうじ\n"
                                        "a\tb\tc\td\te\n");
    const velmor::ParsedRules parsed = velmor::parseRules(file);
    const std::vector<PronunciationRule> expected{rule("Dr.", "Doctor", "w", "en"), rule("GIF", "jif", "wcr"),
                                                  rule("(a+", "b", "r"), rule("(a)", "$2", "r"),
                                                  rule("東海林", "しょうじ")};
    EXPECT_EQ(parsed.rules, expected);
    std::vector<int> lines;
    for (const velmor::RuleProblem& problem : parsed.problems)
        lines.push_back(problem.line);
    EXPECT_EQ(lines, (std::vector<int>{4, 6, 7, 8, 9, 12}));
    // RE2's own words for what it rejects; such rules are kept but not used.
    EXPECT_TRUE(parsed.problems[3].message.contains("missing )")) << parsed.problems[3].message.toStdString();
    EXPECT_FALSE(parsed.problems[4].message.isEmpty());
    EXPECT_EQ(applied(parsed.rules, "(a+ (a) GIF Dr. 東海林"), "(a+ (a) jif Doctor しょうじ");

    // Written atomically and read back the same; a tab typed into a field cannot split a line.
    QTemporaryDir folder;
    const QString path = folder.filePath("pronunciation-rules.tsv");
    EXPECT_TRUE(velmor::readRulesFile(path).rules.empty());
    std::vector<PronunciationRule> written = parsed.rules;
    written.push_back(rule("tab\there", "line\nbreak"));
    velmor::writeRulesFile(path, written);
    const velmor::ParsedRules reread = velmor::readRulesFile(path);
    written.back() = rule("tab here", "line break");
    EXPECT_EQ(reread.rules, written);
    EXPECT_EQ(reread.problems.size(), 2u); // the two rules RE2 rejects
    EXPECT_THROW(velmor::writeRulesFile(folder.filePath("missing/rules.tsv"), written), velmor::FileError);
}
