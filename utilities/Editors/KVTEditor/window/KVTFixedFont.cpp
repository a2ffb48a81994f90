#include "KVTFixedFont.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QStringList>

QFont FixedPitchFont(int nPixelSize)
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPixelSize(nPixelSize);
    if (QFontInfo(font).fixedPitch())
        return font;
    for (const QString& sFamily : QFontDatabase::families()) {
        if (!QFontDatabase::isFixedPitch(sFamily))
            continue;
        QFont candidate(sFamily);
        candidate.setPixelSize(nPixelSize);
        if (QFontInfo(candidate).fixedPitch())
            return candidate;
    }
    return font;
}
