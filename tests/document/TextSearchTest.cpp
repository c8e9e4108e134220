#include "QtPrinters.h"

#include "document/TextSearch.h"

#include <gtest/gtest.h>
#include <optional>
#include <random>

using velmor::findInRange;
using velmor::findLastBefore;
using velmor::replaceAllEdits;
using velmor::TextEdit;

namespace {

QString applied(QString text, const std::vector<TextEdit>& edits)
{
    for (auto edit = edits.rbegin(); edit != edits.rend(); ++edit)
        text.replace(edit->start, edit->length, edit->text);
    return text;
}

// Nothing when Replace All says the replacements did not settle.
std::optional<QString> replacedAll(const QString& text, const QString& what, const QString& replacement)
{
    const std::optional<std::vector<TextEdit>> edits = replaceAllEdits(text, what, replacement);
    if (!edits)
        return std::nullopt;
    return applied(text, *edits);
}

// Replace All taken word for word: replace the first occurrence, start again from the
// beginning. Nothing when it runs on: a replacement that holds the find text leaves an
// occurrence after every pass, and other endless runs grow the text past any bound.
std::optional<QString> passesFromTheBeginning(QString text, const QString& what, const QString& replacement)
{
    if (replacement.contains(what) && text.contains(what))
        return std::nullopt;
    for (int pass = 0; pass < 5000 && text.size() < 2000; ++pass) {
        const qsizetype at = text.indexOf(what);
        if (at < 0)
            return text;
        text.replace(at, what.size(), replacement);
    }
    return std::nullopt;
}

} // namespace

TEST(SearchPrimitive, FindsOnlyOccurrencesWhollyInsideTheRange)
{
    const QString text = QStringLiteral("abcabcABC\nabc");
    EXPECT_EQ(findInRange(text, u"abc", 0, 0), 0);
    EXPECT_EQ(findInRange(text, u"abc", 1, 0), 3);
    EXPECT_EQ(findInRange(text, u"abc", 1, 5), 3);
    EXPECT_EQ(findInRange(text, u"abc", 1, 4), -1) << "the occurrence at 3 ends at 6, outside 1..5";
    EXPECT_EQ(findInRange(text, u"abc", 4, -3), 10) << "a length below one runs to the end";
    EXPECT_EQ(findInRange(text, u"ABC", 0, 0), 6) << "case matters";
    EXPECT_EQ(findInRange(text, u"C\na", 0, 0), 8) << "a paragraph break is one position";
    EXPECT_EQ(findInRange(text, u"abc", 11, 0), -1);
    EXPECT_EQ(findInRange(text, u"abc", 99, 0), -1);
    EXPECT_EQ(findInRange(text, u"", 0, 0), -1);
}

TEST(BackwardSearch, LastOccurrenceEndingAtOrBeforeTheLimit)
{
    const QString text = QStringLiteral("xab-ab-ab");
    EXPECT_EQ(findLastBefore(text, u"ab", 9), 7);
    EXPECT_EQ(findLastBefore(text, u"ab", 8), 4) << "the occurrence at 7 reaches past the limit";
    EXPECT_EQ(findLastBefore(text, u"ab", 6), 4) << "one that ends exactly at the limit counts";
    EXPECT_EQ(findLastBefore(text, u"ab", 5), 1);
    EXPECT_EQ(findLastBefore(text, u"ab", 2), -1);
    EXPECT_EQ(findLastBefore(text, u"ab", 0), -1) << "nothing lies before the start";
    EXPECT_EQ(findLastBefore(u"aaa", u"aa", 3), 1) << "overlapping occurrences count";
    EXPECT_EQ(findLastBefore(text, u"", 9), -1);
}

TEST(ReplaceAll, OccurrencesFormedByReplacementsAreReplacedToo)
{
    EXPECT_EQ(replacedAll(QStringLiteral("aXa"), QStringLiteral("a"), QStringLiteral("b")), QStringLiteral("bXb"));
    EXPECT_EQ(replacedAll(QStringLiteral("abb"), QStringLiteral("ab"), QStringLiteral("a")), QStringLiteral("a"));
    EXPECT_EQ(replacedAll(QStringLiteral("aaaa"), QStringLiteral("aa"), QStringLiteral("ba")), QStringLiteral("bbba"));
    EXPECT_EQ(replacedAll(QStringLiteral("abc"), QStringLiteral("ABC"), QStringLiteral("x")), QStringLiteral("abc"));
    const QString hangul = QStringLiteral("\uD55C\uAE00");
    EXPECT_EQ(replacedAll(QStringLiteral("a-a"), QStringLiteral("a"), hangul), hangul + u'-' + hangul);
}

TEST(ReplaceAll, ReachesTheEndOfLongChainsAndSaysWhenThereIsNone)
{
    // The replacement holds the find text: each occurrence present is replaced once.
    EXPECT_EQ(replacedAll(QStringLiteral("aXa"), QStringLiteral("a"), QStringLiteral("aa")), QStringLiteral("aaXaa"));
    EXPECT_EQ(replaceAllEdits(u"aXa", u"a", u"a"), std::vector<TextEdit>{}) << "replacing a text by itself changes nothing";
    // Each "ab" by "ba" moves one letter one place: 40,000 passes, all of them made.
    EXPECT_EQ(replacedAll(QString(200, u'a') + QString(200, u'b'), QStringLiteral("ab"), QStringLiteral("ba")),
              QString(200, u'b') + QString(200, u'a'));
    // Each replacement forms a new occurrence with its neighbours, for ever; or for far too
    // long (a hundred million passes).
    EXPECT_FALSE(replacedAll(QStringLiteral("abb"), QStringLiteral("ab"), QStringLiteral("bbaa")).has_value());
    EXPECT_FALSE(replaceAllEdits(QString(10'000, u'a') + QString(10'000, u'b'), u"ab", u"ba").has_value());
}

TEST(ReplaceAll, EditsTouchOnlyWhatChanges)
{
    const std::vector<TextEdit> edits = replaceAllEdits(u"one two one", u"one", u"1").value();
    EXPECT_EQ(edits, (std::vector<TextEdit>{{0, 3, QStringLiteral("1")}, {8, 3, QStringLiteral("1")}}));
}

// Many short texts over a small alphabet: where the passes from the beginning end, Replace All
// gives their result. Where they do not end within the model's bounds, Replace All has
// replaced each occurrence present once (the replacement holds the find text), ended in a text
// without occurrences, or said that the replacements did not settle.
TEST(ReplaceAll, AgreesWithThePassesFromTheBeginning)
{
    std::mt19937 random(20240611);
    const auto word = [&random](int minLength, int maxLength, int letters) {
        QString w;
        const int length = std::uniform_int_distribution<int>(minLength, maxLength)(random);
        for (int i = 0; i < length; ++i)
            w += QChar(u'a' + std::uniform_int_distribution<int>(0, letters - 1)(random));
        return w;
    };
    int chained = 0;
    int endless = 0;
    for (int round = 0; round < 40000; ++round) {
        const int letters = round % 3 == 0 ? 3 : 2;
        const QString text = word(0, 12, letters);
        const QString what = word(1, 3, letters);
        const QString replacement = word(0, 4, letters);
        const std::optional<QString> result = replacedAll(text, what, replacement);
        const QString once = QString(text).replace(what, replacement);
        const std::string failure = "text " + text.toStdString() + ", " + what.toStdString() + " -> "
            + replacement.toStdString() + " gave " + result.value_or(QStringLiteral("(did not settle)")).left(80).toStdString();
        if (const std::optional<QString> expected = passesFromTheBeginning(text, what, replacement)) {
            ASSERT_EQ(result, *expected) << failure;
            chained += int(*expected != once);
        } else if (replacement.contains(what)) {
            ASSERT_EQ(result, once) << failure;
            ++endless;
        } else {
            ASSERT_TRUE(!result || !result->contains(what)) << failure;
            ++endless;
        }
    }
    EXPECT_GT(chained, 1000) << "texts where a single pass differs from the passes from the beginning";
    EXPECT_GT(endless, 1000);
}
