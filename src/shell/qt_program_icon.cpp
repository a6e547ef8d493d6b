// The program icon, read from the resources compiled into the program (nothing is read from disk).
#include "shell/qt_program_icon.h"

#include <QPixmap>
#include <QString>

namespace tavik {

QIcon program_icon() {
    QIcon icon;
    for (const int size : {256, 48, 32}) {
        // Each size is drawn for its size, so none is scaled from another.
        icon.addPixmap(QPixmap(QStringLiteral(":/icons/tavik-%1.png").arg(size)));
    }
    return icon;
}

} // namespace tavik
