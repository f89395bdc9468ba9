#pragma once
// The splash window: a picture and the blinking "AGUARDE CARREGANDO...".
// 3500 ms after start() it asks for the main menu once. The countdown starts
// only when the program is ready to show the menu: a message of the start-up
// (such as the private folder's) may keep the operator any time before.

#include <QWidget>

class QLabel;
class QTimer;

namespace brelvo::app {

class TFormInicial : public QWidget {
    Q_OBJECT
public:
    explicit TFormInicial(QWidget *parent = nullptr);

    QTimer *timer1() const { return m_timer1; }   // 3500 ms, single shot
    QTimer *timer2() const { return m_timer2; }   // 500 ms, blink
    // Starts the countdown to showMenu().
    void start();
    // Stops both timers and hides the window (the menu's activation).
    void finish();

Q_SIGNALS:
    void showMenu();

private:
    QLabel *m_picture;
    QLabel *m_aguarde;
    QTimer *m_timer1;
    QTimer *m_timer2;
};

} // namespace brelvo::app
