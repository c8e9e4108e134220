#include "app/SettingsItems.h"

#include "app/RegManager.h"

namespace velmor {

namespace {

std::vector<TRegItem> definedItems()
{
    // Each item has a section of its own; the key word only labels the kind of value.
    struct Row {
        const char16_t* name;
        const char16_t* word;
        const char16_t* ident;
        const char16_t* defaultValue;
    };
    static constexpr Row rows[] = {
        {u"fid", u"fid", u"Integer", u"1"},
        {u"FSpd", u"FSpd", u"Integer", u"150"},
        {u"ClipSpeechCheckBoxChecked", u"ClipSpeechCheckBox", u"Checked", u"True"},
        {u"ShowCheckBoxChecked", u"ShowCheckBox", u"Checked", u"True"},
        {u"SICheckBoxChecked", u"SICheckBox", u"Checked", u"True"},
        {u"ffirst", u"ffirst", u"Boolean", u"True"},
        {u"fRepNum", u"fRepNum", u"Integer", u"1"},
        {u"fTop", u"fTop", u"Integer", u"16"},
        {u"fLeft", u"fLeft", u"Integer", u"16"},
        {u"fHeight", u"fHeight", u"Integer", u"580"},
        {u"fWidth", u"fWidth", u"Integer", u"780"},
        {u"fMarkColor", u"fMarkColor", u"Integer", u"$00D2E1D5"},
        {u"ffMarkColor", u"ffMarkColor", u"Integer", u"$00F0DACA"},
        {u"fPanelW", u"fPanelW", u"Integer", u"290"},
        {u"SCLCheckBoxChecked", u"SCLCheckBox", u"Checked", u"True"},
        {u"fMaxForm", u"fMaxForm", u"Boolean", u"False"},
        {u"HotKeyCheckBoxChecked", u"HotKeyCheckBox", u"Checked", u"True"},
        {u"fAlpha", u"fAlpha", u"Integer", u"255"},
        {u"LastfileCheckChecked", u"LastfileCheck", u"Checked", u"True"},
        {u"fLastfile", u"fLastfile", u"String", u""},
        {u"fBGColor", u"fBGColor", u"Integer", u"$00E9F5F4"},
        {u"fFontColor", u"fFontColor", u"Integer", u"$002C201B"},
        {u"fPColor", u"fPColor", u"Integer", u"$00F0DACA"},
        {u"fFontSize", u"fFontSize", u"Integer", u"11"},
        {u"fFontName", u"fFontName", u"String", u"ＭＳ Ｐ明朝"},
        {u"fExeName", u"fExeName", u"String", u""},
        {u"WordReadCheckBoxChecked", u"WordReadCheckBoxChecked", u"Checked", u"True"},
        {u"endlineChecked", u"endlineChecked", u"Checked", u"True"},
        {u"fMarkCheck", u"fMarkCheck", u"Checked", u"False"},
        {u"fAddYuki", u"fAddYuki", u"Checked", u"True"},
        {u"KeyInputChecked", u"KeyInputChecked", u"Checked", u"True"},
        {u"fSelBgColor", u"fSelBgColor", u"Integer", u"$00FFC6C6"},
        {u"fDicName", u"fDicName", u"String", u""},
        {u"AutoLanguage1Checked", u"AutoLanguage1", u"Checked", u"False"},
        {u"FollowWordsChecked", u"FollowWords", u"Checked", u"True"},
        {u"fExeArgs", u"fExeArgs", u"String", u""},
        {u"fDicArgs", u"fDicArgs", u"String", u""},
    };

    std::vector<TRegItem> items;
    items.reserve(std::size(rows));
    for (const Row& row : rows) {
        items.push_back({QStringView(row.name).toString(), QStringLiteral("Form1\\") + QStringView(row.word).toString(),
                         QStringView(row.ident).toString(), QStringView(row.defaultValue).toString()});
    }
    return items;
}

} // namespace

void fillSettingsItems(TRegManager& manager) { manager.RegItems = definedItems(); }

QStringList settingsAccessOrder()
{
    QStringList order;
    for (const TRegItem& item : definedItems())
        order.append(item.Name);
    const auto moveBefore = [&order](const QString& name, const QString& next) {
        order.removeOne(name);
        order.insert(order.indexOf(next), name);
    };
    moveBefore(QStringLiteral("fLastfile"), QStringLiteral("LastfileCheckChecked"));
    moveBefore(QStringLiteral("fFontSize"), QStringLiteral("fPColor"));
    return order;
}

} // namespace velmor
