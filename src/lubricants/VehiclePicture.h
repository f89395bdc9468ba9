#pragma once
// The vehicle picture of the lubricant windows.

#include "core/Widgets.h"
#include "data/Dataset.h"

#include <QPixmap>

namespace brelvo::lubricants {

class VehiclePicture : public core::ClickLabel {
    Q_OBJECT
public:
    explicit VehiclePicture(QWidget *parent = nullptr);

    // The picture of the cursor's current row: the file named in `Image`
    // when it can be read (otherwise the picture on screen stays), the
    // default picture when `Image` is empty. A relative path is taken from
    // the program folder.
    void showRow(const data::Dataset &row);
    // Shows a picture file; false, with nothing changed, when it cannot be read.
    bool showFile(const QString &path);
    void showDefault();
    // The file on screen; empty before any.
    QString path() const { return m_path; }

    static QString resolve(const QString &path);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void rescale();
    QPixmap m_pixmap;
    QString m_path;
    bool m_defaultReported = false;
};

} // namespace brelvo::lubricants
