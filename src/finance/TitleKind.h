#pragma once
// What sets the receivables window apart from the payables window. Both are
// one TitleWindow; everything that differs between them is here.

#include "printing/PageModel.h"

#include <QList>
#include <QString>

namespace brelvo::finance {

struct ReportColumn {
    QString head;
    QString field;
    QString mask;
    double width = 0;   // mm
};

struct TitleKind {
    bool payable = false;
    QString table;              // tbreceber.db / tbpagar.db
    QString windowName;         // class name of the window
    QString title;
    QString mainCursor;
    QString reminderCursor;
    QString openIndex;          // order when the window opens ("" = as stored)
    QString memoField;          // the "Obs:" memo

    // Captions and hints of the entry page.
    QString codeCaption;        // "Código" / "Documento"
    QString nameCaption;        // "Entrada Nome" / "Saída Nome"
    QString paidCaption;        // "Data Recebimento" / "Data Pagamento"
    QString paidBoxHint;
    QString clearPaidCaption;   // "X" / "x"
    QString clearPaidHint;
    QString chequeGroup;
    QString newCaption, newHint;
    QString deleteCaption;
    QString fromHint;           // hint of the filter box's "De:"
    QString reminderTitle;
    QString reminderShowHint;
    QString sideNameHead;       // side list: name column
    QString searchNameHead;     // search list: name column
    QString searchCreditorHead;
    QString searchPaidHead;
    // Captions of the filter box choices as they read once chosen.
    QString openShown, paidShown, allShown;

    // Pick lists: file of the names, of the creditors, and the file whose
    // presence switches the two "Salvar" buttons on.
    QString namesFile, creditorsFile, gateFile;
    QString nameListed, creditorListed;
    // The creditor button still writes its list when the gate file is missing.
    bool creditorWritesWithoutGate = false;

    // Saving: the checks, in order (value first for payables).
    bool valueFirst = false;
    QString noNameText, noValueText;
    bool focusCreditorOnSave = false;

    // Locating.
    QString locateCodeTitle, codeNotFound, locateNameTitle;

    // Search page: the name filters.
    QString nameAllButton, namePaidButton, nameOpenButton;
    QString nameAllPrompt, nameStatePrompt;

    // Printed list.
    QString reportTitle;
    printing::Paper paper = printing::Paper::A4;
    QList<ReportColumn> reportColumns;
};

const TitleKind &receivablesKind();
const TitleKind &payablesKind();

} // namespace brelvo::finance
