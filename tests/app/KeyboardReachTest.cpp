// The control panel's buttons that Tab does not reach, the dictionary buttons' programs and the
// context menu answer keys of their own.
#include "TextProbes.h"
#include "FormFixture.h"
#include "QtPrinters.h"
#include "TestFiles.h"

#include "core/FormState.h"
#include "widgets/Bgr.h"
#include "widgets/FlatButton.h"
#include "widgets/TRichEdit98.h"
#include "widgets/UpDownEdit.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QScreen>
#include <QSet>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using textprobes::markAt;

namespace {

// Presses a key in the text box and notes the menu it opened, where, and closes it.
QPoint menuOpenedBy(FormFixture& f, Qt::Key key, Qt::KeyboardModifiers modifiers, QWidget** opened)
{
    QPoint at;
    *opened = nullptr;
    QTimer::singleShot(0, [&] {
        *opened = QApplication::activePopupWidget();
        if (*opened) {
            at = (*opened)->pos();
            (*opened)->close();
        }
    });
    // The offscreen platform gives the window its activation back only when asked.
    QApplication::setActiveWindow(f.form.get());
    f.ui.press(key, modifiers);
    QApplication::processEvents(); // the check has run even when no menu opened
    return at;
}

} // namespace

TEST(KeyboardReach, KeysDoWhatTheUnreachedButtonsDoAndSayItInThePanel)
{
    FormFixture f;
    velmor::TRichEdit98& editor = f.ui.textBox();
    f.setText(QStringLiteral("alpha beta gamma"));

    // The two Mark keys: marking off marks nothing and says so; on, they mark in their colours.
    editor.setSelection(0, 5);
    f.ui.press(Qt::Key_1, Qt::ControlModifier);
    EXPECT_FALSE(markAt(editor, 0).isValid());
    EXPECT_EQ(f.ui.panelCaption(), QStringLiteral(" Marking is off (Alt+M): nothing was marked."));
    f.ui.click("MarkCheckButton");
    ASSERT_TRUE(f.ui.state().fMarkCheck);
    editor.setSelection(0, 5);
    f.ui.press(Qt::Key_1, Qt::ControlModifier);
    editor.setSelection(6, 4);
    f.ui.press(Qt::Key_2, Qt::ControlModifier);
    EXPECT_EQ(markAt(editor, 0), velmor::colorFromBgr(f.ui.state().fMarkColor));
    EXPECT_EQ(markAt(editor, 6), velmor::colorFromBgr(f.ui.state().ffMarkColor));
    EXPECT_EQ(f.ui.panelCaption(), QStringLiteral(" The selection is marked."));
    // Without a selection the key chooses the colour, as the button does.
    f.colorAnswer = QColor(0x10, 0x20, 0x30);
    f.ui.press(Qt::Key_2, Qt::ControlModifier);
    EXPECT_EQ(f.colorRequests.size(), 1);
    EXPECT_EQ(velmor::colorFromBgr(f.ui.state().ffMarkColor), QColor(0x10, 0x20, 0x30));
    f.ui.press(Qt::Key_3, Qt::ControlModifier);
    EXPECT_FALSE(markAt(editor, 0).isValid());
    EXPECT_FALSE(markAt(editor, 6).isValid());
    EXPECT_EQ(f.ui.panelCaption(), QStringLiteral(" The marks are reset."));

    // Default Speed and "once".
    auto& speedBar = f.ui.control<QScrollBar>("ScrollBar1");
    speedBar.setValue(170);
    f.ui.press(Qt::Key_D, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(speedBar.value(), 150);
    EXPECT_EQ(f.ui.state().FSpd, 150);
    EXPECT_EQ(f.ui.panelCaption(), QStringLiteral(" Default Speed: 150"));
    f.ui.control<velmor::UpDownEdit>("RepUpDown").setValue(4);
    f.ui.press(Qt::Key_O, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(f.ui.state().fRepNum, 1);
    EXPECT_EQ(f.ui.control<velmor::UpDownEdit>("RepUpDown").value(), 1);
    EXPECT_EQ(f.ui.panelCaption(), QStringLiteral(" Repetition number: 1"));

    // Lang ID-info lists the engine's voices at the end of the text.
    f.engine->modeNames = QStringList{QStringLiteral("Mary"), QStringLiteral("Female Japanese")};
    f.engine->speakers = QStringList{QStringLiteral("Mary"), QStringLiteral("Naoko")};
    f.ui.press(Qt::Key_L, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(f.ui.text().startsWith(QStringLiteral("alpha beta gamma\n")));
    EXPECT_TRUE(f.ui.text().contains(QStringLiteral("ID2  Naoko,")));
    EXPECT_EQ(f.ui.panelCaption(), QStringLiteral(" Lang ID-info: 2 language IDs are listed at the end of the text."));

    // Shift+F10 and the Menu key open the context menu below the caret.
    QWidget* opened = nullptr;
    const QString text = f.ui.text();
    editor.setSelection(6, 0);
    const QPoint caret = editor.viewport()->mapToGlobal(editor.cursorRect().bottomLeft());
    for (Qt::Key key : {Qt::Key_Menu, Qt::Key_F10}) {
        const QPoint at = menuOpenedBy(f, key, key == Qt::Key_F10 ? Qt::ShiftModifier : Qt::NoModifier, &opened);
        EXPECT_EQ(opened, &f.ui.control<QMenu>("PopupMenu1")) << key;
        if (!opened)
            continue;
        // A menu taller than the screen is moved up to fit; it stays beside the caret.
        EXPECT_EQ(at.x(), caret.x()) << key;
        EXPECT_TRUE(at.y() == caret.y() || opened->height() + caret.y() > opened->screen()->availableGeometry().bottom())
            << key;
    }
    EXPECT_EQ(f.ui.text(), text); // the menu keys type nothing
    EXPECT_EQ(editor.textCursor().position(), 6);

    // No two items or keys of the window share a key.
    QStringList keys;
    for (const QAction* action : f.form->actions())
        for (const QKeySequence& key : action->shortcuts())
            keys << key.toString(QKeySequence::PortableText);
    EXPECT_EQ(keys.size(), QSet<QString>(keys.begin(), keys.end()).size()) << keys.join(u' ').toStdString();
}

TEST(KeyboardReach, DicProgramsAreChosenInTheFileDialogWithTheDropsChecks)
{
    QTemporaryDir folder;
    const auto script = [&folder](const QString& name) {
        const QString path = folder.filePath(name);
        testfiles::writeFileBytes(path, "#!/bin/sh\n");
        QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner);
        return path;
    };
    const QString dictionary = script(QStringLiteral("dictionary"));
    FormFixture f;
    auto& dicButton = f.ui.control<velmor::FlatButton>("DicButton");
    auto& dicButton2 = f.ui.control<velmor::FlatButton>("DicButton2");

    f.fileAnswer = dictionary;
    f.ui.press(Qt::Key_D, Qt::AltModifier | Qt::ShiftModifier);
    ASSERT_EQ(f.fileChoices.size(), 1);
    EXPECT_EQ(f.fileChoices[0].kind, velmor::FileChoice::Kind::Open);
    EXPECT_EQ(f.ui.state().fExeName, dictionary);
    EXPECT_EQ(dicButton.toolTip(), QStringLiteral("dictionary"));
    EXPECT_EQ(f.ui.panelCaption(), QStringLiteral(" dic: dictionary"));

    // The dialog starts at the program the button has; what the drop refuses, the dialog does too,
    // with the drop's message, and a document is passed over as a drop passes it.
    f.fileAnswer = script(QStringLiteral("x\n[Form1\\fFontSize]\nInteger=40"));
    f.ui.press(Qt::Key_D, Qt::AltModifier | Qt::ShiftModifier);
    EXPECT_EQ(f.fileChoices[1].presetName, dictionary);
    EXPECT_EQ(f.fileChoices[1].directory, folder.path());
    ASSERT_EQ(f.informed.size(), 1);
    EXPECT_TRUE(f.informed[0].endsWith(QStringLiteral("so it was not taken as a dictionary program.")));
    f.fileAnswer = folder.filePath(QStringLiteral("notes.txt"));
    testfiles::writeFileBytes(*f.fileAnswer, "words");
    f.ui.press(Qt::Key_D, Qt::AltModifier | Qt::ShiftModifier);
    f.fileAnswer.reset(); // cancelled
    f.ui.press(Qt::Key_D, Qt::AltModifier | Qt::ShiftModifier);
    EXPECT_EQ(f.fileChoices.size(), 4);
    EXPECT_EQ(f.ui.state().fExeName, dictionary);
    EXPECT_EQ(dicButton.toolTip(), QStringLiteral("dictionary"));
    EXPECT_EQ(f.informed.size(), 1);

    // The second button has its own key and program; the first keeps its own.
    const QString words = script(QStringLiteral("words"));
    f.fileAnswer = words;
    f.ui.press(Qt::Key_I, Qt::AltModifier | Qt::ShiftModifier);
    EXPECT_EQ(f.ui.state().fDicName, words);
    EXPECT_EQ(dicButton2.toolTip(), QStringLiteral("words"));
    EXPECT_EQ(f.ui.state().fExeName, dictionary);
    EXPECT_EQ(f.ui.panelCaption(), QStringLiteral(" dic 2: words"));
    EXPECT_TRUE(f.errors.isEmpty());
}
