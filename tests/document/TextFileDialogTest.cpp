#include "QtPrinters.h"

#include "document/TextFileDialog.h"

#include <QCheckBox>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velmor;

TEST(DialogFilters, EachDescriptionBecomesANameFilterThatNamesItsPatternsOnce)
{
    const QStringList filters = qtNameFilters(
        QStringLiteral("Text and UnicodeText(*.txt)|*.txt|Pascal files|*.PAS;*.DPK;*.DPR|HTML,INI|*.HTML;*.HTM;*.INI"));
    EXPECT_EQ(filters, (QStringList{"Text and UnicodeText(*.txt)", "Pascal files (*.PAS *.DPK *.DPR)",
                                    "HTML,INI (*.HTML *.HTM *.INI)"}));
    EXPECT_EQ(defaultExtensionOf(filters[0]), QStringLiteral("txt"));
    EXPECT_EQ(defaultExtensionOf(filters[1]), QStringLiteral("PAS"));
    EXPECT_EQ(defaultExtensionOf(filters[2]), QStringLiteral("HTML"));
    EXPECT_EQ(defaultExtensionOf(QStringLiteral("All (*)")), QString());
}

TEST(DialogPreview, ShowsTheFirst1024BytesOfAnExistingFileOnly)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.txt"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(2000, 'x'));
    file.close();
    EXPECT_EQ(previewOf(path).size(), 1024);
    EXPECT_EQ(previewOf(dir.filePath(QStringLiteral("*.txt"))), QString());
    EXPECT_EQ(previewOf(dir.filePath(QStringLiteral("missing.txt"))), QString());
    EXPECT_EQ(previewOf(dir.path()), QString());
}

TEST(DialogPreview, FollowsTheCheckBox)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.txt"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("hello");
    file.close();
    TTextOpenDialog dialog(nullptr);
    dialog.setDirectory(dir.path());
    emit dialog.currentChanged(path);
    EXPECT_TRUE(dialog.previewBox()->toPlainText().isEmpty());
    dialog.previewCheck()->setChecked(true);
    EXPECT_EQ(dialog.previewBox()->toPlainText(), QStringLiteral("hello"));
    dialog.previewCheck()->setChecked(false);
    EXPECT_TRUE(dialog.previewBox()->toPlainText().isEmpty());
}
