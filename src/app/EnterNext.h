#pragma once
// Enter in an edit control moves the focus to the next control; the key is swallowed.

#include <QObject>

class QWidget;

namespace brelvo::app {

class EnterNext : public QObject {
    Q_OBJECT
public:
    // Watches every edit control below `window` (call after building it).
    static void install(QWidget *window);
protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
private:
    using QObject::QObject;
};

} // namespace brelvo::app
