#pragma once
// Till receipts written straight to the printer port named in
// tbPortaImpressora.db `Porta`.
//
//   QString error;
//   if (!brelvo::printing::writeToPort(porta, core::toCp1252(text), &error))
//       dialogs().error(window, QStringLiteral("Erro"), error);   // never a success message then
//
// Port names stand for devices, which must exist: "LPT1".."LPT9" (also
// "LPT1:", "PRN") -> /dev/lp0.., or /dev/usb/lp0.. when only the USB printer
// device exists; "COM1".."COM99" -> /dev/ttyS0.. (or /dev/ttyUSB0.. when only
// that exists), set to 9600 8N1, raw; "USB", "USB001".. -> /dev/usb/lp0..
// A device path given in full (/dev/...) is used as it is. Only an absolute
// path elsewhere names a spool file, created or truncated. A device that is
// missing, a name that is none of these, or anything under /dev that is not a
// device is an error in Portuguese: nothing is ever created under /dev or in
// the working folder.

#include <QByteArray>
#include <QString>

namespace brelvo::printing {

struct PortTarget {
    QString path;           // the device or spool file
    bool device = false;    // a device: opened as it is, never created
};

// What a port name stands for; false with a Portuguese message when it stands
// for nothing. deviceFolder is where the port names' devices live.
bool resolvePort(const QString &porta, PortTarget *target, QString *error = nullptr,
                 const QString &deviceFolder = QStringLiteral("/dev"));

// The device or file a port name stands for ("" when none).
QString receiptDevicePath(const QString &porta);

// Writes every byte or fails: each write's count, the flush and the close are
// checked, and a device that takes no data for timeoutMs fails too. On
// failure *error gets a Portuguese message naming the port.
bool writeToPort(const QString &porta, const QByteArray &bytes, QString *error = nullptr, int timeoutMs = 15000);
bool writeToTarget(const PortTarget &target, const QString &porta, const QByteArray &bytes, QString *error = nullptr,
                   int timeoutMs = 15000);

} // namespace brelvo::printing
