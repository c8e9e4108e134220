#include "document/Paths.h"

#include "QtPrinters.h"


#include <gtest/gtest.h>

using namespace velmor;

namespace {

int characters(const QString& text) { return int(text.size()); }

TEST(IsTextExt, AcceptsTheEightExtensionsExactly)
{
    for (const char* path : {"notes.txt", "NOTES.TXT", "unit.pas", "proj.dpr", "form.dfm", "setup.ini", "page.htm",
                             "page.html", "/home/ann/my.notes.txt", "/home/ann/.txt"})
        EXPECT_TRUE(IsTextExt(QString::fromUtf8(path))) << path;
    for (const char* path : {"", "notes.Txt", "notes.PAS", "notes.HTML", "notes.lnk", "notes.text", "notes",
                             "notes.txt.bak", "/home/ann/dir.txt/notes", "/home/ann/dir.txt/", "notes."})
        EXPECT_FALSE(IsTextExt(QString::fromUtf8(path))) << path;
}

TEST(IsLinkExt, AcceptsOnlyLowerCaseLnk)
{
    EXPECT_TRUE(IsLinkExt(QStringLiteral("/home/ann/Desktop/memo.lnk")));
    EXPECT_FALSE(IsLinkExt(QStringLiteral("memo.LNK")));
    EXPECT_FALSE(IsLinkExt(QStringLiteral("/home/ann/memo.lnk/x")));
    EXPECT_FALSE(IsLinkExt(QString()));
}

TEST(IsHangulName, LooksAtTheStartOfTheFileNameOnly)
{
    for (const char* path : {"hgText.txt", "HgText.txt", "/home/ann/hg.txt", "hg"})
        EXPECT_TRUE(IsHangulName(QString::fromUtf8(path))) << path;
    for (const char* path : {"", "HG.txt", "hG.txt", "/home/hg/memo.txt", "/home/ann/hg/", "a hg.txt", "h.txt"})
        EXPECT_FALSE(IsHangulName(QString::fromUtf8(path))) << path;
}

// Each stage is shorter than the one before; a width just below a stage gives the next.
const QStringList kAbsoluteStages = {
    QStringLiteral("/home/ann/Letters/2005/memo.txt"), QStringLiteral("/.../ann/Letters/2005/memo.txt"),
    QStringLiteral("/.../Letters/2005/memo.txt"),      QStringLiteral("/.../2005/memo.txt"),
    QStringLiteral("/.../memo.txt"),                   QStringLiteral(".../memo.txt"),
    QStringLiteral("memo.txt")};

void expectStages(const QStringList& stages)
{
    const QString& path = stages.front();
    for (qsizetype i = 0; i < stages.size(); ++i) {
        const int width = int(stages[i].size());
        EXPECT_EQ(ShortenPath(path, characters, width), stages[i]) << "width " << width;
        if (i + 1 < stages.size()) {
            EXPECT_EQ(ShortenPath(path, characters, width - 1), stages[i + 1]) << "width " << width - 1;
        }
    }
}

TEST(ShortenPath, DropsLeadingDirectoriesOneAtATime)
{
    expectStages(kAbsoluteStages);
    EXPECT_EQ(ShortenPath(kAbsoluteStages.front(), characters, 1000), kAbsoluteStages.front());
}

TEST(ShortenPath, RelativePathHasNoLeadingSeparatorToKeep)
{
    expectStages({QStringLiteral("Letters/2005/memo.txt"), QStringLiteral(".../2005/memo.txt"),
                  QStringLiteral(".../memo.txt"), QStringLiteral("memo.txt")});
}

TEST(ShortenPath, FileInTheRootLosesOnlyTheSeparator)
{
    expectStages({QStringLiteral("/memo.txt"), QStringLiteral("memo.txt")});
}

TEST(ShortenPath, HiddenDirectoryIsCutLikeAnyOther)
{
    expectStages({QStringLiteral("/.config/velmor/memo.txt"), QStringLiteral("/.../velmor/memo.txt"),
                  QStringLiteral("/.../memo.txt"), QStringLiteral(".../memo.txt"), QStringLiteral("memo.txt")});
}

TEST(ShortenPath, ShortHiddenDirectoryGivesWayToANarrowerEllipsisAlone)
{
    // Dots are narrow in most fonts: "..." can take less room than ".ab".
    const auto narrowDots = [](const QString& text) { return int(text.size() * 3 - text.count(u'.') * 2); };
    EXPECT_EQ(ShortenPath(QStringLiteral("/.ab/letters/memo.txt"), narrowDots, 55),
              QStringLiteral("/.../letters/memo.txt"));
}

TEST(ShortenPath, NeverCutsTheFileName)
{
    const QString name = QStringLiteral("a-file-name-far-too-long-for-any-info-line.txt");
    EXPECT_EQ(ShortenPath(QStringLiteral("/home/ann/") + name, characters, 5), name);
    EXPECT_EQ(ShortenPath(name, characters, 0), name);
    EXPECT_EQ(ShortenPath(QString(), characters, 0), QString());
}

TEST(ShortenPath, StopsMeasuringOnceItFits)
{
    int calls = 0;
    const auto counting = [&calls](const QString& text) {
        ++calls;
        return int(text.size());
    };
    EXPECT_EQ(ShortenPath(kAbsoluteStages.front(), counting, 18), QStringLiteral("/.../2005/memo.txt"));
    EXPECT_EQ(calls, 4);
}

} // namespace
