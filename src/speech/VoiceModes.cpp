#include "speech/VoiceModes.h"

#include "document/Cp932.h"

#include <QHash>
#include <algorithm>
#include <array>

namespace velmor {

namespace {

// What the usable-mode filter keeps of a short name, in code page 932 bytes.
constexpr qsizetype kNameLimit = 20;

// The languages whose speakers the program knows by name.
struct NamedLanguage {
    const char* tag;
    const char* label; // short enough for "Female " in front
    const char* female;
    const char* male;
};

constexpr std::array<NamedLanguage, 11> kNamedLanguages{{
    {"en-us", "English (US)", "Mary", "Mike"},
    {"en-gb", "English (UK)", "Linda", "Alexander"},
    {"ja", "Japanese", "Naoko", "Kenji"},
    {"ko", "Korean", "Shin-Ah", "Jun-Ho"},
    {"fr", "French (FR)", "Veronique", "Pierre"},
    {"de", "German", "Anna", "Stefan"},
    {"nl", "Dutch", "Karen", "Hans"},
    {"pt-br", "Portug. (BR)", "Juliana", "Alexandre"},
    {"ru", "Russian", "Svetlana", "Boris"},
    {"es", "Spanish (ES)", "Carmen", "Julio"},
    {"it", "Italian", "Barbara", "Stefano"},
}};

// Mode-name forms of espeak-ng language names that are too long for a mode name, or that
// name a region the way the named languages above do.
const QHash<QString, QString>& shortLabels()
{
    static const QHash<QString, QString> labels{
        {QStringLiteral("French (Belgium)"), QStringLiteral("French (BE)")},
        {QStringLiteral("French (Switzerland)"), QStringLiteral("French (CH)")},
        {QStringLiteral("Russian (Latvia)"), QStringLiteral("Russian (LV)")},
        {QStringLiteral("Portuguese (Portugal)"), QStringLiteral("Portug. (PT)")},
        {QStringLiteral("Spanish (Latin America)"), QStringLiteral("Spanish (LatAm)")},
        {QStringLiteral("English (Caribbean)"), QStringLiteral("English (Carib)")},
        {QStringLiteral("English (Scotland)"), QStringLiteral("English (Scot.)")},
        {QStringLiteral("English (Lancaster)"), QStringLiteral("English (Lancs)")},
        {QStringLiteral("English (West Midlands)"), QStringLiteral("English (W Mid)")},
        {QStringLiteral("English (Received Pronunciation)"), QStringLiteral("English (RP)")},
        {QStringLiteral("English (America, New York City)"), QStringLiteral("English (NYC)")},
        {QStringLiteral("Vietnamese (Northern)"), QStringLiteral("Vietnamese (N)")},
        {QStringLiteral("Vietnamese (Central)"), QStringLiteral("Vietnamese (C)")},
        {QStringLiteral("Vietnamese (Southern)"), QStringLiteral("Vietnamese (S)")},
        {QStringLiteral("Armenian (East Armenia)"), QStringLiteral("Armenian (East)")},
        {QStringLiteral("Armenian (West Armenia)"), QStringLiteral("Armenian (West)")},
        {QStringLiteral("Chinese (Mandarin, latin as English)"), QStringLiteral("Mandarin")},
        {QStringLiteral("Chinese (Mandarin, latin as Pinyin)"), QStringLiteral("Mandarin Pinyin")},
        {QStringLiteral("Chinese (Cantonese)"), QStringLiteral("Cantonese")},
        {QStringLiteral("Chinese (Cantonese, latin as Jyutping)"), QStringLiteral("Canto. Jyutping")},
        {QStringLiteral("Bishnupriya Manipuri"), QStringLiteral("Bishnupriya")},
        {QStringLiteral("Nahuatl (Classical)"), QStringLiteral("Classic Nahuatl")},
        {QStringLiteral("Lingua Franca Nova"), QStringLiteral("Lingua Fr. Nova")},
        {QStringLiteral("Persian (Pinglish)"), QStringLiteral("Persian (Latin)")},
        {QStringLiteral("Myanmar (Burmese)"), QStringLiteral("Burmese")},
        {QStringLiteral("Gaelic (Scottish)"), QStringLiteral("Gaelic (Scot.)")},
        {QStringLiteral("Norwegian Bokmal"), QStringLiteral("Norwegian")},
    };
    return labels;
}

// The voice name in plain letters (the program's code page lacks most accented Latin
// letters) without stray spaces; "Lang_Belta" is the file's name for Belta.
QString plainName(const QString& name)
{
    const QString decomposed = name.normalized(QString::NormalizationForm_D);
    QString plain;
    plain.reserve(decomposed.size());
    for (QChar c : decomposed)
        if (c.category() != QChar::Mark_NonSpacing)
            plain += c;
    plain = plain.simplified();
    return plain == QStringLiteral("Lang_Belta") ? QStringLiteral("Belta") : plain;
}

// The program shows every speaker starting with "V" as Veronique: Vietnamese goes by its
// own name, any other such language starts in lower case.
QString speakerFor(const QString& language)
{
    static const QString vietnamese = QStringLiteral("Vietnamese");
    if (language.startsWith(vietnamese))
        return QStringLiteral("Tieng Viet") + language.mid(vietnamese.size());
    if (language.startsWith(u'V'))
        return language.front().toLower() + language.mid(1);
    return language;
}

QString modeName(VoiceGender gender, const QString& label)
{
    QString name = (gender == VoiceGender::Female ? QStringLiteral("Female ") : QStringLiteral("Male ")) + label;
    while (encodeCp932(name).size() > kNameLimit)
        name.chop(name.back().isLowSurrogate() ? 2 : 1);
    while (name.endsWith(u' '))
        name.chop(1);
    return name;
}

bool contains(const std::vector<QByteArray>& list, const QByteArray& item)
{
    return std::find(list.begin(), list.end(), item) != list.end();
}

} // namespace

const InstalledVoice* preferredVoiceFor(const std::vector<InstalledVoice>& voices, const QByteArray& tag)
{
    const InstalledVoice* best = nullptr;
    int bestPriority = 0;
    for (const InstalledVoice& voice : voices)
        for (const VoiceLanguage& language : voice.languages)
            if (language.tag == tag && (!best || language.priority < bestPriority)) {
                best = &voice;
                bestPriority = language.priority;
            }
    return best;
}

std::vector<VoiceMode> buildVoiceModes(const std::vector<InstalledVoice>& voices,
                                       const std::vector<QByteArray>& variants)
{
    std::vector<VoiceMode> modes;
    std::vector<const InstalledVoice*> named;
    const bool femaleInstalled = contains(variants, kFemaleVariant);
    const bool maleInstalled = contains(variants, kMaleVariant);
    if (femaleInstalled || maleInstalled) {
        for (const NamedLanguage& language : kNamedLanguages) {
            const InstalledVoice* voice = preferredVoiceFor(voices, language.tag);
            if (!voice || std::find(named.begin(), named.end(), voice) != named.end())
                continue;
            named.push_back(voice);
            const QString label = QString::fromLatin1(language.label);
            if (femaleInstalled)
                modes.push_back({voice->identifier, kFemaleVariant, modeName(VoiceGender::Female, label),
                                 QString::fromLatin1(language.female)});
            if (maleInstalled)
                modes.push_back({voice->identifier, kMaleVariant, modeName(VoiceGender::Male, label),
                                 QString::fromLatin1(language.male)});
        }
    }
    for (const InstalledVoice& voice : voices) {
        if (std::find(named.begin(), named.end(), &voice) != named.end())
            continue;
        const QString language = plainName(voice.name);
        const QString label = shortLabels().value(language, language);
        modes.push_back({voice.identifier, {}, modeName(voice.gender, label), speakerFor(language)});
    }
    return modes;
}

std::vector<VoiceMode> builtInFliteModes()
{
    // Names of their own: "Female English (US)" and the like already name espeak-ng modes.
    return {
        {QByteArrayLiteral("flite/slt"), {}, QStringLiteral("Female Eng. US Flite"), QStringLiteral("Sally")},
        {QByteArrayLiteral("flite/rms"), {}, QStringLiteral("Male Eng. US Flite"), QStringLiteral("Robert")},
        {QByteArrayLiteral("flite/awb"), {}, QStringLiteral("Male Eng. Scot Flite"), QStringLiteral("Angus")},
        {QByteArrayLiteral("flite/kal16"), {}, QStringLiteral("Male Eng. US Flite 2"), QStringLiteral("Kal")},
    };
}

} // namespace velmor
