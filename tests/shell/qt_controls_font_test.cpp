// Fonts of the controls: a named face is drawn in the nearest look-alike this desktop has (the
// test machine has the fonts scripts/install-deps installs), in the named size and weight.
#include "shell/qt_controls.h"

#include <QFontInfo>
#include <QtTest>

class QtControlsFontTest : public QObject {
    Q_OBJECT

private slots:
    void named_face_data() {
        QTest::addColumn<QByteArray>("face"); // GBK, as the window description holds it
        QTest::addColumn<QString>("drawn_in");
        // 楷体: neither it nor KaiTi is installed; of the two AR PL UKai faces the CN one is
        // nearer.
        QTest::newRow("kai") << QByteArray("\xbf\xac\xcc\xe5") << QStringLiteral("AR PL UKai CN");
        // 微软雅黑: neither it nor Microsoft YaHei is installed.
        QTest::newRow("yahei") << QByteArray("\xce\xa2\xc8\xed\xd1\xc5\xba\xda")
                               << QStringLiteral("Noto Sans CJK SC");
        QTest::newRow("installed face")
            << QByteArray("DejaVu Sans") << QStringLiteral("DejaVu Sans");
        QTest::newRow("installed face, other case")
            << QByteArray("dejavu sans") << QStringLiteral("DejaVu Sans");
    }

    void named_face() {
        QFETCH(QByteArray, face);
        QFETCH(QString, drawn_in);
        const QFont font = tavik::font_for(tavik::Font{.face = face.toStdString()});
        QCOMPARE(QFontInfo(font).family(), drawn_in);
        QCOMPARE(font.pixelSize(), 12);
        QCOMPARE(font.weight(), QFont::Bold);
    }
};

QTEST_MAIN(QtControlsFontTest)
#include "qt_controls_font_test.moc"
