#pragma once
// Opening the internet windows from the main menu (each shown modally).

class QWidget;

namespace brelvo::web {

// "Ferramen&tas" -> "Rastreador Correios": TFormRastrear.
void openRastreador(QWidget *parent);
// "Ferramen&tas" -> "Google Maps": TF_GoMaps.
void openGoogleMaps(QWidget *parent);

} // namespace brelvo::web
