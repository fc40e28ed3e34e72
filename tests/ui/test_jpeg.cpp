#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <set>
#include <vector>

#include <jpeglib.h>

#include <QImage>
#include <QTest>

#include "ui/info/jpeg_image.h"
#include "ui/info/pictures.h"

Q_DECLARE_METATYPE(Picture)

namespace {

QImage Decode(const QByteArray& bytes)
{
    return DecodeJpeg(reinterpret_cast<const unsigned char*>(bytes.constData()),
                      static_cast<std::size_t>(bytes.size()));
}

// A JPEG made here with libjpeg's compressor, so that the decoder meets known pixels.
QByteArray Encode(int width, int height, const std::vector<unsigned char>& pixels)
{
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    jpeg_mem_dest(&cinfo, &out, &outSize);
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 100, TRUE);
    for (int c = 0; c < 3; ++c)
        cinfo.comp_info[c].h_samp_factor = cinfo.comp_info[c].v_samp_factor = 1;
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<unsigned char*>(pixels.data()) +
                       static_cast<std::size_t>(cinfo.next_scanline) * width * 3;
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    QByteArray bytes(reinterpret_cast<const char*>(out), static_cast<qsizetype>(outSize));
    jpeg_destroy_compress(&cinfo);
    std::free(out);
    return bytes;
}

// Offset of the frame header's height field (after the FF C0 marker, length and precision).
qsizetype FrameSizeOffset(const QByteArray& jpeg)
{
    const qsizetype marker = jpeg.indexOf(QByteArray("\xFF\xC0", 2));
    return marker < 0 ? -1 : marker + 5;
}

bool Near(int a, int b)
{
    return std::abs(a - b) <= 3;
}

}  // namespace

class TestJpeg final : public QObject {
    Q_OBJECT

private slots:
    // The embedded pictures
    void picturesDecode_data();
    void picturesDecode();

    // Known pixels through libjpeg's own colour conversion
    void rgbComesBackInOrder();

    // Damaged input gives a null image, never a crash or an exit
    void damagedInputIsRefused_data();
    void damagedInputIsRefused();
    void randomBytesAreRefused();
    void mutatedPicturesNeverCrash();
};

void TestJpeg::picturesDecode_data()
{
    QTest::addColumn<Picture>("picture");
    QTest::addColumn<QSize>("size");
    QTest::newRow("note window") << Picture::Note << QSize(54, 62);
    QTest::newRow("about window") << Picture::About << QSize(109, 124);
}

void TestJpeg::picturesDecode()
{
    QFETCH(Picture, picture);
    QFETCH(QSize, size);

    const QByteArray jpeg = PictureJpeg(picture);
    QVERIFY(jpeg.startsWith(QByteArray("\xFF\xD8", 2)));
    const QImage image = LoadPicture(picture);
    QVERIFY(!image.isNull());
    QCOMPARE(image.size(), size);
    QCOMPARE(image.format(), QImage::Format_RGB888);

    // The motif: cream paper, blue rules, a red margin, a yellow pencil.
    std::set<QRgb> colours;
    bool blue = false, red = false, yellow = false;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            colours.insert(c.rgb());
            blue |= c.blue() > 180 && c.blue() > c.red() + 60;
            red |= c.red() > 180 && c.red() > c.green() + 90;
            yellow |= c.red() > 200 && c.green() > 150 && c.blue() < 90;
        }
    }
    QVERIFY2(colours.size() > 50, qPrintable(QString::number(colours.size())));
    QVERIFY(blue);
    QVERIFY(red);
    QVERIFY(yellow);
}

void TestJpeg::rgbComesBackInOrder()
{
    // Four 8-pixel-wide bars: red, green, blue, white, on every row.
    const int width = 32, height = 8;
    const unsigned char bars[4][3] = {{220, 20, 30}, {30, 200, 40}, {20, 40, 210}, {250, 250, 250}};
    std::vector<unsigned char> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels.insert(pixels.end(), bars[x / 8], bars[x / 8] + 3);

    const QImage image = Decode(Encode(width, height, pixels));
    QCOMPARE(image.size(), QSize(width, height));
    for (int bar = 0; bar < 4; ++bar) {
        const QColor c = image.pixelColor(bar * 8 + 4, height - 1);
        QVERIFY2(Near(c.red(), bars[bar][0]) && Near(c.green(), bars[bar][1]) &&
                     Near(c.blue(), bars[bar][2]),
                 qPrintable(c.name()));
    }
}

void TestJpeg::damagedInputIsRefused_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray good = PictureJpeg(Picture::About);
    QVERIFY(good.size() > 1000);

    QTest::newRow("empty") << QByteArray();
    QTest::newRow("start marker only") << good.left(2);
    QTest::newRow("cut in the header") << good.left(40);
    QTest::newRow("cut at a third") << good.left(good.size() / 3);
    QTest::newRow("cut in the middle") << good.left(good.size() / 2);
    QTest::newRow("cut before the last rows") << good.left(good.size() - 60);

    QByteArray notJpeg = good;
    notJpeg[0] = 'P';
    QTest::newRow("no start marker") << notJpeg;

    const qsizetype sizeAt = FrameSizeOffset(good);
    QVERIFY(sizeAt > 0);
    QByteArray zeroWidth = good;
    zeroWidth[sizeAt + 2] = 0;
    zeroWidth[sizeAt + 3] = 0;
    QTest::newRow("zero width in the frame header") << zeroWidth;

    // 65000 x 65000: a header that asks for far more memory than any picture of ours.
    QByteArray huge = good;
    for (int i = 0; i < 4; i += 2) {
        huge[sizeAt + i] = static_cast<char>(0xFD);
        huge[sizeAt + i + 1] = static_cast<char>(0xE8);
    }
    QTest::newRow("enormous claimed size") << huge;

    QByteArray badTable = good;
    const qsizetype huffman = good.indexOf(QByteArray("\xFF\xC4", 2));
    QVERIFY(huffman > 0);
    for (qsizetype i = huffman + 5; i < huffman + 21; ++i)
        badTable[i] = static_cast<char>(0xFF);
    QTest::newRow("broken Huffman table") << badTable;
}

void TestJpeg::damagedInputIsRefused()
{
    QFETCH(QByteArray, bytes);
    QVERIFY(Decode(bytes).isNull());
}

void TestJpeg::randomBytesAreRefused()
{
    std::mt19937 random(20240611);
    for (int round = 0; round < 200; ++round) {
        QByteArray bytes(1 + static_cast<int>(random() % 3000), '\0');
        for (char& b : bytes)
            b = static_cast<char>(random());
        if (round % 2 == 1) {
            // Half of them start like a JPEG, to get past the first check.
            bytes.prepend(QByteArray("\xFF\xD8\xFF", 3));
        }
        QVERIFY2(Decode(bytes).isNull(), qPrintable(QString::number(round)));
    }
    QVERIFY(DecodeJpeg(nullptr, 10).isNull());
}

void TestJpeg::mutatedPicturesNeverCrash()
{
    // Damage in the picture data cannot always be noticed; it must never crash or end the
    // program, and what does decode stays within the size limit.
    const QByteArray good = PictureJpeg(Picture::Note);
    std::mt19937 random(7);
    int refused = 0;
    for (int round = 0; round < 300; ++round) {
        QByteArray bytes = good;
        for (int hits = 0; hits < 1 + round % 4; ++hits)
            bytes[static_cast<qsizetype>(random() % bytes.size())] = static_cast<char>(random());
        const QImage image = Decode(bytes);
        if (image.isNull())
            ++refused;
        else
            QVERIFY(image.width() * image.height() <= kMaxJpegPixels);
    }
    QVERIFY(refused > 0);
}

QTEST_MAIN(TestJpeg)
#include "test_jpeg.moc"
