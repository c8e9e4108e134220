#pragma once

#include <QString>
#include <QStringView>

namespace velmor {

// The reading of a word written alike for words said differently (市場 イチバ or シジョー, 生物,
// 上手, 人気, 色紙 ...), where the words around it tell which one is meant and the dictionary
// took the other; empty when the dictionary's reading stands. The word is sentence[begin, end).
QString readingInContext(QStringView sentence, int begin, int end, QStringView dictionaryReading);

} // namespace velmor
