#include "FormFixture.h"
#include "QtPrinters.h"

#include <QAction>
#include <QMenu>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {


} // namespace

// "Auto language" stands after a separator in the Edit menu, starts off, tells the engine when it
// changes and is kept in the settings file in a section of its own.
TEST(AutoLanguage, EditMenuCheckItemDrivesTheEngineAndIsRemembered)
{
    QTemporaryDir folder;
    const QString ini = folder.filePath(QStringLiteral("velmor.ini"));
    {
        FormFixture f(2, true, ini);
        QAction* item = &f.form->action(ActionId::AutoLanguage1);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->text(), QStringLiteral("Auto language"));
        const QList<QAction*> edit = f.form->findChild<QMenu*>(QStringLiteral("EditMenu"))->actions();
        const qsizetype at = edit.indexOf(item);
        ASSERT_GE(at, 1);
        EXPECT_TRUE(edit[at - 1]->isSeparator());
        EXPECT_TRUE(item->isCheckable());
        EXPECT_FALSE(item->isChecked());
        EXPECT_FALSE(f.engine->autoLanguage);

        item->trigger();
        EXPECT_TRUE(f.engine->autoLanguage);
        ASSERT_TRUE(f.form->close());
    }
    FormFixture again(2, true, ini);
    EXPECT_TRUE(again.ui.action(ActionId::AutoLanguage1).isChecked());
    EXPECT_TRUE(again.engine->autoLanguage);
    again.trigger(ActionId::AutoLanguage1);
    EXPECT_FALSE(again.engine->autoLanguage);
}
