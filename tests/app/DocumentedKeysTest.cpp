// The keys the README and the manual page list are the keys the window really answers.
#include "FormFixture.h"
#include "QtPrinters.h"
#include "TestFiles.h"

#include <QAbstractButton>
#include <QAction>
#include <QKeySequenceEdit>
#include <QRegularExpression>
#include <QSet>
#include <QShortcut>
#include <gtest/gtest.h>

namespace {

QString portable(const QKeySequence& key) { return key.toString(QKeySequence::PortableText); }

// Every key of the main window: its actions' shortcuts, its buttons' Alt letters and the
// system-wide hot key.
QSet<QString> windowKeys(velmor::TForm1& form)
{
    QSet<QString> keys;
    for (const QAction* action : form.actions()) {
        for (const QKeySequence& key : action->shortcuts())
            keys << portable(key);
    }
    for (const QShortcut* shortcut : form.findChildren<QShortcut*>())
        keys << portable(shortcut->key());
    for (const QAbstractButton* button : form.findChildren<QAbstractButton*>()) {
        if (const QKeySequence mnemonic = QKeySequence::mnemonic(button->text()); !mnemonic.isEmpty())
            keys << portable(mnemonic);
    }
    keys << portable(WindowDriver(form).control<QKeySequenceEdit>("HotKey1").keySequence());
    return keys;
}

// The lines of a text from the one that equals first up to the next that starts with next.
QStringList section(const QString& text, const QString& first, const QString& next)
{
    const QStringList lines = text.split(u'\n');
    const qsizetype start = lines.indexOf(first);
    EXPECT_GE(start, 0) << first.toStdString();
    QStringList part;
    for (qsizetype i = start + 1; start >= 0 && i < lines.size() && !lines[i].startsWith(next); ++i)
        part << lines[i];
    return part;
}

// A key as written in the documents ("Ctrl+Alt+R"), checked to be one Qt reads.
QString documentedKey(const QString& text)
{
    const QKeySequence key = QKeySequence::fromString(text, QKeySequence::PortableText);
    EXPECT_EQ(portable(key), text) << "not a key: " << text.toStdString();
    return portable(key);
}

QString sourceFile(const char* name)
{
    return QString::fromUtf8(testfiles::fileBytes(QStringLiteral(VELMOR_SOURCE_DIR "/") + QString::fromLatin1(name)));
}

} // namespace

// The README's key table names every key of the window and no other; Tab and Shift+Tab, which
// walk the controls, are the toolkit's. The manual page lists a choice of them.
TEST(DocumentedKeys, ReadmeTableIsTheWindowsKeysAndTheManualPageNamesOnlyThose)
{
    FormFixture f;
    const QSet<QString> actual = windowKeys(*f.form);
    ASSERT_TRUE(actual.contains(QStringLiteral("Ctrl+P")));

    QSet<QString> readme;
    const QSet<QString> focusKeys{QStringLiteral("Tab"), QStringLiteral("Shift+Tab")};
    for (const QString& row : section(sourceFile("README.md"), QStringLiteral("## Keys"), QStringLiteral("## "))) {
        if (!row.startsWith(QStringLiteral("| ")) || row.startsWith(QStringLiteral("| Key |"))
            || row.startsWith(QStringLiteral("| --- |")))
            continue;
        for (const QString& key : row.section(u'|', 1, 1).trimmed().split(QStringLiteral(", ")))
            readme << documentedKey(key);
    }
    EXPECT_TRUE(readme.contains(focusKeys));
    readme -= focusKeys;
    EXPECT_EQ(QSet<QString>(actual).subtract(readme), QSet<QString>()) << "keys the README's table does not list";
    EXPECT_EQ(QSet<QString>(readme).subtract(actual), QSet<QString>()) << "keys in the README the window does not have";

    static const QRegularExpression keyLine(QStringLiteral("^\\.B (.+)$"));
    QSet<QString> manual;
    for (const QString& line : section(sourceFile("data/velmor.1.in"), QStringLiteral(".SH KEYS"), QStringLiteral(".SH"))) {
        if (const QRegularExpressionMatch match = keyLine.match(line); match.hasMatch())
            manual << documentedKey(match.captured(1));
    }
    EXPECT_GE(manual.size(), 5);
    EXPECT_EQ(manual.subtract(actual), QSet<QString>()) << "keys in the manual page the window does not have";
}
