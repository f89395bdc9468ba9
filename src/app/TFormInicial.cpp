#include "app/TFormInicial.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace brelvo::app {

namespace {
QPixmap splashPicture()
{
    QPixmap pix(480, 260);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 480, 260);
    g.setColorAt(0, QColor(0x1f, 0x3c, 0x6e));
    g.setColorAt(1, QColor(0x0d, 0x1b, 0x33));
    p.fillRect(pix.rect(), g);
    p.setPen(Qt::white);
    p.setFont(QFont(QStringLiteral("Sans Serif"), 36, QFont::Bold));
    p.drawText(QRect(0, 60, 480, 80), Qt::AlignCenter, QStringLiteral("Brelvo"));
    p.setPen(QColor(0xf2, 0xb1, 0x34));
    p.setFont(QFont(QStringLiteral("Sans Serif"), 13));
    p.drawText(QRect(0, 140, 480, 40), Qt::AlignCenter, QStringLiteral("Oficina Mecânica e Autopeças"));
    return pix;
}
} // namespace

TFormInicial::TFormInicial(QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("FormInicial"));
    auto *v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 8);
    m_picture = new QLabel(this);
    m_picture->setObjectName(QStringLiteral("Image1"));
    m_picture->setPixmap(splashPicture());
    v->addWidget(m_picture);
    m_aguarde = new QLabel(QStringLiteral("AGUARDE CARREGANDO..."), this);
    m_aguarde->setObjectName(QStringLiteral("Label1"));
    m_aguarde->setAlignment(Qt::AlignCenter);
    QFont f = m_aguarde->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.3);
    m_aguarde->setFont(f);
    // Keeps its place while hidden so the window does not jump.
    QSizePolicy sp = m_aguarde->sizePolicy();
    sp.setRetainSizeWhenHidden(true);
    m_aguarde->setSizePolicy(sp);
    v->addWidget(m_aguarde);

    m_timer2 = new QTimer(this);
    m_timer2->setObjectName(QStringLiteral("Timer2"));
    m_timer2->setInterval(500);
    connect(m_timer2, &QTimer::timeout, this, [this] { m_aguarde->setVisible(m_aguarde->isHidden()); });
    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setInterval(3500);
    m_timer1->setSingleShot(true);
    connect(m_timer1, &QTimer::timeout, this, [this] { Q_EMIT showMenu(); });
    m_timer2->start();

    adjustSize();
    if (QScreen *s = QGuiApplication::primaryScreen())
        move(s->availableGeometry().center() - rect().center());
}

void TFormInicial::start()
{
    m_timer1->start();
}

void TFormInicial::finish()
{
    m_timer1->stop();
    m_timer2->stop();
    hide();
}

} // namespace brelvo::app
