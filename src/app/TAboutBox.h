#pragma once
// The small About window of the main menu.

#include <QDialog>

namespace brelvo::app {

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget *parent = nullptr);
    static QString versionText();   // "1.0.0.0"
};

} // namespace brelvo::app
