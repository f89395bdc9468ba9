#include "stock/StockUi.h"

#include "core/DataControls.h"
#include "core/Format.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QWidget>

namespace brelvo::stock {

void forceUpper(QLineEdit *edit)
{
    QObject::connect(edit, &QLineEdit::textEdited, edit,
                     [edit] { core::forceCase(edit, core::CharCase::Upper); });
}

void ClickLabel::mouseReleaseEvent(QMouseEvent *e)
{
    QLabel::mouseReleaseEvent(e);
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()))
        Q_EMIT clicked();
}

QString codeText(const QVariant &codigo)
{
    if (codigo.isNull() || !codigo.isValid())
        return QString();
    return QString::number(qint64(codigo.toDouble() + (codigo.toDouble() >= 0 ? 0.5 : -0.5)))
        .rightJustified(13, QLatin1Char('0'));
}

} // namespace brelvo::stock
