#include "KVTApplicationIcon.h"

namespace {

QIcon BuiltInIcon()
{
    QIcon icon;
    for (const int nSize : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/kvteditor-%1.png").arg(nSize), QSize(nSize, nSize));
    return icon;
}

} // namespace

QIcon KvtApplicationIcon()
{
    // The resources live in a static library: without this reference the
    // linker would leave them out of the program. (The macro declares a
    // function, so it must not stand inside a namespace.)
    Q_INIT_RESOURCE(kvticons);
    return QIcon::fromTheme(QStringLiteral("kvteditor"), BuiltInIcon());
}
