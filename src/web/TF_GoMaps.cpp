#include "web/TF_GoMaps.h"

#include "core/DataControls.h"
#include "core/DialogService.h"
#include "core/Widgets.h"
#include "web/BrowserView.h"
#include "web/WebAddresses.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace brelvo::web {

namespace {
const char *kCepMask = "00000\\-999;1;_";
}

TF_GoMaps::TF_GoMaps(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("TF_GoMaps"));
    setWindowTitle(QStringLiteral("Localizar Endereço"));
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    resize(960, 700);

    auto upper = [](QLineEdit *e) { core::setTypingCase(e, core::CharCase::Upper); };
    auto *form = new QGridLayout;
    auto addBox = [&](int row, int col, const QString &caption, QWidget *box) {
        auto *label = new QLabel(caption, this);
        label->setBuddy(box);
        form->addWidget(label, row, col);
        form->addWidget(box, row + 1, col);
    };

    m_cidade = new QLineEdit(this);
    m_cidade->setObjectName(QStringLiteral("EditCidade"));
    upper(m_cidade);
    addBox(0, 0, QStringLiteral("Cidade"), m_cidade);

    m_estado = new QComboBox(this);
    m_estado->setObjectName(QStringLiteral("cbEstado"));
    m_estado->setEditable(true);
    m_estado->setInsertPolicy(QComboBox::NoInsert);
    m_estado->addItems(core::stateCodes());
    m_estado->lineEdit()->setMaxLength(2);
    core::setTypingCase(m_estado, core::CharCase::Upper);
    m_estado->setCurrentIndex(-1);
    m_estado->setEditText(QStringLiteral("UF"));
    addBox(0, 1, QStringLiteral("Estado"), m_estado);

    m_rua = new QLineEdit(this);
    m_rua->setObjectName(QStringLiteral("EditRua"));
    upper(m_rua);
    addBox(0, 2, QStringLiteral("Rua  (Quadra, Av, Setor... )"), m_rua);

    auto *buscar = new QPushButton(QStringLiteral("Buscar (Ver Mapa)"), this);
    buscar->setObjectName(QStringLiteral("btnBuscar"));
    connect(buscar, &QPushButton::clicked, this, &TF_GoMaps::Buscar);
    form->addWidget(buscar, 1, 3);

    m_cep = new QLineEdit(this);
    m_cep->setObjectName(QStringLiteral("EditCep"));
    m_cep->setInputMask(core::convertEditMask(QString::fromLatin1(kCepMask)).inputMask);
    core::homeOnFocus(m_cep);
    addBox(2, 0, QStringLiteral("CEP"), m_cep);

    auto *buscarCep = new QPushButton(QStringLiteral("Buscar por CEP"), this);
    buscarCep->setObjectName(QStringLiteral("btnBuscarCep"));
    connect(buscarCep, &QPushButton::clicked, this, &TF_GoMaps::BuscarCep);
    form->addWidget(buscarCep, 3, 1);
    form->setColumnStretch(2, 1);

    m_browser = new BrowserView(this);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_browser, 1);

    core::EnterMovesFocus::install(this);
    m_cidade->setFocus();
}

void TF_GoMaps::Buscar()
{
    const QString estado = m_estado->currentText().trimmed();
    if (m_cidade->text().trimmed().isEmpty() || estado.isEmpty() || estado == QLatin1String("UF")
        || m_rua->text().trimmed().isEmpty()) {
        core::dialogs().information(this, QString(),
                                    QStringLiteral("Preencha os campos acima para pesquisar! Cidade, UF e Rua"));
        return;
    }
    m_browser->load(mapUrl(addressSearchText(m_cidade->text(), estado, m_rua->text())));
}

QString TF_GoMaps::cepText() const
{
    QString text = m_cep->displayText();
    text.replace(core::convertEditMask(QString::fromLatin1(kCepMask)).blank, QLatin1Char(' '));
    return text;
}

void TF_GoMaps::BuscarCep() { m_browser->load(mapUrl(cepText())); }

} // namespace brelvo::web
