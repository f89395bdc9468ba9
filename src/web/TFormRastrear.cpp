#include "web/TFormRastrear.h"

#include "core/DataControls.h"
#include "core/Widgets.h"
#include "web/BrowserView.h"
#include "web/WebAddresses.h"

#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace brelvo::web {

TFormRastrear::TFormRastrear(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("TFormRastrear"));
    setWindowTitle(QStringLiteral("Rastreamento de Sedex, Encomenda PAC, AR etc."));
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    resize(900, 650);

    auto *group = new QGroupBox(QStringLiteral("Rastreamento de Encomendas"), this);
    group->setObjectName(QStringLiteral("GroupBox1"));
    auto *row = new QHBoxLayout(group);
    auto *label = new QLabel(QStringLiteral("Digite o Codigo :"), group);
    m_codigo = new QLineEdit(group);
    m_codigo->setObjectName(QStringLiteral("EditCodigo"));
    m_codigo->setMinimumWidth(220);
    label->setBuddy(m_codigo);
    core::setTypingCase(m_codigo, core::CharCase::Upper);
    connect(m_codigo, &QLineEdit::returnPressed, this, &TFormRastrear::Rastrear);
    m_codigo->installEventFilter(this);
    auto *button = new QPushButton(QStringLiteral("Rastrear Agora!"), group);
    button->setObjectName(QStringLiteral("btnRastrear"));
    button->setToolTip(QStringLiteral("Clique aqui para rastrear sua encomenda!"));
    connect(button, &QPushButton::clicked, this, &TFormRastrear::Rastrear);
    row->addWidget(label);
    row->addWidget(m_codigo);
    row->addWidget(button);
    row->addStretch(1);

    m_browser = new BrowserView(this);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(m_browser, 1);

    core::EnterMovesFocus::install(this);
    m_codigo->setFocus();
}

void TFormRastrear::Rastrear() { m_browser->load(trackingUrl(m_codigo->text())); }

bool TFormRastrear::eventFilter(QObject *watched, QEvent *event)
{
    // A click in the code box selects all of it, ready for the next code.
    if (watched == m_codigo && event->type() == QEvent::MouseButtonRelease)
        m_codigo->selectAll();
    return QDialog::eventFilter(watched, event);
}

} // namespace brelvo::web
