#pragma once
// Addresses of the parcel-tracking and map pages.
//
// The sites come from the environment (BRELVO_RASTREIO_URL, BRELVO_MAPAS_URL),
// else from "web.ini" in the program folder ([web] rastreio=..., mapas=...),
// else the defaults below. Any site answering the same paths and query
// parameters will do. Every typed value is percent-encoded, so "&", "#" or
// "+" in a street or code stay part of the value.

#include <QString>
#include <QUrl>

namespace brelvo::web {

inline constexpr const char *kDefaultTrackingSite = "http://websro.correios.com.br";
inline constexpr const char *kDefaultMapSite = "https://maps.google.com";

QString trackingSite();
QString mapSite();

// <site>/sro_bin/txect01$.QueryList?P_LINGUA=001&P_TIPO=001&P_COD_UNI=<code>
QUrl trackingUrl(const QString &code, const QString &site = trackingSite());
// <site>/maps?f=q&source=s_q&hl=pt-BR&geocode=&q=<search text>
QUrl mapUrl(const QString &searchText, const QString &site = mapSite());
// The map search for an address: city + " - " + state + " " + street.
QString addressSearchText(const QString &city, const QString &state, const QString &street);

} // namespace brelvo::web
