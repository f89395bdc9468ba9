// Receipt bytes to the printer port.

#include "printing/ReceiptPort.h"

#include <QDir>
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
    void portNames_data();
    void portNames();
    void devicesThatOnlyExistAsAlternatives();
    void aMissingPrinterIsAnErrorAndLeavesNoFile();
    void bytesReachAFileExactly();
    void failuresAreReportedNeverSuccess();
    void aPrinterThatStopsTakingData();
};

void TestReceiptPort::portNames_data()
{
    QTest::addColumn<QString>("porta");
    QTest::addColumn<QString>("path");        // under the device folder ("@"), or as given; "" = refused
    QTest::addColumn<bool>("device");
    QTest::newRow("LPT1") << "LPT1" << "@lp0" << true;
    QTest::newRow("lpt3 with colon") << "lpt3:" << "@lp2" << true;
    QTest::newRow("PRN") << "PRN" << "@lp0" << true;
    QTest::newRow("COM1") << "COM1" << "@ttyS0" << true;
    QTest::newRow("com4 with blanks") << " com4 " << "@ttyS3" << true;
    QTest::newRow("COM10") << "COM10" << "@ttyS9" << true;
    QTest::newRow("USB") << "USB" << "@usb/lp0" << true;
    QTest::newRow("USB001") << "USB001" << "@usb/lp0" << true;
    QTest::newRow("USB2") << "USB2" << "@usb/lp1" << true;
    QTest::newRow("device in full") << "/dev/usb/lp0" << "/dev/usb/lp0" << true;
    QTest::newRow("spool file") << "/tmp/cupom.txt" << "/tmp/cupom.txt" << false;
    QTest::newRow("LPT0") << "LPT0" << "" << false;
    QTest::newRow("LPT10X") << "LPT10X" << "" << false;
    QTest::newRow("relative file") << "cupom.txt" << "" << false;
    QTest::newRow("Windows share") << "\\\\SERVIDOR\\EPSON" << "" << false;
}

void TestReceiptPort::portNames()
{
    QFETCH(QString, porta);
    QFETCH(QString, path);
    QFETCH(bool, device);
    QTemporaryDir dev;
    PortTarget t;
    QString error;
    const bool ok = resolvePort(porta, &t, &error, dev.path());
    if (path.isEmpty()) {
        QVERIFY(!ok);
        QVERIFY2(error.contains(porta.trimmed()) && error.startsWith(QStringLiteral("A porta da impressora")),
                 qPrintable(error));
        return;
    }
    QVERIFY2(ok, qPrintable(error));
    QCOMPARE(t.path, path.startsWith(u'@') ? dev.filePath(path.mid(1)) : path);
    QCOMPARE(t.device, device);
}

void TestReceiptPort::devicesThatOnlyExistAsAlternatives()
{
    QTemporaryDir dev;
    QVERIFY(QDir(dev.path()).mkpath(QStringLiteral("usb")));
    QCOMPARE(::mkfifo(QFile::encodeName(dev.filePath(QStringLiteral("usb/lp0"))).constData(), 0600), 0);
    QCOMPARE(::mkfifo(QFile::encodeName(dev.filePath(QStringLiteral("ttyUSB1"))).constData(), 0600), 0);
    PortTarget t;
    QVERIFY(resolvePort(QStringLiteral("LPT1"), &t, nullptr, dev.path()));
    QCOMPARE(t.path, dev.filePath(QStringLiteral("usb/lp0")));
    QVERIFY(resolvePort(QStringLiteral("COM2"), &t, nullptr, dev.path()));
    QCOMPARE(t.path, dev.filePath(QStringLiteral("ttyUSB1")));
    // With the parallel device present it wins.
    QCOMPARE(::mkfifo(QFile::encodeName(dev.filePath(QStringLiteral("lp0"))).constData(), 0600), 0);
    QVERIFY(resolvePort(QStringLiteral("LPT1"), &t, nullptr, dev.path()));
    QCOMPARE(t.path, dev.filePath(QStringLiteral("lp0")));
}

void TestReceiptPort::aMissingPrinterIsAnErrorAndLeavesNoFile()
{
    // A port whose device is not there: an error, and no plain file in its place.
    QTemporaryDir dev;
    PortTarget t;
    QString error;
    QVERIFY(resolvePort(QStringLiteral("LPT1"), &t, &error, dev.path()));
    QVERIFY(!writeToTarget(t, QStringLiteral("LPT1"), "CUPOM\r\n", &error));
    QVERIFY2(error.startsWith(QStringLiteral("Não foi possível abrir a porta da impressora \"LPT1\"")), qPrintable(error));
    QVERIFY2(error.contains(QStringLiteral("não conectado")), qPrintable(error));
    QVERIFY(QDir(dev.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System).isEmpty());

    // A plain file where the device should be (left by an earlier run) is no printer.
    QFile stale(dev.filePath(QStringLiteral("lp0")));
    QVERIFY(stale.open(QIODevice::WriteOnly));
    stale.write("ANTIGO");
    stale.close();
    QVERIFY(!writeToTarget(t, QStringLiteral("LPT1"), "CUPOM\r\n", &error));
    QVERIFY2(error.contains(QStringLiteral("não indica um dispositivo")), qPrintable(error));
    QVERIFY(stale.open(QIODevice::ReadOnly));
    QCOMPARE(stale.readAll(), QByteArray("ANTIGO"));

    // The real port names: nothing appears in the working folder or under /dev.
    QTemporaryDir work;
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(work.path()));
    for (const char *name : {"LPT1", "USB001", "COM10", "LPT2:"}) {
        const QString device = receiptDevicePath(QString::fromLatin1(name));
        if (QFileInfo::exists(device))
            continue;                                   // a real device on this machine
        error.clear();
        QVERIFY2(!writeToPort(QString::fromLatin1(name), "CUPOM\r\n", &error), name);
        QVERIFY2(error.contains(QString::fromLatin1(name).remove(u':')), qPrintable(error));
        QVERIFY2(!QFileInfo::exists(device), qPrintable(device));
    }
    QVERIFY(QDir::setCurrent(before));
    QVERIFY(QDir(work.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
    // A device named in full that does not exist is not created either.
    QVERIFY(!writeToPort(QStringLiteral("/dev/brelvo-impressora-inexistente"), "x", &error));
    QVERIFY(!QFileInfo::exists(QStringLiteral("/dev/brelvo-impressora-inexistente")));
    // A device that exists takes the bytes.
    QVERIFY2(writeToPort(QStringLiteral("/dev/null"), "CUPOM\r\n", &error), qPrintable(error));
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
    if (!QFileInfo::exists(QStringLiteral("/dev/ttyS3")) && !QFileInfo::exists(QStringLiteral("/dev/ttyUSB3"))) {
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
