#include "stock/StockUi.h"

namespace brelvo::stock {

QString codeText(const QVariant &codigo)
{
    if (codigo.isNull() || !codigo.isValid())
        return QString();
    return QString::number(qint64(codigo.toDouble() + (codigo.toDouble() >= 0 ? 0.5 : -0.5)))
        .rightJustified(13, QLatin1Char('0'));
}

} // namespace brelvo::stock
