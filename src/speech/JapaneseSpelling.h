#pragma once

#include "speech/PreparedText.h"

#include <QString>
#include <QStringView>

namespace velmor {

// A word's katakana reading as espeak-ng's Japanese voice says it right: を as オ (the voice may
// say ヲ as "wo"), and, in a word written in kanji alone (a Sino-Japanese word, whose long e the
// dictionary writes エイ), エイ as the long vowel エー, which the voice would say as a diphthong.
QString spokenForm(QString reading, bool writtenInKanjiAlone);

// Whether espeak-ng's Japanese voice would spell out the run if after were joined to before
// without a break: a kana meeting its own vowel followed by ー (ノ + オーキナ), which makes the
// voice read the whole run kana by kana.
bool spelledOutWhenJoined(QStringView before, QStringView after);

// Appends a word's reading. A word that starts a phrase of its own is set apart by a space, which
// the voice takes as a word boundary (no pause) and reports as a word of its own; a word that
// leans on the one before it (a particle, an ending) is joined to it unless the join would be
// spelled out. The space reads the word before it.
void appendWordReading(PreparedText& prepared, QStringView reading, SourceSpan from, bool startsPhrase);
// The break appendWordReading puts before a word that is about to be appended.
void separateWord(PreparedText& prepared, QStringView reading, bool startsPhrase);

} // namespace velmor
