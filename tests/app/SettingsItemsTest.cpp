#include "app/SettingsItems.h"

#include "app/RegManager.h"

#include "QtPrinters.h"

#include <QSet>

#include <gtest/gtest.h>

namespace {

std::vector<velmor::TRegItem> items()
{
    velmor::TRegManager manager;
    velmor::fillSettingsItems(manager);
    return manager.RegItems;
}

TEST(SettingsItems, AreTheThirtyFiveItemsInTheirOrder)
{
    // Name, section word, key word, default.
    const char* expected[][4] = {
        {"fid", "fid", "Integer", "1"},
        {"FSpd", "FSpd", "Integer", "150"},
        {"ClipSpeechCheckBoxChecked", "ClipSpeechCheckBox", "Checked", "True"},
        {"ShowCheckBoxChecked", "ShowCheckBox", "Checked", "True"},
        {"SICheckBoxChecked", "SICheckBox", "Checked", "True"},
        {"ffirst", "ffirst", "Boolean", "True"},
        {"fRepNum", "fRepNum", "Integer", "1"},
        {"fTop", "fTop", "Integer", "16"},
        {"fLeft", "fLeft", "Integer", "16"},
        {"fHeight", "fHeight", "Integer", "580"},
        {"fWidth", "fWidth", "Integer", "780"},
        {"fMarkColor", "fMarkColor", "Integer", "$00D2E1D5"},
        {"ffMarkColor", "ffMarkColor", "Integer", "$00F0DACA"},
        {"fPanelW", "fPanelW", "Integer", "290"},
        {"SCLCheckBoxChecked", "SCLCheckBox", "Checked", "True"},
        {"fMaxForm", "fMaxForm", "Boolean", "False"},
        {"HotKeyCheckBoxChecked", "HotKeyCheckBox", "Checked", "True"},
        {"fAlpha", "fAlpha", "Integer", "255"},
        {"LastfileCheckChecked", "LastfileCheck", "Checked", "True"},
        {"fLastfile", "fLastfile", "String", ""},
        {"fBGColor", "fBGColor", "Integer", "$00E9F5F4"},
        {"fFontColor", "fFontColor", "Integer", "$002C201B"},
        {"fPColor", "fPColor", "Integer", "$00F0DACA"},
        {"fFontSize", "fFontSize", "Integer", "11"},
        {"fFontName", "fFontName", "String", "\xEF\xBC\xAD\xEF\xBC\xB3 \xEF\xBC\xB0\xE6\x98\x8E\xE6\x9C\x9D"},
        {"fExeName", "fExeName", "String", ""},
        {"WordReadCheckBoxChecked", "WordReadCheckBoxChecked", "Checked", "True"},
        {"endlineChecked", "endlineChecked", "Checked", "True"},
        {"fMarkCheck", "fMarkCheck", "Checked", "False"},
        {"fAddYuki", "fAddYuki", "Checked", "True"},
        {"KeyInputChecked", "KeyInputChecked", "Checked", "True"},
        {"fSelBgColor", "fSelBgColor", "Integer", "$00FFC6C6"},
        {"fDicName", "fDicName", "String", ""},
        {"AutoLanguage1Checked", "AutoLanguage1", "Checked", "False"},
        {"FollowWordsChecked", "FollowWords", "Checked", "True"},
        {"fExeArgs", "fExeArgs", "String", ""},
        {"fDicArgs", "fDicArgs", "String", ""},
    };
    const auto actual = items();
    ASSERT_EQ(actual.size(), std::size(expected));
    for (size_t i = 0; i < actual.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(actual[i].Name, QString::fromUtf8(expected[i][0]));
        EXPECT_EQ(actual[i].Section, QStringLiteral("Form1\\") + QString::fromUtf8(expected[i][1]));
        EXPECT_EQ(actual[i].Ident, QString::fromUtf8(expected[i][2]));
        EXPECT_EQ(actual[i].DefaultValue, QString::fromUtf8(expected[i][3]));
    }
}

TEST(SettingsItems, NoNameHidesAnotherAndNoTwoShareASection)
{
    QSet<QString> names;
    QSet<QString> sections;
    for (const auto& item : items()) {
        names.insert(item.Name.toLower());
        sections.insert(item.Section.toLower());
    }
    EXPECT_EQ(names.size(), 37);
    EXPECT_EQ(sections.size(), 37);
}

TEST(SettingsAccessOrder, IsTheDefinedOrderWithTwoItemsMovedForward)
{
    QStringList defined;
    for (const auto& item : items())
        defined.append(item.Name);
    const QStringList order = velmor::settingsAccessOrder();

    QStringList sortedOrder = order;
    QStringList sortedDefined = defined;
    sortedOrder.sort();
    sortedDefined.sort();
    EXPECT_EQ(sortedOrder, sortedDefined);

    EXPECT_EQ(order.indexOf(u"fLastfile") + 1, order.indexOf(u"LastfileCheckChecked"));
    EXPECT_EQ(order.indexOf(u"fFontSize") + 1, order.indexOf(u"fPColor"));

    QStringList rest = order;
    rest.removeOne(QStringLiteral("fLastfile"));
    rest.removeOne(QStringLiteral("fFontSize"));
    QStringList definedRest = defined;
    definedRest.removeOne(QStringLiteral("fLastfile"));
    definedRest.removeOne(QStringLiteral("fFontSize"));
    EXPECT_EQ(rest, definedRest);
}

} // namespace
