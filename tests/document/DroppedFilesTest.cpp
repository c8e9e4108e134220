#include "FormFixture.h"
#include "QtPrinters.h"
#include "../app/TestFiles.h"

#include "app/FormState.h"
#include "widgets/FlatButton.h"
#include "widgets/TRichEdit98.h"

#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>

using testfiles::fileBytes;
using testfiles::writeFileBytes;

namespace {

// Drags the files onto the widget and drops them there, as a file manager does, offering to
// copy or to move them.
bool dropFiles(QWidget* target, const QStringList& paths)
{
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls << QUrl::fromLocalFile(path);
    data.setUrls(urls);
    const QPointF at = target->rect().center();
    const Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction;
    QDragEnterEvent enter(at.toPoint(), offered, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(at, offered, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    QCoreApplication::processEvents();
    return enter.isAccepted() && drop.isAccepted() && drop.dropAction() == Qt::CopyAction;
}

// Files and programs to drop, in a folder that outlives the windows.
struct DropFiles {
    QTemporaryDir folder;
    QString write(const char* name, const QByteArray& bytes)
    {
        const QString path = folder.filePath(QString::fromUtf8(name));
        writeFileBytes(path, bytes);
        return path;
    }
    // A shell script that writes its argument count into a file of its name with ".ran" added.
    QString script(const char* name)
    {
        const QString path = write(name, "#!/bin/sh\necho $# > \"$0.ran\"\n");
        QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner);
        return path;
    }
};

bool dropOnText(FormFixture& f, const QStringList& paths) { return dropFiles(f.form->RichEdit98->viewport(), paths); }

} // namespace

TEST(TextBoxDrop, OpensTheFirstFileAfterAskingAboutUnsavedText)
{
    FormFixture f;
    DropFiles files;
    const QString first = files.write("first.txt", "the first file");
    const QString second = files.write("second.txt", "the second file");
    const QString third = files.write("third.txt", "the third file");
    QTest::keyClicks(f.form->RichEdit98, QStringLiteral("draft"));
    f.form->NewButton->setFocus();
    f.answerYes = false;
    EXPECT_TRUE(dropOnText(f, {first, second, third}));
    EXPECT_EQ(f.questions.size(), 1);
    EXPECT_EQ(f.form->RichEdit98->toPlainText(), QStringLiteral("draft"));

    // A file the open refuses is not worth the question.
    EXPECT_TRUE(dropOnText(f, {files.write("notes.Txt", "refused")}));
    EXPECT_EQ(f.questions.size(), 1);
    EXPECT_EQ(f.form->RichEdit98->toPlainText(), QStringLiteral("draft"));

    f.answerYes = true;
    EXPECT_TRUE(dropOnText(f, {first, second, third}));
    ASSERT_TRUE(f.waitForOpen());
    EXPECT_EQ(f.form->RichEdit98->toPlainText(), QStringLiteral("the first file"));
    EXPECT_EQ(f.form->state().fFileName, first);
    EXPECT_FALSE(f.form->state().fDropOpen);
    EXPECT_TRUE(f.form->RichEdit98->hasFocus());

    // The text box still takes files after a Unicode save.
    f.fileAnswer = files.folder.filePath(QStringLiteral("saved.txt"));
    f.form->UniSaveButton->click();
    EXPECT_TRUE(dropOnText(f, {third}));
    ASSERT_TRUE(f.waitForOpen());
    EXPECT_EQ(f.form->RichEdit98->toPlainText(), QStringLiteral("the third file"));
    EXPECT_TRUE(f.errors.isEmpty());
}

TEST(TextBoxDrop, IsIgnoredWhileTheCommandLineFileOpensAndLeavesTextDragsAlone)
{
    FormFixture f;
    DropFiles files;
    f.form->state().fParamOpen = true;
    dropOnText(f, {files.write("late.txt", "too early")});
    EXPECT_TRUE(f.form->RichEdit98->toPlainText().isEmpty());

    QMimeData text;
    text.setText(QStringLiteral("dragged words"));
    QWidget* viewport = f.form->RichEdit98->viewport();
    QDragEnterEvent enter(viewport->rect().center(), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &enter);
    QDropEvent drop(viewport->rect().center(), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &drop);
    EXPECT_EQ(f.form->RichEdit98->toPlainText(), QStringLiteral("dragged words"));
}

TEST(DictionaryButtons, RememberADroppedProgramAcrossARestartAndStartIt)
{
    DropFiles files;
    const QString settingsFile = files.folder.filePath(QStringLiteral("velmor.ini"));
    const QString dictionary = files.script("dictionary");
    const QString words = files.script("words");
    {
        FormFixture f(2, true, settingsFile);
        EXPECT_EQ(f.form->DicButton->toolTip(), QStringLiteral("D&D, Start dic  Alt + D"));
        EXPECT_EQ(f.form->DicButton2->toolTip(), QStringLiteral("D&D, Start dic  Alt + I"));
        const QString shortcut = files.folder.filePath(QStringLiteral("dictionary shortcut.lnk"));
        ASSERT_TRUE(QFile::link(dictionary, shortcut));
        EXPECT_TRUE(dropFiles(f.form->DicButton, {shortcut, files.write("other.txt", "")}));
        EXPECT_EQ(f.form->state().fExeName, dictionary);
        EXPECT_EQ(f.form->DicButton->toolTip(), QStringLiteral("dictionary"));

        // Neither a document, nor a program of another system, nor a folder replaces it.
        dropFiles(f.form->DicButton, {files.write("TOOL.Exe", "MZ")});
        dropFiles(f.form->DicButton, {files.folder.path()});
        EXPECT_EQ(f.form->state().fExeName, dictionary);
        EXPECT_EQ(f.form->DicButton->toolTip(), QStringLiteral("dictionary"));

        // An application's desktop entry is a program too; it starts without the files its
        // command line could take.
        const QString entry = files.write(
            "words.desktop",
            QStringLiteral("[Desktop Entry]\nType=Application\nName=Words\nExec=\"%1\" %U\n").arg(words).toUtf8());
        EXPECT_TRUE(dropFiles(f.form->DicButton2, {entry}));
        EXPECT_EQ(f.form->DicButton2->toolTip(), QStringLiteral("words.desktop"));
        f.form->close();
    }

    FormFixture again(2, true, settingsFile);
    EXPECT_EQ(again.form->DicButton->toolTip(), QStringLiteral("dictionary"));
    EXPECT_EQ(again.form->DicButton2->toolTip(), QStringLiteral("words.desktop"));
    QTest::keyClick(again.form->RichEdit98, Qt::Key_D, Qt::AltModifier);
    QTest::keyClick(again.form->RichEdit98, Qt::Key_I, Qt::AltModifier);
    const auto ran = [](const QString& program) {
        return QTest::qWaitFor([&] { return !fileBytes(program + QStringLiteral(".ran")).isEmpty(); }, 10000);
    };
    ASSERT_TRUE(ran(dictionary));
    ASSERT_TRUE(ran(words));
    EXPECT_EQ(fileBytes(dictionary + QStringLiteral(".ran")), "0\n");
    EXPECT_EQ(fileBytes(words + QStringLiteral(".ran")), "0\n");

    // A program that has gone away is passed over without a word.
    QFile::remove(dictionary);
    again.form->DicButton->click();
    EXPECT_TRUE(again.errors.isEmpty());
    EXPECT_TRUE(again.informed.isEmpty());
}
