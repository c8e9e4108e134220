#include "speech/Scripts.h"

#include <QChar>
#include <array>
#include <cstdint>

namespace velmor {

namespace {

struct ScriptLanguage {
    QChar::Script script;
    const char* language;
};

// Scripts of one main language that espeak-ng speaks.
constexpr std::array<ScriptLanguage, 20> kScriptLanguages{{
    {QChar::Script_Greek, "el"},      {QChar::Script_Arabic, "ar"},    {QChar::Script_Hebrew, "he"},
    {QChar::Script_Armenian, "hy"},   {QChar::Script_Georgian, "ka"},  {QChar::Script_Devanagari, "hi"},
    {QChar::Script_Bengali, "bn"},    {QChar::Script_Gurmukhi, "pa"},  {QChar::Script_Gujarati, "gu"},
    {QChar::Script_Oriya, "or"},      {QChar::Script_Tamil, "ta"},     {QChar::Script_Telugu, "te"},
    {QChar::Script_Kannada, "kn"},    {QChar::Script_Malayalam, "ml"}, {QChar::Script_Sinhala, "si"},
    {QChar::Script_Myanmar, "my"},    {QChar::Script_Ethiopic, "am"},  {QChar::Script_Thai, "th"},
    {QChar::Script_Lao, "lo"},        {QChar::Script_Khmer, "km"},
}};

constexpr std::array<const char*, 12> kCyrillicLanguages{
    "ru", "uk", "bg", "be", "mk", "sr", "ba", "tt", "ky", "kk", "cv", "mn"};

constexpr std::array<const char*, 5> kChineseLanguages{"cmn", "yue", "hak", "zh", "nan"};

bool isKana(char32_t c)
{
    // The long-vowel mark and the kana middle dot belong to both kana scripts.
    return c == U'ー' || c == U'ｰ' || c == U'・' || QChar::script(c) == QChar::Script_Hiragana
        || QChar::script(c) == QChar::Script_Katakana;
}

QByteArray languageOfScript(QChar::Script script)
{
    for (const ScriptLanguage& entry : kScriptLanguages)
        if (entry.script == script)
            return entry.language;
    return {};
}

// Kana and kanji both start as Japanese; splitByScript tells kanji alone apart.
PassageKind kindOf(Script script)
{
    switch (script) {
    case Script::Kana:
    case Script::Han: return PassageKind::Japanese;
    case Script::Hangul: return PassageKind::Korean;
    case Script::Cyrillic: return PassageKind::Cyrillic;
    case Script::Other: return PassageKind::Other;
    default: return PassageKind::Latin;
    }
}

bool isPrimaryTag(const QByteArray& language, const char* tag)
{
    const qsizetype dash = language.indexOf('-');
    return (dash < 0 ? language : language.left(dash)) == tag;
}

Script scriptFromUnicode(char32_t c)
{
    if (isKana(c))
        return Script::Kana;
    switch (QChar::script(c)) {
    case QChar::Script_Latin: return Script::Latin;
    case QChar::Script_Han: return Script::Han;
    case QChar::Script_Hangul: return Script::Hangul;
    case QChar::Script_Cyrillic: return Script::Cyrillic;
    case QChar::Script_Common:
    case QChar::Script_Inherited:
    case QChar::Script_Unknown:
        // 々 and 〆 are Common in Unicode but stand for kanji.
        return c == U'々' || c == U'〆' ? Script::Han : Script::Neutral;
    default: return Script::Other;
    }
}

} // namespace

Script scriptOf(char32_t c)
{
    // Asked of every character a text is prepared from: Unicode's tables are read once for the
    // characters of the basic plane.
    static const std::array<std::uint8_t, 0x10000> kBasicPlane = [] {
        std::array<std::uint8_t, 0x10000> table{};
        for (char32_t unit = 0; unit < table.size(); ++unit)
            table[unit] = std::uint8_t(scriptFromUnicode(unit));
        return table;
    }();
    return c < kBasicPlane.size() ? Script(kBasicPlane[c]) : scriptFromUnicode(c);
}

CodePoint codePointAt(QStringView text, int at)
{
    const QChar first = text[at];
    if (first.isHighSurrogate() && at + 1 < text.size() && text[at + 1].isLowSurrogate())
        return {QChar::surrogateToUcs4(first, text[at + 1]), at + 2};
    return {first.unicode(), at + 1};
}

std::vector<ScriptPassage> splitByScript(QStringView text)
{
    std::vector<ScriptPassage> passages;
    Script last = Script::Neutral; // of the last letter, when not of another script
    for (int at = 0, next = 0; at < text.size(); at = next) {
        const CodePoint point = codePointAt(text, at);
        const char32_t c = point.value;
        next = point.next;
        const Script script = scriptOf(c);
        if (script == Script::Neutral)
            continue;
        // Most letters go on the passage of the letter before them.
        if (script == last)
            continue;
        last = script == Script::Other ? Script::Neutral : script;
        const PassageKind kind = kindOf(script);
        const bool cjk = kind == PassageKind::Japanese;
        const QByteArray other = kind == PassageKind::Other ? languageOfScript(QChar::script(c)) : QByteArray();
        const ScriptPassage* current = passages.empty() ? nullptr : &passages.back();
        const bool continues = current && current->otherLanguage == other
            && (cjk ? current->kind == PassageKind::Japanese || current->kind == PassageKind::Chinese
                    : current->kind == kind);
        if (!continues) {
            if (!passages.empty())
                passages.back().end = at;
            // Kanji are Chinese until a kana turns up beside them. The first passage also
            // takes the neutral characters before it.
            passages.push_back({passages.empty() ? 0 : at, at, cjk ? PassageKind::Chinese : kind, other});
        }
        if (script == Script::Kana)
            passages.back().kind = PassageKind::Japanese;
    }
    if (passages.empty() && !text.isEmpty())
        passages.push_back({0, 0, PassageKind::Latin, {}});
    if (!passages.empty())
        passages.back().end = int(text.size());
    return passages;
}

PassageKind nativeKindOf(const QByteArray& language)
{
    if (isPrimaryTag(language, "ja"))
        return PassageKind::Japanese;
    if (isPrimaryTag(language, "ko"))
        return PassageKind::Korean;
    for (const char* tag : kChineseLanguages)
        if (isPrimaryTag(language, tag))
            return PassageKind::Chinese;
    for (const char* tag : kCyrillicLanguages)
        if (isPrimaryTag(language, tag))
            return PassageKind::Cyrillic;
    for (const ScriptLanguage& entry : kScriptLanguages)
        if (isPrimaryTag(language, entry.language))
            return PassageKind::Other;
    return PassageKind::Latin;
}

} // namespace velmor
