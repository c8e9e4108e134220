#include "FormFixture.h"
#include "QtPrinters.h"
#include "TestFiles.h"

#include "app/CommandLine.h"
#include "core/FormState.h"
#include "document/FileCommands.h"
#include "widgets/InfoLine.h"
#include "widgets/UPanel.h"
#include "widgets/TRichEdit98.h"
#include "widgets/UpDownEdit.h"

#include <QDir>
#include <QScrollBar>
#include <QSplitter>
#include <QTextBlock>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QString storedValue(const QString& ini, const char* section)
{
    const QString text = QString::fromUtf8(testfiles::fileBytes(ini));
    const QString header = QStringLiteral("[Form1\\%1]\n").arg(QString::fromLatin1(section));
    const qsizetype at = text.indexOf(header);
    if (at < 0)
        return {};
    const qsizetype valueStart = text.indexOf(u'=', at) + 1;
    return text.mid(valueStart, text.indexOf(u'\n', valueStart) - valueStart);
}

// Runs with the working folder changed, as a start from another folder would.
struct WorkingFolder {
    explicit WorkingFolder(const QString& path) : saved(QDir::currentPath()) { QDir::setCurrent(path); }
    ~WorkingFolder() { QDir::setCurrent(saved); }
    QString saved;
};

void numberedModes(FakeSpeechEngine& engine, int count)
{
    engine.modeNames.clear();
    engine.speakers.clear();
    for (int i = 1; i <= count; ++i) {
        engine.modeNames << QStringLiteral("Mary %1").arg(i);
        engine.speakers << QStringLiteral("Mary");
    }
}

// "line 1" to "line <count>", a line each: longer than the window shows.
QByteArray numberedLines(int count)
{
    QByteArray lines;
    for (int i = 1; i <= count; ++i)
        lines += "line " + QByteArray::number(i) + "\n";
    return lines;
}

velmor::Dialogs quietDialogs()
{
    velmor::Dialogs quiet;
    quiet.askYesNo = [](const QString&) { return true; };
    quiet.inform = [](const QString&) {};
    quiet.showError = [](const QString&) {};
    return quiet;
}

} // namespace

// A file named on the command line is stored with its full path, and a start with a file
// named leaves the last file closed. A name starting with "-" follows "--"; a second file named is
// not opened, and the information panel says so.
TEST(StartAndClose, CommandLineFileIsStoredWithItsFullPathAndKeepsTheLastFileClosed)
{
    QTemporaryDir folder;
    const QString ini = folder.filePath(QStringLiteral("velmor.ini"));
    testfiles::writeFileBytes(folder.filePath(QStringLiteral("-notes.txt")), "from the command line");
    testfiles::writeFileBytes(folder.filePath(QStringLiteral("last.txt")), "the last file");
    testfiles::writeFileBytes(ini, QStringLiteral("[Form1\\ffirst]\nBoolean=0\n[Form1\\fLastfile]\nString=%1\n")
                                       .arg(folder.filePath(QStringLiteral("last.txt")))
                                       .toUtf8());
    {
        WorkingFolder inFolder(folder.path());
        const velmor::CommandLineRequest request =
            velmor::parseCommandLine({"velmor", "--", "-notes.txt", "extra.txt"});
        velmor::TForm1 form(std::make_unique<FakeSpeechEngine>(),
                            velmor::FormOptions{request.file.has_value(), quietDialogs(), ini});
        const WindowDriver ui(form);
        EXPECT_TRUE(ui.text().isEmpty());
        form.openCommandLineFiles(request);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !form.fileCommands().opening(); }));
        EXPECT_EQ(ui.text(), QStringLiteral("from the command line"));
        EXPECT_EQ(ui.state().fFileName, folder.filePath(QStringLiteral("-notes.txt")));
        EXPECT_EQ(ui.panelCaption(), QStringLiteral(" extra.txt was not opened: only the first file named is"));
        ASSERT_TRUE(form.close());
    }
    EXPECT_EQ(storedValue(ini, "fLastfile"), folder.filePath(QStringLiteral("-notes.txt")));
}

// A file of a kind the window does not read is not opened, as if none was named (the last file
// opens), and the information panel says why.
TEST(StartAndClose, CommandLineFileOfAnotherKindIsReportedAndTheLastFileOpens)
{
    QTemporaryDir folder;
    const QString ini = folder.filePath(QStringLiteral("velmor.ini"));
    const QString last = folder.filePath(QStringLiteral("last.txt"));
    testfiles::writeFileBytes(last, "the last file");
    testfiles::writeFileBytes(
        ini, QStringLiteral("[Form1\\ffirst]\nBoolean=0\n[Form1\\fLastfile]\nString=%1\n").arg(last).toUtf8());
    const velmor::CommandLineRequest request = velmor::parseCommandLine({"velmor", "notes.rtf"});
    velmor::TForm1 form(std::make_unique<FakeSpeechEngine>(),
                        velmor::FormOptions{request.file.has_value(), quietDialogs(), ini});
    const WindowDriver ui(form);
    form.openCommandLineFiles(request);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form.fileCommands().opening(); }));
    EXPECT_EQ(ui.text(), QStringLiteral("the last file"));
    EXPECT_EQ(ui.panelCaption(),
              QStringLiteral(" notes.rtf was not opened: it is not a text file, a shortcut (.lnk) or a document Velmor reads "
                             "(PDF, EPUB, DOCX, ODT, HTML, Markdown)"));
}

// The info line has its width only once the window is laid out: a start-up open shortens the
// path to that width, not to the width before.
TEST(StartAndClose, LastFileShowsItsWholePathWhenItFitsAndTheEndLineInView)
{
    QTemporaryDir folder;
    const QString ini = folder.filePath(QStringLiteral("velmor.ini"));
    const QString last = folder.filePath(QStringLiteral("last.txt"));
    testfiles::writeFileBytes(last, numberedLines(300) + "the end\n\n\n");
    testfiles::writeFileBytes(
        ini, QStringLiteral("[Form1\\ffirst]\nBoolean=0\n[Form1\\fLastfile]\nString=%1\n").arg(last).toUtf8());
    FormFixture f(2, true, ini);
    ASSERT_GT(f.ui.control("ULabel98").width(), f.ui.control("ULabel98").fontMetrics().horizontalAdvance(last) + 20);
    EXPECT_EQ(f.ui.infoLine(), last);

    velmor::TRichEdit98& editor = f.ui.textBox();
    // The caret on the first of the empty lines at the end, the very end in view.
    EXPECT_TRUE(editor.textCursor().block().text().isEmpty());
    EXPECT_EQ(editor.textCursor().block().previous().text(), QStringLiteral("the end"));
    QTextCursor end(editor.document());
    end.movePosition(QTextCursor::End);
    EXPECT_TRUE(editor.viewport()->rect().contains(editor.cursorRect(end)));
}

TEST(StartAndClose, DraggedControlPanelWidthIsStored)
{
    FormFixture f;
    QSplitterHandle* handle = f.ui.control<QSplitter>("Splitter1").handle(1);
    const QPoint grip = handle->rect().center();
    QTest::mousePress(handle, Qt::LeftButton, {}, grip);
    QTest::mouseMove(handle, grip + QPoint(57, 0));
    QTest::mouseRelease(handle, Qt::LeftButton, {}, grip + QPoint(57, 0));
    ASSERT_EQ(f.ui.control<QSplitter>("Splitter1").sizes().at(0), 290 + 57);
    ASSERT_TRUE(f.form->close());
    EXPECT_EQ(storedValue(f.settingsFile, "fPanelW"), QStringLiteral("347"));
}

// espeak-ng offers well over a hundred modes: every one can be chosen, the last included, and
// comes back at the next start.
TEST(StartAndClose, EveryLanguageIdSurvivesARestart)
{
    QTemporaryDir folder;
    const QString ini = folder.filePath(QStringLiteral("velmor.ini"));
    const auto modes = [](FakeSpeechEngine& e) { numberedModes(e, 142); };
    for (const int id : {120, 142}) {
        {
            FormFixture f(0, true, ini, modes);
            f.ui.control<velmor::UpDownEdit>("LIDUpDown").setValue(id);
            EXPECT_EQ(f.ui.state().fid, id);
            ASSERT_TRUE(f.form->close());
        }
        FormFixture again(0, false, ini, modes);
        EXPECT_EQ(again.ui.state().fid, id);
        EXPECT_EQ(again.ui.control<velmor::UpDownEdit>("LIDUpDown").value(), id);
        EXPECT_TRUE(again.engine->calls.contains(QStringLiteral("SelectMode:%1").arg(id)));
    }
}

TEST(StartAndClose, StartWithoutSpeechDataKeepsTheStoredLanguageId)
{
    QTemporaryDir folder;
    const QString ini = folder.filePath(QStringLiteral("velmor.ini"));
    testfiles::writeFileBytes(ini, "[Form1\\fid]\nInteger=120\n");
    FormFixture f(0, true, ini);
    ASSERT_TRUE(f.form->close());
    EXPECT_EQ(storedValue(ini, "fid"), QStringLiteral("120"));
}

// A file named at start-up is read while the window is already up: keys typed meanwhile land in
// the text once it is in, at the end line where the caret is placed; a file that cannot be read
// is reported and the keys still land in the empty text box.
TEST(StartAndClose, AFileNamedAtStartIsReadWhileTheWindowAnswers)
{
    QTemporaryDir folder;
    const QString ini = folder.filePath(QStringLiteral("velmor.ini"));
    const QString path = folder.filePath(QStringLiteral("notes.txt"));
    testfiles::writeFileBytes(path, numberedLines(300) + "the end\n\n");
    testfiles::writeFileBytes(ini, "[Form1\\ffirst]\nBoolean=0\n");
    FormFixture f(2, true, ini);
    velmor::TRichEdit98& editor = f.ui.textBox();

    f.form->openAtStart(path);
    QTest::keyClicks(&editor, QStringLiteral("ab"));
    EXPECT_TRUE(editor.document()->isEmpty());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !editor.document()->isEmpty(); }));
    EXPECT_EQ(editor.wholeText(), QString::fromUtf8(numberedLines(300) + "the end\nab\n"));
    EXPECT_EQ(f.ui.state().fFileName, path);
    EXPECT_EQ(f.ui.state().fRow, 301);
    EXPECT_EQ(f.ui.state().fCol, 2);
    EXPECT_TRUE(f.errors.isEmpty());

    editor.setModified(false);
    f.ui.click("NewButton");
    f.form->openAtStart(folder.filePath(QStringLiteral("missing.txt")));
    QTest::keyClicks(&editor, QStringLiteral("cd"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !f.errors.isEmpty(); }));
    EXPECT_EQ(editor.wholeText(), QStringLiteral("cd"));
    EXPECT_NE(f.ui.state().fFileName, folder.filePath(QStringLiteral("missing.txt")));
}
