#include "lubricants/VehiclePicture.h"

#include "core/AppPaths.h"
#include "core/DialogService.h"
#include "lubricants/LubricantLists.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>

namespace brelvo::lubricants {

VehiclePicture::VehiclePicture(QWidget *parent)
    : core::ClickLabel(parent)
{
    setAlignment(Qt::AlignCenter);
    setMinimumSize(160, 100);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

QString VehiclePicture::resolve(const QString &path)
{
    const QString p = path.trimmed();
    if (p.isEmpty() || QDir::isAbsolutePath(p))
        return p;
    return core::sharedFile(p);
}

bool VehiclePicture::showFile(const QString &path)
{
    if (path == m_path && !m_pixmap.isNull())
        return true;   // already on screen (each keystroke of a search moves the cursor)
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QImage image = reader.read();
    if (image.isNull())
        return false;
    m_pixmap = QPixmap::fromImage(image);
    m_path = path;
    rescale();
    return true;
}

void VehiclePicture::showDefault()
{
    const QString file = defaultPicturePath();
    if (showFile(file) || m_defaultReported)
        return;
    m_defaultReported = true;   // told once, not on every row
    core::dialogs().error(window(), QStringLiteral("Erro"),
                          QStringLiteral("Não foi possível abrir o arquivo \"%1\".").arg(QDir::toNativeSeparators(file)));
}

void VehiclePicture::showRow(const data::Dataset &row)
{
    const QString image = row.isOpen() && !row.isEmpty() ? row.asString(QStringLiteral("Image")).trimmed() : QString();
    if (image.isEmpty()) {
        showDefault();
        return;
    }
    const QString file = resolve(image);
    if (QFileInfo(file).isFile())
        showFile(file);
}

void VehiclePicture::resizeEvent(QResizeEvent *event)
{
    core::ClickLabel::resizeEvent(event);
    rescale();
}

void VehiclePicture::rescale()
{
    if (m_pixmap.isNull())
        return;
    const QSize room = contentsRect().size() - QSize(4, 4);
    const QPixmap scaled = m_pixmap.size().boundedTo(room) == m_pixmap.size()
                               ? m_pixmap
                               : m_pixmap.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    setPixmap(scaled);
}

} // namespace brelvo::lubricants
