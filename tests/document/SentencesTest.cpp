#include "QtPrinters.h"

#include "document/Sentences.h"

#include <gtest/gtest.h>

using velmor::nextSentenceStart;
using velmor::previousSentenceStart;
using velmor::sentenceStartAt;

namespace {

// Every sentence start, found by stepping forwards from the start of the text.
std::vector<qsizetype> startsForwards(const QString& text)
{
    std::vector<qsizetype> starts;
    if (const auto first = sentenceStartAt(text, 0))
        starts.push_back(*first);
    for (auto next = nextSentenceStart(text, 0); next; next = nextSentenceStart(text, *next))
        starts.push_back(*next);
    return starts;
}

// The same, stepping backwards from the end.
std::vector<qsizetype> startsBackwards(const QString& text)
{
    std::vector<qsizetype> starts;
    for (auto previous = previousSentenceStart(text, text.size()); previous;
         previous = previousSentenceStart(text, *previous))
        starts.insert(starts.begin(), *previous);
    return starts;
}

} // namespace

TEST(Sentences, EnglishSentencesAcrossParagraphsAndBlankLines)
{
    const QString text = QStringLiteral("It rained. Did it stop?  Yes!\n\n   Then the sun came out.\nThe end");
    const std::vector<qsizetype> starts{0, 11, 25, 34, 57};
    EXPECT_EQ(startsForwards(text), starts);
    EXPECT_EQ(startsBackwards(text), starts);
    // Inside a sentence, on its first letter, in the blanks after it, and in a paragraph's
    // leading blanks (which belong to its first sentence).
    EXPECT_EQ(sentenceStartAt(text, 15), 11);
    EXPECT_EQ(sentenceStartAt(text, 11), 11);
    EXPECT_EQ(sentenceStartAt(text, 23), 11);
    EXPECT_EQ(sentenceStartAt(text, 31), 34);
    EXPECT_EQ(sentenceStartAt(text, 30), std::nullopt); // the empty line
    EXPECT_EQ(nextSentenceStart(text, 57), std::nullopt);
    EXPECT_EQ(previousSentenceStart(text, 0), std::nullopt);
}

TEST(Sentences, JapaneseSentencesEndAtTheIdeographicFullStop)
{
    const QString text = QStringLiteral("今日は晴れです。明日は雨でしょう。傘を持って行きますか？はい。");
    const std::vector<qsizetype> starts{0, 8, 17, 28};
    EXPECT_EQ(startsForwards(text), starts);
    EXPECT_EQ(startsBackwards(text), starts);
    EXPECT_EQ(sentenceStartAt(text, 12), 8);
}

TEST(Sentences, MixedEnglishAndJapanese)
{
    const QString text = QStringLiteral("Velmor を使います。It reads aloud. 次の文です。\n最後");
    const std::vector<qsizetype> starts{0, 13, 29, 36};
    EXPECT_EQ(startsForwards(text), starts);
    EXPECT_EQ(startsBackwards(text), starts);
}
