#include "FormFixture.h"

#include "../app/TestFiles.h"
#include "core/FormState.h"
#include "widgets/TRichEdit98.h"

#include <QAction>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const QByteArray kBook = "Chapter one.\n"
                         "It was a bright cold day in April. The clocks were striking thirteen.\n"
                         "Winston Smith slipped quickly through the glass doors.\n"
                         "\n";

// A window that is not on its first start, with "Resume where I stopped" as given, the file opened.
struct Listener {
    Listener(const QString& settings, const QString& book, bool resume)
        : f(2, true, settings)
    {
        f.ui.action(ActionId::ResumeWhereStopped1).setChecked(resume);
        f.form->openAtStart(book);
        EXPECT_TRUE(f.waitForOpen());
    }
    void hear(const QString& word)
    {
        ASSERT_TRUE(f.engine->startNext() || f.engine->speaking);
        ASSERT_TRUE(f.engine->hearWord(int(f.engine->current.indexOf(word)), int(word.size())));
    }
    FormFixture f;
};

int indexIn(const QByteArray& text, const char* words) { return int(QString::fromUtf8(text).indexOf(QLatin1String(words))); }

} // namespace

// Listening stops at a word (a reset, the close); the next run that opens the file takes the
// caret there and says so, also after lines were added before it. Without the item, or once the
// words are gone, the caret goes where it always went.
TEST(ListeningResume, OpeningTheFileAgainGoesOnWhereListeningStopped)
{
    QTemporaryDir folder;
    const QString ini = folder.filePath(QStringLiteral("velmor.ini"));
    const QString book = folder.filePath(QStringLiteral("book.txt"));
    testfiles::writeFileBytes(ini, "[Form1\\ffirst]\nBoolean=0\n");
    testfiles::writeFileBytes(book, kBook);
    const int endLine = kBook.size() - 1;
    {
        Listener run(ini, book, true);
        EXPECT_EQ(run.f.ui.textBox().selStart(), endLine);
        run.f.ui.click("SpeechButton");
        run.hear(QStringLiteral("clocks"));
        // Reset leaves the caret at the start of the sentence being heard.
        run.f.trigger(ActionId::Reset1);
        EXPECT_EQ(run.f.ui.textBox().selStart(), indexIn(kBook, "The clocks"));
        // Spoken on from there and stopped by the close, a word later.
        run.f.trigger(ActionId::SpeakFromCaret);
        run.hear(QStringLiteral("striking"));
        ASSERT_TRUE(run.f.form->close());
    }
    {
        Listener run(ini, book, true);
        EXPECT_EQ(run.f.ui.textBox().selStart(), indexIn(kBook, "striking"));
        EXPECT_EQ(run.f.ui.panelCaption().trimmed(), QStringLiteral("Resume from here: Alt+Down"));
        // Alt+Down speaks on from there.
        run.f.trigger(ActionId::SpeakFromCaret);
        EXPECT_TRUE(run.f.engine->spoken.last().startsWith(QStringLiteral("striking thirteen.")));
        run.f.engine->clear();
        run.f.form->close();
    }
    const QByteArray longer = "Preface.\nSome words before the book.\n" + kBook;
    testfiles::writeFileBytes(book, longer);
    {
        Listener run(ini, book, true);
        EXPECT_EQ(run.f.ui.textBox().selStart(), indexIn(longer, "striking"));
        run.f.form->close();
    }
    {
        Listener run(ini, book, false);
        EXPECT_EQ(run.f.ui.textBox().selStart(), longer.size() - 1);
        run.f.form->close();
    }
    const QByteArray another = "Another text altogether.\nNothing of the book is left.\n";
    testfiles::writeFileBytes(book, another);
    Listener run(ini, book, true);
    EXPECT_EQ(run.f.ui.textBox().selStart(), another.size());
}
