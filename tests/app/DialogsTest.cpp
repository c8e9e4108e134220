#include "app/Dialogs.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// Presses a key in the message box the dialog opens, once it is up.
void pressInNextBox(Qt::Key key)
{
    QTimer::singleShot(0, [key] {
        QWidget* box = QApplication::activeModalWidget();
        ASSERT_NE(box, nullptr);
        QTest::keyClick(box, key);
    });
}

} // namespace

// A stray Enter must never discard anything: the question's default keeps the text, and
// Escape answers as cancelling does.
TEST(StandardDialogs, EnterAndEscapeChooseTheButtonsThatLoseNothing)
{
    QWidget window;
    const velmor::Dialogs dialogs = velmor::standardDialogs(&window);
    pressInNextBox(Qt::Key_Return);
    EXPECT_FALSE(dialogs.askYesNo(QStringLiteral("Are you sure you want to delete the text?")));
    pressInNextBox(Qt::Key_Escape);
    EXPECT_FALSE(dialogs.askYesNo(QStringLiteral("Are you sure you want to delete the text?")));

    const QStringList buttons{QStringLiteral("Restore"), QStringLiteral("Delete"), QStringLiteral("Keep")};
    pressInNextBox(Qt::Key_Return);
    EXPECT_EQ(dialogs.askChoice(QStringLiteral("Which?"), buttons, 2, 1), 2);
    pressInNextBox(Qt::Key_Escape);
    EXPECT_EQ(dialogs.askChoice(QStringLiteral("Which?"), buttons, 2, 1), 1);
}

// The list is reached by keyboard alone: it has the focus and its label as its name, the arrow
// keys move in it, Enter takes the item and Escape takes none.
TEST(StandardDialogs, AListIsChosenFromByKeyboard)
{
    QWidget window;
    const velmor::Dialogs dialogs = velmor::standardDialogs(&window);
    const QStringList items{QStringLiteral("EUC-JP (Japanese)"), QStringLiteral("Shift-JIS (Japanese)"),
                            QStringLiteral("UTF-8 (Unicode)")};
    QString focusName;
    QTimer::singleShot(0, [&focusName] {
        QWidget* box = QApplication::activeModalWidget();
        ASSERT_NE(box, nullptr);
        QWidget* focused = box->focusWidget();
        ASSERT_NE(focused, nullptr);
        focusName = focused->accessibleName();
        QTest::keyClick(focused, Qt::Key_Down);
        QTest::keyClick(focused, Qt::Key_Return);
    });
    EXPECT_EQ(dialogs.chooseItem(QStringLiteral("Reopen with encoding"), QStringLiteral("Read memo.txt in:"), items, 1), 2);
    EXPECT_EQ(focusName, QStringLiteral("Read memo.txt in:"));
    pressInNextBox(Qt::Key_Escape);
    EXPECT_EQ(dialogs.chooseItem(QStringLiteral("Reopen with encoding"), QStringLiteral("Read memo.txt in:"), items, 0),
              std::nullopt);
}
