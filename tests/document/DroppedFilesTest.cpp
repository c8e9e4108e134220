#include "FormFixture.h"
#include "QtPrinters.h"
#include "../app/TestFiles.h"

#include "core/FormState.h"
#include "document/FileNames.h"
#include "widgets/FlatButton.h"
#include "widgets/TRichEdit98.h"

#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

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

bool dropOnText(FormFixture& f, const QStringList& paths) { return dropFiles(f.ui.textBox().viewport(), paths); }

} // namespace

TEST(TextBoxDrop, OpensTheFirstFileAfterAskingAboutUnsavedText)
{
    FormFixture f;
    DropFiles files;
    const QString first = files.write("first.txt", "the first file");
    const QString second = files.write("second.txt", "the second file");
    const QString third = files.write("third.txt", "the third file");
    f.ui.type(QStringLiteral("draft"));
    f.ui.control<velmor::FlatButton>("NewButton").setFocus();
    f.answerYes = false;
    EXPECT_TRUE(dropOnText(f, {first, second, third}));
    EXPECT_EQ(f.questions.size(), 1);
    EXPECT_EQ(f.ui.text(), QStringLiteral("draft"));

    // A file the open refuses is not worth the question.
    EXPECT_TRUE(dropOnText(f, {files.write("program", QByteArray("\x7f" "ELF\0\0", 6))}));
    EXPECT_EQ(f.questions.size(), 1);
    EXPECT_EQ(f.ui.text(), QStringLiteral("draft"));

    f.answerYes = true;
    EXPECT_TRUE(dropOnText(f, {first, second, third}));
    ASSERT_TRUE(f.waitForOpen());
    EXPECT_EQ(f.ui.text(), QStringLiteral("the first file"));
    EXPECT_EQ(f.ui.state().fFileName, first);
    EXPECT_FALSE(f.ui.state().fDropOpen);
    EXPECT_TRUE(f.ui.textBox().hasFocus());

    // The text box still takes files after a Unicode save.
    f.fileAnswer = files.folder.filePath(QStringLiteral("saved.txt"));
    f.ui.click("UniSaveButton");
    EXPECT_TRUE(dropOnText(f, {third}));
    ASSERT_TRUE(f.waitForOpen());
    EXPECT_EQ(f.ui.text(), QStringLiteral("the third file"));
    EXPECT_TRUE(f.errors.isEmpty());
}

// A name that is not UTF-8 reaches the file by its bytes, and the next start reopens it.
TEST(TextBoxDrop, OpensAFileWhoseNameIsNotUtf8AndReopensItAfterARestart)
{
    DropFiles files;
    const QString settingsFile = files.folder.filePath(QStringLiteral("velmor.ini"));
    const QByteArray native = QFile::encodeName(files.folder.path()) + "/caf\xE9.txt";
    {
        const int fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::write(fd, "latin", 5), 5);
        ::close(fd);
    }
    {
        FormFixture f(2, true, settingsFile);
        QMimeData data;
        data.setUrls({QUrl::fromEncoded("file://" + native.toPercentEncoding("/"))});
        QWidget* viewport = f.ui.textBox().viewport();
        const QPointF at = viewport->rect().center();
        QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &enter);
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &drop);
        QCoreApplication::processEvents();
        ASSERT_TRUE(f.waitForOpen());
        EXPECT_EQ(f.ui.text(), QStringLiteral("latin"));
        EXPECT_EQ(velmor::encodeFileName(f.ui.state().fFileName), native);
        EXPECT_TRUE(f.errors.isEmpty());
        f.form->close();
    }
    EXPECT_TRUE(fileBytes(settingsFile).contains("String=file://" + native.toPercentEncoding("/") + "\n"));
    FormFixture again(2, true, settingsFile);
    EXPECT_EQ(again.ui.text(), QStringLiteral("latin"));
    EXPECT_EQ(velmor::encodeFileName(again.ui.state().fFileName), native);
}

TEST(TextBoxDrop, IsIgnoredWhileTheCommandLineFileOpensAndLeavesTextDragsAlone)
{
    FormFixture f;
    DropFiles files;
    f.ui.state().fParamOpen = true;
    dropOnText(f, {files.write("late.txt", "too early")});
    EXPECT_TRUE(f.ui.text().isEmpty());

    QMimeData text;
    text.setText(QStringLiteral("dragged words"));
    QWidget* viewport = f.ui.textBox().viewport();
    QDragEnterEvent enter(viewport->rect().center(), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &enter);
    QDropEvent drop(viewport->rect().center(), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &drop);
    EXPECT_EQ(f.ui.text(), QStringLiteral("dragged words"));
}

TEST(DictionaryButtons, RememberADroppedProgramAcrossARestartAndStartIt)
{
    DropFiles files;
    const QString settingsFile = files.folder.filePath(QStringLiteral("velmor.ini"));
    const QString dictionary = files.script("dictionary");
    const QString words = files.script("words");
    {
        FormFixture f(2, true, settingsFile);
        EXPECT_EQ(f.ui.control<velmor::FlatButton>("DicButton").toolTip(), QStringLiteral("D&D, Start dic  Alt + D"));
        EXPECT_EQ(f.ui.control<velmor::FlatButton>("DicButton2").toolTip(), QStringLiteral("D&D, Start dic  Alt + I"));
        const QString shortcut = files.folder.filePath(QStringLiteral("dictionary shortcut.lnk"));
        ASSERT_TRUE(QFile::link(dictionary, shortcut));
        EXPECT_TRUE(dropFiles(&f.ui.control<velmor::FlatButton>("DicButton"), {shortcut, files.write("other.txt", "")}));
        EXPECT_EQ(f.ui.state().fExeName, dictionary);
        EXPECT_EQ(f.ui.control<velmor::FlatButton>("DicButton").toolTip(), QStringLiteral("dictionary"));

        // Neither a document, nor a program of another system, nor a folder replaces it.
        dropFiles(&f.ui.control<velmor::FlatButton>("DicButton"), {files.write("TOOL.Exe", "MZ")});
        dropFiles(&f.ui.control<velmor::FlatButton>("DicButton"), {files.folder.path()});
        EXPECT_EQ(f.ui.state().fExeName, dictionary);
        EXPECT_EQ(f.ui.control<velmor::FlatButton>("DicButton").toolTip(), QStringLiteral("dictionary"));

        // An application's desktop entry that the user trusts (made executable) stands for its
        // command, taken when it is dropped and shown in the hint; it starts without the files
        // its command line could take. An entry not trusted is refused with the reason.
        const QByteArray entryText =
            QStringLiteral("[Desktop Entry]\nType=Application\nName=Words\nExec=\"%1\" -x %U\n").arg(words).toUtf8();
        const QString entry = files.write("words.desktop", entryText);
        EXPECT_TRUE(dropFiles(&f.ui.control<velmor::FlatButton>("DicButton2"), {entry}));
        EXPECT_TRUE(f.ui.control<velmor::FlatButton>("DicButton2").toolTip().startsWith(QStringLiteral("D&D")));
        ASSERT_EQ(f.informed.size(), 1);
        EXPECT_TRUE(f.informed[0].startsWith(entry + QStringLiteral(" was not taken as a dictionary program")));
        QFile::setPermissions(entry, QFile::permissions(entry) | QFile::ExeOwner);
        EXPECT_TRUE(dropFiles(&f.ui.control<velmor::FlatButton>("DicButton2"), {entry}));
        EXPECT_EQ(f.ui.control<velmor::FlatButton>("DicButton2").toolTip(), QStringLiteral("\"%1\" \"-x\"").arg(words));
        writeFileBytes(entry, "[Desktop Entry]\nType=Application\nExec=sh -c \"echo changed\"\n");

        // A name with a line break is refused with a message and reaches no settings line.
        const QString injected = files.script("x\n[Form1\\fFontSize]\nInteger=40");
        EXPECT_TRUE(dropFiles(&f.ui.control<velmor::FlatButton>("DicButton"), {injected}));
        EXPECT_EQ(f.ui.state().fExeName, dictionary);
        ASSERT_EQ(f.informed.size(), 2);
        EXPECT_TRUE(f.informed[1].endsWith(QStringLiteral("so it was not taken as a dictionary program.")));
        f.form->close();
    }
    EXPECT_FALSE(fileBytes(settingsFile).contains("Integer=40"));

    FormFixture again(2, true, settingsFile);
    EXPECT_EQ(again.ui.control<velmor::FlatButton>("DicButton").toolTip(), QStringLiteral("dictionary"));
    EXPECT_EQ(again.ui.control<velmor::FlatButton>("DicButton2").toolTip(), QStringLiteral("\"%1\" \"-x\"").arg(words));
    EXPECT_EQ(again.ui.state().fFontSize, 11);
    again.ui.press(Qt::Key_D, Qt::AltModifier);
    again.ui.press(Qt::Key_I, Qt::AltModifier);
    const auto ran = [](const QString& program) {
        return QTest::qWaitFor([&] { return !fileBytes(program + QStringLiteral(".ran")).isEmpty(); }, 10000);
    };
    ASSERT_TRUE(ran(dictionary));
    ASSERT_TRUE(ran(words));
    EXPECT_EQ(fileBytes(dictionary + QStringLiteral(".ran")), "0\n");
    EXPECT_EQ(fileBytes(words + QStringLiteral(".ran")), "1\n");

    // A program that has gone away is passed over without a word.
    QFile::remove(dictionary);
    again.ui.click("DicButton");
    EXPECT_TRUE(again.errors.isEmpty());
    EXPECT_TRUE(again.informed.isEmpty());
}
