#pragma once
// Till receipts written straight to the printer port named in
// tbPortaImpressora.db `Porta`.
//
//   QString error;
//   if (!brelvo::printing::writeToPort(porta, core::toCp1252(text), &error))
//       dialogs().error(window, QStringLiteral("Erro"), error);   // never a success message then
//
// Port names: "LPT1".."LPT3" (also "LPT1:", "PRN") -> /dev/lp0../dev/lp2, or
// /dev/usb/lp0.. when only the USB printer device exists; "COM1".."COM4" ->
// /dev/ttyS0../dev/ttyS3 (set to 9600 8N1, raw); "USB", "USB1".. ->
// /dev/usb/lp0..; anything else is a device or file path used as given
// (a file is created or truncated).

#include <QByteArray>
#include <QString>

namespace brelvo::printing {

// The device or file a port name stands for.
QString receiptDevicePath(const QString &porta);

// Writes every byte or fails: each write's count, the flush and the close are
// checked, and a device that takes no data for timeoutMs fails too. On
// failure *error gets a Portuguese message naming the port.
bool writeToPort(const QString &porta, const QByteArray &bytes, QString *error = nullptr, int timeoutMs = 15000);

} // namespace brelvo::printing
