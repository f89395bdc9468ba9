// Opens the customer window, or the preview of a customer sheet, on a sample
// database and captures the screen with "import -window root <out.png>".

#include "core/AppPaths.h"
#include "data/Database.h"
#include "data/Dataset.h"
#include "printing/PrintPreview.h"
#include "registries/RegistryRules.h"
#include "registries/TFormCadastro.h"

#include <QApplication>
#include <QDate>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <unistd.h>

using namespace brelvo;

namespace {
void add(data::Table &t, std::initializer_list<std::pair<const char *, QVariant>> values)
{
    t.append();
    for (const auto &[f, v] : values)
        t.setValue(QString::fromUtf8(f), v);
    t.post();
}
} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "uso: registries_shot clientes|ficha saida.png\n");
        return 2;
    }
    const QString mode = QString::fromLocal8Bit(argv[1]);
    const QString out = QString::fromLocal8Bit(argv[2]);
    QTemporaryDir dir;
    auto db = data::Database::open(dir.path(), true);
    {
        data::Table c(db, QStringLiteral("tbCliente.DB"));
        c.open();
        add(c, {{"Codigo", 1}, {"Data", QDate(2026, 3, 2)}, {"Nome", "ANTÔNIO CARLOS PEREIRA"}, {"CIC", "123.456.789-09"},
                {"Fone", "(11) 3333-4444"}, {"Cidade", "SÃO PAULO"}, {"UF", "SP"}});
        add(c, {{"Codigo", 2}, {"Data", QDate(2026, 5, 14)}, {"Nome", "JOÃO D'ÁVILA & FILHOS LTDA"},
                {"CIC", "12.345.678/0001-95"}, {"RG", "110.042.490.114"}, {"Fone", "(11) 4002-8922"},
                {"Celular", "(11) 98888-7777"}, {"Endereco", "PRAÇA DA SÉ, 100"}, {"CARRO", "SÉ"},
                {"Cidade", "SÃO PAULO"}, {"UF", "SP"}, {"CEP", "01001-000"}, {"Email", "contato@davila.com.br"},
                {"Apelido", "SR. JOÃO"}, {"Obs", "CLIENTE DESDE 2019. PREFERE CONTATO POR TELEFONE."}});
        add(c, {{"Codigo", 3}, {"Data", QDate(2026, 9, 30)}, {"Nome", "MARIA CONCEIÇÃO SOUZA"}, {"Cidade", "SANTOS"},
                {"UF", "SP"}});
        data::Table v(db, QStringLiteral("TCadastroCarros.db"));
        v.open();
        add(v, {{"Link", 2}, {"Modelo", "GOL 1.0"}, {"Anofabrica", 2019}, {"AnoModelo", 2020}, {"Fabricante", "VOLKSWAGEN"},
                {"Cor", "PRATA"}, {"Placa", "ABC1D23"}, {"Combustivel", "TOTAL FLEX"}});
        add(v, {{"Link", 2}, {"Modelo", "STRADA WORKING"}, {"Anofabrica", 2015}, {"AnoModelo", 2015},
                {"Fabricante", "FIAT"}, {"Cor", "BRANCA"}, {"Placa", "FGH4567"}, {"Combustivel", "DIESEL"}});
    }
    QFile makers(dir.filePath(QStringLiteral("fabricantes.txt")));
    makers.open(QIODevice::WriteOnly);
    makers.write("CHEVROLET\nFIAT\nFORD\nHONDA\nHYUNDAI\nRENAULT\nTOYOTA\nVOLKSWAGEN\n");
    makers.close();
    core::setProgramFolder(dir.path());

    registries::TFormCadastro w(db, true);
    w.TabelaCadastro()->setIndexName(QStringLiteral("byCodigo"));
    w.TabelaCadastro()->first();
    w.TabelaCadastro()->next();
    w.move(100, 20);
    w.show();
    QTimer::singleShot(mode == QLatin1String("ficha") ? 600 : 1500, &w, [&] {
        if (mode == QLatin1String("ficha")) {
            QTimer::singleShot(1500, [&] {
                for (QWidget *top : QApplication::topLevelWidgets())
                    if (auto *p = qobject_cast<printing::PrintPreview *>(top)) {
                        p->showMaximized();
                        p->setZoom(printing::PrintPreview::Zoom::WholePage);
                    }
            });
            QTimer::singleShot(2500, [&] {
                QProcess::execute(QStringLiteral("import"), {QStringLiteral("-window"), QStringLiteral("root"), out});
                _exit(0);
            });
            w.btnImprimirClick();
            return;
        }
        QProcess::execute(QStringLiteral("import"), {QStringLiteral("-window"), QStringLiteral("root"), out});
        _exit(0);
    });
    return app.exec();
}
