#include "app/TAboutBox.h"

#include "core/Widgets.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace brelvo::app {

QString TAboutBox::versionText()
{
    return QStringLiteral("%1.%2.%3.%4")
        .arg(BRELVO_VERSION_MAJOR)
        .arg(BRELVO_VERSION_MINOR)
        .arg(BRELVO_VERSION_PATCH)
        .arg(BRELVO_VERSION_BUILD);
}

TAboutBox::TAboutBox(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("Sobre"));
    auto *v = new QVBoxLayout(this);
    v->addWidget(core::heading(this, QStringLiteral("ProductName"), QStringLiteral("Brelvo"), 1.8));
    auto *text = new QLabel(QStringLiteral("Gestão de oficina mecânica e venda de peças\n"
                                           "Ordens de serviço, vendas, estoque, financeiro e relatórios."),
                            this);
    v->addWidget(text);
    auto *ver = new QLabel(QStringLiteral("Versão ") + versionText(), this);
    ver->setObjectName(QStringLiteral("Version"));
    v->addWidget(ver);
    auto *row = new QHBoxLayout;
    auto *close = new QPushButton(QStringLiteral("Fechar"), this);
    close->setObjectName(QStringLiteral("btnFechar"));
    row->addStretch(1);
    row->addWidget(close);
    v->addLayout(row);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
}

} // namespace brelvo::app
