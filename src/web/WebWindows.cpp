#include "web/WebWindows.h"

#include "core/DialogService.h"
#include "web/TF_GoMaps.h"
#include "web/TFormRastrear.h"

namespace brelvo::web {

void openRastreador(QWidget *parent)
{
    TFormRastrear w(parent);
    core::dialogs().exec(&w);
}

void openGoogleMaps(QWidget *parent)
{
    TF_GoMaps w(parent);
    core::dialogs().exec(&w);
}

} // namespace brelvo::web
