#include "printing/PageModel.h"

namespace brelvo::printing {

QSizeF PageSetup::paperSize() const
{
    const QSizeF s = QPageSize(pageSizeId()).size(QPageSize::Millimeter);
    return orientation == QPageLayout::Landscape ? s.transposed() : s;
}

QRectF PageSetup::contentRect() const
{
    const QSizeF s = paperSize();
    return QRectF(marginLeft, marginTop, s.width() - marginLeft - marginRight,
                  s.height() - marginTop - marginBottom);
}

QStringList PreparedReport::texts(int page) const
{
    QStringList list;
    if (page < 0 || page >= pageCount())
        return list;
    for (const PageItem &it : pages[size_t(page)].items)
        if (it.kind == PageItem::Text)
            list << it.text;
    return list;
}

QString PreparedReport::pageText(int page) const
{
    return texts(page).join(u'\n');
}

} // namespace brelvo::printing
