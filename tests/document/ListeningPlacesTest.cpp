#include "document/ListeningPlaces.h"

#include "../app/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using velmor::ListeningPlace;
using velmor::ListeningPlaces;
using velmor::placeIn;
using velmor::resumePositionIn;

namespace {

const QString kBook = QStringLiteral("Chapter one.\nIt was a bright cold day in April, and the clocks were striking thirteen.\n"
                                     "Winston Smith slipped quickly through the glass doors.\n"
                                     "It was a bright cold day in April again.\n");

qsizetype at(const QString& text, const char* words, qsizetype from = 0) { return text.indexOf(QLatin1String(words), from); }

} // namespace

// A place is its word and the words around it: found where it was while they are there, after
// edits elsewhere at the same words nearest to where it was, after an edit right before the word
// by the word and what follows it, and nowhere once the words are gone.
TEST(ListeningPlaces, APlaceIsFoundByItsWordsAfterTheTextChanged)
{
    const qsizetype clocks = at(kBook, "clocks");
    const ListeningPlace place = placeIn(kBook, clocks);
    EXPECT_EQ(resumePositionIn(kBook, place), clocks);

    // Lines added before it: the same words, further on.
    const QString longer = QStringLiteral("Preface.\nA long line before the book begins.\n") + kBook;
    EXPECT_EQ(resumePositionIn(longer, place), at(longer, "clocks"));

    // A line said three times: after a cut before the place, the one nearest to where it was.
    const QString refrain = QStringLiteral("Cut.\nSing it again.\nOne line in between the two.\nSing it again.\nTwo lines in between.\nSing it again.\n");
    const ListeningPlace second = placeIn(refrain, at(refrain, "Sing", at(refrain, "One")));
    const QString cutRefrain = refrain.mid(at(refrain, "Sing"));
    EXPECT_EQ(resumePositionIn(cutRefrain, second), at(cutRefrain, "Sing", at(cutRefrain, "One")));

    // The words before the word rewritten: found by the word and those after it.
    QString rewritten = kBook;
    rewritten.replace(QStringLiteral("It was a bright cold day in April, and the"), QStringLiteral("Then the"));
    EXPECT_EQ(resumePositionIn(rewritten, place), at(rewritten, "clocks"));

    // The sentence is gone: nowhere to go on from.
    QString cut = kBook;
    cut.remove(at(kBook, "It was a bright cold day in April, and"), at(kBook, "Winston") - at(kBook, "It was"));
    EXPECT_EQ(resumePositionIn(cut, place), std::nullopt);

    // A stretch of a longer text gives the place in the whole text.
    const QStringView stretch = QStringView(kBook).sliced(20, 60);
    EXPECT_EQ(placeIn(stretch, clocks - 20, 20).position, clocks);
    EXPECT_EQ(resumePositionIn(kBook, placeIn(stretch, clocks - 20, 20)), clocks);
}

// The places are kept in a file of their own that a later run reads back: newest first, one per
// file, at most a thousand, found again under a file's new name after a move; lines that are
// not places (a hand edit, a cut-off write) are passed over.
TEST(ListeningPlaces, ThePlacesOutliveTheRunAndStayBounded)
{
    QTemporaryDir folder;
    const QString store = folder.filePath(QStringLiteral("state/velmor/listening-places"));
    const QString book = folder.filePath(QStringLiteral("book.txt"));
    testfiles::writeFileBytes(book, kBook.toUtf8());
    const QDateTime start = QDateTime::fromString(QStringLiteral("2026-12-08T09:00:00.000"), Qt::ISODateWithMs);
    {
        ListeningPlaces places(store);
        ASSERT_TRUE(places.remember(folder.filePath(QStringLiteral("other.txt")), placeIn(QStringLiteral("a\tb\\c\nd"), 2), start));
    }
    // A long list written before, one line a place, newest first.
    QByteArray lines;
    for (int i = ListeningPlaces::kMaxFiles + 5; i > 0; --i)
        lines += QStringLiteral("%1\t1\t%2\t0\t0\t%3\tword\n")
                     .arg(start.addSecs(i).toString(Qt::ISODateWithMs)).arg(i)
                     .arg(folder.filePath(QStringLiteral("other%1.txt").arg(i))).toUtf8();
    const QByteArray notPlaces = "not a place\n2026-12-08T09:00:00.000\tx\t1\t2\t3\t/tmp/a\twords\n";
    testfiles::writeFileBytes(store, notPlaces + testfiles::fileBytes(store) + lines);
    {
        ListeningPlaces places(store);
        ASSERT_TRUE(places.remember(book, placeIn(kBook, at(kBook, "clocks")), start.addDays(1)));
        ASSERT_TRUE(places.remember(book, placeIn(kBook, at(kBook, "Winston")), start.addDays(2)));
    }
    EXPECT_EQ(QDir(folder.filePath(QStringLiteral("state/velmor"))).entryList(QDir::Files),
              QStringList{QStringLiteral("listening-places")});

    ListeningPlaces again(store);
    ASSERT_EQ(again.places().size(), std::size_t(ListeningPlaces::kMaxFiles));
    const std::optional<ListeningPlace> kept = again.placeOf(book);
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->position, at(kBook, "Winston"));
    EXPECT_EQ(kept->when, start.addDays(2));
    EXPECT_EQ(again.places().front().path, book);
    // The oldest went; tabs, backslashes and line breaks in the words came back as they were.
    EXPECT_TRUE(again.placeOf(folder.filePath(QStringLiteral("other8.txt"))));
    EXPECT_FALSE(again.placeOf(folder.filePath(QStringLiteral("other7.txt"))));
    const std::optional<ListeningPlace> other = again.placeOf(folder.filePath(QStringLiteral("other.txt")));
    ASSERT_TRUE(other);
    EXPECT_EQ(other->words, QStringLiteral("a\tb\\c"));

    const QString moved = folder.filePath(QStringLiteral("renamed.txt"));
    ASSERT_TRUE(QFile::rename(book, moved));
    ASSERT_TRUE(again.placeOf(moved));
    EXPECT_EQ(again.placeOf(moved)->position, at(kBook, "Winston"));
}
