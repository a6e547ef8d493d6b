// Build-time tool: decodes the program icon's PNG pictures with Qt's own PNG reader and writes
// their pixels as C++ arrays of ARGB32 words, so that the program has its icon at start-up without
// decoding anything.
//
// Usage: icon_pixels <output.cpp> <picture.png>...
#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <QString>
#include <cstdio>
#include <string>

namespace {

bool write_picture(std::FILE* out, int index, const QImage& image) {
    std::fprintf(out, "alignas(16) constexpr std::uint32_t kPicture%d[] = {", index);
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const quint32*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            std::fprintf(out, "%s0x%08x,", x % 8 == 0 ? "\n    " : " ", row[x]);
        }
    }
    return std::fprintf(out, "\n};\n\n") > 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <output.cpp> <picture.png>...\n", argv[0]);
        return 2;
    }
    std::string pictures;
    std::FILE* out = std::fopen(argv[1], "w");
    if (out == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    std::fprintf(out, "// Generated at build time by tools/icon_pixels.cpp from the program icon's "
                      "PNG pictures.\n#include \"shell/program_icon_pixels.h\"\n\n"
                      "namespace tavik {\n\nnamespace {\n\n");
    for (int i = 2; i < argc; ++i) {
        // The same reader the program would otherwise run at start-up, so the pixels are the same.
        QImageReader reader(QString::fromLocal8Bit(argv[i]), "png");
        reader.setAutoDetectImageFormat(false);
        const QImage image = reader.read().convertToFormat(QImage::Format_ARGB32);
        if (image.isNull()) {
            std::fprintf(stderr, "%s: %s\n", argv[i], qPrintable(reader.errorString()));
            std::fclose(out);
            std::remove(argv[1]);
            return 1;
        }
        if (!write_picture(out, i - 2, image)) {
            std::perror(argv[1]);
            std::fclose(out);
            std::remove(argv[1]);
            return 1;
        }
        pictures += "    {" + std::to_string(image.width()) + ", " +
                    std::to_string(image.height()) + ", kPicture" + std::to_string(i - 2) + "},\n";
    }
    std::fprintf(out,
                 "constexpr IconPicture kPictures[] = {\n%s};\n\n} // namespace\n\n"
                 "std::span<const IconPicture> program_icon_pictures() {\n"
                 "    return kPictures;\n}\n\n} // namespace tavik\n",
                 pictures.c_str());
    if (std::fclose(out) != 0) {
        std::perror(argv[1]);
        std::remove(argv[1]);
        return 1;
    }
    return 0;
}
