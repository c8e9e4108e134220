#include "help/KeyNameText.h"

#include <utility>

namespace velmor {

namespace {

constexpr int kKeyRowLength = 26;

QString keyRow(const char* name, const char* key)
{
    const QString keyName = QString::fromLatin1(key);
    return QString::fromLatin1(name).leftJustified(kKeyRowLength - keyName.size()) + keyName;
}

} // namespace

QString keyNameText()
{
    static const std::pair<const char*, const char*> keys[] = {
        {"Velmor", "Ctrl+P"},
        {"Band(Line)", "Ctrl+B"},
        {"SelText", "Ctrl+T"},
        {"Pause and Resume", "Ctrl+E"},
        {"Reset", "Ctrl+R"},
        {"Clipboard's Memory", "Ctrl+M"},
        {"New(Clear)", "Ctrl+N"},
        {"Open", "Ctrl+O"},
        {"Save", "Ctrl+S"},
        {"Save as PlainText", "Ctrl+L"},
        {"Save as UnicodeText", "Ctrl+U"},
        {"Find Text", "Ctrl+F"},
        {"Speech Clipboard", "Ctrl+H"},
        {"Show Mouth", "Ctrl+W"},
        {"Speech-information", "Ctrl+I"},
        {"toClipboard", "Ctrl+D"},
        {"Short cut key name", "Ctrl+K"},
        {"HotKey-CheckBox", "Ctrl+Y"},
        {"Joyful writing", "Ctrl+J"},
        {"Marking", "Alt+M"},
        {"ID Naoko on off", "Alt+N"},
        {"dic start", "Alt+D"},
        {"dic start2", "Alt+I"},
    };
    QStringList lines{QStringLiteral("  <Shortcut key name-information>")};
    for (const auto& [name, key] : keys)
        lines << keyRow(name, key);
    lines << QStringLiteral("  <Tab-order fourteen counts>")
          << QStringLiteral("Edit Box, Speed bar, Speech Clipboard, ")
          << QStringLiteral("Lang ID-info, Show Mouth, ")
          << QStringLiteral("Speech-info, toClipboard, Repetition-")
          << QStringLiteral("Number, HotKeyCheckBox, Joyful writing,")
          << QStringLiteral("Marking, Volume Control, blank, blank");
    return lines.join(QLatin1Char('\r'));
}

QStringList keyNameSpeech()
{
    // The spaces that end the texts are pauses for the engine.
    return {
        QStringLiteral("Shortcut key name information   "),
        QStringLiteral("Velmor   Control plus P   "),
        QStringLiteral("Band Line speech   Control plus B   "),
        QStringLiteral("SelText speech    Control plus T   "),
        QStringLiteral("Pause and Resume   Control plus E   "),
        QStringLiteral("Reset    Control plus R   "),
        QStringLiteral("Speech Clipboards Memory  Control plus M   "),
        QStringLiteral("New or Clear    Control plus N   "),
        QStringLiteral("Open    Control plus O   "),
        QStringLiteral("Save    Control plus S   "),
        QStringLiteral("Save as PlainText      Ctrl plus L   "),
        QStringLiteral("Save as UnicodeText    Control plus U   "),
        QStringLiteral("Find Text     Control plus F   "),
        QStringLiteral("Speech Clipboard on off    Control plus H   "),
        QStringLiteral("Show Mouth on off    Control plus W   "),
        QStringLiteral("Speech Information and alphabet on off    Control plus I   "),
        QStringLiteral("toClipboard   Control plus D   "),
        QStringLiteral("Short cut key name    Control plus K   "),
        QStringLiteral("HotKeyCheckBox on off    Control plus Y   "),
        QStringLiteral("Joyful writing    Control plus J   "),
        QStringLiteral("Marking on off   Alt plus M   "),
        QStringLiteral("ID Naoko on off    Alt plus N   "),
        QStringLiteral("dic start   Alt plus D   "),
        QStringLiteral("dic start2   Alt plus I   "),
        QStringLiteral("Tab order fourteen counts   "),
        QStringLiteral("Text Edit Box   "),
        QStringLiteral("Speed bar   "),
        QStringLiteral("Speech Clipboard on off   "),
        QStringLiteral("Language ID information   "),
        QStringLiteral("Show Mouth on off   "),
        QStringLiteral("Speech information and alphabet on off   "),
        QStringLiteral("DoubleClick word toClipboard on off  "),
        QStringLiteral("Repetition Number 1-100count  "),
        QStringLiteral("HotKeyCheckBox on off   "),
        QStringLiteral("Joyful writing   on off   "),
        QStringLiteral("Marking on off  "),
        QStringLiteral("Main Volume Control   "),
        QStringLiteral("blank"),
        QStringLiteral("blank"),
    };
}

} // namespace velmor
