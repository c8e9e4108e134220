#include "document/Chapters.h"

#include "QtPrinters.h"

#include <QStringList>
#include <gtest/gtest.h>

using namespace velmor;

namespace {

QStringList titlesOf(const QString& text)
{
    QStringList titles;
    for (const Chapter& chapter : findChapters(text))
        titles << chapter.title;
    return titles;
}

} // namespace

TEST(Chapters, FoundFromEveryKindOfHeadingAndCoverTheTextEndToEnd)
{
    struct Case {
        QString text;
        QStringList titles;
    };
    const std::vector<Case> cases{
        {QStringLiteral("# One\nText.\n# Two\nMore text.\n"), {QStringLiteral("One"), QStringLiteral("Two")}},
        // A lone book title above the chapters is not a chapter level of its own.
        {QStringLiteral("# Book\n\n## First\nA.\n## Second\nB.\n"),
         {QString(), QStringLiteral("First"), QStringLiteral("Second")}},
        {QStringLiteral("Title page.\n\nChapter 1\nIt began.\n\nChapter 12: The end\nIt ended.\n"),
         {QString(), QStringLiteral("Chapter 1"), QStringLiteral("Chapter 12: The end")}},
        {QStringLiteral("CHAPTER XI\nA.\nCHAPTER XII\nB.\n"), {QStringLiteral("CHAPTER XI"), QStringLiteral("CHAPTER XII")}},
        {QStringLiteral("第3章 始まり\n本文。\n第十二章\n終わり。\n"), {QStringLiteral("第3章 始まり"), QStringLiteral("第十二章")}},
        {QStringLiteral("THE BEGINNING\n\nIt was dark.\n\nTHE END OF IT\n\nIt was light.\n"),
         {QStringLiteral("THE BEGINNING"), QStringLiteral("THE END OF IT")}},
        // Named headings win over lines in capitals, which then are only text.
        {QStringLiteral("Chapter One\n\nNOTICE\n\nText.\nChapter Two\nMore.\n"),
         {QStringLiteral("Chapter One"), QStringLiteral("Chapter Two")}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(titlesOf(c.text), c.titles) << c.text.toStdString();
        const std::vector<Chapter> chapters = findChapters(c.text);
        ASSERT_FALSE(chapters.empty());
        EXPECT_EQ(chapters.front().start, 0);
        EXPECT_EQ(chapters.back().end, c.text.size());
        for (std::size_t i = 1; i < chapters.size(); ++i)
            EXPECT_EQ(chapters[i].start, chapters[i - 1].end);
    }
}

TEST(Chapters, NoneInProseWithAcronymsOrChapterWordsOrCapitalsInsideAParagraph)
{
    for (const char* text : {"He worked at NASA for years.\nThen he left.\n",
                             "NASA\nsent a probe. It flew far.\n",
                             "The sign on the wall said:\nKEEP OUT\n\nWe went in anyway.\n",
                             "In this chapter we see why.\nChapter and verse were quoted at length, over and over, by everyone there.\n",
                             "#hashtag is not a heading\n", "A.\n\nOK.\n\nB.\n", "", "Just text."})
        EXPECT_TRUE(findChapters(QString::fromUtf8(text)).empty()) << text;
}

TEST(Chapters, FileNamesAreNumberedAndHoldNoFolderOrForbiddenCharacters)
{
    EXPECT_EQ(chapterFileName(1, 12, QStringLiteral("Chapter 1"), QStringLiteral("ogg")),
              QStringLiteral("01 - Chapter 1.ogg"));
    EXPECT_EQ(chapterFileName(7, 120, QStringLiteral("A/B: c?"), QStringLiteral("mp3")),
              QStringLiteral("007 - A_B_ c_.mp3"));
    EXPECT_EQ(chapterFileName(2, 2, QStringLiteral("../.."), QStringLiteral("wav")), QStringLiteral("02 - _...wav"));
    EXPECT_EQ(chapterFileName(3, 3, QString(), QStringLiteral("wav")), QStringLiteral("03.wav"));
    EXPECT_LE(chapterFileName(3, 3, QString(500, u'x'), QStringLiteral("wav")).size(), 70);
}
