#pragma once
// Address from a postal code (CEP) through the postal-code web service:
// GET <base>/web_cep.php?cep=<cep as typed>&formato=query_string, answered by
// a URL-encoded NAME=VALUE list joined by '&'.
//
// The base address comes from the environment variable BRELVO_CEP_URL, else
// from "cep.ini" beside the executable ([cep] url=...), else the default
// public service below.

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QUrl>

namespace brelvo::web {

inline constexpr const char *kDefaultCepService = "http://cep.republicavirtual.com.br";

QString cepServiceBaseUrl();
QUrl cepRequestUrl(const QString &cep, const QString &baseUrl = cepServiceBaseUrl());

// The reply's NAME=VALUE pairs. Each pair is split on '&' and '=' before it is
// decoded ("+" is a space, %XX a byte), so encoded '&' and '=' stay in the
// value; the bytes are read as UTF-8 when valid, else as Windows-1252.
QMap<QString, QString> parseCepReply(const QByteArray &body);

struct CepAddress {
    QString endereco;   // TIPO_LOGRADOURO + " " + LOGRADOURO
    QString bairro;     // BAIRRO
    QString cidade;     // CIDADE
    QString uf;         // UF
};
// Missing names give empty values (so an unknown code gives the address " ").
CepAddress cepAddress(const QMap<QString, QString> &reply);

// The whole lookup. False with the HTTP helper's Portuguese message.
bool lookupCep(const QString &cep, CepAddress *address, QString *error = nullptr, int timeoutMs = 15000);

} // namespace brelvo::web
