// The program icon: all three sizes are built into the program, unscaled, and each is exactly the
// picture of its PNG in assets/icons.
#include "shell/qt_program_icon.h"

#include <QImage>
#include <QPixmap>
#include <QtTest>

class ProgramIconTest : public QObject {
    Q_OBJECT

private slots:
    void carries_each_size_data() {
        QTest::addColumn<int>("size");
        QTest::newRow("256") << 256;
        QTest::newRow("48") << 48;
        QTest::newRow("32") << 32;
    }

    void carries_each_size() {
        QFETCH(int, size);
        const QIcon icon = tavik::program_icon();
        QVERIFY(icon.availableSizes().contains(QSize(size, size)));

        const QImage image = icon.pixmap(QSize(size, size)).toImage();
        QCOMPARE(image.size(), QSize(size, size));
        QVERIFY(image.hasAlphaChannel());
        // Rounded corners are see-through; the middle of the tile is solid.
        QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
        QCOMPARE(qAlpha(image.pixel(size / 2, size / 2)), 255);

        // The pixels compiled in are the picture's, as a pixmap made from the PNG would hold them.
        const QString picture = QStringLiteral(TAVIK_ICON_DIR "/tavik-%1.png").arg(size);
        const QImage expected = QPixmap::fromImage(QImage(picture)).toImage();
        QVERIFY2(!expected.isNull(), qPrintable(picture));
        QCOMPARE(image.convertToFormat(QImage::Format_ARGB32_Premultiplied),
                 expected.convertToFormat(QImage::Format_ARGB32_Premultiplied));
    }

    void has_no_other_sizes() { QCOMPARE(tavik::program_icon().availableSizes().size(), 3); }
};

QTEST_MAIN(ProgramIconTest)
#include "program_icon_test.moc"
