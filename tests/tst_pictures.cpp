// The pictures in resources/: their file formats as the windows expect them, and that the
// program carries the very same files as resources.
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QImageReader>
#include <QTest>
#include <QtEndian>

namespace {

QString sourceFile(const QString &name)
{
    return QStringLiteral(ZELVORA_TESTS_DIR "/../resources/") + name;
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

quint16 le16(const QByteArray &data, qsizetype at)
{
    return qFromLittleEndian<quint16>(data.constData() + at);
}

quint32 le32(const QByteArray &data, qsizetype at)
{
    return qFromLittleEndian<quint32>(data.constData() + at);
}

} // namespace

class TestPictures final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void builtIntoTheProgram_data();
    void builtIntoTheProgram();
    void splashPicture();
    void icons_data();
    void icons();
};

void TestPictures::builtIntoTheProgram_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("splash") << u"splash.gif"_qs;
    QTest::newRow("main window icon") << u"form1.ico"_qs;
    QTest::newRow("version window icon") << u"form3.ico"_qs;
}

void TestPictures::builtIntoTheProgram()
{
    QFETCH(QString, name);
    const QByteArray file = contents(sourceFile(name));
    QVERIFY(!file.isEmpty());
    QVERIFY(QFile::exists(u":/"_qs + name));
    QCOMPARE(contents(u":/"_qs + name), file);
}

void TestPictures::splashPicture()
{
    const QByteArray gif = contents(sourceFile(u"splash.gif"_qs));
    QCOMPARE(gif.size(), 11328);
    QCOMPARE(gif.left(6), QByteArray("GIF89a"));
    QCOMPARE(le16(gif, 6), 560);
    QCOMPARE(le16(gif, 8), 150);
    const quint8 screen = quint8(gif[10]);
    QVERIFY2(screen & 0x80, "no global colour table");
    QCOMPARE(2 << (screen & 0x07), 256);
    QCOMPARE(gif.mid(13, 3), QByteArray(3, '\0')); // entry 0 is black

    // Walk the blocks: one graphic control with entry 0 transparent, then one frame over the
    // whole picture, without a colour table of its own, not interlaced.
    qsizetype at = 13 + 256 * 3;
    int frames = 0;
    int transparentIndex = -1;
    auto skipSubBlocks = [&] {
        while (at < gif.size() && gif[at] != 0)
            at += 1 + quint8(gif[at]);
        ++at;
    };
    while (at < gif.size() && gif[at] != 0x3b) {
        const char kind = gif[at];
        if (kind == 0x21) {
            const quint8 label = quint8(gif[at + 1]);
            if (label == 0xf9 && (gif[at + 3] & 0x01))
                transparentIndex = quint8(gif[at + 6]);
            at += 2;
            skipSubBlocks();
        } else if (kind == 0x2c) {
            ++frames;
            QCOMPARE(le16(gif, at + 1), 0);
            QCOMPARE(le16(gif, at + 3), 0);
            QCOMPARE(le16(gif, at + 5), 560);
            QCOMPARE(le16(gif, at + 7), 150);
            const quint8 flags = quint8(gif[at + 9]);
            QVERIFY2(!(flags & 0x80), "local colour table");
            QVERIFY2(!(flags & 0x40), "interlaced");
            at += 10 + 1; // descriptor, then the LZW code size
            skipSubBlocks();
        } else {
            QFAIL(qPrintable(u"unknown block 0x%1 at %2"_qs.arg(quint8(kind), 0, 16).arg(at)));
        }
    }
    QCOMPARE(at, gif.size() - 1); // the trailer ends the file
    QCOMPARE(frames, 1);
    QCOMPARE(transparentIndex, 0);

    // It decodes, and there is lettering on the black.
    QImage picture(sourceFile(u"splash.gif"_qs));
    QCOMPARE(picture.size(), QSize(560, 150));
    QCOMPARE(qAlpha(picture.pixel(0, 0)), 0);
    int lettering = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            lettering += qAlpha(picture.pixel(x, y)) != 0;
    QVERIFY2(lettering > 560 * 150 / 10, qPrintable(QString::number(lettering)));
}

void TestPictures::icons_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QList<QSize>>("sizes");
    QTest::addColumn<int>("bits");
    QTest::newRow("main window") << u"form1.ico"_qs << QList<QSize> { { 32, 32 } } << 8;
    QTest::newRow("version window")
        << u"form3.ico"_qs << QList<QSize> { { 32, 32 }, { 16, 16 } } << 4;
}

void TestPictures::icons()
{
    QFETCH(QString, name);
    QFETCH(QList<QSize>, sizes);
    QFETCH(int, bits);

    const QByteArray ico = contents(sourceFile(name));
    QVERIFY(ico.size() >= 6);
    QCOMPARE(le16(ico, 0), 0);
    QCOMPARE(le16(ico, 2), 1); // an icon, not a cursor
    QCOMPARE(le16(ico, 4), sizes.size());
    qsizetype expectedOffset = 6 + 16 * sizes.size();
    for (qsizetype i = 0; i < sizes.size(); ++i) {
        const qsizetype entry = 6 + 16 * i;
        const int w = sizes[i].width(), h = sizes[i].height();
        QCOMPARE(quint8(ico[entry]), w);
        QCOMPARE(quint8(ico[entry + 1]), h);
        QCOMPARE(quint8(ico[entry + 2]), (1 << bits) % 256); // 0 stands for 256 colours
        QCOMPARE(le16(ico, entry + 6), bits);
        const quint32 bytes = le32(ico, entry + 8);
        const quint32 offset = le32(ico, entry + 12);
        QCOMPARE(qsizetype(offset), expectedOffset);
        expectedOffset += bytes;

        // The image itself: a bitmap of twice the height (colours, then the mask), its
        // palette, and rows padded to four bytes.
        QCOMPARE(le32(ico, offset), 40u);
        QCOMPARE(int(le32(ico, offset + 4)), w);
        QCOMPARE(int(le32(ico, offset + 8)), 2 * h);
        QCOMPARE(le16(ico, offset + 14), bits);
        const int colourRow = (w * bits + 31) / 32 * 4;
        const int maskRow = (w + 31) / 32 * 4;
        QCOMPARE(bytes, quint32(40 + 4 * (1 << bits) + h * (colourRow + maskRow)));
    }
    QCOMPARE(expectedOffset, ico.size());

    QImageReader reader(sourceFile(name));
    QCOMPARE(reader.imageCount(), sizes.size());
    const QList<QSize> available = QIcon(u":/"_qs + name).availableSizes();
    for (const QSize &size : sizes)
        QVERIFY2(available.contains(size), qPrintable(name));
}

QTEST_MAIN(TestPictures)
#include "tst_pictures.moc"
