#include "QtPrinters.h"

#include "document/EditorLines.h"
#include "speech/SpokenText.h"

#include <QStringList>
#include <gtest/gtest.h>

using velmor::EditLog;
using velmor::SpokenText;
using velmor::TextRange;

namespace {

// The source text of a word the engine reports, read through the map.
QString sourceOf(const QString& source, const SpokenText& spoken, const QString& word)
{
    const qsizetype offset = spoken.text().indexOf(word);
    const std::optional<TextRange> range = spoken.sourceRange(offset, word.size());
    return range ? source.mid(range->start, range->length) : QStringLiteral("<none>");
}

} // namespace

// Whole texts go to the engine with CR LF line ends: every word after a line break is found
// back in the document, however many breaks come before it.
TEST(SpokenText, WordsOfATextHandedOverWithCrLfMapBackToTheDocument)
{
    const QString document = QStringLiteral("intro\n\nfirst line\nsecond 😀 line\nend");
    const QString handed = velmor::linesWithCrLf(document.mid(6));
    const SpokenText spoken(handed, 6);
    const QStringList words{QStringLiteral("first"), QStringLiteral("second"), QStringLiteral("😀"),
                            QStringLiteral("line\r\nend"), QStringLiteral("end")};
    for (const QString& word : words) {
        SCOPED_TRACE(word.toStdString());
        EXPECT_EQ(sourceOf(document, spoken, word), QString(word).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    }
    // The added characters alone stand for nothing; at a range's ends they are left out.
    EXPECT_FALSE(spoken.sourceRange(handed.indexOf(u'\r'), 1));
    EXPECT_EQ(spoken.sourceRange(handed.indexOf(u'\r'), 3)->start, 6);
    EXPECT_EQ(spoken.sourceRange(-5, 2), std::nullopt);
    EXPECT_EQ(spoken.sourceEnd(), document.size() + 1); // the line break added at the end
}

TEST(SpokenText, PositionsFollowEditsMadeSinceTheTextWasQueued)
{
    EditLog edits;
    edits.note(10, 0, 3); // typed before the word at 20
    edits.note(2, 4, 1);  // four characters replaced by one
    edits.note(40, 2, 2); // a change of format: nothing moves
    EXPECT_EQ(edits.positionNow(20), 20 + 3 - 3);
    EXPECT_EQ(edits.positionNow(1), 1);
    EXPECT_EQ(edits.positionNow(10), 10 + 3 - 3); // typing right before a character pushes it on
    EXPECT_EQ(edits.positionNow(3), std::nullopt);
    EXPECT_EQ(edits.positionNow(41), 41);
}
