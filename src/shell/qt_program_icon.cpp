// The program icon, from the pixels compiled into the program (nothing is read or decoded).
#include "shell/qt_program_icon.h"

#include "shell/program_icon_pixels.h"

#include <QImage>
#include <QPixmap>

namespace tavik {

QIcon program_icon() {
    QIcon icon;
    // Each size is drawn for its size, so none is scaled from another.
    for (const IconPicture& picture : program_icon_pictures()) {
        const QImage image(reinterpret_cast<const uchar*>(picture.pixels), picture.width,
                           picture.height, static_cast<qsizetype>(picture.width) * 4,
                           QImage::Format_ARGB32);
        icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

} // namespace tavik
