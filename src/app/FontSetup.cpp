#include "app/FontSetup.h"

#include "app/FaceNames.h"

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
    QFont::insertSubstitutions(kFaceUIGothic, {QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic"),
                                               QStringLiteral("Noto Sans CJK JP")});
}

} // namespace velmor
