// Receipt bytes to the printer port.

#include "printing/ReceiptPort.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace brelvo::printing;

class TestReceiptPort : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void portNames();
    void bytesReachAFileExactly();
    void failuresAreReportedNeverSuccess();
    void aPrinterThatStopsTakingData();
};

void TestReceiptPort::portNames()
{
    const QString lp0 = receiptDevicePath(QStringLiteral("LPT1"));
    QVERIFY(lp0 == QLatin1String("/dev/lp0") || lp0 == QLatin1String("/dev/usb/lp0"));
    QCOMPARE(receiptDevicePath(QStringLiteral("lpt3:")).right(3), QStringLiteral("lp2"));
    QCOMPARE(receiptDevicePath(QStringLiteral("PRN")), lp0);
    QCOMPARE(receiptDevicePath(QStringLiteral("COM1")), QStringLiteral("/dev/ttyS0"));
    QCOMPARE(receiptDevicePath(QStringLiteral(" com4 ")), QStringLiteral("/dev/ttyS3"));
    QCOMPARE(receiptDevicePath(QStringLiteral("USB")), QStringLiteral("/dev/usb/lp0"));
    QCOMPARE(receiptDevicePath(QStringLiteral("USB2")), QStringLiteral("/dev/usb/lp1"));
    QCOMPARE(receiptDevicePath(QStringLiteral("/tmp/cupom.txt")), QStringLiteral("/tmp/cupom.txt"));
    QCOMPARE(receiptDevicePath(QStringLiteral("LPT10X")), QStringLiteral("LPT10X"));
}

void TestReceiptPort::bytesReachAFileExactly()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("cupom.prn"));
    QByteArray bytes;
    for (int round = 0; round < 300; ++round)            // every byte value, more than a pipe's buffer
        for (int b = 0; b < 256; ++b)
            bytes.append(char(b));
    bytes.prepend("\x0F" "OFICINA\r\n");
    bytes.append("\x1B" "m\r\n");
    QString error;
    QVERIFY2(writeToPort(path, bytes, &error), qPrintable(error));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), bytes);
    f.close();
    // A second receipt replaces the first, it is not appended.
    const QByteArray shorter("SEGUNDO\r\n");
    QVERIFY(writeToPort(path, shorter, &error));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), shorter);
}

void TestReceiptPort::failuresAreReportedNeverSuccess()
{
    QTemporaryDir dir;
    QString error;
    // No such folder.
    const QString missing = dir.filePath(QStringLiteral("nao/existe/cupom.txt"));
    QVERIFY(!writeToPort(missing, "x", &error));
    QVERIFY2(error.contains(missing) && error.startsWith(QStringLiteral("Não foi possível abrir")), qPrintable(error));
    // A folder is no port.
    error.clear();
    QVERIFY(!writeToPort(dir.path(), "x", &error));
    QVERIFY(error.contains(dir.path()));
    // A mapped port names both the port and the device.
    if (!QFileInfo::exists(QStringLiteral("/dev/ttyS3")) && !QFileInfo(QStringLiteral("/dev")).isWritable()) {
        QVERIFY(!writeToPort(QStringLiteral("COM4"), "x", &error));
        QVERIFY2(error.contains(QLatin1String("\"COM4\" (/dev/ttyS3)")), qPrintable(error));
    }
    // A device that takes nothing: the write fails, never a partial success.
    if (QFileInfo::exists(QStringLiteral("/dev/full"))) {
        error.clear();
        QVERIFY(!writeToPort(QStringLiteral("/dev/full"), QByteArray(4096, 'x'), &error));
        QVERIFY2(error.startsWith(QStringLiteral("Erro ao gravar na porta da impressora \"/dev/full\"")), qPrintable(error));
        QVERIFY(error.contains(QStringLiteral("não há espaço")));
    }
    // No port at all.
    QVERIFY(!writeToPort(QStringLiteral("  "), "x", &error));
    QCOMPARE(error, QStringLiteral("Porta Impressora Não fiscal não foi informada!"));
}

void TestReceiptPort::aPrinterThatStopsTakingData()
{
    // A pipe stands for the printer: nobody reading it means no printer on the port.
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("lp"));
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QString error;
    QVERIFY(!writeToPort(fifo, "x", &error, 300));
    QVERIFY2(error.contains(QStringLiteral("não conectado")), qPrintable(error));
    // A reader that takes nothing: the pipe fills, the write times out, no success.
    const int reader = ::open(QFile::encodeName(fifo).constData(), O_RDONLY | O_NONBLOCK);
    QVERIFY(reader >= 0);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!writeToPort(fifo, QByteArray(1 << 20, 'x'), &error, 300));
    QVERIFY2(error.contains(QStringLiteral("tempo esgotado")), qPrintable(error));
    QVERIFY(clock.elapsed() < 5000);
    // Small receipts that fit go through.
    char drain[65536];
    while (::read(reader, drain, sizeof drain) > 0) {}
    QVERIFY2(writeToPort(fifo, "CUPOM\r\n", &error, 300), qPrintable(error));
    QCOMPARE(::read(reader, drain, sizeof drain), ssize_t(7));
    QCOMPARE(QByteArray(drain, 7), QByteArray("CUPOM\r\n"));
    ::close(reader);
}

QTEST_MAIN(TestReceiptPort)
#include "test_receiptport.moc"
