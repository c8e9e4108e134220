#include "app/FontSetup.h"

#include "core/FaceNames.h"

#include <QFont>
#include <QStringList>

namespace velmor {

void installFontSubstitutions()
{
    QFont::insertSubstitutions(kFacePMincho, {QStringLiteral("IPAPMincho"), QStringLiteral("IPAMincho"),
                                              QStringLiteral("Noto Serif CJK JP")});
    QFont::insertSubstitutions(kFacePGothic, {QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic"),
                                              QStringLiteral("Noto Sans CJK JP")});
    QFont::insertSubstitutions(kFaceMincho, {QStringLiteral("IPAMincho"), QStringLiteral("Noto Serif CJK JP")});
    // The face of Hangul mode: the IPA faces have no Hangul, which is drawn in the Nanum face
    // (or Noto's Korean one) instead of as boxes.
    QFont::insertSubstitutions(kFaceUIGothic, {QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic"),
                                               QStringLiteral("NanumGothic"), QStringLiteral("Noto Sans CJK KR"),
                                               QStringLiteral("Noto Sans CJK JP")});
}

} // namespace velmor
