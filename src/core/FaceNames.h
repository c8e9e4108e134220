#pragma once

#include <QString>

namespace velmor {

inline const QString kFacePMincho = QStringLiteral("ＭＳ Ｐ明朝");
inline const QString kFacePGothic = QStringLiteral("ＭＳ Ｐゴシック");
inline const QString kFaceUIGothic = QStringLiteral("MS UI Gothic");
// The fixed-pitch Mincho face.
inline const QString kFaceMincho = QStringLiteral("ＭＳ 明朝");

} // namespace velmor
