#include "FormFixture.h"
#include "QtPrinters.h"

#include <QAction>
#include <QMenu>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QAction* action(FormFixture& f, const char* name) { return f.form->findChild<QAction*>(QString::fromLatin1(name)); }

} // namespace

// "Auto language" closes the Edit menu after a separator, starts off, tells the engine when it
// changes and is kept in the settings file in a section of its own.
TEST(AutoLanguage, EditMenuCheckItemDrivesTheEngineAndIsRemembered)
{
    QTemporaryDir folder;
    const QString ini = folder.filePath(QStringLiteral("velmor.ini"));
    {
        FormFixture f(2, true, ini);
        QAction* item = action(f, "AutoLanguage1");
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->text(), QStringLiteral("Auto language"));
        const QList<QAction*> edit = f.form->findChild<QMenu*>(QStringLiteral("EditMenu"))->actions();
        ASSERT_GE(edit.size(), 2);
        EXPECT_EQ(edit.back(), item);
        EXPECT_TRUE(edit[edit.size() - 2]->isSeparator());
        EXPECT_TRUE(item->isCheckable());
        EXPECT_FALSE(item->isChecked());
        EXPECT_FALSE(f.engine->autoLanguage);

        item->trigger();
        EXPECT_TRUE(f.engine->autoLanguage);
        ASSERT_TRUE(f.form->close());
    }
    FormFixture again(2, true, ini);
    EXPECT_TRUE(action(again, "AutoLanguage1")->isChecked());
    EXPECT_TRUE(again.engine->autoLanguage);
    action(again, "AutoLanguage1")->trigger();
    EXPECT_FALSE(again.engine->autoLanguage);
}
