#pragma once
// "Saídas do Caixa": the bills to pay and paid; opens on the open bills by due date.

#include "finance/TitleWindow.h"

namespace brelvo::finance {

class Tfpagar : public TitleWindow {
    Q_OBJECT
public:
    explicit Tfpagar(data::DatabasePtr db, QWidget *parent = nullptr)
        : TitleWindow(payablesKind(), std::move(db), parent) {}
};

} // namespace brelvo::finance
