#pragma once
// "Entradas do Caixa": the amounts the business is owed and has received.

#include "finance/TitleWindow.h"

namespace brelvo::finance {

class Tfreceber : public TitleWindow {
    Q_OBJECT
public:
    explicit Tfreceber(data::DatabasePtr db, QWidget *parent = nullptr)
        : TitleWindow(receivablesKind(), std::move(db), parent) {}
};

} // namespace brelvo::finance
