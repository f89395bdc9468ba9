#pragma once
// Rules of the registry windows that need no window: tax-number layout, the
// postal-code reply, the e-mail address, and the hooks tests replace.

#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>
#include <optional>

namespace brelvo::registries {

// "CNPJ / CPF" as stored on saving a supplier: ".", "-" and "/" removed; 11
// characters laid out ddd.ddd.ddd-dd, 14 laid out dd.ddd.ddd/dddd-dd, any
// other length left without separators.
QString formatCpfCnpj(const QString &text);

// The postal-code lookup of the customer window goes through brelvo::web
// (CepLookup.h). Tests may point it at another base address ("http://host:port")
// and shorten the time-out; an empty base means the configured service.
void setCepServiceBase(const QString &base);
QString cepServiceBase();
void setCepTimeout(int ms);
int cepTimeout();

// Opens an address with the desktop's handler ("mailto:", files). Replaceable
// so tests see the address without anything being opened.
using UrlOpener = std::function<bool(const QUrl &)>;
UrlOpener setUrlOpener(UrlOpener opener);
bool openUrl(const QUrl &url);

// "mailto:" + e-mail + "?subject=Ordem de Serviço&Body=Olâ Sr.(a) " + name,
// subject and body percent-encoded so that names with "&" or "?" survive.
QUrl customerMailUrl(const QString &email, const QString &name);

// Vehicle makers from "fabricantes.txt" (one a line, blanks skipped). Returns
// nothing when the file cannot be read.
std::optional<QStringList> readMakers(const QString &path);

// The fuel choices, in their order.
QStringList fuelChoices();

// Roles that cannot be edited or removed.
bool isProtectedRole(const QString &role);

} // namespace brelvo::registries
